#pragma once
#include <windows.h>

// Mouse and keyboard input as a person gives it: real input events, which
// go to whatever window is under the pointer or has the keyboard focus.
namespace UserInput {

POINT CentreOf(HWND hWnd);
// Whether the pointer arrived.
bool MoveTo(POINT point);
void Click(POINT point);
void ClickWindow(HWND hWnd);
void HoverWindow(HWND hWnd);
// With a modifier key (VK_SHIFT, VK_MENU for Alt) held down, if given.
void PressKey(WORD nVirtualKey, WORD nModifier = 0);

}  // namespace UserInput
