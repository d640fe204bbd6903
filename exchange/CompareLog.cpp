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

int NtsFailureMessage(NtsFailure failure) {
  return kMessageFirstNtsFailure + static_cast<int>(failure) - 1;
}

// A server's Error or Warning record is told with its code.
std::wstring NtsReason(const std::vector<std::wstring>& messages, const FailedExchange& failure) {
  const std::wstring& reason = messages[NtsFailureMessage(failure.nts)];
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


std::wstring Count(size_t count) {
  return std::to_wstring(count);
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

// Why a time is weaker than the settings asked for: told in its log. A
// plain time the settings chose needs no line of its own.
std::wstring DowngradeLine(const std::vector<std::wstring>& messages, const ServerPoll& poll) {
  if (poll.downgrade == Downgrade::None || poll.downgrade == Downgrade::NtsOff) return {};
  return DowngradeReason(messages, poll) + kLineEnd;
}

// A time fewer servers agree on than the clock needs: said in its log.
std::wstring CrossCheckLine(const std::vector<std::wstring>& messages, const ServerPoll& poll) {
  if (poll.CrossChecked()) return {};
  return WithValues(messages[kMessageNotCrossChecked], {Count(poll.Agreeing()), Count(poll.answers.size())}) +
         kLineEnd;
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
  const std::wstring downgrade = DowngradeLine(messages, poll);
  if (!poll.Several() && poll.CrossChecked() && downgrade.empty())
    return FormatCompareLog(messages, chosen.server, *chosen.answer, localTime);
  std::wstring log = MeasurementLines(messages, chosen.server, *chosen.answer) + downgrade;
  if (poll.Several())
    log += WithValues(messages[kMessageServersAgree], {Count(poll.Agreeing()), Count(poll.Answered())}) + kLineEnd +
           OtherServerLines(messages, poll);
  return log + CrossCheckLine(messages, poll) + LocalTimeLine(messages, localTime);
}

std::wstring FormatUnchangedLog(const std::vector<std::wstring>& messages, const ServerPoll& poll,
                                const SYSTEMTIME& localTime) {
  std::wstring why;
  if (!poll.CrossChecked()) why = FailureReason(messages, PollFailure(poll)) + kLineEnd;
  if (poll.WithinWebBound()) why = MessageLine(messages, kMessageWithinWebBound);
  return FormatPollLog(messages, poll, localTime) + why + ClockUnchangedLine(messages, true);
}

std::wstring FormatPollFailureLog(const std::vector<std::wstring>& messages, const ServerPoll& poll,
                                  bool synchronizing) {
  if (!poll.Several()) {
    const ServerAnswer& only = poll.answers.front();
    return FormatFailureLog(messages, only.server, only.answer.Error(), synchronizing);
  }
  std::wstring log = MessageLine(messages, poll.Answered() > 0 ? kMessageNoMajority : kMessageServersFailed);
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

std::wstring WeakerTimeRefusal(const std::vector<std::wstring>& messages, const ServerPoll& poll) {
  return WithValues(messages[kMessageWeakerRefused], {TrustLevelName(poll.trustFloor), TrustLevelName(poll.Trust())});
}

std::wstring DowngradeReason(const std::vector<std::wstring>& messages, const ServerPoll& poll) {
  switch (poll.downgrade) {
    case Downgrade::NtsOff:
      return messages[kMessageNtsOff];
    case Downgrade::NtsBlocked:
      return messages[kMessageNtsBlocked];
    case Downgrade::NtsDropped:
      return messages[kMessageNtsDropped];
    case Downgrade::TimeProtocolsBlocked:
      return messages[kMessageWebTime];
    case Downgrade::None:
      break;
  }
  return {};
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
      return messages[kMessageStoppedBeforeAnswer];
    case ExchangeFailure::Kissed:
      return WithValues(messages[kMessageKissed], {failure.detail});
    case ExchangeFailure::PredatesProgram:
      return LabelText(messages[kMessageReplyRefused], messages[NtsFailureMessage(NtsFailure::PredatesProgram)]);
    case ExchangeFailure::SameServer:
      return WithValues(messages[kMessageSameServer], {failure.detail});
    case ExchangeFailure::ServersFailed:
      return messages[kMessageServersFailed];
    case ExchangeFailure::TooFewAgree:
      return WithValues(messages[kMessageTooFewAgree], {Count(failure.error)});
    case ExchangeFailure::WebUnavailable:
      return messages[kMessageWebUnavailable] + L" (" + std::to_wstring(failure.error) + L")";
    case ExchangeFailure::WebCertificateRefused:
      return messages[kMessageWebCertificateRefused] + L" (" + std::to_wstring(failure.error) + L")";
    case ExchangeFailure::WebNoDate:
      return messages[kMessageWebNoDate];
  }
  return messages[kMessageServersFailed];
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

std::wstring WithValues(const std::wstring& text, const std::vector<std::wstring>& values) {
  std::wstring replaced;
  for (size_t i = 0; i < text.size(); ++i) {
    const size_t number = i + 1 < text.size() && text[i] == L'%' ? text[i + 1] - L'0' : 0;
    if (number < 1 || number > values.size()) {
      replaced += text[i];
      continue;
    }
    replaced += values[number - 1];
    ++i;
  }
  return replaced;
}
