#pragma once
#include "controls/AccessibleServer.h"
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

  // Bitmap resource ids of the 100 % face and the two digit strips; the
  // control loads the set drawn for its window's DPI. 0 on success, 1 when
  // an image is missing.
  int LoadClockImages(WORD faceId, WORD largeDigitsId, WORD smallDigitsId, int dateOrder);
  // The window's DPI changed: loads the set of the new scale. 0 or 1 as
  // LoadClockImages.
  int SetDpi(UINT dpi);
  // Safe from any thread: applied at the next tick.
  void SetServerOffset(CTickSpan offset);
  // What screen readers call the clock (its label); they read the date and
  // time it shows as its value.
  void SetAccessibleName(const CString& name);

  BOOL m_bServerClock = FALSE;

private:
  // A memory device context with one of the clock's images selected into
  // it, made at the first paint after the images are loaded.
  struct ClockSurface {
    BOOL bMade = FALSE;
    CDC dc;
    HGDIOBJ hDisplaced = nullptr;
  };
  // The resource ids of the images at 100 %.
  struct ImageIds {
    int face = 0;
    int largeDigits = 0;
    int smallDigits = 0;
  };

  void OnPaint();
  BOOL OnEraseBkgnd(HDC dc);
  LRESULT OnClockTick(WPARAM wParam, LPARAM lParam);
  LRESULT OnGetObject(WPARAM flags, LPARAM objectId);
  CString SpokenTime() const;

  int LoadImagesFor(UINT dpi);
  void RenderDigits(const CTickTime& shownTime);
  bool HasImages() const;
  void PaintBlack(CDC& dc);
  void MakeSurface(ClockSurface& surface, const CBitmap& image, CDC* paintDC);
  void ComposeCells();
  void ReleaseImages();
  static void ReleaseSurface(ClockSurface& surface);
  static bool LoadBitmapResource(CBitmap& image, int id);

  ClockSurface m_faceSurface;
  ClockSurface m_largeDigitsSurface;
  ClockSurface m_smallDigitsSurface;
  CClockFace m_face;
  CBitmap m_bmpFace;
  BITMAP m_bmFace{};
  CBitmap m_bmpLargeDigits;
  CBitmap m_bmpSmallDigits;
  CClockTime m_time;
  ImageIds m_imageIds;
  int m_nScale = CClockFace::kScales[0];  // of the images loaded, in percent
  CString m_strAccessibleName;
  CAccessibleServer m_accessible;

  DECLARE_MESSAGE_MAP()
};
