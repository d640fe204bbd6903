#pragma once
#include "framework/WinApp.h"

// The application: checks the platform, reads the server name and runs
// the main dialog.
class CZephalApp : public CWinApp {
public:
  CZephalApp() = default;

  BOOL InitInstance() override;
  static BOOL IsWindowsNT();

  CString m_strServer;
};
