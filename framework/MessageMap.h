#pragma once
#include <windows.h>

// Declarative message maps. A class lists the messages it handles between
// BEGIN_MESSAGE_MAP and END_MESSAGE_MAP; whatever it does not handle goes
// to its base class's map and, at the end of the chain, to the window's
// previous window procedure.

// Messages that a parent reflects back to the child control they concern.
constexpr UINT WM_REFLECT_BASE = WM_USER + 0x1C00;
constexpr UINT WM_REFLECTED_COMMAND = WM_REFLECT_BASE + WM_COMMAND;
constexpr UINT WM_REFLECTED_CTLCOLORSTATIC = WM_REFLECT_BASE + WM_CTLCOLORSTATIC;

#define DECLARE_MESSAGE_MAP() \
protected:                    \
  bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                       \
  bool theClass::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) { \
    using BaseClass = baseClass;                                                     \
    (void)wParam;                                                                    \
    (void)lParam;

#define END_MESSAGE_MAP()                                    \
    return BaseClass::OnWndMsg(message, wParam, lParam, result); \
  }

#define MAP_ENTRY(condition, call) \
  if (condition) {                 \
    result = 0;                    \
    call;                          \
    return true;                   \
  }

// LRESULT handler(WPARAM, LPARAM)
#define ON_MESSAGE(msg, handler) \
  MAP_ENTRY(message == (msg), result = handler(wParam, lParam))

// void handler(): a click on the push button with this id
#define ON_BN_CLICKED(id, handler) \
  MAP_ENTRY(message == WM_COMMAND && LOWORD(wParam) == (id) && HIWORD(wParam) == BN_CLICKED, handler())

// void handler(): a command from a menu, accelerator or dialog key
#define ON_COMMAND(id, handler) \
  MAP_ENTRY(message == WM_COMMAND && LOWORD(wParam) == (id) && HIWORD(wParam) == 0, handler())

// void handler(): a notification code that the parent reflected to this control
#define ON_CONTROL_REFLECT(code, handler) \
  MAP_ENTRY(message == WM_REFLECTED_COMMAND && HIWORD(wParam) == (code), handler())

// HBRUSH CtlColor(HDC dc, UINT ctlColor): the parent's colour request, reflected
#define ON_WM_CTLCOLOR_REFLECT() \
  MAP_ENTRY(message == WM_REFLECTED_CTLCOLORSTATIC, result = reinterpret_cast<LRESULT>(CtlColor(reinterpret_cast<HDC>(wParam), CTLCOLOR_STATIC)))

// void OnDestroy()
#define ON_WM_DESTROY() MAP_ENTRY(message == WM_DESTROY, OnDestroy())

// void OnPaint()
#define ON_WM_PAINT() MAP_ENTRY(message == WM_PAINT, OnPaint())

// BOOL OnEraseBkgnd(HDC)
#define ON_WM_ERASEBKGND() \
  MAP_ENTRY(message == WM_ERASEBKGND, result = OnEraseBkgnd(reinterpret_cast<HDC>(wParam)))

// void OnTimer(UINT_PTR id)
#define ON_WM_TIMER() MAP_ENTRY(message == WM_TIMER, OnTimer(wParam))

// BOOL OnSetCursor(HWND, UINT hitTest, UINT message)
#define ON_WM_SETCURSOR()                                                             \
  MAP_ENTRY(message == WM_SETCURSOR, result = OnSetCursor(reinterpret_cast<HWND>(wParam), \
                                                          LOWORD(lParam), HIWORD(lParam)))

// void OnMouseMove(UINT flags, POINT point)
#define ON_WM_MOUSEMOVE()                                                                  \
  MAP_ENTRY(message == WM_MOUSEMOVE,                                                       \
            OnMouseMove(static_cast<UINT>(wParam),                                         \
                        POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))}))
