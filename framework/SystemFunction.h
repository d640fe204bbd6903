#pragma once
#include <windows.h>

// A system module loaded by its full path in the system directory: a module
// loaded by name is whatever module of that name the process already
// holds, wherever that came from. Null when it cannot be loaded.
HMODULE LoadFromSystemDirectory(const wchar_t* name);

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
