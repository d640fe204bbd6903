#include "about/VersionLibrary.h"

#include "framework/SystemFunction.h"

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
