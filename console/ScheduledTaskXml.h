#pragma once
#include <string>

#include "framework/SystemTime.h"

// LocalSystem, by its SID: the same in every language of Windows.
constexpr wchar_t kLocalSystem[] = L"S-1-5-18";

// The Task Scheduler's definition, in its XML, of the task that runs the
// program (its full path) with /sync as SYSTEM, with the highest rights:
// from start (local time) every hours hours without end, and at every
// start-up. A start missed while the computer was off is made up, on
// battery as well, and a run never overlaps the one before.
std::wstring ScheduledTaskXml(const std::wstring& programPath, int hours, const SYSTEMTIME& start);
