#pragma once
#include <windows.h>

// A function of a loaded module, looked up at run time, for calls that not
// every supported system has; null when the module lacks it.
template <class Function>
Function SystemFunction(HMODULE module, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

// The same of a module the process already holds, by name.
template <class Function>
Function SystemFunction(const wchar_t* module, const char* name) {
  return SystemFunction<Function>(::GetModuleHandleW(module), name);
}
