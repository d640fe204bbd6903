#include "app/CompareLog.h"

#include <cwchar>

const MessageSetting kLogMessages[kMessageCount] = {
    {L"1", L"Time server"},
    {L"2", L"Local time is faster than Server time"},
    {L"3", L"Local time is slower than Server time"},
    {L"4", L"Local time"},
    {L"5", L"Reserved"},
    {L"6", L"Failed to set the local time"},
    {L"7", L"No answer from the server within 5 seconds"},
    {L"8", L"The server's name could not be found"},
    {L"9", L"The network refused the request"},
    {L"10", L"The server's answer was refused"},
    {L"11", L"The local time was not changed"},
    {L"12", L"The server's time is more than an hour away from the local time. Set the local time to it?"},
    {L"13", L"New local time"},
    {L"14", L"Step"},
    {L"15", L"the server's clock is not synchronised"},
    {L"16", L"it speaks an unknown protocol version"},
    {L"17", L"it is not a server's answer"},
    {L"18", L"the server sent no valid stratum (a kiss-o'-death)"},
    {L"19", L"it carries no time"},
    {L"20", L"it was sent before it was received"},
    {L"21", L"the server held the request too long"},
    {L"22", L"its times give a negative round trip"},
    {L"23", L"the server's time is too uncertain"},
};

namespace {
const wchar_t kLineEnd[] = L"\r\n";
const wchar_t kLabelEnd[] = L" : ";

std::wstring LabelLine(const std::wstring& label, const std::wstring& value) {
  return label + kLabelEnd + value + kLineEnd;
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

std::wstring Reason(const std::vector<std::wstring>& messages, const FailedExchange& failure) {
  switch (failure.kind) {
    case ExchangeFailure::NoAnswer:
      return MessageLine(messages, kMessageNoAnswer);
    case ExchangeFailure::NameNotFound:
      return MessageLine(messages, kMessageNameNotFound);
    case ExchangeFailure::NetworkRefused:
      return messages[kMessageNetworkRefused] + L" (" + std::to_wstring(failure.error) + L")" + kLineEnd;
    case ExchangeFailure::ReplyRefused:
      return LabelLine(messages[kMessageReplyRefused],
                       messages[kMessageFirstRefusal + static_cast<int>(failure.refusal) - 1]);
  }
  return {};
}
}  // namespace

std::wstring FormatCompareLog(const std::vector<std::wstring>& messages, const std::wstring& server,
                              double clockOffset, const SYSTEMTIME& localTime) {
  std::wstring log = ServerLine(messages, server);
  if (clockOffset != 0.0) log += OffsetLine(messages, clockOffset);
  return log + LabelLine(messages[kMessageLocalTime], Stamp(localTime));
}

std::wstring FormatFailureLog(const std::vector<std::wstring>& messages, const std::wstring& server,
                              const FailedExchange& failure) {
  return ServerLine(messages, server) + Reason(messages, failure);
}

std::wstring MessageLine(const std::vector<std::wstring>& messages, LogMessage message) {
  return messages[message] + kLineEnd;
}

std::wstring FormatStepQuestion(const std::vector<std::wstring>& messages, const SYSTEMTIME& localTime,
                                const SYSTEMTIME& newLocalTime, double step) {
  return MessageLine(messages, kMessageLargeStep) + kLineEnd +
         LabelLine(messages[kMessageLocalTime], Stamp(localTime)) +
         LabelLine(messages[kMessageNewLocalTime], Stamp(newLocalTime)) +
         LabelLine(messages[kMessageStep], Seconds(L"%+f sec.", step));
}
