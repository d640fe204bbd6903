#pragma once
#include <windows.h>

#include "console/SyncEvent.h"

// The event source of Movrane.com in the Application log; the installer,
// or /schedule where none did (CEventSource), registers it with
// Movrane.com as its message file.
constexpr wchar_t kEventSource[] = L"Movrane";

// The call that writes an event: ReportEventW, or a test's stand-in.
using ReportEventCall = BOOL(WINAPI*)(HANDLE, WORD, WORD, DWORD, PSID, WORD, DWORD, LPCWSTR*, LPVOID);

// Writes the event to the Application log under the source Movrane, its
// text the one insert of its message; false when the log cannot be
// reached or refuses it.
bool ReportSyncEvent(const SyncEvent& event, ReportEventCall report = ::ReportEventW);
