#include "app/CompareLog.h"

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
}  // namespace

std::wstring FormatCompareLog(const std::vector<std::wstring>& messages, const std::wstring& server,
                              const std::wstring& answeringAddress, double clockOffset,
                              const SYSTEMTIME& localTime) {
  std::wstring log = ServerLine(messages, server);
  if (!answeringAddress.empty()) log += LabelLine(messages[kMessageAnsweredFrom], answeringAddress);
  if (clockOffset != 0.0) log += OffsetLine(messages, clockOffset);
  return log + LabelLine(messages[kMessageLocalTime], Stamp(localTime));
}

std::wstring FormatFailureLog(const std::vector<std::wstring>& messages, const std::wstring& server,
                              const FailedExchange& failure, bool synchronizing) {
  const std::wstring log = ServerLine(messages, server) + FailureReason(messages, failure) + kLineEnd;
  return synchronizing ? log + MessageLine(messages, kMessageClockUnchanged) : log;
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
  }
  return {};
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
