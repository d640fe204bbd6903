#include "console/ExitCode.h"

#include <cwchar>

namespace {
struct ExitCodeMeaning {
  ExitCode code;
  const wchar_t* meaning;
};

const ExitCodeMeaning kMeanings[] = {
    {ExitCode::Success, L"the clocks were compared (/compare) or the clock was set (/sync)"},
    {ExitCode::UsageError, L"the command line was not understood"},
    {ExitCode::NoAnswer, L"no answer from the server in time"},
    {ExitCode::NameNotFound, L"the server's name could not be found"},
    {ExitCode::ReplyRefused, L"the server's answer was refused"},
    {ExitCode::NtsFailed, L"Network Time Security failed (key exchange, certificate or authentication)"},
    {ExitCode::NetworkRefused, L"the network refused the request"},
    {ExitCode::NotElevated, L"/sync without administrator rights"},
    {ExitCode::StepRefused, L"/sync refused a step larger than /maxstep, or a time whose server's "
                            L"certificate holds by the server's time only"},
    {ExitCode::ClockNotSet, L"/sync could not set the clock"},
    {ExitCode::Stopped, L"stopped by Ctrl+C or Ctrl+Break"},
    {ExitCode::NtsPortBlocked,
     L"the NTS key exchange's port (TCP 4460) accepted no connection: a firewall may block it"},
    {ExitCode::NtsPacketsDropped, L"no NTS request was answered: the network may drop large NTP packets"},
    {ExitCode::NoMajority, L"the servers that answered disagree: no majority of them agrees on the time"},
    {ExitCode::ScheduleRefused, L"/schedule refused: users other than administrators can change the program, "
                                L"its Movrane.ini or a folder it is in"},
    {ExitCode::NotAdministrator, L"/schedule or /unschedule without administrator rights"},
    {ExitCode::SchedulerFailed, L"the Task Scheduler could not register or remove the task"},
    {ExitCode::HistoryUnread, L"/history could not read the history: its folder is not safe, or its file "
                              L"could not be read"},
};

// Two ways NTS fails that a script can act on: another server, or nts=0.
ExitCode ExitCodeOfNts(NtsFailure failure) {
  switch (failure) {
    case NtsFailure::ConnectionUnanswered:
      return ExitCode::NtsPortBlocked;
    case NtsFailure::RequestsUnanswered:
      return ExitCode::NtsPacketsDropped;
    default:
      return ExitCode::NtsFailed;
  }
}

}  // namespace

ExitCode ExitCodeOf(const FailedExchange& failure) {
  switch (failure.kind) {
    case ExchangeFailure::NoAnswer:
      return ExitCode::NoAnswer;
    case ExchangeFailure::NameServiceSilent:
    case ExchangeFailure::NameNotFound:
      return ExitCode::NameNotFound;
    case ExchangeFailure::NetworkRefused:
      return ExitCode::NetworkRefused;
    case ExchangeFailure::ReplyRefused:
      return ExitCode::ReplyRefused;
    case ExchangeFailure::NtsFailed:
      return ExitCodeOfNts(failure.nts);
    case ExchangeFailure::NoMajority:
      return ExitCode::NoMajority;
    case ExchangeFailure::Stopped:
      return ExitCode::Stopped;
  }
  return ExitCode::NetworkRefused;
}

std::wstring ExitCodeList() {
  std::wstring list;
  for (const ExitCodeMeaning& entry : kMeanings) {
    wchar_t line[128];
    std::swprintf(line, 128, L"  %2d  %ls\r\n", static_cast<int>(entry.code), entry.meaning);
    list += line;
  }
  return list;
}
