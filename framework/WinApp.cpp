#include "framework/WinApp.h"

#include "framework/ProgramPath.h"
#include "framework/Wnd.h"

namespace {
CWinApp* theApp = nullptr;

CString ExecutableTitle() {
  CString title = ProgramPath();
  title.erase(0, title.find_last_of(L"\\/") + 1);
  const size_t dot = title.find_last_of(L'.');
  if (dot != CString::npos) title.erase(dot);
  return title;
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

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
  CWinApp* app = AfxGetApp();
  if (!app) return 1;
  app->InitInstance();
  return app->ExitInstance();
}
