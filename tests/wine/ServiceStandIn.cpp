// A service that only runs until it is stopped: the tests install it under
// the names of other programs' services to make those "running" in the
// prefix.
#include <windows.h>

namespace {
SERVICE_STATUS_HANDLE g_status = nullptr;
HANDLE g_stop = nullptr;

void Report(DWORD state) {
  SERVICE_STATUS status{};
  status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
  status.dwCurrentState = state;
  status.dwControlsAccepted = state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP : 0;
  ::SetServiceStatus(g_status, &status);
}

DWORD WINAPI Control(DWORD control, DWORD, LPVOID, LPVOID) {
  if (control == SERVICE_CONTROL_STOP) ::SetEvent(g_stop);
  return NO_ERROR;
}

void WINAPI ServiceMain(DWORD, LPWSTR*) {
  g_status = ::RegisterServiceCtrlHandlerExW(L"", Control, nullptr);
  if (!g_status) return;
  Report(SERVICE_RUNNING);
  ::WaitForSingleObject(g_stop, INFINITE);
  Report(SERVICE_STOPPED);
}
}  // namespace

int wmain() {
  g_stop = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  wchar_t name[] = L"";
  SERVICE_TABLE_ENTRYW table[] = {{name, ServiceMain}, {nullptr, nullptr}};
  return ::StartServiceCtrlDispatcherW(table) ? 0 : 1;
}
