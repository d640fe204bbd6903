#include "framework/ComApartment.h"

CComApartment::CComApartment(DWORD model) : m_hr(::CoInitializeEx(nullptr, model)) {}

CComApartment::~CComApartment() {
  if (SUCCEEDED(m_hr)) ::CoUninitialize();
}

HRESULT CComApartment::Status() const {
  return m_hr == RPC_E_CHANGED_MODE ? S_OK : m_hr;
}
