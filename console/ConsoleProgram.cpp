#include "console/ConsoleProgram.h"

#include <cwchar>
#include <optional>

#include "exchange/CompareLog.h"
#include "exchange/KeptResultsNotice.h"
#include "exchange/SettingsFile.h"
#include "exchange/StepConsent.h"
#include "console/ClockRights.h"
#include "console/EventReport.h"
#include "console/FolderSafety.h"
#include "framework/ProgramPath.h"
#include "framework/SocketInit.h"
#include "sntp/PreciseTime.h"

namespace {
const wchar_t kLineEnd[] = L"\r\n";
const wchar_t kNotElevated[] =
    L"Setting the clock needs administrator rights, which this run does not have: run /sync from a "
    L"command prompt opened as administrator, or as a scheduled task of SYSTEM.";
const wchar_t kStopped[] = L"Stopped by Ctrl+C or Ctrl+Break.";
const wchar_t kEventNotWritten[] = L"Warning: this run could not be recorded in the Application log.";

std::wstring Line(const std::wstring& text) {
  return text + kLineEnd;
}

std::wstring ChangeableWarning(const std::wstring& path) {
  return L"Warning: users other than administrators can change " + path +
         L". Whoever can change it can make this program run code of theirs with the rights it has. Move "
         L"the program to a folder that only administrators can change, such as one under Program Files.";
}

// The server whose time was taken; of several, which they were too.
std::wstring ServersText(const ConsoleReport& report) {
  if (report.settings.servers.size() == 1) return report.server;
  std::wstring names;
  for (const std::wstring& server : report.settings.servers) names += (names.empty() ? L"" : L", ") + server;
  return report.server.empty() ? names : report.server + L", chosen among " + names;
}

std::wstring StepRefusal(double step, double limit) {
  wchar_t text[160];
  std::swprintf(text, 160, L"The step of %+.6f s is larger than /maxstep allows (%g s).", step, limit);
  return text;
}
}  // namespace

CConsoleProgram::CConsoleProgram(const ConsoleCommand& command, HANDLE stopEvent)
    : m_command(command), m_messages(ReadLogMessages()), m_stopEvent(stopEvent), m_query(stopEvent) {
  m_report.synchronizing = command.action == ConsoleAction::Sync;
  m_report.settings = ReadServerSettings(command.servers);
  if (command.nts) m_report.settings.nts = *command.nts;
  if (command.minAgree) m_report.settings.minAgree = *command.minAgree;
  if (command.trust) m_report.settings.trust = *command.trust;
  if (m_report.settings.servers.size() == 1) m_report.server = m_report.settings.servers.front();
}

ExitCode CConsoleProgram::Run() {
  if (m_report.synchronizing) {
    if (!MaySetTheClock()) return Fail(ExitCode::NotElevated, kNotElevated, Line(kNotElevated));
    WarnWhereOthersCanChange();
  }
  if (!AfxSocketInit()) return ExchangeFailed({ExchangeFailure::NetworkRefused, SntpRefusal::None, ::GetLastError()});
  return Measure();
}

bool CConsoleProgram::MaySetTheClock() const {
  const HANDLE token = OpenRunToken();
  if (!token) return false;
  const bool holds = HoldsSystemTimePrivilege(token);
  ::CloseHandle(token);
  return holds;
}

// A task that runs as SYSTEM from a folder that users can change hands
// them the machine.
void CConsoleProgram::WarnWhereOthersCanChange() const {
  const std::wstring path = FirstPathOthersCanChange(ProgramPath(), GetSettingsFilePath()).path;
  if (!path.empty()) m_errors.WriteLine(ChangeableWarning(path));
}

void CConsoleProgram::TellWhyNothingIsKept() const {
  if (m_report.settings.nts) m_errors.Write(KeptResultsNotice(m_messages));
}

ExitCode CConsoleProgram::Measure() {
  const ServerPoll poll = m_query.Run(m_report.settings, m_sessions);
  TellWhyNothingIsKept();
  if (poll.Stopped()) return Stopped();
  ReportServers(poll);
  if (!poll.chosen) return PollFailed(poll);
  const SntpExchangeResult& result = poll.ChosenTime();
  m_report.server = poll.Chosen().server;
  m_report.localTime = CalendarNearNow(result.m_DestinationTime);
  m_report.serverTime = CalendarNearNow(result.m_DestinationTime.AddSeconds(result.m_dClockOffset));
  m_report.measurement = result;
  m_report.trust = poll.Trust();
  m_report.trustReason = DowngradeReason(m_messages, poll);
  return m_report.synchronizing ? Synchronize() : Finish(ExitCode::Success);
}

// Each server with its verdict, and its time or why it gave none (told of
// several servers only).
void CConsoleProgram::ReportServers(const ServerPoll& poll) {
  m_report.poll = poll;
  for (const ServerAnswer& answer : poll.answers)
    m_report.failures.push_back(answer.answer ? L"" : FailureReason(m_messages, answer.answer.Error()));
}

ExitCode CConsoleProgram::ExchangeFailed(const FailedExchange& failure) {
  if (failure.kind == ExchangeFailure::Stopped) return Stopped();
  return Fail(ExitCodeOf(failure), FailureReason(m_messages, failure),
              FormatFailureLog(m_messages, m_report.settings.servers.front(), failure, m_report.synchronizing));
}

ExitCode CConsoleProgram::PollFailed(const ServerPoll& poll) {
  const FailedExchange failure = PollFailure(poll);
  if (failure.kind == ExchangeFailure::Stopped) return Stopped();
  return Fail(ExitCodeOf(failure), FailureReason(m_messages, failure),
              FormatPollFailureLog(m_messages, poll, m_report.synchronizing));
}

// From the measurement just made, as the dialog does after its question;
// what the dialog would ask about is refused: a time whose server's
// certificate holds by the server's time only, and a step beyond the limit.
// A stop comes before all, a time fewer servers agree on than the settings
// need is never set, web time within whose bound the clock lies leaves it
// as it is, and a time weaker than the settings trust is refused.
ExitCode CConsoleProgram::Synchronize() {
  const ServerPoll& poll = m_report.poll;
  if (::WaitForSingleObject(m_stopEvent, 0) == WAIT_OBJECT_0) return Stopped();
  if (!poll.CrossChecked()) return RefuseStep(FailureReason(m_messages, PollFailure(poll)), ExitCode::NoMajority);
  if (poll.WithinWebBound()) {
    m_errors.Write(MessageLine(m_messages, kMessageWithinWebBound));
    return Finish(ExitCode::Success);
  }
  const double step = m_report.measurement->m_dClockOffset;
  switch (ConsentNeededFor(poll, m_command.maxStep)) {
    case StepConsent::WeakerThanTrusted:
      return RefuseStep(WeakerTimeRefusal(m_messages, poll), ExitCode::WeakerThanTrusted);
    case StepConsent::CertificateAtServerTimeOnly:
      return RefuseStep(m_messages[kMessageTrustedAtServerTime]);
    case StepConsent::LargeStep:
      return RefuseStep(StepRefusal(step, m_command.maxStep));
    case StepConsent::NotNeeded:
      break;
  }
  if (!m_query.Client().SetSystemClock(PreciseNtpNow().AddSeconds(step))) {
    if (::GetLastError() == ERROR_CANCELLED) return Stopped();
    const std::wstring& reason = m_messages[kMessageFailedToSet];
    return Fail(ExitCode::ClockNotSet, reason, Line(reason));
  }
  m_report.clockSet = true;
  return Finish(ExitCode::Success);
}

ExitCode CConsoleProgram::RefuseStep(const std::wstring& reason, ExitCode code) {
  return Fail(code, reason, Line(reason) + MessageLine(m_messages, kMessageClockUnchanged));
}

ExitCode CConsoleProgram::Fail(ExitCode code, const std::wstring& reason, const std::wstring& errorText) {
  m_errors.Write(errorText);
  m_failureLog = errorText;
  m_report.error = ConsoleError{code, reason};
  return Finish(code);
}

ExitCode CConsoleProgram::Stopped() {
  std::wstring text = Line(kStopped);
  if (m_report.synchronizing) text += MessageLine(m_messages, kMessageClockUnchanged);
  return Fail(ExitCode::Stopped, kStopped, text);
}

ExitCode CConsoleProgram::Finish(ExitCode code) {
  m_output.Write(m_command.json ? FormatJsonReport(m_report) : FormatTextReport(m_report));
  if (m_report.synchronizing) RecordSync();
  return code;
}

// Every /sync, scheduled ones above all, leaves one event in the
// Application log: what it did, or its failure in the words of its log.
void CConsoleProgram::RecordSync() const {
  SyncOutcome outcome;
  outcome.servers = ServersText(m_report);
  if (m_report.measurement) {
    outcome.offset = m_report.measurement->m_dClockOffset;
    outcome.authenticated = m_report.measurement->m_bAuthenticated;
    outcome.trustReason = m_report.trustReason;
  }
  outcome.clockStepped = m_report.clockSet;
  if (m_report.error) outcome.failure = m_failureLog;
  if (!ReportSyncEvent(SyncEventOf(outcome))) m_errors.WriteLine(kEventNotWritten);
}
