#include "controls/AccessibilityLibrary.h"

#include "framework/SystemFunction.h"

const CAccessibilityLibrary* CAccessibilityLibrary::Get() {
  static const CAccessibilityLibrary library;
  return library.Loaded() ? &library : nullptr;
}

// The objects are handed to screen readers through COM, which serves
// their calls on this thread, among its messages.
CAccessibilityLibrary::CAccessibilityLibrary() {
  const HMODULE com = LoadFromSystemDirectory(L"ole32.dll");
  const auto initialize = SystemFunction<decltype(&::CoInitializeEx)>(com, "CoInitializeEx");
  if (!initialize || FAILED(initialize(nullptr, COINIT_APARTMENTTHREADED))) return;
  const HMODULE automation = LoadFromSystemDirectory(L"oleaut32.dll");
  const HMODULE accessibility = LoadFromSystemDirectory(L"oleacc.dll");
  SysAllocString = SystemFunction<decltype(SysAllocString)>(automation, "SysAllocString");
  CreateStdAccessibleObject =
      SystemFunction<decltype(CreateStdAccessibleObject)>(accessibility, "CreateStdAccessibleObject");
  LresultFromObject = SystemFunction<decltype(LresultFromObject)>(accessibility, "LresultFromObject");
}

bool CAccessibilityLibrary::Loaded() const {
  return CreateStdAccessibleObject && LresultFromObject && SysAllocString;
}
