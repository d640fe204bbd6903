#pragma once
#include <windows.h>

// The system's version library, loaded from the system directory only (it
// is not one of the DLLs the system always takes from there) and released
// with the object. Its three calls are null when it could not be loaded.
class CVersionLibrary {
public:
  CVersionLibrary();
  ~CVersionLibrary();
  CVersionLibrary(const CVersionLibrary&) = delete;
  CVersionLibrary& operator=(const CVersionLibrary&) = delete;

  bool Loaded() const;

  DWORD(WINAPI* GetFileVersionInfoSizeW)(LPCWSTR path, LPDWORD handle) = nullptr;
  BOOL(WINAPI* GetFileVersionInfoW)(LPCWSTR path, DWORD handle, DWORD size, LPVOID data) = nullptr;
  BOOL(WINAPI* VerQueryValueW)(LPCVOID block, LPCWSTR subBlock, LPVOID* buffer, PUINT length) = nullptr;

private:
  HMODULE m_hModule;
};
