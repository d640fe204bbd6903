#pragma once
#include <windows.h>

// The system calls that setting the clock makes. Tests put stand-ins in
// their place; the program uses kSystemClockCalls.
struct SystemClockCalls {
  BOOL(WINAPI* openProcessToken)(HANDLE process, DWORD access, PHANDLE token);
  BOOL(WINAPI* lookupPrivilegeValue)(LPCWSTR system, LPCWSTR name, PLUID luid);
  BOOL(WINAPI* adjustTokenPrivileges)(HANDLE token, BOOL disableAll, PTOKEN_PRIVILEGES newState,
                                      DWORD length, PTOKEN_PRIVILEGES previousState,
                                      PDWORD returnLength);
  BOOL(WINAPI* setSystemTime)(const SYSTEMTIME* time);
  BOOL(WINAPI* closeHandle)(HANDLE handle);
};

extern const SystemClockCalls kSystemClockCalls;
