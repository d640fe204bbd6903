#include <winsock2.h>
#include <windows.h>
#include <sddl.h>
#include <taskschd.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "SyncEvents.h"
#include "console/EventReport.h"
#include "console/EventSource.h"
#include "console/FolderSafety.h"
#include "console/ScheduledTask.h"
#include "console/ScheduledTaskXml.h"
#include "framework/SafeDataFolder.h"
#include "tests/wine/OtherSettersInPrefix.h"
#include "tests/wine/ResponderControl.h"
#include "tests/wine/TimeServers.h"
#include "tests/wine/console/ConsoleRun.h"
#include "tests/wine/console/JsonReading.h"

namespace {

constexpr DWORD kSuccess = 0, kUsageError = 1, kNoAnswer = 2, kNameNotFound = 3, kReplyRefused = 4,
                kNotElevated = 7, kStepRefused = 8, kClockNotSet = 9, kStopped = 10, kNoMajority = 13,
                kScheduleRefused = 14, kNotAdministrator = 15, kServersFailed = 17;
// The responder's clock runs this fast when the drift is measured, and the
// compares are this far apart: an offset's bound is half its round trip,
// several milliseconds on a busy machine, so three compares tell the rate
// within a quarter of it only a minute or more apart. Then the step of the
// responder's clock that something else would make.
constexpr double kResponderPpm = 400;
constexpr DWORD kCompareGapMilliseconds = 70000;
constexpr double kOtherStepSeconds = 1;
constexpr double kStandardUncertainties = 3;
// A compare of several servers, one of them silent, ends with the silent
// one's 5 s wait, not after it: well within the one 10 s budget, with room
// for starting the program on a busy machine.
constexpr double kSeveralServersWithin = 8.0;
// Seconds: the offset error a loopback exchange keeps well within, and
// the clocks' distance from now in a report just made.
constexpr double kOffsetTolerance = 0.1;
constexpr double kNowTolerance = 5.0;
// Ctrl+C in the 5 s wait for a silent server ends the run well before the
// wait would, on however busy a machine.
constexpr double kStoppedWithin = 2.5;
constexpr double kStepBeyondAnHour = 7200;
const std::string kWarning = "Warning: users other than administrators can change ";

// The value of a "label : value" line of the text report; none when no
// line has the label.
std::optional<std::string> ReportField(const std::string& report, const std::string& label) {
  for (size_t start = 0; start < report.size();) {
    size_t end = report.find("\r\n", start);
    if (end == std::string::npos) end = report.size();
    const std::string line = report.substr(start, end - start);
    const size_t colon = line.find(" : ");
    if (colon != std::string::npos && line.substr(0, line.find_last_not_of(' ', colon) + 1) == label)
      return line.substr(colon + 3);
    start = end + 2;
  }
  return std::nullopt;
}

// Seconds from now (UTC) to an ISO 8601 UTC time as the program writes it.
std::optional<double> SecondsFromNow(const std::string& iso) {
  SYSTEMTIME time{};
  int year, month, day, hour, minute, second, millisecond;
  if (std::sscanf(iso.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d.%3dZ", &year, &month, &day, &hour, &minute, &second,
                  &millisecond) != 7 || iso.size() != 24)
    return std::nullopt;
  time = SYSTEMTIME{static_cast<WORD>(year), static_cast<WORD>(month), 0, static_cast<WORD>(day),
                    static_cast<WORD>(hour), static_cast<WORD>(minute), static_cast<WORD>(second),
                    static_cast<WORD>(millisecond)};
  FILETIME then, now;
  if (!::SystemTimeToFileTime(&time, &then)) return std::nullopt;
  ::GetSystemTimeAsFileTime(&now);
  const auto ticks = [](const FILETIME& t) {
    return static_cast<double>(static_cast<ULONGLONG>(t.dwHighDateTime) << 32 | t.dwLowDateTime);
  };
  return (ticks(then) - ticks(now)) / 1e7;
}

// The task as the Task Scheduler holds it, in its XML; none when it has
// no such task.
std::optional<std::wstring> RegisteredTask() {
  using Microsoft::WRL::ComPtr;
  ComPtr<ITaskService> service;
  ComPtr<ITaskFolder> root;
  ComPtr<IRegisteredTask> task;
  VARIANT none;
  ::VariantInit(&none);
  BSTR rootPath = ::SysAllocString(L"\\");
  BSTR name = ::SysAllocString(CScheduledTask::kName);
  BSTR xml = nullptr;
  const bool found =
      SUCCEEDED(::CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&service))) &&
      SUCCEEDED(service->Connect(none, none, none, none)) && SUCCEEDED(service->GetFolder(rootPath, &root)) &&
      SUCCEEDED(root->GetTask(name, &task)) && SUCCEEDED(task->get_Xml(&xml));
  const std::wstring text = xml ? xml : L"";
  ::SysFreeString(xml);
  ::SysFreeString(name);
  ::SysFreeString(rootPath);
  if (!found) return std::nullopt;
  return text;
}

// What the last report of an event passed to ReportEventW.
struct ReportedEvent {
  WORD type = 0;
  DWORD id = 0;
  std::vector<std::wstring> strings;
};
ReportedEvent g_reported;

BOOL WINAPI RecordEvent(HANDLE, WORD type, WORD, DWORD id, PSID, WORD count, DWORD, LPCWSTR* strings, LPVOID) {
  g_reported = ReportedEvent{type, id, std::vector<std::wstring>(strings, strings + count)};
  return TRUE;
}

// The event as the event viewer shows it: the message of its id in
// Movrane.com's message table, with its strings.
std::wstring ShownEvent(const ReportedEvent& event) {
  const HMODULE program = ::LoadLibraryExW(CRunDirectory::BuiltProgram().replace_filename(L"Movrane.com").c_str(),
                                           nullptr, LOAD_LIBRARY_AS_DATAFILE);
  std::vector<DWORD_PTR> arguments;
  for (const std::wstring& text : event.strings) arguments.push_back(reinterpret_cast<DWORD_PTR>(text.c_str()));
  wchar_t* shown = nullptr;
  ::FormatMessageW(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_ARGUMENT_ARRAY,
                   program, event.id, 0, reinterpret_cast<wchar_t*>(&shown), 0,
                   reinterpret_cast<va_list*>(arguments.data()));
  const std::wstring text = shown ? shown : L"";
  ::LocalFree(shown);
  if (program) ::FreeLibrary(program);
  return text;
}

// Runs of the console program, each from a directory of its own.
class ConsoleProgram : public testing::Test {
protected:
  ConsoleOutcome Run(const std::wstring& arguments, const std::string& settings = "") {
    CRunDirectory directory(CRunDirectory::kConsoleProgram);
    if (!settings.empty()) directory.WriteSettings(settings);
    return RunConsoleProgram(directory, arguments);
  }
};

// The responder's replies are chosen per test.
class ConsoleSynchronize : public ConsoleProgram {
protected:
  void SetUp() override { ASSERT_EQ(m_responder.Command("reset"), "ok"); }

  CResponderControl m_responder;
};

// Runs that make and remove the Task Scheduler's task, with Wine's Task
// Scheduler service started (Windows' always runs) and no task left over.
class ConsoleSchedule : public ConsoleProgram {
protected:
  static void SetUpTestSuite() {
    ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    const SC_HANDLE manager = ::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
    const SC_HANDLE scheduler = manager ? ::OpenServiceW(manager, L"Schedule", SERVICE_START) : nullptr;
    if (scheduler) ::StartServiceW(scheduler, 0, nullptr);
    if (scheduler) ::CloseServiceHandle(scheduler);
    if (manager) ::CloseServiceHandle(manager);
  }
  void SetUp() override { TearDown(); }
  void TearDown() override {
    CScheduledTask::Remove();
    ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, CEventSource::KeyPath().c_str());
  }
};

// The event source's message file as the registry holds it; none when no
// source is registered.
std::optional<std::wstring> RegisteredEventSource() {
  wchar_t file[MAX_PATH * 2];
  DWORD size = sizeof(file);
  if (::RegGetValueW(HKEY_LOCAL_MACHINE, CEventSource::KeyPath().c_str(), L"EventMessageFile",
                     RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, file, &size) != ERROR_SUCCESS)
    return std::nullopt;
  return file;
}

// The setters a JSON report names, by their names.
std::vector<std::string> OthersOf(const JsonValue& report) {
  std::vector<std::string> names;
  for (const JsonValue& other : report["others"].items) names.push_back(other["setter"].string);
  return names;
}
}  // namespace

// The server from the settings file, and every field of the text report.
TEST_F(ConsoleProgram, CompareReportsTheServerItsAnswerAndTheClocks) {
  const ConsoleOutcome run = Run(L"", "[sntp]\r\nserver1=127.0.0.3\r\n");
  ASSERT_EQ(run.exitCode, kSuccess) << run.errors;
  EXPECT_EQ(run.errors, "");
  EXPECT_EQ(ReportField(run.output, "Server"), "127.0.0.3");
  EXPECT_EQ(ReportField(run.output, "Address"), "127.0.0.3");
  EXPECT_EQ(ReportField(run.output, "Authenticated"), "no");
  EXPECT_EQ(ReportField(run.output, "Stratum"), std::to_string(TimeServers::kLocalStratum));
  const std::string offset = ReportField(run.output, "Offset").value_or("");
  ASSERT_EQ(offset.substr(0, 1), "+") << run.output;
  EXPECT_NEAR(std::stod(offset.substr(1)), TimeServers::kAheadSeconds, kOffsetTolerance);
  const double roundTrip = std::stod(ReportField(run.output, "Round trip").value_or("-1"));
  EXPECT_GE(roundTrip, 0.0);
  EXPECT_LT(roundTrip, kOffsetTolerance);
  const auto local = SecondsFromNow(ReportField(run.output, "Local time").value_or(""));
  const auto server = SecondsFromNow(ReportField(run.output, "Server time").value_or(""));
  ASSERT_TRUE(local && server) << run.output;
  EXPECT_NEAR(*local, 0.0, kNowTolerance);
  EXPECT_NEAR(*server - *local, TimeServers::kAheadSeconds, kOffsetTolerance);
  EXPECT_FALSE(ReportField(run.output, "Clock")) << "a compare leaves the clock alone";
}

// The command line's server and switches, with - for /, and one JSON
// object whatever the outcome.
TEST_F(ConsoleProgram, JsonReportsAnAnswerAndAFailureAlike) {
  const ConsoleOutcome answered = Run(L"-JSON /server:127.0.0.4 /nonts", "[sntp]\r\nserver1=127.0.0.9\r\n");
  ASSERT_EQ(answered.exitCode, kSuccess) << answered.errors;
  const std::optional<JsonValue> json = ReadJson(answered.output);
  ASSERT_TRUE(json) << answered.output;
  EXPECT_EQ((*json)["command"].string, "compare");
  EXPECT_EQ((*json)["server"].string, "127.0.0.4");
  EXPECT_EQ((*json)["address"].string, "127.0.0.4");
  EXPECT_EQ((*json)["nts"].kind, JsonValue::Kind::Boolean);
  EXPECT_FALSE((*json)["nts"].boolean);
  EXPECT_EQ((*json)["authenticated"].kind, JsonValue::Kind::Boolean);
  EXPECT_FALSE((*json)["authenticated"].boolean);
  EXPECT_EQ((*json)["stratum"].number, TimeServers::kLocalStratum);
  EXPECT_NEAR((*json)["offset"].number, TimeServers::kBehindSeconds, kOffsetTolerance);
  EXPECT_EQ((*json)["delay"].kind, JsonValue::Kind::Number);
  const auto local = SecondsFromNow((*json)["local_time"].string);
  const auto server = SecondsFromNow((*json)["server_time"].string);
  ASSERT_TRUE(local && server) << answered.output;
  EXPECT_NEAR(*server - *local, TimeServers::kBehindSeconds, kOffsetTolerance);
  EXPECT_FALSE(json->Has("error"));
  EXPECT_FALSE(json->Has("clock_set"));

  const ConsoleOutcome refused = Run(L"/json", "[sntp]\r\nserver1=127.0.0.5\r\n");
  EXPECT_EQ(refused.exitCode, kReplyRefused);
  const std::optional<JsonValue> failure = ReadJson(refused.output);
  ASSERT_TRUE(failure) << refused.output;
  EXPECT_EQ((*failure)["server"].string, "127.0.0.5");
  EXPECT_FALSE(failure->Has("offset"));
  EXPECT_EQ((*failure)["error"]["code"].number, kReplyRefused);
  EXPECT_EQ((*failure)["error"]["text"].string,
            "The server's answer was refused : the server's clock is not synchronised");
}

// Each failure has its exit code and goes to standard error in the texts
// of the dialog's log, which the settings file may change.
TEST_F(ConsoleProgram, FailuresTellWhyOnStandardErrorWithTheirOwnExitCodes) {
  const ConsoleOutcome silent = Run(L"/server:127.0.0.9", "[msg]\r\n7=Keine Antwort\r\n");
  EXPECT_EQ(silent.exitCode, kNoAnswer);
  EXPECT_EQ(silent.output, "");
  EXPECT_EQ(silent.errors, "Time server : 127.0.0.9\r\nKeine Antwort\r\n");

  const ConsoleOutcome unknown = Run(L"/server:no-such-host.invalid");
  EXPECT_EQ(unknown.exitCode, kNameNotFound);
  EXPECT_EQ(unknown.errors.rfind("Time server : no-such-host.invalid\r\n", 0), 0u) << unknown.errors;

  // Of several servers, the failure they share; each failing its own way,
  // a code that says so, and each reason told.
  const ConsoleOutcome silentTwice = Run(L"/server:127.0.0.9 /server:127.0.0.40");
  EXPECT_EQ(silentTwice.exitCode, kNoAnswer);
  const ConsoleOutcome eachItsOwn = Run(L"/server:no-such-host.invalid /server:127.0.0.9");
  EXPECT_EQ(eachItsOwn.exitCode, kServersFailed);
  EXPECT_EQ(eachItsOwn.errors.rfind("No server gave a time; each server's reason is given with it\r\n"
                                    "Left out : no-such-host.invalid: ",
                                    0),
            0u)
      << eachItsOwn.errors;
  EXPECT_NE(eachItsOwn.errors.find("\r\nLeft out : 127.0.0.9: No answer from the server within 5 seconds\r\n"),
            std::string::npos)
      << eachItsOwn.errors;

  const ConsoleOutcome unsynchronised = Run(L"/compare /server:127.0.0.5");
  EXPECT_EQ(unsynchronised.exitCode, kReplyRefused);
  EXPECT_EQ(unsynchronised.errors,
            "Time server : 127.0.0.5\r\n"
            "The server's answer was refused : the server's clock is not synchronised\r\n");
}

TEST_F(ConsoleProgram, UsageOnRequestAndForWhatIsNotUnderstood) {
  for (const wchar_t* help : {L"/?", L"-?"}) {
    const ConsoleOutcome usage = Run(help);
    EXPECT_EQ(usage.exitCode, kSuccess);
    EXPECT_NE(usage.output.find("/maxstep:SECONDS"), std::string::npos) << usage.output;
    EXPECT_NE(usage.output.find("   7  /sync without administrator rights\r\n"), std::string::npos);
  }
  for (const wchar_t* wrong : {L"/bogus", L"/sync /compare", L"/maxstep:60", L"/sync /maxstep:-1", L"/server:",
                               L"127.0.0.2"}) {
    const ConsoleOutcome refused = Run(wrong);
    EXPECT_EQ(refused.exitCode, kUsageError) << wrong;
    EXPECT_EQ(refused.output, "") << wrong;
    EXPECT_NE(refused.errors.find("Movrane.com /? shows how to use it."), std::string::npos) << refused.errors;
  }
}

// On a console the text goes through the console in UTF-16; redirected, it
// is UTF-8. The settings file is UTF-16.
TEST_F(ConsoleProgram, TextIsUtf16OnAConsoleAndUtf8WhenRedirected) {
  const std::wstring server = L"\u0432\u0440\u0435\u043c\u044f.invalid";
  CRunDirectory directory(CRunDirectory::kConsoleProgram);
  std::string settings = "\xFF\xFE";
  for (const wchar_t unit : L"[sntp]\r\nserver1=" + server + L"\r\n") {
    settings += static_cast<char>(unit & 0xFF);
    settings += static_cast<char>(unit >> 8);
  }
  directory.WriteSettings(settings);
  EXPECT_EQ(RunOnConsole(directory, L"").rfind(L"Time server : " + server + L"\n", 0), 0u);
  const ConsoleOutcome redirected = RunConsoleProgram(directory, L"");
  EXPECT_EQ(FromUtf8(redirected.errors).rfind(L"Time server : " + server + L"\r\n", 0), 0u);
}

// Against a server that agrees with the local clock, Wine accepts the
// change as it is less than 0.5 s. Run from a folder that the user owns,
// as under Wine every folder is, it warns.
TEST_F(ConsoleSynchronize, SetsTheClockAndWarnsOfAFolderUsersCanChange) {
  const ConsoleOutcome run = Run(L"/sync /server:127.0.0.2");
  ASSERT_EQ(run.exitCode, kSuccess) << run.errors;
  EXPECT_EQ(ReportField(run.output, "Clock"), "set");
  EXPECT_EQ(run.errors.rfind(kWarning, 0), 0u) << run.errors;
  EXPECT_NE(run.errors.find("Program Files"), std::string::npos);
}

// Two servers agree 1.5 s ahead, one is 30 s further: the time of the two
// is taken, the third is named a falseticker, and a silent fourth is left
// out; two servers that disagree leave no majority, and /sync refuses. A
// server named twice votes once, a liar cannot veto three honest servers,
// one answer of four sets no clock, and Ctrl+C stops the whole compare.
TEST_F(ConsoleSynchronize, SeveralServersAreOutvotedLeftOutOrLeaveNoMajority) {
  const std::wstring majority = std::wstring(L"/server:") + TimeServers::kAhead + L" /server:127.0.0.9 /server:" +
                                TimeServers::kFarAhead + L" /server:" + TimeServers::kAlsoAhead;
  const ConsoleOutcome run = Run(L"/sync /json " + majority);
  // Wine refuses a step of 1.5 s: the step tried is the majority's.
  EXPECT_EQ(run.exitCode, kClockNotSet) << run.errors;
  EXPECT_LT(run.seconds, kSeveralServersWithin);
  const std::optional<JsonValue> json = ReadJson(run.output);
  ASSERT_TRUE(json) << run.output;
  EXPECT_NEAR((*json)["offset"].number, TimeServers::kAheadSeconds, kOffsetTolerance);
  EXPECT_EQ((*json)["agree"].number, 2);
  EXPECT_EQ((*json)["answered"].number, 3);
  EXPECT_EQ((*json)["chosen"].string, (*json)["server"].string);
  const std::vector<JsonValue>& servers = (*json)["servers"].items;
  ASSERT_EQ(servers.size(), 4u) << run.output;
  EXPECT_EQ(servers[0]["verdict"].string, "truechimer");
  EXPECT_EQ(servers[1]["verdict"].string, "left out");
  EXPECT_EQ(servers[1]["error"].string, "No answer from the server within 5 seconds");
  EXPECT_EQ(servers[2]["verdict"].string, "falseticker");
  EXPECT_NEAR(servers[2]["offset"].number, TimeServers::kFarAheadSeconds, kOffsetTolerance);
  EXPECT_EQ(servers[3]["verdict"].string, "truechimer");

  const ConsoleOutcome text = Run(majority);
  ASSERT_EQ(text.exitCode, kSuccess) << text.errors;
  EXPECT_EQ(ReportField(text.output, "Agreement"), "2 of 3 servers agree");
  EXPECT_EQ(ReportField(text.output, "Left out"), "127.0.0.9: No answer from the server within 5 seconds");
  EXPECT_EQ(ReportField(text.output, "Falseticker").value_or("").rfind("127.0.0.22 (+31.", 0), 0u) << text.output;

  const ConsoleOutcome split = Run(std::wstring(L"/sync /server:") + TimeServers::kAhead + L" /server:" +
                                   TimeServers::kFarAhead);
  EXPECT_EQ(split.exitCode, kNoMajority);
  EXPECT_EQ(split.output, "");
  EXPECT_NE(split.errors.find("\r\nThe servers that answered disagree: no majority of them agrees on the time\r\n"
                              "Time server : 127.0.0.3 (+1."),
            std::string::npos)
      << split.errors;
  EXPECT_NE(split.errors.find("Time server : 127.0.0.22 (+31."), std::string::npos) << split.errors;
  EXPECT_NE(split.errors.find("The local time was not changed\r\n"), std::string::npos) << split.errors;

  const std::wstring farAhead = std::wstring(L" /server:") + TimeServers::kFarAhead;
  const ConsoleOutcome twice = Run(L"/sync /json" + farAhead + farAhead + L" /server:" + TimeServers::kAhead);
  EXPECT_EQ(twice.exitCode, kNoMajority) << "no step of 30 s";
  const std::optional<JsonValue> repeated = ReadJson(twice.output);
  ASSERT_TRUE(repeated) << twice.output;
  EXPECT_EQ((*repeated)["answered"].number, 2);
  EXPECT_EQ((*repeated)["servers"].items.at(1)["error"].string, "the same server as 127.0.0.22");

  const ConsoleOutcome alone = Run(std::wstring(L"/sync /server:") + TimeServers::kAhead +
                                  L" /server:127.0.0.9 /server:127.0.0.40 /server:127.0.0.41");
  EXPECT_EQ(alone.exitCode, kNoMajority);
  EXPECT_EQ(ReportField(alone.output, "Cross-checked"), "no, fewer servers agree than minagree (2)") << alone.output;
  EXPECT_NE(alone.errors.find("The clock is set only to a time that at least 2 servers agree on (minagree)\r\n"
                              "The local time was not changed\r\n"),
            std::string::npos)
      << alone.errors;

  // A = +0.05 +/- 0.2 s, B = C = +0.2 +/- 0.4 s, D = +1.2 +/- 0.8 s: {A, B,
  // C} and {B, C, D} both overlap, and the span of the deepest regions, from
  // A's low end to B's and C's high ends, holds A, B and C.
  const char* const liar[] = {"127.0.0.6 shifted=0.05,0.2", "127.0.0.26 shifted=0.2,0.4",
                              "127.0.0.27 shifted=0.2,0.4", "127.0.0.28 shifted=1.2,0.8"};
  for (const char* script : liar) ASSERT_EQ(m_responder.Command(std::string("replyat ") + script), "ok");
  const ConsoleOutcome veto =
      Run(L"/json /server:127.0.0.6 /server:127.0.0.26 /server:127.0.0.27 /server:127.0.0.28");
  ASSERT_EQ(veto.exitCode, kSuccess) << veto.errors;
  const std::optional<JsonValue> outvoted = ReadJson(veto.output);
  ASSERT_TRUE(outvoted) << veto.output;
  EXPECT_EQ((*outvoted)["agree"].number, 3);
  EXPECT_EQ((*outvoted)["servers"].items.at(3)["verdict"].string, "falseticker");

  ASSERT_EQ(m_responder.Command("reset"), "ok");
  CRunDirectory directory(CRunDirectory::kConsoleProgram);
  const ConsoleOutcome stopped = RunConsoleProgram(
      directory, L"/json /server:127.0.0.6 /server:127.0.0.26 /server:127.0.0.9 /server:127.0.0.40",
      [this] { return m_responder.RequestCount() == 2; });
  EXPECT_EQ(stopped.exitCode, kStopped) << "two of two that answered agree, and still no success";
  const std::optional<JsonValue> told = ReadJson(stopped.output);
  ASSERT_TRUE(told) << stopped.output;
  EXPECT_EQ((*told)["error"]["code"].number, kStopped);
}

TEST_F(ConsoleSynchronize, AStepBeyondTheLimitIsRefusedAndAllowedByMaxStep) {
  ASSERT_EQ(m_responder.Command("reply shifted=" + std::to_string(kStepBeyondAnHour)), "ok");
  const ConsoleOutcome refused = Run(L"/sync /server:127.0.0.6");
  EXPECT_EQ(refused.exitCode, kStepRefused);
  EXPECT_EQ(ReportField(refused.output, "Clock"), "not changed");
  EXPECT_NE(refused.errors.find("is larger than /maxstep allows (3600 s).\r\nThe local time was not changed\r\n"),
            std::string::npos)
      << refused.errors;

  // Allowed, the step is taken: Wine refuses it, and the run says so.
  const ConsoleOutcome allowed = Run(L"/sync /maxstep:10800 /server:127.0.0.6 /json");
  EXPECT_EQ(allowed.exitCode, kClockNotSet);
  EXPECT_NE(allowed.errors.find("Failed to set the local time\r\n"), std::string::npos) << allowed.errors;
  const std::optional<JsonValue> json = ReadJson(allowed.output);
  ASSERT_TRUE(json) << allowed.output;
  EXPECT_NEAR((*json)["offset"].number, kStepBeyondAnHour, kOffsetTolerance);
  EXPECT_FALSE((*json)["clock_set"].boolean);
  EXPECT_EQ((*json)["error"]["code"].number, kClockNotSet);
  EXPECT_EQ(m_responder.RequestCount(), 2);
}

// Ctrl+C, pressed once the request is out, ends the wait at once through
// the stop event.
TEST_F(ConsoleSynchronize, CtrlCEndsTheWaitAtOnce) {
  ASSERT_EQ(m_responder.Command("reply"), "ok");
  CRunDirectory directory(CRunDirectory::kConsoleProgram);
  const ConsoleOutcome run = RunConsoleProgram(directory, L"/sync /server:127.0.0.6",
                                               [this] { return m_responder.RequestCount() == 1; });
  EXPECT_EQ(run.exitCode, kStopped);
  ASSERT_TRUE(run.secondsAfterCtrlC) << "the request never came";
  EXPECT_LT(*run.secondsAfterCtrlC, kStoppedWithin);
  EXPECT_NE(run.errors.find("Stopped by Ctrl+C or Ctrl+Break.\r\nThe local time was not changed\r\n"),
            std::string::npos)
      << run.errors;
}

// Without the right to set the clock, /sync asks nothing of the server.
TEST_F(ConsoleSynchronize, WithoutAdministratorRightsSaysSoAndAsksNoServer) {
  CRunDirectory directory(L"UnprivilegedMovrane.com");
  const ConsoleOutcome run = RunConsoleProgram(directory, L"/sync /server:127.0.0.6");
  EXPECT_EQ(run.exitCode, kNotElevated);
  EXPECT_EQ(run.output, "");
  EXPECT_EQ(run.errors.rfind("Setting the clock needs administrator rights", 0), 0u) << run.errors;
  EXPECT_EQ(m_responder.RequestCount(), 0);
  // A compare needs no rights.
  EXPECT_EQ(RunConsoleProgram(directory, L"/server:127.0.0.6").exitCode, kSuccess);
}

// Who besides the administrators may change a folder, by name, judged from
// its security descriptor: the administrators' entries and entries that
// only pass on do not count.
TEST(FolderSafety, OnlyAdministratorsMayChangeASafeFolder) {
  struct Case {
    const wchar_t* descriptor;
    ACCESS_MASK rights;
    const wchar_t* account;  // who other than the administrators can change it
  };
  // Program Files as Windows ships it: users read, CREATOR OWNER's entry
  // passes on only.
  const wchar_t* programFiles =
      L"O:S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464"
      L"D:(A;;FA;;;S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464)(A;;0x1301bf;;;SY)"
      L"(A;;0x1301bf;;;BA)(A;;0x1200a9;;;BU)(A;OICIIO;GA;;;CO)(A;OICIIO;GA;;;SY)";
  const Case cases[] = {
      {programFiles, kChangeRights, L""},
      {L"O:BAD:(A;;FA;;;BA)(A;;FA;;;SY)(A;;0x1200a9;;;BU)", kChangeRights, L""},
      {L"O:BUD:(A;;FA;;;BA)", kChangeRights, L"BUILTIN\\Users"},         // a user owns it
      {L"O:BAD:(A;;0x1200a9;;;BU)(A;;FA;;;S-1-5-21-1-2-3-1000)", kChangeRights, L"S-1-5-21-1-2-3-1000"},
      {L"O:BAD:(A;;0x100004;;;AU)", kChangeRights, L"NT AUTHORITY\\Authenticated Users"},  // append
      {L"O:BAD:(A;;0x10000;;;WD)", kChangeRights, L"Everyone"},          // delete
      {L"O:BAD:(A;;0x100004;;;AU)", kReplaceRights, L""},                // C:\ lets users add folders
      {L"O:BAD:(A;;0x40;;;AU)", kReplaceRights, L"NT AUTHORITY\\Authenticated Users"},  // delete what it holds
      {L"O:BAD:(A;OICIIO;FA;;;BU)", kChangeRights, L""},                 // passes on only
      {L"O:BA", kChangeRights, L"Everyone"},                            // no list: anyone
  };
  for (const Case& test : cases) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorW(test.descriptor, SDDL_REVISION_1,
                                                                       &descriptor, nullptr))
        << test.descriptor;
    EXPECT_EQ(OtherAccountThatCan(descriptor, test.rights), test.account) << test.descriptor;
    ::LocalFree(descriptor);
  }
}

// A data folder judged level by level from what the system says of it:
// a link before all, then its owner, then its access list.
TEST(SafeDataFolder, OnlyAnAdministratorsFolderThatIsNoLinkIsUsed) {
  const struct {
    DWORD attributes;
    const wchar_t* descriptor;
    DataFolderProblem problem;
  } cases[] = {
      {FILE_ATTRIBUTE_DIRECTORY, L"O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)", DataFolderProblem::None},
      {FILE_ATTRIBUTE_DIRECTORY, L"O:SYD:(A;;FA;;;SY)(A;;0x1200a9;;;BU)", DataFolderProblem::None},  // users read
      {FILE_ATTRIBUTE_DIRECTORY, L"O:BUD:P(A;OICI;FA;;;BA)", DataFolderProblem::NotOwnedByAdministrators},
      {FILE_ATTRIBUTE_DIRECTORY, L"O:BAD:(A;;0x100002;;;BU)", DataFolderProblem::OthersMayChange},  // add files
      {FILE_ATTRIBUTE_DIRECTORY, L"O:BA", DataFolderProblem::OthersMayChange},                      // no list
      {FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT, L"O:BAD:P(A;OICI;FA;;;BA)",
       DataFolderProblem::IsALink},
      {FILE_ATTRIBUTE_ARCHIVE, L"O:BAD:P(A;OICI;FA;;;BA)", DataFolderProblem::SystemError},  // a file
  };
  for (const auto& test : cases) {
    FolderStanding standing;
    standing.attributes = test.attributes;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorW(test.descriptor, SDDL_REVISION_1,
                                                                       &descriptor, nullptr));
    standing.descriptor.reset(descriptor);
    const SafeDataFolder folder = JudgeDataFolder(L"C:\\ProgramData\\Movrane\\nts", standing);
    EXPECT_EQ(folder.problem, test.problem) << test.descriptor;
    EXPECT_EQ(folder.path.empty(), test.problem != DataFolderProblem::None) << test.descriptor;
    EXPECT_EQ(folder.owner.empty(), test.problem != DataFolderProblem::NotOwnedByAdministrators)
        << test.descriptor;
  }
}

// Wine makes every folder its user's, whatever the access list it was made
// with: the Movrane folder is made and then refused, naming that user;
// nothing is made or removed under it.
TEST(SafeDataFolder, AFolderAUserOwnsIsMadeButRefusedAndNothingUnderIt) {
  const SafeDataFolder folder = OpenSafeDataFolder(L"judged", true);
  EXPECT_EQ(folder.problem, DataFolderProblem::NotOwnedByAdministrators);
  EXPECT_TRUE(folder.path.empty());
  EXPECT_NE(folder.owner.find(L'\\'), std::wstring::npos) << "DOMAIN\\name";
  wchar_t programData[MAX_PATH];
  ASSERT_TRUE(::GetEnvironmentVariableW(L"ProgramData", programData, MAX_PATH));
  const std::wstring made = std::wstring(programData) + L"\\Movrane";
  EXPECT_NE(::GetFileAttributesW(made.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(::GetFileAttributesW((made + L"\\judged").c_str()), INVALID_FILE_ATTRIBUTES);
  ASSERT_TRUE(::CreateDirectoryW((made + L"\\judged").c_str(), nullptr));
  EXPECT_FALSE(RemoveSafeDataFolder(L"judged"));
  EXPECT_TRUE(::RemoveDirectoryW((made + L"\\judged").c_str()));
}

// Wine's Task Scheduler keeps a task's description and settings but drops
// its principal, triggers and command (its IPrincipal is a stub): those
// are checked in the task's XML, in the unit tests; here, that the task
// is made, replaced and removed, and the event source with it unless the
// installer made it.
TEST_F(ConsoleSchedule, ScheduleReplacesTheTaskAndUnscheduleRemovesItOnce) {
  CRunDirectory directory(L"SafeFolderMovrane.com");
  const ConsoleOutcome scheduled = RunConsoleProgram(directory, L"/schedule:6");
  ASSERT_EQ(scheduled.exitCode, kSuccess) << scheduled.errors;
  EXPECT_NE(scheduled.output.find("/sync runs as SYSTEM after start-up, when a network connects, after a resume "
                                  "from sleep and every 6 hours."),
            std::string::npos)
      << scheduled.output;
  EXPECT_NE(scheduled.output.find("Registered the event source Movrane"), std::string::npos) << scheduled.output;
  const std::optional<std::wstring> task = RegisteredTask();
  ASSERT_TRUE(task) << "no task registered";
  EXPECT_NE(task->find(L"<ExecutionTimeLimit>PT10M</ExecutionTimeLimit>"), std::wstring::npos);
  EXPECT_EQ(RegisteredEventSource(), directory.ProgramPath().wstring());

  EXPECT_EQ(RunConsoleProgram(directory, L"-SCHEDULE").exitCode, kSuccess) << "registered again, replaced";
  EXPECT_TRUE(RegisteredTask());

  const ConsoleOutcome removed = RunConsoleProgram(directory, L"/unschedule");
  EXPECT_EQ(removed.exitCode, kSuccess) << removed.errors;
  const std::string forgotten = "Removed the NTS key-exchange results kept between runs (if any).\r\n";
  EXPECT_EQ(removed.output,
            "Removed the event source Movrane that /schedule had registered.\r\nRemoved the scheduled task "
            "\\Movrane\r\n" + forgotten);
  EXPECT_FALSE(RegisteredEventSource());
  EXPECT_FALSE(RegisteredTask());
  const ConsoleOutcome none = RunConsoleProgram(directory, L"/unschedule");
  EXPECT_EQ(none.exitCode, kSuccess) << none.errors;
  EXPECT_EQ(none.output, "There was no scheduled task to remove: \\Movrane\r\n" + forgotten);

  // A source the installer registered is left as it is.
  const std::wstring installed = L"C:\\Program Files\\Movrane\\Movrane.com";
  ASSERT_EQ(::RegSetKeyValueW(HKEY_LOCAL_MACHINE, CEventSource::KeyPath().c_str(), L"EventMessageFile", REG_SZ,
                              installed.c_str(), static_cast<DWORD>((installed.size() + 1) * sizeof(wchar_t))),
            ERROR_SUCCESS);
  for (const wchar_t* command : {L"/schedule", L"/unschedule"}) {
    EXPECT_EQ(RunConsoleProgram(directory, command).output.find("event source"), std::string::npos) << command;
    EXPECT_EQ(RegisteredEventSource(), installed) << command;
  }
}

// From a folder users can change (under Wine, every folder) the task is
// refused, naming it and who can change it; from a path longer than the
// Task Scheduler takes it is refused before that; without administrator
// rights neither command runs.
TEST_F(ConsoleSchedule, RefusedFromAFolderUsersCanChangeAndWithoutAdministratorRights) {
  const ConsoleOutcome refused = Run(L"/schedule");
  EXPECT_EQ(refused.exitCode, kScheduleRefused);
  EXPECT_EQ(refused.errors.rfind("Not scheduled: ", 0), 0u) << refused.errors;
  EXPECT_NE(refused.errors.find(" can change "), std::string::npos) << refused.errors;
  EXPECT_NE(refused.errors.find("movrane-run-"), std::string::npos) << refused.errors;
  EXPECT_NE(refused.errors.find("takeown /F \""), std::string::npos) << refused.errors;
  EXPECT_FALSE(RegisteredTask());

  CRunDirectory longPath(L"SafeFolderMovrane.com", kLongestTaskProgramPath + 1);
  ASSERT_EQ(longPath.ProgramPath().wstring().size(), kLongestTaskProgramPath + 1);
  const ConsoleOutcome tooLong = RunConsoleProgram(longPath, L"/schedule");
  EXPECT_EQ(tooLong.exitCode, kScheduleRefused) << tooLong.errors;
  EXPECT_EQ(tooLong.errors.rfind("Not scheduled: the program's path is 259 characters long", 0), 0u)
      << tooLong.errors;
  EXPECT_FALSE(RegisteredTask());
  EXPECT_FALSE(RegisteredEventSource());

  CRunDirectory directory(L"UnprivilegedMovrane.com");
  for (const wchar_t* command : {L"/schedule:6", L"/unschedule"}) {
    const ConsoleOutcome run = RunConsoleProgram(directory, command);
    EXPECT_EQ(run.exitCode, kNotAdministrator) << command;
    EXPECT_EQ(run.errors.rfind("Scheduling needs administrator rights", 0), 0u) << run.errors;
  }
  const ConsoleOutcome forget = RunConsoleProgram(directory, L"/forget");
  EXPECT_EQ(forget.exitCode, kNotAdministrator);
  EXPECT_EQ(forget.errors.rfind("Removing the kept NTS key-exchange results needs administrator rights", 0), 0u)
      << forget.errors;
  EXPECT_FALSE(RegisteredTask());
}

// Wine keeps no Event Log: what goes to it is read where it is handed to
// ReportEventW, and shown as the event viewer shows it, from the message
// table of Movrane.com.
TEST(SyncEventReport, ASuccessAndAFailureReachTheLogWithTheirTypeAndWholeText) {
  const struct {
    SyncEvent event;
    WORD type;
    DWORD id;
  } cases[] = {
      {{false, L"Synchronized with 127.0.0.2: offset +0.000100 s, not authenticated; the clock was stepped."},
       EVENTLOG_INFORMATION_TYPE, MSG_SYNC_SUCCEEDED},
      {{true, L"Time server : 127.0.0.9\r\nNo answer from the server within 5 seconds\r\n"},
       EVENTLOG_ERROR_TYPE, MSG_SYNC_FAILED},
  };
  for (const auto& test : cases) {
    ASSERT_TRUE(ReportSyncEvent(test.event, RecordEvent));
    EXPECT_EQ(g_reported.type, test.type);
    EXPECT_EQ(g_reported.id, test.id);
    ASSERT_EQ(g_reported.strings, std::vector<std::wstring>{test.event.text});
    const std::wstring shown = ShownEvent(g_reported);
    EXPECT_EQ(shown.substr(0, test.event.text.size()), test.event.text);
    EXPECT_EQ(shown.find_first_not_of(L"\r\n", test.event.text.size()), std::wstring::npos) << shown;
  }
}

// A clean prefix names no other setter; one where Windows Time follows the
// domain, Hyper-V's time service runs and Secure Time Seeding is on names
// the three, in the JSON report and in the text's lines.
TEST_F(ConsoleProgram, NamesTheOtherSettersOfThisClockThatThePrefixHas) {
  const ConsoleOutcome clean = Run(L"/json /server:127.0.0.2");
  ASSERT_EQ(clean.exitCode, kSuccess) << clean.errors;
  const std::optional<JsonValue> none = ReadJson(clean.output);
  ASSERT_TRUE(none) << clean.output;
  EXPECT_EQ((*none)["others"].kind, JsonValue::Kind::Array);
  EXPECT_EQ(OthersOf(*none), std::vector<std::string>{});

  const COtherSettersInPrefix others;
  const ConsoleOutcome run = Run(L"/json /server:127.0.0.2");
  ASSERT_EQ(run.exitCode, kSuccess) << run.errors;
  const std::optional<JsonValue> json = ReadJson(run.output);
  ASSERT_TRUE(json) << run.output;
  EXPECT_EQ(OthersOf(*json),
            (std::vector<std::string>{"windows_time_domain", "hyper_v", "secure_time_seeding"}));
  const ConsoleOutcome text = Run(L"/server:127.0.0.2");
  EXPECT_NE(text.output.find("Other setter  : Windows Time follows the domain's time and may set this clock again\r\n"
                             "Other setter  : Hyper-V sets this clock to its host's time and may set it again\r\n"
                             "Other setter  : Secure Time Seeding may set this clock from the times of TLS "
                             "connections\r\n"),
            std::string::npos)
      << text.output;
}

// Three compares of a server whose clock runs 400 ppm fast tell the rate
// within its uncertainty; the server's clock then stepped by a second is
// something else that moved this clock. /history gives the four records.
// The build whose data folders stand as Windows makes them keeps the
// history; the history of the runs before is removed first.
TEST_F(ConsoleSynchronize, TellsTheDriftAndThatSomethingElseMovedTheClock) {
  wchar_t programData[MAX_PATH];
  ASSERT_TRUE(::GetEnvironmentVariableW(L"ProgramData", programData, MAX_PATH));
  ::DeleteFileW((std::wstring(programData) + L"\\Movrane\\history\\records.csv").c_str());
  CRunDirectory directory(L"SafeFolderMovrane.com");
  const auto RunKeeping = [&](const std::wstring& arguments) { return RunConsoleProgram(directory, arguments); };
  ASSERT_EQ(m_responder.Command("reply rate=" + std::to_string(kResponderPpm)), "ok");
  const std::wstring compare = std::wstring(L"/json /nonts /server:") + TimeServers::kResponder;
  std::optional<JsonValue> json;
  for (int i = 0; i < 3; ++i) {
    if (i) ::Sleep(kCompareGapMilliseconds);
    const ConsoleOutcome run = RunKeeping(compare);
    ASSERT_EQ(run.exitCode, kSuccess) << run.errors;
    json = ReadJson(run.output);
    ASSERT_TRUE(json) << run.output;
  }
  ASSERT_EQ((*json)["drift_ppm"].kind, JsonValue::Kind::Number)
      << "told after three compares: " << RunKeeping(L"/history").output;
  const double drift = (*json)["drift_ppm"].number;
  const double uncertainty = (*json)["drift_uncertainty_ppm"].number;
  // The uncertainty is one standard deviation: the truth lies within three
  // of them but for chance, and a rate halved or of the wrong sign does not.
  EXPECT_NEAR(drift, -kResponderPpm, kStandardUncertainties * uncertainty) << "this clock loses against the server";
  std::printf("drift %.1f ppm +/- %.1f ppm, the server's %.0f ppm\n", drift, uncertainty, kResponderPpm);
  EXPECT_FALSE((*json)["moved_by_other"].boolean);

  ASSERT_EQ(m_responder.Command("reply rate=" + std::to_string(kResponderPpm) + "," +
                                std::to_string(kOtherStepSeconds)),
            "ok");
  const ConsoleOutcome moved = RunKeeping(compare);
  ASSERT_EQ(moved.exitCode, kSuccess) << moved.errors;
  json = ReadJson(moved.output);
  ASSERT_TRUE(json) << moved.output;
  EXPECT_TRUE((*json)["moved_by_other"].boolean);
  EXPECT_EQ((*json)["drift_ppm"].kind, JsonValue::Kind::Null) << "the line starts anew";

  const ConsoleOutcome table = RunKeeping(L"/history");
  ASSERT_EQ(table.exitCode, kSuccess) << table.errors;
  EXPECT_EQ(table.output.rfind("time_utc,offset_s,bound_s,authenticated,agree,answered,stepped\r\n", 0), 0u);
  const std::optional<JsonValue> history = ReadJson(RunKeeping(L"/history /json").output);
  ASSERT_TRUE(history);
  ASSERT_EQ(history->items.size(), 4u);
  EXPECT_NEAR(history->items[3]["offset"].number - history->items[2]["offset"].number, kOtherStepSeconds, 0.1);
}
