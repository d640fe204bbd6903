#pragma once
#include <windows.h>

#include <string>

// A file of the build's output directory, which holds every program and
// library of the build, the running test program among them.
inline std::wstring BuildOutputPath(const wchar_t* fileName) {
  wchar_t self[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring path(self);
  path.erase(path.find_last_of(L'\\') + 1);
  return path + fileName;
}
