#pragma once
#include "controls/AccessibleObject.h"

// Answers a window's requests for the accessible object of its client area
// (WM_GETOBJECT) with one CAccessibleObject and its owner's texts, made at
// the first request and cut off from the owner when this goes.
class CAccessibleServer {
public:
  explicit CAccessibleServer(AccessibleTexts texts);
  ~CAccessibleServer();
  CAccessibleServer(const CAccessibleServer&) = delete;
  CAccessibleServer& operator=(const CAccessibleServer&) = delete;

  // True, with the message's result, when it served the request; the rest
  // goes on to the window's default handling.
  bool Serve(HWND window, WPARAM flags, LPARAM objectId, LRESULT& result);

private:
  AccessibleTexts m_texts;
  CAccessibleObject* m_pObject = nullptr;
};
