#include "tests/wine/ui/UserInput.h"

#include "tests/wine/ui/Deadline.h"

namespace {
constexpr int kAbsoluteRange = 65535;
constexpr DWORD kArrivalMs = 5000;
// Time for the program to take in one event before the next.
constexpr DWORD kSettleMs = 50;

LONG Normalised(LONG coordinate, int extent) {
  return MulDiv(coordinate, kAbsoluteRange, extent - 1);
}

void SendMouse(DWORD flags, POINT point) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = Normalised(point.x, ::GetSystemMetrics(SM_CXSCREEN));
  input.mi.dy = Normalised(point.y, ::GetSystemMetrics(SM_CYSCREEN));
  input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
  ::SendInput(1, &input, sizeof(INPUT));
}

void SendKey(WORD nVirtualKey, DWORD flags) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = nVirtualKey;
  input.ki.dwFlags = flags;
  ::SendInput(1, &input, sizeof(INPUT));
}

bool PointerAt(POINT point) {
  POINT now{};
  return ::GetCursorPos(&now) && now.x == point.x && now.y == point.y;
}
}  // namespace

namespace UserInput {

POINT CentreOf(HWND hWnd) {
  RECT rect{};
  ::GetWindowRect(hWnd, &rect);
  return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

bool MoveTo(POINT point) {
  SendMouse(MOUSEEVENTF_MOVE, point);
  const bool arrived = CDeadline::Await([point] { return PointerAt(point); }, kArrivalMs);
  ::Sleep(kSettleMs);
  return arrived;
}

void Click(POINT point) {
  MoveTo(point);
  SendMouse(MOUSEEVENTF_LEFTDOWN, point);
  SendMouse(MOUSEEVENTF_LEFTUP, point);
  ::Sleep(kSettleMs);
}

void ClickWindow(HWND hWnd) {
  Click(CentreOf(hWnd));
}

void HoverWindow(HWND hWnd) {
  MoveTo(CentreOf(hWnd));
}

void PressKey(WORD nVirtualKey, WORD nModifier) {
  if (nModifier) SendKey(nModifier, 0);
  SendKey(nVirtualKey, 0);
  SendKey(nVirtualKey, KEYEVENTF_KEYUP);
  if (nModifier) SendKey(nModifier, KEYEVENTF_KEYUP);
  ::Sleep(kSettleMs);
}

}  // namespace UserInput
