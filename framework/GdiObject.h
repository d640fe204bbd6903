#pragma once
#include <windows.h>

#include "framework/Object.h"

// Owner of one GDI object, deleted with the owner.
class CGdiObject : public CObject {
public:
  CGdiObject() = default;
  CGdiObject(const CGdiObject&) = delete;
  CGdiObject& operator=(const CGdiObject&) = delete;
  ~CGdiObject() override { DeleteObject(); }

  BOOL Attach(HGDIOBJ object);
  BOOL DeleteObject();
  int GetObject(int size, void* buffer) const { return ::GetObjectW(m_hObject, size, buffer); }

  HGDIOBJ m_hObject = nullptr;
};
