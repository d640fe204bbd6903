#include "tests/wine/ui/ClockReader.h"

#include <cwchar>
#include <iterator>

#include "res/resource.h"
#include "tests/wine/ui/Deadline.h"

namespace {
struct Cell {
  bool bLarge;
  int x;
  int y;
};

// The display scales of the clock images, in percent; the images of scale
// index k have the 100 % resource ids plus 100 k.
constexpr int kScales[] = {100, 125, 150, 175, 200, 250, 300};
constexpr WORD kResourceIdsPerScale = 100;
constexpr int kFaceWidth = 151;

// The digit cells on the 100 % face, in the order the text shows them:
// year, month, day, hours, minutes, seconds. At another scale each position
// is scaled, halves rounded up, as the images are drawn.
const Cell kCellsInTextOrder[] = {
    {false, 5, 5},   {false, 19, 5},  {false, 33, 5},  {false, 47, 5},
    {false, 77, 5},  {false, 91, 5},  {false, 119, 5}, {false, 133, 5},
    {true, 5, 33},   {true, 32, 33},  {true, 65, 33},  {true, 92, 33},
    {false, 120, 50}, {false, 134, 50},
};
// Where the text has a digit, and the separators between them.
constexpr wchar_t kLayout[] = L"####-##-## ##:## ##";
constexpr wchar_t kDigitPlace = L'#';
constexpr size_t kTextSize = sizeof(kLayout) / sizeof(kLayout[0]);

int Scaled(int position, int percent) {
  return (position * percent + 50) / 100;
}

CDigitStrip NoStrip() {
  return CDigitStrip(CPixelGrid(0, 0));
}

CDigitStrip LoadStrip(HMODULE module, WORD id) {
  const auto bitmap = static_cast<HBITMAP>(
      ::LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (!bitmap) return NoStrip();
  CDigitStrip strip(CPixelGrid::FromBitmap(bitmap));
  ::DeleteObject(bitmap);
  return strip;
}
constexpr DWORD kPollMs = 20;

// The client area of a window in screen coordinates.
RECT ClientOnScreen(HWND hWindow) {
  RECT client{};
  ::GetClientRect(hWindow, &client);
  ::MapWindowPoints(hWindow, nullptr, reinterpret_cast<POINT*>(&client), 2);
  return client;
}

RECT Union(const RECT& a, const RECT& b) {
  RECT both;
  ::UnionRect(&both, &a, &b);
  return both;
}

// The part of a capture of `captured` that shows the window.
CPixelGrid PartShowing(const CPixelGrid& capture, const RECT& captured, HWND hWindow) {
  RECT part = ClientOnScreen(hWindow);
  ::OffsetRect(&part, -captured.left, -captured.top);
  return capture.Crop(part);
}
}  // namespace

CClockReader::CClockReader(const std::filesystem::path& program, int scaleIndex)
    : m_local{NoStrip(), NoStrip()}, m_server{NoStrip(), NoStrip()}, m_nPercent(kScales[scaleIndex]) {
  const HMODULE module = ::LoadLibraryExW(program.c_str(), nullptr,
                                          LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (!module) return;
  const WORD offset = static_cast<WORD>(kResourceIdsPerScale * scaleIndex);
  m_local = {LoadStrip(module, IDB_LOCAL_LARGE_DIGITS + offset), LoadStrip(module, IDB_LOCAL_SMALL_DIGITS + offset)};
  m_server = {LoadStrip(module, IDB_SERVER_LARGE_DIGITS + offset),
              LoadStrip(module, IDB_SERVER_SMALL_DIGITS + offset)};
  ::FreeLibrary(module);
  m_bLoaded = Found(m_local) && Found(m_server);
}

bool CClockReader::Found(const Strips& strips) {
  return strips.large.CellWidth() > 0 && strips.small.CellWidth() > 0;
}

std::wstring CClockReader::Read(HWND hClock, ClockKind kind) const {
  return Read(Capture(hClock), kind);
}

std::wstring CClockReader::Read(const CPixelGrid& face, ClockKind kind) const {
  if (!m_bLoaded) return std::wstring();
  const Strips& strips = StripsOf(kind);
  std::wstring text;
  const Cell* cell = kCellsInTextOrder;
  for (const wchar_t place : std::wstring(kLayout)) {
    if (place != kDigitPlace) {
      text += place;
      continue;
    }
    const CDigitStrip& strip = cell->bLarge ? strips.large : strips.small;
    text += strip.Read(face, Scaled(cell->x, m_nPercent), Scaled(cell->y, m_nPercent));
    ++cell;
  }
  return text;
}

const CClockReader::Strips& CClockReader::StripsOf(ClockKind kind) const {
  return kind == ClockKind::Local ? m_local : m_server;
}

CPixelGrid CClockReader::Capture(HWND hWindow) {
  return CPixelGrid::FromScreen(ClientOnScreen(hWindow));
}

std::wstring CClockReader::TextOf(const SYSTEMTIME& time) {
  wchar_t text[kTextSize] = {};
  std::swprintf(text, kTextSize, L"%04u-%02u-%02u %02u:%02u %02u", time.wYear, time.wMonth, time.wDay,
                time.wHour, time.wMinute, time.wSecond);
  return text;
}

ClockReading CClockReader::ReadDialogClocks(HWND hDialog) const {
  const HWND local = ::GetDlgItem(hDialog, IDC_LOCAL_CLOCK);
  const HWND server = ::GetDlgItem(hDialog, IDC_SERVER_CLOCK);
  const RECT clocks = Union(ClientOnScreen(local), ClientOnScreen(server));
  ClockReading reading;
  SYSTEMTIME after;
  ::GetLocalTime(&reading.time);
  const CPixelGrid capture = CPixelGrid::FromScreen(clocks);
  ::GetLocalTime(&after);
  reading.local = Read(PartShowing(capture, clocks, local), ClockKind::Local);
  reading.server = Read(PartShowing(capture, clocks, server), ClockKind::Server);
  if (reading.local == TextOf(after)) reading.time = after;
  return reading;
}

ClockReading CClockReader::AwaitDialogClocks(HWND hDialog,
                                             const std::function<bool(const ClockReading&)>& settled,
                                             DWORD nMilliseconds) const {
  const CDeadline deadline(nMilliseconds);
  ClockReading reading = ReadDialogClocks(hDialog);
  while (!settled(reading) && !deadline.Expired()) {
    ::Sleep(kPollMs);
    reading = ReadDialogClocks(hDialog);
  }
  return reading;
}

int CClockReader::ScaleIndexOf(HWND hClock) {
  RECT client{};
  ::GetClientRect(hClock, &client);
  for (int index = 0; index < static_cast<int>(std::size(kScales)); ++index) {
    if (Scaled(kFaceWidth, kScales[index]) == client.right) return index;
  }
  return 0;
}

bool CClockReader::ShowsItsTime(const ClockReading& reading) {
  return reading.local == TextOf(reading.time);
}
