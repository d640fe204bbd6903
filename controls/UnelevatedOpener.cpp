#include "controls/UnelevatedOpener.h"

#include <exdisp.h>
#include <ole2.h>
#include <shellapi.h>
#include <shldisp.h>
#include <shlobj.h>
#include <wrl/client.h>

#include <memory>

#include "controls/LinkOpenText.h"
#include "framework/ComApartment.h"

using Microsoft::WRL::ComPtr;

namespace {

// The service id of the shell's top-level browser (shlguid.h), defined here
// so that the link does not take in libuuid's table of every GUID it knows.
constexpr GUID kTopLevelBrowser = {0x4c96be40, 0x915c, 0x11cf, {0x99, 0xd3, 0x00, 0xaa, 0x00, 0x4a, 0xe8, 0x37}};
// ShellExecuteW's own code for "out of memory or resources": no apartment.
constexpr int kOutOfResources = 0;

// The desktop's own folder view, as the shell that shows the desktop
// hands it out; null when there is no such shell.
ComPtr<IShellFolderViewDual> DesktopFolderView() {
  ComPtr<IShellWindows> shellWindows;
  if (FAILED(::CoCreateInstance(__uuidof(ShellWindows), nullptr, CLSCTX_LOCAL_SERVER,
                                IID_PPV_ARGS(&shellWindows)))) {
    return nullptr;
  }
  VARIANT desktop{};
  desktop.vt = VT_I4;
  desktop.lVal = CSIDL_DESKTOP;
  VARIANT noRoot{};
  LONG window = 0;
  ComPtr<IDispatch> found;
  if (shellWindows->FindWindowSW(&desktop, &noRoot, SWC_DESKTOP, &window, SWFO_NEEDDISPATCH, &found) != S_OK) {
    return nullptr;
  }
  ComPtr<IServiceProvider> services;
  ComPtr<IShellBrowser> browser;
  ComPtr<IShellView> view;
  ComPtr<IDispatch> background;
  ComPtr<IShellFolderViewDual> folderView;
  if (FAILED(found.As(&services)) ||
      FAILED(services->QueryService(kTopLevelBrowser, IID_PPV_ARGS(&browser))) ||
      FAILED(browser->QueryActiveShellView(&view)) ||
      FAILED(view->GetItemObject(SVGIO_BACKGROUND, IID_PPV_ARGS(&background))) ||
      FAILED(background.As(&folderView))) {
    return nullptr;
  }
  return folderView;
}

// The shell object of the process that shows the desktop; null without one.
ComPtr<IShellDispatch2> DesktopShell() {
  const ComPtr<IShellFolderViewDual> folderView = DesktopFolderView();
  ComPtr<IDispatch> application;
  ComPtr<IShellDispatch2> shell;
  if (!folderView || FAILED(folderView->get_Application(&application)) || FAILED(application.As(&shell))) {
    return nullptr;
  }
  return shell;
}

}  // namespace

// The shell's objects and ShellExecuteW alike need a COM apartment on the
// calling thread.
int CUnelevatedOpener::Open(LPCWSTR target, int showCommand) {
  const CComApartment apartment(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  if (FAILED(apartment.Status())) return kOutOfResources;
  switch (OpenThroughDesktopShell(target, showCommand)) {
    case DesktopShellResult::Opened:
      return kOpenedByDesktopShell;
    case DesktopShellResult::Failed:
      return kDesktopShellFailed;
    case DesktopShellResult::Unavailable:
      break;
  }
  if (IsElevated()) return kNoUnelevatedShell;
  return static_cast<int>(reinterpret_cast<INT_PTR>(
      ::ShellExecuteW(nullptr, L"open", target, nullptr, nullptr, showCommand)));
}

// The desktop shell opens the target in its own process, with its own
// rights, by the target's default verb (open, for web and mail addresses).
// The shell may hand the foreground on to the program it starts, which
// would otherwise open behind this window.
CUnelevatedOpener::DesktopShellResult CUnelevatedOpener::OpenThroughDesktopShell(LPCWSTR target,
                                                                                 int showCommand) {
  const ComPtr<IShellDispatch2> shell = DesktopShell();
  const std::unique_ptr<OLECHAR, decltype(&::SysFreeString)> file(::SysAllocString(target), ::SysFreeString);
  if (!shell || !file) return DesktopShellResult::Unavailable;
  ::CoAllowSetForegroundWindow(shell.Get(), nullptr);
  VARIANT none{};
  VARIANT show{};
  show.vt = VT_I4;
  show.lVal = showCommand;
  return shell->ShellExecute(file.get(), none, none, none, show) == S_OK ? DesktopShellResult::Opened
                                                                          : DesktopShellResult::Failed;
}

// Unknown counts as elevated: then nothing is opened in this process.
bool CUnelevatedOpener::IsElevated() {
  HANDLE token = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) return true;
  TOKEN_ELEVATION elevation{};
  DWORD size = 0;
  const BOOL known = ::GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size);
  ::CloseHandle(token);
  return !known || elevation.TokenIsElevated;
}
