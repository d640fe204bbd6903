#include "controls/AccessibilityLibrary.h"

#include "framework/SystemFunction.h"

const CAccessibilityLibrary* CAccessibilityLibrary::Get() {
  static const CAccessibilityLibrary library;
  return library.Loaded() ? &library : nullptr;
}

// The objects are handed to screen readers through COM, which serves
// their calls on this thread, among its messages.
CAccessibilityLibrary::CAccessibilityLibrary() {
  if (FAILED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return;
  const HMODULE accessibility = LoadFromSystemDirectory(L"oleacc.dll");
  CreateStdAccessibleObject =
      SystemFunction<decltype(CreateStdAccessibleObject)>(accessibility, "CreateStdAccessibleObject");
  LresultFromObject = SystemFunction<decltype(LresultFromObject)>(accessibility, "LresultFromObject");
}

bool CAccessibilityLibrary::Loaded() const {
  return CreateStdAccessibleObject && LresultFromObject;
}
