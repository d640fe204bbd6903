#include "console/ScheduleProgram.h"

#include <cwchar>

#include "exchange/SettingsFile.h"
#include "console/ClockRights.h"
#include "console/EventSource.h"
#include "console/FolderChain.h"
#include "console/FolderSafety.h"
#include "console/ScheduledTask.h"
#include "console/ScheduledTaskXml.h"
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
const wchar_t kSourceRegistered[] =
    L"Registered the event source Movrane in the Application log, with this program's messages.";
const wchar_t kSourceRemoved[] = L"Removed the event source Movrane that /schedule had registered.";
constexpr int kErrorSize = 32;

// Names who can change what, and how an administrator puts the program
// where only administrators can: a copy takes the permissions of the
// folder it goes to, a move on one drive keeps its own.
std::wstring ChangeableRefusal(const ChangeablePath& changeable, const std::wstring& program) {
  const std::wstring folder = ParentFolder(program);
  return L"Not scheduled: " + changeable.account + L" can change " + changeable.path +
         L", and the task would run this program as SYSTEM, with the machine's highest rights. From a command "
         L"prompt opened as administrator, copy the program's folder under Program Files, for example robocopy \"" +
         folder + L"\" \"%ProgramFiles%\\Movrane\" /E, and schedule it from there: a copy takes the permissions "
         L"of Program Files, a move keeps those it had. To mend a folder that was moved there, give it to the "
         L"administrators and reset its permissions: takeown /F \"" + folder + L"\" /A /R, then icacls \"" +
         folder + L"\" /reset /T.";
}

std::wstring Scheduled(const std::wstring& program, int hours) {
  return L"Scheduled the task " + std::wstring(CScheduledTask::kName) + L": \"" + program +
         L"\" /sync runs as SYSTEM after start-up, when a network connects, after a resume from sleep and "
         L"every " + std::to_wstring(hours) + (hours == 1 ? L" hour." : L" hours.");
}

std::wstring EventSourceWarning(const wchar_t* what, LSTATUS status) {
  return std::wstring(L"Warning: the event source Movrane could not be ") + what + L" (error " +
         std::to_wstring(status) + L"); Event Viewer shows its events' text only while it is registered.";
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

// A path the Task Scheduler cannot run is refused before it is asked. A
// task that runs as SYSTEM from a folder that users can change hands them
// the machine: refused, not warned about.
ExitCode CScheduleProgram::Schedule() {
  const std::wstring program = ProgramPath();
  if (program.empty()) return Fail(ExitCode::ScheduleRefused, kNoProgramPath);
  const std::wstring pathRefusal = TaskProgramPathRefusal(program);
  if (!pathRefusal.empty()) return Fail(ExitCode::ScheduleRefused, pathRefusal);
  const ChangeablePath changeable = FirstPathOthersCanChange(program, GetSettingsFilePath());
  if (!changeable.path.empty()) return Fail(ExitCode::ScheduleRefused, ChangeableRefusal(changeable, program));
  const HRESULT hr = CScheduledTask::Register(program, m_command.scheduleHours);
  if (FAILED(hr)) return Fail(ExitCode::SchedulerFailed, SchedulerRefusal(L"register", hr));
  MakeEventSource(program);
  return Done(Scheduled(program, m_command.scheduleHours));
}

// No task to remove is what was asked for all the same: a script that
// removes it twice, or an uninstaller, succeeds.
ExitCode CScheduleProgram::Unschedule() {
  const HRESULT hr = CScheduledTask::Remove();
  if (FAILED(hr)) return Fail(ExitCode::SchedulerFailed, SchedulerRefusal(L"remove", hr));
  RemoveOwnEventSource();
  m_output.WriteLine((hr == S_FALSE ? kNoTask : kRemoved) + std::wstring(CScheduledTask::kName));
  return Forget();
}

// Nothing kept is what was asked for too.
ExitCode CScheduleProgram::Forget() {
  if (!CNtsKeyStore::Forget()) return Fail(ExitCode::ForgetFailed, kNotForgotten);
  return Done(kForgotten);
}

// The task works without the event source: a failure to make it is told,
// and the task stays.
void CScheduleProgram::MakeEventSource(const std::wstring& program) {
  bool made = false;
  const LSTATUS status = CEventSource::Register(program, made);
  if (status != ERROR_SUCCESS) m_errors.WriteLine(EventSourceWarning(L"registered", status));
  if (made) m_output.WriteLine(kSourceRegistered);
}

// Only the source that /schedule made goes; the installer's stays until
// its uninstall.
void CScheduleProgram::RemoveOwnEventSource() {
  bool removed = false;
  const LSTATUS status = CEventSource::RemoveOwn(ProgramPath(), removed);
  if (status != ERROR_SUCCESS) m_errors.WriteLine(EventSourceWarning(L"removed", status));
  if (removed) m_output.WriteLine(kSourceRemoved);
}

ExitCode CScheduleProgram::Done(const std::wstring& text) {
  m_output.WriteLine(text);
  return ExitCode::Success;
}

ExitCode CScheduleProgram::Fail(ExitCode code, const std::wstring& text) {
  m_errors.WriteLine(text);
  return code;
}
