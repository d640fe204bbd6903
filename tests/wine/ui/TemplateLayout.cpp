#include "tests/wine/ui/TemplateLayout.h"

#include <cwchar>

namespace {

// Pixels of dialog units in a font, as the dialog manager maps them for a
// dialog of this process made from a template with that font.
class CDialogUnits {
public:
  CDialogUnits(const wchar_t* fontFace, WORD pointSize) {
    std::vector<WORD> words = {LOWORD(DS_SETFONT | WS_POPUP), HIWORD(DS_SETFONT | WS_POPUP),
                               0, 0,  // extended style
                               0,     // no controls
                               0, 0, 0, 0,  // place and size
                               0, 0, 0,     // no menu, the standard class, no title
                               pointSize};
    for (const wchar_t* c = fontFace; *c; ++c) words.push_back(*c);
    words.push_back(0);
    m_hDialog = ::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr),
                                             reinterpret_cast<LPCDLGTEMPLATEW>(words.data()),
                                             nullptr, NoHandling, 0);
  }
  ~CDialogUnits() { ::DestroyWindow(m_hDialog); }
  CDialogUnits(const CDialogUnits&) = delete;
  CDialogUnits& operator=(const CDialogUnits&) = delete;

  // x, y, width and height to a rectangle.
  RECT ToPixels(const RECT& place) const {
    RECT mapped = place;
    ::MapDialogRect(m_hDialog, &mapped);
    return {mapped.left, mapped.top, mapped.left + mapped.right, mapped.top + mapped.bottom};
  }

private:
  static INT_PTR CALLBACK NoHandling(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
  HWND m_hDialog;
};

std::string Narrow(const std::wstring& text) {
  return std::string(text.begin(), text.end());
}

std::string Hex(DWORD value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(value));
  return text;
}

std::string Describe(const RECT& rect) {
  return "(" + std::to_string(rect.left) + "," + std::to_string(rect.top) + ")-(" +
         std::to_string(rect.right) + "," + std::to_string(rect.bottom) + ")";
}

// A window's rectangle in its parent's client coordinates.
RECT PlaceInParent(HWND hWnd) {
  RECT rect{};
  ::GetWindowRect(hWnd, &rect);
  ::MapWindowPoints(nullptr, ::GetParent(hWnd), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

class CDifferences {
public:
  explicit CDifferences(std::string subject) : m_subject(std::move(subject)) {}

  void ExpectBits(const char* what, DWORD actual, DWORD required, DWORD forbidden) {
    if ((actual & required) != required) Add(what, "lacks " + Hex(required & ~actual));
    if (actual & forbidden) Add(what, "has " + Hex(actual & forbidden));
  }
  void Expect(bool holds, const char* what, const std::string& detail) {
    if (!holds) Add(what, detail);
  }
  void MoveInto(std::vector<std::string>& all) {
    all.insert(all.end(), m_list.begin(), m_list.end());
  }

private:
  void Add(const char* what, const std::string& detail) {
    m_list.push_back(m_subject + ": " + what + " " + detail);
  }

  std::string m_subject;
  std::vector<std::string> m_list;
};

void CompareControl(HWND hControl, const TemplateControl& expected, const CDialogUnits& units,
                    std::vector<std::string>& all) {
  CDifferences differences("control " + std::to_string(expected.nId));
  wchar_t className[64] = {};
  ::GetClassNameW(hControl, className, 64);
  // A template's -1 may come back as 0xFFFF.
  differences.Expect(LOWORD(::GetDlgCtrlID(hControl)) == LOWORD(expected.nId), "id",
                     "is " + std::to_string(::GetDlgCtrlID(hControl)));
  differences.Expect(::lstrcmpiW(className, expected.className) == 0, "class",
                     "is " + Narrow(className));
  const DWORD style = static_cast<DWORD>(::GetWindowLongW(hControl, GWL_STYLE));
  differences.Expect((style & expected.nTypeMask) == expected.nType, "type",
                     "is " + Hex(style & expected.nTypeMask));
  differences.ExpectBits("style", style, WS_CHILD | WS_VISIBLE | expected.nStyle,
                         expected.nNotStyle | (WS_TABSTOP & ~expected.nStyle));
  differences.ExpectBits("extended style", static_cast<DWORD>(::GetWindowLongW(hControl, GWL_EXSTYLE)),
                         expected.nExStyle, 0);
  const RECT place = PlaceInParent(hControl);
  const RECT wanted = units.ToPixels(expected.dialogUnits);
  const bool samePlace = place.left == wanted.left && place.top == wanted.top;
  const bool sameSize = place.right == wanted.right && place.bottom == wanted.bottom;
  differences.Expect(samePlace && (sameSize || !expected.bKeepsSize), "place",
                     "is " + Describe(place) + ", not " + Describe(wanted));
  differences.MoveInto(all);
}

}  // namespace

std::vector<std::string> DifferencesFromTemplate(HWND hDialog, const DialogTemplate& dialog) {
  std::vector<std::string> all;
  const CDialogUnits units(dialog.fontFace, dialog.nPointSize);

  CDifferences differences("dialog");
  differences.ExpectBits("style", static_cast<DWORD>(::GetWindowLongW(hDialog, GWL_STYLE)),
                         dialog.nStyle, dialog.nNotStyle);
  differences.ExpectBits("extended style", static_cast<DWORD>(::GetWindowLongW(hDialog, GWL_EXSTYLE)),
                         dialog.nExStyle, 0);
  RECT client{};
  ::GetClientRect(hDialog, &client);
  const RECT wanted = units.ToPixels({0, 0, dialog.dialogUnits.cx, dialog.dialogUnits.cy});
  differences.Expect(client.right == wanted.right && client.bottom == wanted.bottom, "client area",
                     "is " + Describe(client) + ", not " + Describe(wanted) + " in its font");
  differences.MoveInto(all);

  HWND child = ::GetWindow(hDialog, GW_CHILD);
  for (const TemplateControl& expected : dialog.controls) {
    if (!child) {
      all.push_back("control " + std::to_string(expected.nId) + " is missing");
      continue;
    }
    CompareControl(child, expected, units, all);
    child = ::GetWindow(child, GW_HWNDNEXT);
  }
  if (child) all.push_back("the dialog has more controls than its template");
  return all;
}
