#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/ConsoleCommand.h"
#include "console/ConsoleReport.h"
#include "console/ExitCode.h"
#include "console/FolderChain.h"
#include "tests/unit/CalendarRecord.h"

namespace {

std::vector<std::wstring> Words(const std::wstring& line) {
  std::vector<std::wstring> words;
  size_t start = 0;
  while (start < line.size()) {
    const size_t end = line.find(L' ', start);
    words.push_back(line.substr(start, end - start));
    start = end == std::wstring::npos ? line.size() : end + 1;
  }
  return words;
}

ConsoleReport MeasuredReport() {
  ConsoleReport report;
  report.settings = ServerSettings{{L"time.example"}, false};
  report.server = L"time.example";
  SntpExchangeResult result;
  result.m_nStratum = 2;
  result.m_dClockOffset = -2.25;
  result.m_dRoundTripDelay = 0.000312;
  result.m_dErrorBound = 0.001156;
  result.m_strServerAddress = L"192.0.2.1";
  report.measurement = result;
  report.localTime = CalendarRecord(2026, 12, 7, 14, 3, 27, 123);
  report.serverTime = CalendarRecord(2026, 12, 7, 14, 3, 24, 873);
  return report;
}

}  // namespace

TEST(ConsoleCommand, OptionsInAnyCaseWithSlashOrDash) {
  const ConsoleCommand command =
      ParseConsoleCommand(Words(L"-SYNC /Server:ntp.example /nonts -json /maxstep:90.5"));
  EXPECT_EQ(command.error, L"");
  EXPECT_EQ(command.action, ConsoleAction::Sync);
  EXPECT_EQ(command.servers, std::vector<std::wstring>{L"ntp.example"});
  EXPECT_EQ(command.nts, false);
  EXPECT_TRUE(command.json);
  EXPECT_EQ(command.maxStep, 90.5);

  const ConsoleCommand plain = ParseConsoleCommand({});
  EXPECT_EQ(plain.action, ConsoleAction::Compare);
  EXPECT_FALSE(!plain.servers.empty() || plain.nts || plain.json);
  EXPECT_EQ(plain.maxStep, kLargeStepSeconds);
  // Only the first colon ends the name: a server may have more.
  EXPECT_EQ(ParseConsoleCommand({L"/server:[fe80::1%12]"}).servers.front(), L"[fe80::1%12]");
  // Each /server adds one, in order.
  EXPECT_EQ(ParseConsoleCommand(Words(L"/server:a -SERVER:b /server:a")).servers,
            (std::vector<std::wstring>{L"a", L"b", L"a"}));
  EXPECT_EQ(ParseConsoleCommand({L"-?", L"/bogus"}).action, ConsoleAction::Usage);
}

TEST(ConsoleCommand, WhatIsNotUnderstoodIsRefusedWithWhy) {
  const struct {
    const wchar_t* line;
    const wchar_t* error;
  } cases[] = {
      {L"/bogus", L"Unknown option: /bogus"},
      {L"/json:1", L"Unknown option: /json:1"},
      {L"127.0.0.2", L"Not an option: 127.0.0.2"},
      {L"/", L"Not an option: /"},
      {L"/sync /compare", L"/compare and /sync exclude each other"},
      {L"/nts /NONTS", L"/nts and /nonts exclude each other"},
      {L"/json /json", L"Given more than once: /json"},
      {L"/server", L"Needs a value after the colon: /server"},
      {L"/server:", L"Needs a value after the colon: /server:"},
      {L"/server:1 /server:2 /server:3 /server:4 /server:5 /server:6 /server:7 /server:8 /server:9",
       L"More than 8 servers: /server:9"},
      {L"/sync /maxstep:1e3", L"Not a number of seconds: /maxstep:1e3"},
      {L"/sync /maxstep:-5", L"Not a number of seconds: /maxstep:-5"},
      {L"/sync /maxstep:.5", L"Not a number of seconds: /maxstep:.5"},
      {L"/maxstep:60", L"/maxstep goes with /sync only"},
  };
  for (const auto& test : cases) EXPECT_EQ(ParseConsoleCommand(Words(test.line)).error, test.error) << test.line;
}

// A lookup that found nothing and one whose name service was silent are
// both the name's failure for a script.
TEST(ConsoleCommand, EachFailureHasItsExitCodeAndTheUsageListsThemAll) {
  EXPECT_EQ(ExitCodeOf({ExchangeFailure::NoAnswer}), ExitCode::NoAnswer);
  EXPECT_EQ(ExitCodeOf({ExchangeFailure::NameServiceSilent}), ExitCode::NameNotFound);
  EXPECT_EQ(ExitCodeOf({ExchangeFailure::NameNotFound}), ExitCode::NameNotFound);
  EXPECT_EQ(ExitCodeOf({ExchangeFailure::NetworkRefused}), ExitCode::NetworkRefused);
  EXPECT_EQ(ExitCodeOf({ExchangeFailure::ReplyRefused}), ExitCode::ReplyRefused);
  const auto nts = [](NtsFailure reason) { return FailedExchange{ExchangeFailure::NtsFailed, {}, 0, reason}; };
  EXPECT_EQ(ExitCodeOf(nts(NtsFailure::UntrustedCertificate)), ExitCode::NtsFailed);
  EXPECT_EQ(ExitCodeOf(nts(NtsFailure::ConnectionUnanswered)), ExitCode::NtsPortBlocked);
  EXPECT_EQ(ExitCodeOf(nts(NtsFailure::RequestsUnanswered)), ExitCode::NtsPacketsDropped);
  EXPECT_EQ(ExitCodeOf({ExchangeFailure::NoMajority}), ExitCode::NoMajority);
  const std::wstring usage = UsageText();
  for (int code = 0; code <= static_cast<int>(ExitCode::NoMajority); ++code) {
    const std::wstring listed = (code < 10 ? L"   " : L"  ") + std::to_wstring(code) + L"  ";
    EXPECT_NE(usage.find(listed), std::wstring::npos) << code;
  }
}

TEST(ConsoleReport, TextHasALineForEachFieldAndTheClockForASynchronize) {
  ConsoleReport report = MeasuredReport();
  EXPECT_EQ(FormatTextReport(report),
            L"Server        : time.example\r\n"
            L"Address       : 192.0.2.1\r\n"
            L"Authenticated : no\r\n"
            L"Offset        : -2.250000 s +/- 0.001156 s\r\n"
            L"Round trip    : 0.000312 s\r\n"
            L"Stratum       : 2\r\n"
            L"Local time    : 2026-12-07T14:03:27.123Z\r\n"
            L"Server time   : 2026-12-07T14:03:24.873Z\r\n");
  report.synchronizing = true;
  report.measurement->m_dClockOffset = 0.5;
  EXPECT_NE(FormatTextReport(report).find(L"Offset        : +0.500000 s +/- 0.001156 s\r\n"), std::wstring::npos);
  EXPECT_NE(FormatTextReport(report).find(L"Clock         : not changed\r\n"), std::wstring::npos);
  report.clockSet = true;
  EXPECT_NE(FormatTextReport(report).find(L"Clock         : set\r\n"), std::wstring::npos);
  report.measurement.reset();
  EXPECT_EQ(FormatTextReport(report), L"") << "nothing measured, nothing to report";
}

TEST(ConsoleReport, JsonIsOneObjectWithEscapedStrings) {
  ConsoleReport report = MeasuredReport();
  EXPECT_EQ(FormatJsonReport(report),
            L"{\"command\":\"compare\",\"server\":\"time.example\",\"nts\":false,\"authenticated\":false,"
            L"\"address\":\"192.0.2.1\",\"stratum\":2,\"offset\":-2.250000,\"bound\":0.001156,\"delay\":0.000312,"
            L"\"local_time\":\"2026-12-07T14:03:27.123Z\",\"server_time\":\"2026-12-07T14:03:24.873Z\"}\r\n");
  ConsoleReport failed;
  failed.synchronizing = true;
  failed.settings = ServerSettings{{L"a\"b\\c\x01\u00e9"}, true};
  failed.server = failed.settings.servers.front();
  failed.error = ConsoleError{ExitCode::NoAnswer, L"No answer"};
  EXPECT_EQ(FormatJsonReport(failed),
            L"{\"command\":\"sync\",\"server\":\"a\\\"b\\\\c\\u0001\u00e9\",\"nts\":true,\"authenticated\":false,"
            L"\"clock_set\":false,\"error\":{\"code\":2,\"text\":\"No answer\"}}\r\n");
}

// Of several servers, the report names the chosen one, then how many
// agree and each server whose time was not taken; JSON lists them all.
TEST(ConsoleReport, SeveralServersAreEachToldWithTheirVerdict) {
  ConsoleReport report = MeasuredReport();
  report.settings.servers = {L"time.example", L"liar.example", L"gone.example"};
  SntpExchangeResult liar = *report.measurement;
  liar.m_dClockOffset = 30;
  report.servers = {{L"time.example", ServerVerdict::Truechimer, report.measurement, L""},
                    {L"liar.example", ServerVerdict::Falseticker, liar, L""},
                    {L"gone.example", ServerVerdict::LeftOut, std::nullopt, L"No answer"}};
  const std::wstring text = FormatTextReport(report);
  EXPECT_NE(text.find(L"Server time   : 2026-12-07T14:03:24.873Z\r\n"
                      L"Agreement     : 1 of 2 servers agree\r\n"
                      L"Falseticker   : liar.example (+30.000000 s)\r\n"
                      L"Left out      : gone.example: No answer\r\n"),
            std::wstring::npos)
      << text;
  const std::wstring json = FormatJsonReport(report);
  EXPECT_NE(json.find(L"\"agree\":1,\"answered\":2,\"chosen\":\"time.example\",\"servers\":["
                      L"{\"server\":\"time.example\",\"verdict\":\"truechimer\",\"authenticated\":false,"
                      L"\"address\":\"192.0.2.1\",\"stratum\":2,\"offset\":-2.250000,"),
            std::wstring::npos)
      << json;
  EXPECT_NE(json.find(L"{\"server\":\"gone.example\",\"verdict\":\"left out\",\"error\":\"No answer\"}]"),
            std::wstring::npos)
      << json;
  // No majority: no time chosen, no server named as the one.
  report.server.clear();
  report.measurement.reset();
  EXPECT_EQ(FormatJsonReport(report).find(L"{\"command\":\"compare\",\"nts\":false,"), 0u);
  EXPECT_NE(FormatJsonReport(report).find(L"\"chosen\":null"), std::wstring::npos);
}

TEST(FolderChain, EachFolderUpToTheRootOfADriveOrShare) {
  EXPECT_EQ(ParentFolder(L"C:\\Program Files\\Movrane\\Movrane.com"), L"C:\\Program Files\\Movrane");
  EXPECT_EQ(ParentFolder(L"C:\\Program Files"), L"C:\\");
  EXPECT_EQ(ParentFolder(L"C:\\Tools\\"), L"C:\\");
  EXPECT_EQ(ParentFolder(L"C:\\"), L"");
  EXPECT_EQ(ParentFolder(L"\\\\server\\share\\Tools\\Movrane.com"), L"\\\\server\\share\\Tools");
  EXPECT_EQ(ParentFolder(L"\\\\server\\share\\Tools"), L"\\\\server\\share\\");
  EXPECT_EQ(ParentFolder(L"\\\\server\\share\\"), L"");
  EXPECT_EQ(ParentFolder(L"\\\\?\\C:\\Tools"), L"\\\\?\\C:\\");
  EXPECT_EQ(ParentFolder(L"Movrane.com"), L"");
}
