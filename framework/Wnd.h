#pragma once
#include <windows.h>

#include "framework/MessageMap.h"
#include "framework/Object.h"
#include "framework/String.h"

// A window object bound to an existing window. Its messages run through the
// class's message map; what the map leaves goes to the previous window
// procedure, which the binding keeps.
class CWnd : public CObject {
public:
  CWnd() = default;
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;
  ~CWnd() override;

  HWND m_hWnd = nullptr;

  static CWnd* FromHandlePermanent(HWND hwnd);

  // Binds this object to an existing window; PreSubclassWindow runs first.
  BOOL SubclassWindow(HWND hwnd);
  virtual BOOL DestroyWindow();

  // Sees a message before it is dispatched; TRUE when it has been handled.
  virtual BOOL PreTranslateMessage(MSG* msg);
  // Offers a message to the window objects from its target up to top.
  static BOOL WalkPreTranslateTree(HWND top, MSG* msg);

  CString GetWindowText() const;
  void SetWindowText(LPCWSTR text);

protected:
  virtual void PreSubclassWindow() {}
  // The message map: true when the message was handled, with its result.
  virtual bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  // The previous window procedure with the message being handled.
  LRESULT Default();
  // Default handlers that message maps of derived classes refer to.
  void OnDestroy() { Default(); }
  void OnTimer(UINT_PTR) { Default(); }

private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT CallPrevious(UINT message, WPARAM wParam, LPARAM lParam);
  bool ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  void Unsubclass();

  WNDPROC m_pfnSuper = nullptr;
  const MSG* m_pCurrentMsg = nullptr;
};
