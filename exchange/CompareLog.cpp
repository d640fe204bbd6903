#include "exchange/CompareLog.h"

#include <cwchar>

namespace {
const wchar_t kLineEnd[] = L"\r\n";
const wchar_t kLabelEnd[] = L" : ";

std::wstring LabelText(const std::wstring& label, const std::wstring& value) {
  return label + kLabelEnd + value;
}

std::wstring LabelLine(const std::wstring& label, const std::wstring& value) {
  return LabelText(label, value) + kLineEnd;
}

std::wstring ServerLine(const std::vector<std::wstring>& messages, const std::wstring& server) {
  return LabelLine(messages[kMessageTimeServer], server);
}

std::wstring Seconds(const wchar_t* format, double seconds) {
  wchar_t text[64];
  std::swprintf(text, 64, format, seconds);
  return text;
}

// A negative offset means the local clock is ahead of the server.
std::wstring OffsetLine(const std::vector<std::wstring>& messages, double clockOffset) {
  const std::wstring& verdict =
      messages[clockOffset < 0 ? kMessageLocalFaster : kMessageLocalSlower];
  return verdict + L" (" + Seconds(L"%f", clockOffset) + L" sec.)" + kLineEnd;
}

std::wstring Stamp(const SYSTEMTIME& time) {
  wchar_t stamp[64];
  std::swprintf(stamp, 64, L"%04d/%02d/%02d, %02d:%02d:%02d.%03d", time.wYear, time.wMonth,
                time.wDay, time.wHour, time.wMinute, time.wSecond, time.wMilliseconds);
  return stamp;
}

std::wstring StepText(double step) {
  return Seconds(L"%+f sec.", step);
}

std::wstring StepLine(const std::vector<std::wstring>& messages, double step) {
  return LabelLine(messages[kMessageStep], StepText(step));
}

// A server's Error or Warning record is told with its code.
std::wstring NtsReason(const std::vector<std::wstring>& messages, const FailedExchange& failure) {
  const std::wstring& reason = messages[kMessageFirstNtsFailure + static_cast<int>(failure.nts) - 1];
  if (failure.nts != NtsFailure::ServerError && failure.nts != NtsFailure::ServerWarning) return reason;
  return reason + L" (" + std::to_wstring(failure.error) + L")";
}

// Who answered, when it was not the server's name at its first address:
// the NTP server a key exchange named, with its address unless that is how
// it was named; else the address.
std::wstring AnsweredFrom(const SntpExchangeResult& result) {
  const std::wstring& named = result.m_strNegotiatedServer;
  if (named.empty()) return result.m_strAnsweringAddress;
  return named == result.m_strServerAddress ? named : named + L" (" + result.m_strServerAddress + L")";
}

// What a server's answer tells, every line of a compare log but the local
// time's.
std::wstring MeasurementLines(const std::vector<std::wstring>& messages, const std::wstring& server,
                              const SntpExchangeResult& result) {
  std::wstring log = ServerLine(messages, server);
  const std::wstring answeredFrom = AnsweredFrom(result);
  if (!answeredFrom.empty()) log += LabelLine(messages[kMessageAnsweredFrom], answeredFrom);
  if (result.m_bAuthenticated) log += MessageLine(messages, kMessageAuthenticated);
  if (result.m_bTrustedAtServerTimeOnly) log += MessageLine(messages, kMessageTrustedAtServerTime);
  if (result.m_dClockOffset != 0.0) log += OffsetLine(messages, result.m_dClockOffset);
  return log;
}

std::wstring LocalTimeLine(const std::vector<std::wstring>& messages, const SYSTEMTIME& localTime) {
  return LabelLine(messages[kMessageLocalTime], Stamp(localTime));
}

std::wstring WithNumbers(const std::wstring& text, size_t first, size_t second) {
  return WithTexts(text, std::to_wstring(first), std::to_wstring(second));
}

// A server that answered, named with its offset under the label.
std::wstring ServerOffsetLine(const std::wstring& label, const ServerAnswer& answer) {
  return LabelLine(label, answer.server + L" (" + StepText(answer.answer->m_dClockOffset) + L")");
}

std::wstring LeftOutLine(const std::vector<std::wstring>& messages, const ServerAnswer& answer) {
  return LabelLine(messages[kMessageLeftOut], answer.server + L": " + FailureReason(messages, answer.answer.Error()));
}

// One short line for each server whose time is not the chosen one's.
std::wstring OtherServerLines(const std::vector<std::wstring>& messages, const ServerPoll& poll) {
  std::wstring lines;
  for (const ServerAnswer& answer : poll.answers) {
    if (answer.verdict == ServerVerdict::Falseticker) lines += ServerOffsetLine(messages[kMessageFalseticker], answer);
    if (answer.verdict == ServerVerdict::LeftOut) lines += LeftOutLine(messages, answer);
  }
  return lines;
}

std::wstring ClockUnchangedLine(const std::vector<std::wstring>& messages, bool synchronizing) {
  return synchronizing ? MessageLine(messages, kMessageClockUnchanged) : std::wstring();
}

}  // namespace

std::wstring FormatCompareLog(const std::vector<std::wstring>& messages, const std::wstring& server,
                              const SntpExchangeResult& result, const SYSTEMTIME& localTime) {
  return MeasurementLines(messages, server, result) + LocalTimeLine(messages, localTime);
}

std::wstring FormatPollLog(const std::vector<std::wstring>& messages, const ServerPoll& poll,
                           const SYSTEMTIME& localTime) {
  const ServerAnswer& chosen = poll.Chosen();
  if (!poll.Several()) return FormatCompareLog(messages, chosen.server, *chosen.answer, localTime);
  return MeasurementLines(messages, chosen.server, *chosen.answer) +
         WithNumbers(messages[kMessageServersAgree], poll.Agreeing(), poll.Answered()) + kLineEnd +
         OtherServerLines(messages, poll) + LocalTimeLine(messages, localTime);
}

std::wstring FormatPollFailureLog(const std::vector<std::wstring>& messages, const ServerPoll& poll,
                                  bool synchronizing) {
  if (!poll.Several()) {
    const ServerAnswer& only = poll.answers.front();
    return FormatFailureLog(messages, only.server, only.answer.Error(), synchronizing);
  }
  std::wstring log = poll.Answered() > 0 ? MessageLine(messages, kMessageNoMajority) : std::wstring();
  for (const ServerAnswer& answer : poll.answers) {
    if (answer.answer) log += ServerOffsetLine(messages[kMessageTimeServer], answer);
  }
  for (const ServerAnswer& answer : poll.answers) {
    if (!answer.answer) log += LeftOutLine(messages, answer);
  }
  return log + ClockUnchangedLine(messages, synchronizing);
}

std::wstring FormatFailureLog(const std::vector<std::wstring>& messages, const std::wstring& server,
                              const FailedExchange& failure, bool synchronizing) {
  return ServerLine(messages, server) + FailureReason(messages, failure) + kLineEnd +
         ClockUnchangedLine(messages, synchronizing);
}

std::wstring FailureReason(const std::vector<std::wstring>& messages, const FailedExchange& failure) {
  switch (failure.kind) {
    case ExchangeFailure::NoAnswer:
      return messages[kMessageNoAnswer];
    case ExchangeFailure::NameServiceSilent:
      return messages[kMessageNameServiceSilent];
    case ExchangeFailure::NameNotFound:
      return messages[kMessageNameNotFound];
    case ExchangeFailure::NetworkRefused:
      return messages[kMessageNetworkRefused] + L" (" + std::to_wstring(failure.error) + L")";
    case ExchangeFailure::ReplyRefused:
      return LabelText(messages[kMessageReplyRefused],
                       messages[kMessageFirstRefusal + static_cast<int>(failure.refusal) - 1]);
    case ExchangeFailure::NtsFailed:
      return LabelText(messages[kMessageNtsFailed], NtsReason(messages, failure));
    case ExchangeFailure::NoMajority:
      return messages[kMessageNoMajority];
    case ExchangeFailure::Stopped:
      break;
  }
  return {};
}

std::wstring MessageLine(const std::vector<std::wstring>& messages, LogMessage message) {
  return messages[message] + kLineEnd;
}

std::wstring FormatStepQuestion(const std::vector<std::wstring>& messages, LogMessage why,
                                const SYSTEMTIME& localTime, const SYSTEMTIME& newLocalTime, double step) {
  return MessageLine(messages, why) + kLineEnd + LabelLine(messages[kMessageLocalTime], Stamp(localTime)) +
         LabelLine(messages[kMessageNewLocalTime], Stamp(newLocalTime)) + StepLine(messages, step);
}

std::wstring FormatCertificateQuestion(const std::vector<std::wstring>& messages, const SYSTEMTIME& localTime,
                                       const SYSTEMTIME& serverTime, double step, const SYSTEMTIME& validFrom,
                                       const SYSTEMTIME& validUntil) {
  return MessageLine(messages, kMessageCertificateQuestion) + kLineEnd +
         LabelLine(messages[kMessageLocalTime], Stamp(localTime)) +
         LabelLine(messages[kMessageServerTime], Stamp(serverTime)) + StepLine(messages, step) +
         LabelLine(messages[kMessageCertificateValidFrom], Stamp(validFrom)) +
         LabelLine(messages[kMessageCertificateValidUntil], Stamp(validUntil));
}

std::wstring WithTexts(const std::wstring& text, const std::wstring& first, const std::wstring& second) {
  std::wstring replaced;
  for (size_t i = 0; i < text.size(); ++i) {
    const bool placeholder = text[i] == L'%' && i + 1 < text.size() && (text[i + 1] == L'1' || text[i + 1] == L'2');
    if (!placeholder) {
      replaced += text[i];
      continue;
    }
    replaced += text[++i] == L'1' ? first : second;
  }
  return replaced;
}
