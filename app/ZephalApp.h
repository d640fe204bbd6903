#pragma once
#include "exchange/ServerSettings.h"
#include "framework/WinApp.h"

// The application: checks the platform, reads the server settings and runs
// the main dialog.
class CZephalApp : public CWinApp {
public:
  CZephalApp() = default;

  BOOL InitInstance() override;
  static BOOL IsWindowsNT();

  ServerSettings m_serverSettings;
};
