#include "app/CompareLog.h"

#include "tests/unit/CalendarRecord.h"

#include <gtest/gtest.h>

namespace {
const std::vector<std::wstring> kDefaultMessages = {
    L"Time server", L"Local time is faster than Server time",
    L"Local time is slower than Server time", L"Local time", L"Reserved",
    L"Failed to set the local time"};

}  // namespace

TEST(CompareLog, NamesWhichClockIsAheadAndByHowMuch) {
  const SYSTEMTIME local = CalendarRecord(2007, 11, 5, 14, 3, 27, 123);
  EXPECT_EQ(FormatCompareLog(kDefaultMessages, L"127.0.0.3", 1.5, local),
            L"Time server : 127.0.0.3\r\n"
            L"Local time is slower than Server time (1.500000 sec.)\r\n"
            L"Local time : 2007/11/05, 14:03:27.123\r\n");
  EXPECT_EQ(FormatCompareLog(kDefaultMessages, L"pool.ntp.org", -2.25, local),
            L"Time server : pool.ntp.org\r\n"
            L"Local time is faster than Server time (-2.250000 sec.)\r\n"
            L"Local time : 2007/11/05, 14:03:27.123\r\n");
}

TEST(CompareLog, LeavesOutTheOffsetLineWhenTheClocksAgreeExactly) {
  EXPECT_EQ(FormatCompareLog(kDefaultMessages, L"ntp", 0.0, CalendarRecord(2026, 1, 2, 3, 4, 5, 6)),
            L"Time server : ntp\r\nLocal time : 2026/01/02, 03:04:05.006\r\n");
}

TEST(CompareLog, UsesTheConfiguredMessagesAndKeepsLongTextWhole) {
  std::vector<std::wstring> messages = kDefaultMessages;
  messages[0] = L"Serveur";
  messages[2] = L"En retard";
  messages[3] = L"Heure locale";
  const std::wstring server(2083, L's');
  EXPECT_EQ(FormatCompareLog(messages, server, 0.000001, CalendarRecord(2030, 12, 31, 23, 59, 59, 999)),
            L"Serveur : " + server + L"\r\n" + L"En retard (0.000001 sec.)\r\n" +
                L"Heure locale : 2030/12/31, 23:59:59.999\r\n");
}
