#include "console/ExitCode.h"

namespace {
// The usage text's column of codes: two spaces, then the number to the right.
constexpr size_t kNumberWidth = 4;

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
    {ExitCode::NoMajority, L"the servers that answered disagree: no majority of them agrees on the time; "
                           L"or /sync found fewer servers agreeing than /minagree (minagree) asks for"},
    {ExitCode::ScheduleRefused, L"/schedule refused: users other than administrators can change the program, "
                                L"its Movrane.ini or a folder it is in, or the Task Scheduler cannot run it "
                                L"from its path"},
    {ExitCode::NotAdministrator, L"/schedule, /unschedule or /forget without administrator rights"},
    {ExitCode::SchedulerFailed, L"the Task Scheduler could not register or remove the task"},
    {ExitCode::ServersFailed, L"no server gave a time, and they failed in different ways: each server's "
                              L"reason is in the report"},
    {ExitCode::WeakerThanTrusted, L"/sync refused a time weaker than trust (or /trust) allows: not authenticated "
                                  L"where NTS was blocked, or web time"},
    {ExitCode::ForgetFailed, L"the NTS key-exchange results kept between runs could not be removed"},
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
    case ExchangeFailure::Kissed:
    case ExchangeFailure::PredatesProgram:
      return ExitCode::ReplyRefused;
    case ExchangeFailure::NtsFailed:
      return ExitCodeOfNts(failure.nts);
    case ExchangeFailure::NoMajority:
    case ExchangeFailure::TooFewAgree:
      return ExitCode::NoMajority;
    case ExchangeFailure::Stopped:
      return ExitCode::Stopped;
    case ExchangeFailure::SameServer:
    case ExchangeFailure::ServersFailed:
    case ExchangeFailure::WebUnavailable:
    case ExchangeFailure::WebCertificateRefused:
    case ExchangeFailure::WebNoDate:
      break;
  }
  return ExitCode::ServersFailed;
}

std::wstring ExitCodeList() {
  std::wstring list;
  // The numbers right-aligned in a column of four, as "%4d" would, with
  // no limit on the meaning's length.
  for (const ExitCodeMeaning& entry : kMeanings) {
    const std::wstring number = std::to_wstring(static_cast<int>(entry.code));
    list += std::wstring(kNumberWidth - number.size(), L' ') + number + L"  " + entry.meaning + L"\r\n";
  }
  return list;
}
