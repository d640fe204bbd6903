#include "app/ZephalApp.h"

#include "exchange/SettingsFile.h"
#include "app/WindowsVersion.h"
#include "app/ZephalDlg.h"
#include "framework/SocketInit.h"

namespace {
CZephalApp theApp;
}  // namespace

BOOL CZephalApp::InitInstance() {
  if (!AfxSocketInit()) {
    AfxMessageBox(L"Failed to Initialize Sockets", MB_ICONERROR);
    return FALSE;
  }
  if (!IsWindowsNT()) {
    AfxMessageBox(L"Run on Windows NT/2000/XP/2003/Vista", MB_ICONERROR);
    return FALSE;
  }
  m_serverSettings = ReadServerSettings();

  CZephalDlg dialog(nullptr);
  m_pMainWnd = &dialog;
  dialog.DoModal();
  m_pMainWnd = nullptr;
  return FALSE;
}

BOOL CZephalApp::IsWindowsNT() {
  return IsWindowsNTFamily(::GetVersionExW);
}
