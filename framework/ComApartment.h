#pragma once
#include <objbase.h>
#include <windows.h>

// A COM apartment of the given kind (COINIT_...) on the calling thread for
// as long as the object lives, unless the thread already has one of
// another kind, which serves as well.
class CComApartment {
public:
  explicit CComApartment(DWORD model);
  ~CComApartment();
  CComApartment(const CComApartment&) = delete;
  CComApartment& operator=(const CComApartment&) = delete;

  // S_OK when COM may be used on the thread; why not otherwise.
  HRESULT Status() const;

private:
  HRESULT m_hr;
};
