#include "about/VersionLibrary.h"

#include "framework/SystemFunction.h"

namespace {

// By its full path: a module loaded by name is whatever module of that name
// the process already holds, wherever that came from.
HMODULE LoadFromSystemDirectory(const wchar_t* name) {
  wchar_t path[MAX_PATH] = {};
  const UINT length = ::GetSystemDirectoryW(path, MAX_PATH);
  if (length == 0 || length + ::lstrlenW(name) + 2 > MAX_PATH) return nullptr;
  path[length] = L'\\';
  ::lstrcpyW(path + length + 1, name);
  return ::LoadLibraryExW(path, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
}

}  // namespace

CVersionLibrary::CVersionLibrary()
    : m_hModule(LoadFromSystemDirectory(L"version.dll")) {
  if (!m_hModule) return;
  GetFileVersionInfoSizeW = SystemFunction<decltype(GetFileVersionInfoSizeW)>(m_hModule, "GetFileVersionInfoSizeW");
  GetFileVersionInfoW = SystemFunction<decltype(GetFileVersionInfoW)>(m_hModule, "GetFileVersionInfoW");
  VerQueryValueW = SystemFunction<decltype(VerQueryValueW)>(m_hModule, "VerQueryValueW");
}

CVersionLibrary::~CVersionLibrary() {
  if (m_hModule) ::FreeLibrary(m_hModule);
}

bool CVersionLibrary::Loaded() const {
  return GetFileVersionInfoSizeW && GetFileVersionInfoW && VerQueryValueW;
}
