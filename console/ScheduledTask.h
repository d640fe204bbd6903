#pragma once
#include <windows.h>

#include <string>

// The one task of the Task Scheduler that keeps this computer's clock set:
// it runs Movrane.com /sync as SYSTEM, with the highest rights, at start-up
// and every so many hours. Reached through the Task Scheduler's COM
// interface on the calling thread, never through a command line.
class CScheduledTask {
public:
  // Its name in the Task Scheduler's root folder.
  static constexpr wchar_t kName[] = L"\\Movrane";
  // Registers the task to run the program, given by its full path, every
  // hours hours and at start-up, replacing one registered before. S_OK, or
  // why the Task Scheduler refused.
  static HRESULT Register(const std::wstring& programPath, int hours);

  // Removes the task: S_OK, S_FALSE when there was none, or why the Task
  // Scheduler refused.
  static HRESULT Remove();
};
