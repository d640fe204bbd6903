#pragma once
#include "framework/DC.h"

class CWnd;

// The device context of one paint cycle of a window.
class CPaintDC : public CDC {
public:
  explicit CPaintDC(CWnd* wnd);
  ~CPaintDC() override;

  PAINTSTRUCT m_ps{};

private:
  HWND m_hWnd;
};
