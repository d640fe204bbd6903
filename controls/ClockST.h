#pragma once
#include "framework/Bitmap.h"
#include "framework/DC.h"
#include "framework/Static.h"
#include "ticktime/TickSpan.h"

// The owner's once-a-second message: wParam is the address of a SYSTEMTIME
// with the current local time, lParam is 0.
constexpr UINT WM_CLOCK_TICK = WM_USER + 10;

// A static control that shows a date and time in seven-segment digits.
class CClockST : public CStatic {
public:
  CClockST();
  ~CClockST() override;

  // Bitmap resource ids of the face and the two digit strips; 0 on
  // success, 1 when an image is missing.
  int LoadClockImages(WORD faceId, WORD largeDigitsId, WORD smallDigitsId, int dateOrder);
  // Safe from any thread: applied at the next tick.
  void SetServerOffset(CTickSpan offset);

  BOOL m_bServerClock = FALSE;

  // (the rest is the implementer's)
};
