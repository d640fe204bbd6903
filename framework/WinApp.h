#pragma once
#include <windows.h>

#include "framework/Object.h"
#include "framework/String.h"

class CWnd;

// The one application object. The program's entry point calls its
// InitInstance, which runs the whole program; the process then ends.
class CWinApp : public CObject {
public:
  // Without a name, the executable's file name without extension serves.
  explicit CWinApp(LPCWSTR lpszAppName = nullptr);
  ~CWinApp() override;

  virtual BOOL InitInstance() = 0;
  virtual int ExitInstance() { return 0; }

  CWnd* m_pMainWnd = nullptr;
  CString m_strAppName;
};

CWinApp* AfxGetApp();
HINSTANCE AfxGetResourceHandle();

// A message box captioned with the application's name, owned by the
// window the user is working in.
int AfxMessageBox(LPCWSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
