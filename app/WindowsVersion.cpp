#include "app/WindowsVersion.h"

bool IsWindowsNTFamily(VersionQuery queryVersion) {
  OSVERSIONINFOEXW version{};
  auto* record = reinterpret_cast<LPOSVERSIONINFOW>(&version);
  version.dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXW);
  if (!queryVersion(record)) {
    version.dwOSVersionInfoSize = sizeof(OSVERSIONINFOW);
    if (!queryVersion(record)) return false;
  }
  return version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}
