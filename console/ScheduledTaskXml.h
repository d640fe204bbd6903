#pragma once
#include <string>

#include "framework/SystemTime.h"

// LocalSystem, by its SID: the same in every language of Windows.
constexpr wchar_t kLocalSystem[] = L"S-1-5-18";

// The longest program path the task can run: the Task Scheduler's Command
// takes 260 characters, two of them the quotes around the path.
constexpr size_t kLongestTaskProgramPath = 258;

// Why the Task Scheduler could not take the program (its full path) as the
// task's command, in words a user can act on; empty when it can.
std::wstring TaskProgramPathRefusal(const std::wstring& programPath);

// The Task Scheduler's definition, in its XML, of the task that runs the
// program (its full path) with /sync as SYSTEM, with the highest rights and
// at normal priority: from start (local time) every hours hours without
// end, each run put off by a random delay so that many computers do not
// ask at the same second; two minutes after every start-up; when a network
// connects; and on every resume from sleep or hibernation. A start missed
// while the computer was off is made up, on battery as well, and a run
// never overlaps the one before. Only for a path that
// TaskProgramPathRefusal accepts.
std::wstring ScheduledTaskXml(const std::wstring& programPath, int hours, const SYSTEMTIME& start);
