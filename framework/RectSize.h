#pragma once
#include <windows.h>

// A rectangle's width and height, in its own units.
inline int Width(const RECT& rect) { return rect.right - rect.left; }
inline int Height(const RECT& rect) { return rect.bottom - rect.top; }
