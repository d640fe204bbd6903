#include "framework/WinApp.h"

#include <cstdlib>

#include "framework/SystemFunction.h"
#include "framework/Wnd.h"

namespace {
CWinApp* theApp = nullptr;

CString ExecutableTitle() {
  wchar_t path[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  CString title(path);
  title.erase(0, title.find_last_of(L"\\/") + 1);
  const size_t dot = title.find_last_of(L'.');
  if (dot != CString::npos) title.erase(dot);
  return title;
}

void CleanupSockets() {
  ::WSACleanup();
}

using DefaultDllDirectoriesSetter = BOOL(WINAPI*)(DWORD);

// From now on a DLL loaded by name comes from the system directory only,
// never from the program's folder or the current directory. Systems
// without SetDefaultDllDirectories at least lose the current directory.
void LoadDllsFromTheSystemOnly() {
  const auto setDefaultDirectories =
      SystemFunction<DefaultDllDirectoriesSetter>(L"kernel32.dll", "SetDefaultDllDirectories");
  if (!setDefaultDirectories || !setDefaultDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32)) {
    ::SetDllDirectoryW(L"");
  }
}
}  // namespace

CWinApp::CWinApp(LPCWSTR lpszAppName)
    : m_strAppName(lpszAppName ? lpszAppName : ExecutableTitle()) {
  theApp = this;
}

CWinApp::~CWinApp() {
  theApp = nullptr;
}

CWinApp* AfxGetApp() {
  return theApp;
}

HINSTANCE AfxGetResourceHandle() {
  return ::GetModuleHandleW(nullptr);
}

int AfxMessageBox(LPCWSTR lpszText, UINT nType, UINT) {
  const CWnd* main = theApp ? theApp->m_pMainWnd : nullptr;
  HWND owner = main && ::IsWindow(main->m_hWnd) ? ::GetLastActivePopup(main->m_hWnd) : nullptr;
  const LPCWSTR caption = theApp ? theApp->m_strAppName.c_str() : nullptr;
  return ::MessageBoxW(owner, lpszText, caption, nType);
}

BOOL AfxSocketInit(WSADATA* lpwsaData) {
  WSADATA data;
  if (::WSAStartup(MAKEWORD(1, 1), lpwsaData ? lpwsaData : &data) != 0) return FALSE;
  std::atexit(CleanupSockets);
  return TRUE;
}

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
  LoadDllsFromTheSystemOnly();
  CWinApp* app = AfxGetApp();
  if (!app) return 1;
  app->InitInstance();
  return app->ExitInstance();
}
