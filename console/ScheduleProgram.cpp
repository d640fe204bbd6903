#include "console/ScheduleProgram.h"

#include <cwchar>

#include "exchange/SettingsFile.h"
#include "console/ClockRights.h"
#include "console/FolderSafety.h"
#include "console/ScheduledTask.h"
#include "framework/ProgramPath.h"
#include "nts/NtsKeyStore.h"

namespace {
const wchar_t kNeedsAdministrator[] =
    L"Scheduling needs administrator rights, which this run does not have: run it from a command prompt "
    L"opened as administrator.";
const wchar_t kForgetNeedsAdministrator[] =
    L"Removing the kept NTS key-exchange results needs administrator rights, which this run does not have: run "
    L"it from a command prompt opened as administrator.";
const wchar_t kNoProgramPath[] = L"The program's own path could not be read; no task was made.";
const wchar_t kNoTask[] = L"There was no scheduled task to remove: ";
const wchar_t kRemoved[] = L"Removed the scheduled task ";
const wchar_t kForgotten[] = L"Removed the NTS key-exchange results kept between runs (if any).";
const wchar_t kNotForgotten[] =
    L"The NTS key-exchange results kept in %ProgramData%\\Movrane\\nts could not be removed: that folder or the "
    L"Movrane folder holding it is not one that only administrators can change. Check its owner and "
    L"permissions, and delete it.";
constexpr int kErrorSize = 32;

std::wstring ChangeableRefusal(const std::wstring& path) {
  return L"Not scheduled: users other than administrators can change " + path +
         L", and the task would run this program as SYSTEM, with the machine's highest rights. Move the "
         L"program to a folder that only administrators can change, such as one under Program Files, and "
         L"schedule it from there.";
}

std::wstring Scheduled(const std::wstring& program, int hours) {
  return L"Scheduled the task " + std::wstring(CScheduledTask::kName) + L": \"" + program +
         L"\" /sync runs as SYSTEM at start-up and every " + std::to_wstring(hours) +
         (hours == 1 ? L" hour." : L" hours.");
}

std::wstring SchedulerRefusal(const wchar_t* what, HRESULT hr) {
  wchar_t error[kErrorSize];
  std::swprintf(error, kErrorSize, L"0x%08lX", static_cast<unsigned long>(hr));
  return std::wstring(L"The Task Scheduler could not ") + what + L" the task " + CScheduledTask::kName +
         L" (error " + error + L").";
}
}  // namespace

CScheduleProgram::CScheduleProgram(const ConsoleCommand& command) : m_command(command) {}

ExitCode CScheduleProgram::Run() {
  if (!RunsAsAdministrator())
    return Fail(ExitCode::NotAdministrator,
                m_command.action == ConsoleAction::Forget ? kForgetNeedsAdministrator : kNeedsAdministrator);
  if (m_command.action == ConsoleAction::Schedule) return Schedule();
  if (m_command.action == ConsoleAction::Unschedule) return Unschedule();
  return Forget();
}

bool CScheduleProgram::RunsAsAdministrator() const {
  const HANDLE token = OpenRunToken();
  if (!token) return false;
  const bool administrator = IsAdministrator(token);
  ::CloseHandle(token);
  return administrator;
}

// A task that runs as SYSTEM from a folder that users can change hands
// them the machine: refused, not warned about.
ExitCode CScheduleProgram::Schedule() {
  const std::wstring program = ProgramPath();
  if (program.empty()) return Fail(ExitCode::ScheduleRefused, kNoProgramPath);
  const std::wstring changeable = FirstPathOthersCanChange(program, GetSettingsFilePath());
  if (!changeable.empty()) return Fail(ExitCode::ScheduleRefused, ChangeableRefusal(changeable));
  const HRESULT hr = CScheduledTask::Register(program, m_command.scheduleHours);
  if (FAILED(hr)) return Fail(ExitCode::SchedulerFailed, SchedulerRefusal(L"register", hr));
  return Done(Scheduled(program, m_command.scheduleHours));
}

// No task to remove is what was asked for all the same: a script that
// removes it twice, or an uninstaller, succeeds.
ExitCode CScheduleProgram::Unschedule() {
  const HRESULT hr = CScheduledTask::Remove();
  if (FAILED(hr)) return Fail(ExitCode::SchedulerFailed, SchedulerRefusal(L"remove", hr));
  m_output.WriteLine((hr == S_FALSE ? kNoTask : kRemoved) + std::wstring(CScheduledTask::kName));
  return Forget();
}

// Nothing kept is what was asked for too.
ExitCode CScheduleProgram::Forget() {
  if (!CNtsKeyStore::Forget()) return Fail(ExitCode::ForgetFailed, kNotForgotten);
  return Done(kForgotten);
}

ExitCode CScheduleProgram::Done(const std::wstring& text) {
  m_output.WriteLine(text);
  return ExitCode::Success;
}

ExitCode CScheduleProgram::Fail(ExitCode code, const std::wstring& text) {
  m_errors.WriteLine(text);
  return code;
}
