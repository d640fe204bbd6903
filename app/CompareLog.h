#pragma once
#include <string>
#include <vector>

#include "framework/SystemTime.h"

// Indexes of the log messages read from the settings file.
enum LogMessage {
  kMessageTimeServer = 0,
  kMessageLocalFaster = 1,
  kMessageLocalSlower = 2,
  kMessageLocalTime = 3,
  kMessageFailedToSet = 5,
};

// The log of a compare or synchronize that reached the server: the server
// line, the offset line unless the offset is exactly 0, and the local time
// line, each ending in CR LF.
std::wstring FormatCompareLog(const std::vector<std::wstring>& messages, const std::wstring& server,
                              double clockOffset, const SYSTEMTIME& localTime);
