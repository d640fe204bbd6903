#include "framework/SocketInit.h"

#include <cstdlib>

namespace {
void CleanupSockets() {
  ::WSACleanup();
}
}  // namespace

BOOL AfxSocketInit(WSADATA* lpwsaData) {
  WSADATA data;
  const int error = ::WSAStartup(MAKEWORD(1, 1), lpwsaData ? lpwsaData : &data);
  if (error != 0) {
    ::SetLastError(static_cast<DWORD>(error));
    return FALSE;
  }
  std::atexit(CleanupSockets);
  return TRUE;
}
