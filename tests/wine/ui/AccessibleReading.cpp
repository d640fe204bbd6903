#include "tests/wine/ui/AccessibleReading.h"

#include <oleacc.h>

namespace {
std::wstring Take(BSTR text) {
  const std::wstring taken = text ? text : L"";
  ::SysFreeString(text);
  return taken;
}
}  // namespace

AccessibleReading ReadAccessible(HWND hWnd) {
  AccessibleReading reading;
  if (FAILED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return reading;
  IAccessible* object = nullptr;
  if (SUCCEEDED(::AccessibleObjectFromWindow(hWnd, OBJID_CLIENT, __uuidof(IAccessible),
                                             reinterpret_cast<void**>(&object)))) {
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    BSTR value = nullptr;
    object->get_accName(self, &name);
    object->get_accValue(self, &value);
    reading = {Take(name), Take(value)};
    object->Release();
  }
  ::CoUninitialize();
  return reading;
}
