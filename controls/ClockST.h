#pragma once
#include "controls/ClockFace.h"
#include "controls/ClockTime.h"
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

private:
  // A memory device context with one of the clock's images selected into
  // it, made at the first paint after the images are loaded.
  struct ClockSurface {
    BOOL bMade = FALSE;
    CDC dc;
    HGDIOBJ hDisplaced = nullptr;
  };

  void OnPaint();
  BOOL OnEraseBkgnd(HDC dc);
  LRESULT OnClockTick(WPARAM wParam, LPARAM lParam);
  int OnCreate(LPCREATESTRUCTW createStruct);

  void RenderDigits(const CTickTime& shownTime);
  bool HasImages() const;
  void PaintBlack(CDC& dc);
  void MakeSurface(ClockSurface& surface, const CBitmap& image, CDC* paintDC);
  void ComposeCells();
  void ReleaseImages();
  static void ReleaseSurface(ClockSurface& surface);
  static bool LoadBitmapResource(CBitmap& image, WORD id);

  ClockSurface m_faceSurface;
  ClockSurface m_largeDigitsSurface;
  ClockSurface m_smallDigitsSurface;
  CClockFace m_face;
  CBitmap m_bmpFace;
  BITMAP m_bmFace{};
  CBitmap m_bmpLargeDigits;
  CBitmap m_bmpSmallDigits;
  CClockTime m_time;

  DECLARE_MESSAGE_MAP()
};
