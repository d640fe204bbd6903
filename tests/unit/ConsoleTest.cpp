#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "console/ConsoleCommand.h"
#include "console/ConsoleReport.h"
#include "console/ExitCode.h"
#include "console/FolderChain.h"
#include "console/ScheduledTaskXml.h"
#include "console/SyncEvent.h"
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
  report.trust = TrustLevel::Unauthenticated;
  report.trustReason = L"Not authenticated: Network Time Security is off in the settings";
  report.localTime = CalendarRecord(2026, 12, 7, 14, 3, 27, 123);
  report.serverTime = CalendarRecord(2026, 12, 7, 14, 3, 24, 873);
  return report;
}

}  // namespace

TEST(ConsoleCommand, OptionsInAnyCaseWithSlashOrDash) {
  const ConsoleCommand command =
      ParseConsoleCommand(Words(L"-SYNC /Server:ntp.example /nonts -json /maxstep:90.5 /MinAgree:3 /trust:WEB"));
  EXPECT_EQ(command.error, L"");
  EXPECT_EQ(command.action, ConsoleAction::Sync);
  EXPECT_EQ(command.servers, std::vector<std::wstring>{L"ntp.example"});
  EXPECT_EQ(command.nts, false);
  EXPECT_TRUE(command.json);
  EXPECT_EQ(command.maxStep, 90.5);
  EXPECT_EQ(command.minAgree, 3u);
  EXPECT_EQ(command.trust, TrustLevel::Web);

  const ConsoleCommand plain = ParseConsoleCommand({});
  EXPECT_EQ(plain.action, ConsoleAction::Compare);
  EXPECT_FALSE(!plain.servers.empty() || plain.nts || plain.json || plain.minAgree);
  EXPECT_EQ(plain.maxStep, kLargeStepSeconds);
  // Only the first colon ends the name: a server may have more.
  EXPECT_EQ(ParseConsoleCommand({L"/server:[fe80::1%12]"}).servers.front(), L"[fe80::1%12]");
  // Each /server adds one, in order.
  EXPECT_EQ(ParseConsoleCommand(Words(L"/server:a -SERVER:b /server:a")).servers,
            (std::vector<std::wstring>{L"a", L"b", L"a"}));
  EXPECT_EQ(ParseConsoleCommand({L"-?", L"/bogus"}).action, ConsoleAction::Usage);
  // /schedule every 24 hours unless told, from 1 to a week.
  EXPECT_EQ(ParseConsoleCommand({L"/schedule"}).action, ConsoleAction::Schedule);
  EXPECT_EQ(ParseConsoleCommand({L"/schedule"}).scheduleHours, 24);
  EXPECT_EQ(ParseConsoleCommand({L"-SCHEDULE:1"}).scheduleHours, 1);
  EXPECT_EQ(ParseConsoleCommand({L"/schedule:0168"}).scheduleHours, 168);
  EXPECT_EQ(ParseConsoleCommand({L"/Unschedule"}).action, ConsoleAction::Unschedule);
  EXPECT_EQ(ParseConsoleCommand({L"-FORGET"}).action, ConsoleAction::Forget);
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
      {L"/sync /compare", L"/compare, /sync, /schedule, /unschedule and /forget exclude each other"},
      {L"/schedule /unschedule", L"/compare, /sync, /schedule, /unschedule and /forget exclude each other"},
      {L"/schedule:0", L"Not a number of hours from 1 to 168: /schedule:0"},
      {L"/schedule:169", L"Not a number of hours from 1 to 168: /schedule:169"},
      {L"/schedule:4294967302", L"Not a number of hours from 1 to 168: /schedule:4294967302"},
      {L"/schedule:6h", L"Not a number of hours from 1 to 168: /schedule:6h"},
      {L"/schedule:", L"Not a number of hours from 1 to 168: /schedule:"},
      {L"/unschedule:6", L"Unknown option: /unschedule:6"},
      {L"/schedule /server:ntp.example", L"/schedule, /unschedule and /forget take no other option"},
      {L"/json /unschedule", L"/schedule, /unschedule and /forget take no other option"},
      {L"/forget /nts", L"/schedule, /unschedule and /forget take no other option"},
      {L"/forget /sync", L"/compare, /sync, /schedule, /unschedule and /forget exclude each other"},
      {L"/forget:all", L"Unknown option: /forget:all"},
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
      {L"/minagree:0", L"Not a number of servers from 1 to 8: /minagree:0"},
      {L"/minagree:9", L"Not a number of servers from 1 to 8: /minagree:9"},
      {L"/minagree:12", L"Not a number of servers from 1 to 8: /minagree:12"},
      {L"/minagree:", L"Needs a value after the colon: /minagree:"},
      {L"/trust:none", L"Not authenticated, unauthenticated or web: /trust:none"},
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
  EXPECT_EQ(ExitCodeOf({ExchangeFailure::TooFewAgree}), ExitCode::NoMajority);
  EXPECT_EQ(ExitCodeOf({ExchangeFailure::Stopped}), ExitCode::Stopped);
  EXPECT_EQ(ExitCodeOf({ExchangeFailure::Kissed}), ExitCode::ReplyRefused);
  EXPECT_EQ(ExitCodeOf({ExchangeFailure::PredatesProgram}), ExitCode::ReplyRefused);
  EXPECT_EQ(ExitCodeOf({ExchangeFailure::ServersFailed}), ExitCode::ServersFailed);
  const std::wstring usage = UsageText();
  for (int code = 0; code <= static_cast<int>(ExitCode::ServersFailed); ++code) {
    const std::wstring listed = (code < 10 ? L"   " : L"  ") + std::to_wstring(code) + L"  ";
    EXPECT_NE(usage.find(listed), std::wstring::npos) << code;
  }
  EXPECT_NE(usage.find(L"  19  "), std::wstring::npos) << "/forget's failure";
  EXPECT_NE(usage.find(L"Movrane.com /schedule[:HOURS] | /unschedule | /forget\r\n"), std::wstring::npos);
}

namespace {

// The published Task Scheduler schema's sequences for the triggers the
// task uses: triggerBaseType's, then each trigger type's own elements.
std::vector<std::wstring> TriggerSequence(std::vector<std::wstring> own) {
  own.insert(own.begin(), {L"Enabled", L"StartBoundary", L"EndBoundary", L"Repetition", L"ExecutionTimeLimit"});
  return own;
}
const std::map<std::wstring, std::vector<std::wstring>> kTriggerSequences = {
    {L"BootTrigger", TriggerSequence({L"Delay"})},
    {L"EventTrigger", TriggerSequence({L"Subscription", L"Delay", L"ValueQueries"})},
    {L"TimeTrigger", TriggerSequence({L"RandomDelay"})},
};

// Each trigger of the task's XML with the names of its child elements.
std::vector<std::vector<std::wstring>> Triggers(const std::wstring& xml) {
  std::vector<std::vector<std::wstring>> triggers;
  int depth = 0;
  const size_t end = xml.find(L"</Triggers>");
  for (size_t at = xml.find(L'<', xml.find(L"<Triggers>") + 1); at < end; at = xml.find(L'<', at + 1)) {
    if (xml[at + 1] == L'/') {
      --depth;
      continue;
    }
    if (depth == 0) triggers.push_back({});
    if (depth <= 1) triggers.back().push_back(xml.substr(at + 1, xml.find_first_of(L" >", at) - at - 1));
    ++depth;
  }
  return triggers;
}

// Whether the trigger (its name, then its children's) follows its type's
// sequence: each child a member, none before one that comes earlier.
bool FollowsTheSchema(const std::vector<std::wstring>& trigger) {
  const auto type = kTriggerSequences.find(trigger.front());
  if (type == kTriggerSequences.end()) return false;
  auto position = type->second.begin();
  for (auto child = trigger.begin() + 1; child != trigger.end(); ++child) {
    position = std::find(position, type->second.end(), *child);
    if (position == type->second.end()) return false;
  }
  return true;
}

}  // namespace

// The task as the schema orders it and as the Task Scheduler can take it:
// its triggers (start-up, a network connecting, a resume, the interval with
// a random delay of a tenth of it, at most an hour), their delays, its
// priority and its program path, quoted and escaped; a path the Task
// Scheduler cannot take is refused instead.
TEST(ScheduledTaskXml, TriggersDelaysPriorityAndProgramPathAsTheSchemaHasThem) {
  const std::wstring longest = L"C:\\" + std::wstring(kLongestTaskProgramPath - 3, L'x');
  const struct {
    std::wstring path;
    int hours;
    const wchar_t* randomDelay;  // none: the path is refused
    const wchar_t* escaped;  // the path in the XML, when it is not the path as it is
  } cases[] = {
      {L"C:\\Tools & <Time>\\M.com", 6, L"PT36M", L"C:\\Tools &amp; &lt;Time&gt;\\M.com"},
      {L"C:\\M.com", 1, L"PT6M", nullptr},
      {L"C:\\M.com", 168, L"PT60M", nullptr},
      {longest, 24, L"PT60M", nullptr},
      {longest + L"x", 24, nullptr, nullptr},
      {L"C:\\Time\x01Tools\\M.com", 6, nullptr, nullptr},
      {L"C:\\Time\xD83D\xDD52\\M.com", 6, L"PT36M", nullptr},  // a whole UTF-16 pair
      {L"C:\\Time\xD83D\\M.com", 6, nullptr, nullptr},
      {L"C:\\Time\xDD52\\M.com", 6, nullptr, nullptr},
  };
  for (const auto& test : cases) {
    const std::wstring refusal = TaskProgramPathRefusal(test.path);
    ASSERT_EQ(refusal.empty(), test.randomDelay != nullptr) << test.path;
    if (!test.randomDelay) {
      EXPECT_EQ(refusal.rfind(L"Not scheduled: the program's path ", 0), 0u) << refusal;
      continue;
    }
    const SYSTEMTIME start = CalendarRecord(2026, 12, 8, 9, 5, 7, 123);
    const std::wstring xml = ScheduledTaskXml(test.path, test.hours, start);
    const std::vector<std::vector<std::wstring>> triggers = Triggers(xml);
    ASSERT_EQ(triggers.size(), 4u) << xml;
    for (const auto& trigger : triggers) EXPECT_TRUE(FollowsTheSchema(trigger)) << trigger.front();
    const std::wstring parts[] = {
        L"<BootTrigger>\r\n      <Enabled>true</Enabled>\r\n      <Delay>PT2M</Delay>",
        L"Path=&quot;Microsoft-Windows-NetworkProfile/Operational&quot;&gt;*[System[Provider[@Name=&apos;"
        L"Microsoft-Windows-NetworkProfile&apos;] and EventID=10000]]&lt;/Select&gt;",
        L"Path=&quot;System&quot;&gt;*[System[Provider[@Name=&apos;Microsoft-Windows-Power-Troubleshooter&apos;] "
        L"and EventID=1]]&lt;/Select&gt;",
        L"</Subscription>\r\n      <Delay>PT30S</Delay>",
        L"<StartBoundary>2026-12-08T09:05:07</StartBoundary>",
        L"<Interval>PT" + std::to_wstring(test.hours) + L"H</Interval>",
        L"<RandomDelay>" + std::wstring(test.randomDelay) + L"</RandomDelay>",
        L"<Priority>5</Priority>",
        L"<UserId>S-1-5-18</UserId>\r\n      <RunLevel>HighestAvailable</RunLevel>",
        L"<StartWhenAvailable>true</StartWhenAvailable>",
        L"<DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries>",
        L"<MultipleInstancesPolicy>IgnoreNew</MultipleInstancesPolicy>",
        L"<Command>\"" + (test.escaped ? test.escaped : test.path) + L"\"</Command>\r\n      <Arguments>/sync",
    };
    for (const std::wstring& part : parts) EXPECT_NE(xml.find(part), std::wstring::npos) << part;
    EXPECT_EQ(xml.find(L"&amp;amp;"), std::wstring::npos);
  }
}

// A success says what the run did; a failure is its log's own text.
TEST(SyncEvent, ASuccessNamesWhatWasDoneAndAFailureKeepsItsLog) {
  SyncOutcome outcome{L"time.example", -2.25, true, true, std::nullopt, {}};
  EXPECT_EQ(SyncEventOf(outcome).text,
            L"Synchronized with time.example: offset -2.250000 s, authenticated (NTS); the clock was stepped.");
  EXPECT_FALSE(SyncEventOf(outcome).failed);
  outcome.authenticated = outcome.clockStepped = false;
  outcome.offset = 0.0001;
  EXPECT_EQ(SyncEventOf(outcome).text,
            L"Synchronized with time.example: offset +0.000100 s, not authenticated; the clock was not changed.");
  outcome.failure = L"Time server : time.example\r\nNo answer from the server within 5 seconds\r\n";
  const SyncEvent failed = SyncEventOf(outcome);
  EXPECT_TRUE(failed.failed);
  EXPECT_EQ(failed.text, *outcome.failure);
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
            L"Trust         : unauthenticated (Not authenticated: Network Time Security is off in the settings)\r\n"
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
            L"\"trust\":\"unauthenticated\",\"trust_reason\":\"Not authenticated: Network Time Security is off in the "
            L"settings\",\"local_time\":\"2026-12-07T14:03:27.123Z\",\"server_time\":\"2026-12-07T14:03:24.873Z\"}\r\n");
  ConsoleReport failed;
  failed.synchronizing = true;
  failed.settings = ServerSettings{{L"a\"b\\c\x01\u00e9"}, true};
  failed.server = failed.settings.servers.front();
  failed.error = ConsoleError{ExitCode::NoAnswer, L"No answer"};
  EXPECT_EQ(FormatJsonReport(failed),
            L"{\"command\":\"sync\",\"server\":\"a\\\"b\\\\c\\u0001\u00e9\",\"nts\":true,\"authenticated\":false,"
            L"\"clock_set\":false,\"error\":{\"code\":2,\"text\":\"No answer\"}}\r\n");
}

// Several servers that leave no majority: no time chosen, none named as
// the one. (A majority's report is read back from the real program.)
TEST(ConsoleReport, WithoutAMajorityNoServerIsNamedAsTheOne) {
  ConsoleReport report = MeasuredReport();
  report.server.clear();
  report.poll.answers = {{L"a.example", *report.measurement, ServerVerdict::Falseticker},
                         {L"b.example", FailedExchange{ExchangeFailure::NoAnswer}}};
  report.failures = {L"", L"No answer"};
  report.measurement.reset();
  const std::wstring json = FormatJsonReport(report);
  EXPECT_EQ(json.find(L"{\"command\":\"compare\",\"nts\":false,"), 0u) << json;
  EXPECT_NE(json.find(L"\"chosen\":null"), std::wstring::npos) << json;
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
