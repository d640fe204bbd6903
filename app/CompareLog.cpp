#include "app/CompareLog.h"

#include <cwchar>

namespace {
const wchar_t kLineEnd[] = L"\r\n";

std::wstring ServerLine(const std::vector<std::wstring>& messages, const std::wstring& server) {
  return messages[kMessageTimeServer] + L" : " + server + kLineEnd;
}

// A negative offset means the local clock is ahead of the server.
std::wstring OffsetLine(const std::vector<std::wstring>& messages, double clockOffset) {
  wchar_t seconds[64];
  std::swprintf(seconds, 64, L"%f", clockOffset);
  const std::wstring& verdict =
      messages[clockOffset < 0 ? kMessageLocalFaster : kMessageLocalSlower];
  return verdict + L" (" + seconds + L" sec.)" + kLineEnd;
}

std::wstring LocalTimeLine(const std::vector<std::wstring>& messages, const SYSTEMTIME& time) {
  wchar_t stamp[64];
  std::swprintf(stamp, 64, L"%04d/%02d/%02d, %02d:%02d:%02d.%03d", time.wYear, time.wMonth,
                time.wDay, time.wHour, time.wMinute, time.wSecond, time.wMilliseconds);
  return messages[kMessageLocalTime] + L" : " + stamp + kLineEnd;
}
}  // namespace

std::wstring FormatCompareLog(const std::vector<std::wstring>& messages, const std::wstring& server,
                              double clockOffset, const SYSTEMTIME& localTime) {
  std::wstring log = ServerLine(messages, server);
  if (clockOffset != 0.0) log += OffsetLine(messages, clockOffset);
  return log + LocalTimeLine(messages, localTime);
}
