// The entry point of the load probes: loads a DLL of a name no system has
// by its bare name, and ends with 0 when it loaded, else with the error.
// Linked with the program's own code, the start-up lock-down has run
// before it; linked alone, nothing restricts the search.
#include <windows.h>

extern "C" void LoadProbeEntry() {
  const HMODULE planted = ::LoadLibraryW(L"movrane_lockdown_probe.dll");
  ::ExitProcess(planted ? ERROR_SUCCESS : ::GetLastError());
}
