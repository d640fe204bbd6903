// The real Movrane.exe with NTS against the session's NTS servers: runs
// under with-nts-servers, where their names resolve.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/wine/ResponderControl.h"
#include "tests/wine/TimeServers.h"
#include "tests/wine/compare/LogReading.h"
#include "tests/wine/console/ConsoleRun.h"
#include "tests/wine/console/JsonReading.h"
#include "tests/wine/compare/MainDialogRun.h"
#include "tests/wine/ui/MessageBoxView.h"

namespace {

constexpr DWORD kLogMs = 8000;
constexpr DWORD kBoxMs = 8000;
// Closing must not wait for the key exchange's 5 s.
constexpr DWORD kEndMs = 2500;
constexpr DWORD kSuccess = 0, kNtsFailed = 5, kNtsPacketsDropped = 12, kWeakerThanTrusted = 18;
constexpr wchar_t kAuthenticated[] = L"The time was authenticated with Network Time Security (NTS)";
constexpr wchar_t kTrustedAtServerTimeOnly[] =
    L"The server's certificate is valid by the server's time only, not by the local time";

// Wine gives the folder for the kept key-exchange results to its user: the
// programs say once why nothing is kept, and run from nothing.
constexpr wchar_t kNothingKept[] =
    L"NTS key-exchange results are not kept between runs: %ProgramData%\\Movrane\\nts, or the Movrane folder "
    L"holding it, belongs to an account other than the administrators: ";

bool SaysNothingIsKept(const std::wstring& line) {
  return line.rfind(kNothingKept, 0) == 0 && line.size() > wcslen(kNothingKept);
}

// A run that asks server with NTS, as the settings file says.
CMainDialogRun NtsRun(LPCWSTR server) {
  return CMainDialogRun(server, "", [server](const std::filesystem::path& folder) {
    std::ofstream(folder / "Movrane.ini", std::ios::binary)
        << "[sntp]\r\nserver1=" << std::string(server, server + wcslen(server)) << "\r\nnts=1\r\n";
  });
}

// The log of an authenticated exchange: the server, that the time was
// authenticated, the lines given, perhaps the offset, the local time, and
// in the first log why nothing is kept.
void ExpectAuthenticatedLog(const std::wstring& log, LPCWSTR server, const std::wstring& alsoSaid = L"") {
  const auto lines = MeasuredLinesOf(log);
  ASSERT_TRUE(lines && lines->size() >= 3) << "log: " << log;
  EXPECT_EQ((*lines)[0], std::wstring(L"Time server : ") + server);
  EXPECT_EQ((*lines)[1], kAuthenticated);
  if (!alsoSaid.empty()) {
    EXPECT_EQ((*lines)[2], alsoSaid);
  }
  EXPECT_TRUE(TimeIn(lines->back(), L"Local time")) << "log: " << log;
}

}  // namespace

TEST(NtsProgram, ComparesAndSynchronizesWithAuthenticatedTime) {
  CMainDialogRun run = NtsRun(TimeServers::kNtsTrusted);
  ASSERT_NE(run.Dialog(), nullptr) << "the dialog did not show";
  const std::wstring compared = run.AwaitLogOtherThan(L"", kLogMs);
  ExpectAuthenticatedLog(compared, TimeServers::kNtsTrusted);
  EXPECT_TRUE(SaysNothingIsKept(LinesOf(compared)->back())) << compared;
  // The same clock: Wine takes a step this small, as a step of nothing.
  run.Click(IDC_SYNCHRONIZE);
  const std::wstring synchronized = run.AwaitLogOtherThan(compared, kLogMs);
  ExpectAuthenticatedLog(synchronized, TimeServers::kNtsTrusted);
  EXPECT_EQ(synchronized.find(kNothingKept), std::wstring::npos) << "told twice: " << synchronized;
}

// Port 4460 blocked: the dialog shows the server's plain time, says why it
// is not authenticated, and asks before Synchronize sets the clock to it.
TEST(NtsProgram, ABlockedPortShowsPlainTimeAndSynchronizeAsksFirst) {
  CResponderControl responder;
  ASSERT_EQ(responder.Command("reset"), "ok");
  CMainDialogRun run = NtsRun(TimeServers::kNtsBlocked);
  ASSERT_NE(run.Dialog(), nullptr) << "the dialog did not show";
  const std::wstring compared = run.AwaitLogOtherThan(L"", kLogMs);
  EXPECT_NE(compared.find(L"\r\nNot authenticated: port 4460 (Network Time Security) is blocked on this network\r\n"),
            std::wstring::npos)
      << compared;
  run.Click(IDC_SYNCHRONIZE);
  const HWND box = CMessageBoxView::WaitFor(run.Program().ProcessId(), kBoxMs);
  ASSERT_NE(box, nullptr) << "no question came";
  EXPECT_EQ(CMessageBoxView(box).Text().rfind(L"This time is not authenticated: anyone on the network path could "
                                               L"have sent it.",
                                               0),
            0u)
      << CMessageBoxView(box).Text();
  CMessageBoxView(box).Press(IDNO);
  const std::wstring declined = run.AwaitLogOtherThan(compared, kLogMs);
  EXPECT_NE(declined.find(L"The local time was not changed"), std::wstring::npos) << declined;
}

// Movrane.com, switched to NTS for a server of its own, reports the time as
// authenticated, and an NTS failure with its own exit code and the log's text.
TEST(NtsProgram, TheConsoleProgramAuthenticatesTooAndTellsWhyNot) {
  CRunDirectory directory(CRunDirectory::kConsoleProgram);
  const ConsoleOutcome answered = RunConsoleProgram(directory, L"/json /nts /server:nts.movrane.test");
  ASSERT_EQ(answered.exitCode, kSuccess) << answered.errors;
  const std::optional<JsonValue> json = ReadJson(answered.output);
  ASSERT_TRUE(json) << answered.output;
  EXPECT_TRUE((*json)["nts"].boolean);
  EXPECT_TRUE((*json)["authenticated"].boolean);

  // A refused certificate is no reason to fall back: its server's plain
  // NTP, which answers, is never asked.
  const ConsoleOutcome refused = RunConsoleProgram(directory, L"/nts /server:wrong-name.movrane.test");
  EXPECT_EQ(refused.exitCode, kNtsFailed);
  const auto errors = LinesOf(FromUtf8(refused.errors));
  ASSERT_TRUE(errors && errors->size() == 3) << refused.errors;
  EXPECT_TRUE(SaysNothingIsKept((*errors)[0])) << refused.errors;
  EXPECT_EQ((*errors)[1], L"Time server : wrong-name.movrane.test");
  EXPECT_EQ((*errors)[2], L"Network Time Security failed : the server's certificate is for another name");

  // Port 4460 blocked: the same server's plain time (the responder's), told
  // as not authenticated and why; /sync sets it only when allowed to.
  CResponderControl responder;
  ASSERT_EQ(responder.Command("reset"), "ok");
  const std::wstring blocked = std::wstring(L" /nts /json /server:") + TimeServers::kNtsBlocked;
  const ConsoleOutcome plain = RunConsoleProgram(directory, L"/compare" + blocked);
  ASSERT_EQ(plain.exitCode, kSuccess) << plain.errors;
  const std::optional<JsonValue> told = ReadJson(plain.output);
  ASSERT_TRUE(told) << plain.output;
  EXPECT_FALSE((*told)["authenticated"].boolean);
  EXPECT_EQ((*told)["trust"].string, "unauthenticated");
  EXPECT_EQ((*told)["trust_reason"].string,
            "Not authenticated: port 4460 (Network Time Security) is blocked on this network");
  const ConsoleOutcome weaker = RunConsoleProgram(directory, L"/sync" + blocked);
  EXPECT_EQ(weaker.exitCode, kWeakerThanTrusted);
  EXPECT_NE(weaker.errors.find("only to a time that is authenticated (trust); this one is unauthenticated\r\n"),
            std::string::npos)
      << weaker.errors;
  // Wine takes a step under half a second as done.
  EXPECT_EQ(RunConsoleProgram(directory, L"/sync /trust:unauthenticated" + blocked).exitCode, kSuccess);
}

namespace {

// How many key exchanges each counted server has accepted.
std::vector<int> CountedKeyExchanges(CResponderControl& responder) {
  std::vector<int> accepted;
  for (const char* address : TimeServers::kNtsCountedAddresses)
    accepted.push_back(std::atoi(responder.Command(std::string("keaccepted ") + address).c_str()));
  return accepted;
}

std::vector<int> OneMoreEach(std::vector<int> counts) {
  for (int& count : counts) ++count;
  return counts;
}

// Movrane.com with NTS against the counted servers, in a build whose data
// folders stand as Windows makes them (or as MOVRANE_FOLDER_STANDING says).
const wchar_t kCountedCompare[] =
    L"/compare /nts /server:a.wild.movrane.test /server:b.wild.movrane.test /server:c.wild.movrane.test";
const wchar_t kSafeFolderProgram[] = L"SafeFolderMovrane.com";

}  // namespace

// Three NTS servers from nothing: one key exchange with each, made at
// once; the next compare spends their cookies and makes none. Movrane.com
// keeps the results for its next run: two runs make one key exchange with
// each in all, and after /forget the next run makes one again.
TEST(NtsProgram, SeveralServersEachMakeOneKeyExchangeAndSpendItsCookiesAfter) {
  CResponderControl responder;
  const auto keyExchanges = [&responder] { return CountedKeyExchanges(responder); };
  std::vector<int> expected = keyExchanges();
  for (int& accepted : expected) ++accepted;
  CMainDialogRun run(TimeServers::kNtsCounted[0], "", [](const std::filesystem::path& folder) {
    std::ofstream settings(folder / "Movrane.ini", std::ios::binary);
    settings << "[sntp]\r\nnts=1\r\n";
    int number = 0;
    for (const wchar_t* server : TimeServers::kNtsCounted)
      settings << "server" << ++number << "=" << std::string(server, server + wcslen(server)) << "\r\n";
  });
  ASSERT_NE(run.Dialog(), nullptr) << "the dialog did not show";
  const std::wstring compared = run.AwaitLogOtherThan(L"", kLogMs);
  EXPECT_NE(compared.find(std::wstring(kAuthenticated) + L"\r\n"), std::wstring::npos) << compared;
  EXPECT_NE(compared.find(L"\r\n3 of 3 servers agree\r\n"), std::wstring::npos) << compared;
  EXPECT_EQ(keyExchanges(), expected);

  const std::wstring again = run.ClickUntilLogged(IDC_COMPARE, compared, kLogMs);
  EXPECT_NE(again.find(L"\r\n3 of 3 servers agree\r\n"), std::wstring::npos) << again;
  EXPECT_EQ(keyExchanges(), expected) << "the second compare made key exchanges";

  CRunDirectory directory(kSafeFolderProgram);
  ASSERT_EQ(RunConsoleProgram(directory, L"/forget").exitCode, kSuccess);
  expected = OneMoreEach(keyExchanges());
  for (int run = 0; run < 2; ++run) {
    const ConsoleOutcome compared = RunConsoleProgram(directory, kCountedCompare);
    EXPECT_EQ(compared.exitCode, kSuccess) << compared.errors;
    EXPECT_EQ(compared.errors, "");
  }
  EXPECT_EQ(keyExchanges(), expected) << "the second run made key exchanges";
  const ConsoleOutcome forgotten = RunConsoleProgram(directory, L"/forget");
  EXPECT_EQ(forgotten.exitCode, kSuccess) << forgotten.errors;
  EXPECT_EQ(forgotten.output, "Removed the NTS key-exchange results kept between runs (if any).\r\n");
  EXPECT_EQ(RunConsoleProgram(directory, kCountedCompare).exitCode, kSuccess);
  EXPECT_EQ(keyExchanges(), OneMoreEach(expected)) << "no new key exchange after /forget";
}

// A store folder that is a link, or that others than the administrators may
// change, is left alone: each run goes on from nothing, with its own key
// exchanges, and says why once.
TEST(NtsProgram, AStoreFolderThatIsNotSafeIsToldAndEachRunStartsFromNothing) {
  CResponderControl responder;
  CRunDirectory directory(kSafeFolderProgram);
  ASSERT_EQ(RunConsoleProgram(directory, kCountedCompare).exitCode, kSuccess) << "kept results to leave alone";
  const std::string told =
      "NTS key-exchange results are not kept between runs: %ProgramData%\\Movrane\\nts is a link, users other "
      "than administrators may change it, or it could not be made or read (that needs administrator rights)\r\n";
  for (const wchar_t* standing : {L"link", L"O:BAD:P(A;OICI;FA;;;BA)(A;OICI;0x1301bf;;;BU)"}) {
    ASSERT_TRUE(::SetEnvironmentVariableW(L"MOVRANE_FOLDER_STANDING", standing));
    std::vector<int> expected = CountedKeyExchanges(responder);
    for (int run = 0; run < 2; ++run) {
      expected = OneMoreEach(expected);
      const ConsoleOutcome compared = RunConsoleProgram(directory, kCountedCompare);
      EXPECT_EQ(compared.exitCode, kSuccess) << compared.errors;
      EXPECT_EQ(compared.errors, told);
      EXPECT_EQ(CountedKeyExchanges(responder), expected) << standing;
    }
  }
  ::SetEnvironmentVariableW(L"MOVRANE_FOLDER_STANDING", nullptr);
}

// The server never answers the TLS handshake.
TEST(NtsProgram, ClosingDuringTheKeyExchangeEndsTheProgramAtOnce) {
  CMainDialogRun run = NtsRun(TimeServers::kNtsSilent);
  ASSERT_NE(run.Dialog(), nullptr) << "the dialog did not show";
  const ULONGLONG endBy = ::GetTickCount64() + kEndMs;
  run.Program().PressEscape();
  EXPECT_TRUE(run.Program().WaitForExit(static_cast<DWORD>(endBy - ::GetTickCount64())))
      << "closing waited for the key exchange";
}

// Runs on a clock a year ahead (faketime), past the certificate's dates:
// they are judged at the server's authenticated time instead, and the
// clock is never set without a question that says why.
TEST(NtsYearAhead, TheCertificateIsJudgedAtTheServersTimeAndTheQuestionSaysWhy) {
  CMainDialogRun run = NtsRun(TimeServers::kNtsTrusted);
  ASSERT_NE(run.Dialog(), nullptr) << "the dialog did not show";
  const std::wstring compared = run.AwaitLogOtherThan(L"", kLogMs);
  ExpectAuthenticatedLog(compared, TimeServers::kNtsTrusted, kTrustedAtServerTimeOnly);

  run.Click(IDC_SYNCHRONIZE);
  const HWND box = CMessageBoxView::WaitFor(run.Program().ProcessId(), kBoxMs);
  ASSERT_NE(box, nullptr) << "no question";
  const auto question = LinesOf(CMessageBoxView(box).Text());
  ASSERT_TRUE(question && !question->empty()) << "question: " << CMessageBoxView(box).Text();
  EXPECT_EQ((*question)[0], L"The server's certificate is valid by the server's time only, not by this "
                            L"computer's: one of the two clocks is wrong, or the server is not what it claims. "
                            L"Set the local time to the server's time?");
  // The server's time, and the certificate's dates around it (a day ago,
  // for 30 days, by the real clock that the server keeps).
  ASSERT_EQ(question->size(), 7u) << CMessageBoxView(box).Text();
  const auto serverTime = TimeIn((*question)[3], L"Server time");
  const auto validFrom = TimeIn((*question)[5], L"The server's certificate is valid from");
  const auto validUntil = TimeIn((*question)[6], L"The server's certificate is valid until");
  ASSERT_TRUE(serverTime && validFrom && validUntil) << CMessageBoxView(box).Text();
  EXPECT_GT(SecondsBetween(*validFrom, *serverTime), 0);
  EXPECT_GT(SecondsBetween(*serverTime, *validUntil), 0);
  EXPECT_EQ(CMessageBoxView(box).DefaultButton(), IDNO);
  CMessageBoxView(box).Press(IDNO);
  const auto declined = LinesOf(run.AwaitLogOtherThan(compared, kLogMs));
  ASSERT_TRUE(declined && !declined->empty()) << "no log after No";
  EXPECT_EQ(declined->back(), L"The local time was not changed");
}

namespace {

// How long the peer may take to see the program's connection end.
constexpr DWORD kPeerDoneMs = 15000;
constexpr DWORD kPollMs = 100;

constexpr char kNtsFailedText[] = "Network Time Security failed : ";

// One script of the hostile key-exchange peer, and what Movrane.com tells.
struct HostileServer {
  const char* script;  // tests/fixtures/sntp-responder, "kescript"
  DWORD exitCode;
  const char* toldStartsWith;  // the JSON report's error text
  bool nothingAfterHandshake;  // the peer must receive no application data
};

// A key exchange that succeeds names an NTP server where nothing answers:
// the run then fails in the time exchange, not in the key exchange.
const HostileServer kHostileServers[] = {
    {"junk", kNtsFailed, kNtsFailedText, false},
    {"alert", kNtsFailed, kNtsFailedText, false},
    {"close", kNtsFailed, "Network Time Security failed : the server's key exchange breaks the protocol", false},
    {"bytewise", kNtsPacketsDropped, "Network Time Security failed : no authenticated request was answered", false},
    // Records after End of Message in its record: refused, as RFC 8915 has
    // End of Message last.
    {"trailing", kNtsFailed, "Network Time Security failed : the server's key exchange breaks the protocol", false},
    {"zoneserver", kNtsFailed, kNtsFailedText, false},
    {"singlelabel", kNtsFailed, kNtsFailedText, false},
    {"noalpn", kNtsFailed, "Network Time Security failed : the server offers no NTS key exchange", true},
    // A protocol the client did not offer breaks TLS itself (RFC 7301).
    {"otheralpn", kNtsFailed, "Network Time Security failed : no TLS 1.3 session could be made", true},
};

// What the peer received after the handshake on its last connection, once
// that connection has ended; "" when it did not end in time.
std::string PeerReceived(CResponderControl& responder) {
  for (const ULONGLONG endBy = ::GetTickCount64() + kPeerDoneMs; ::GetTickCount64() < endBy; ::Sleep(kPollMs)) {
    const std::string received = responder.Command("kereceived");
    if (!received.empty() && received != "open") return received;
  }
  return "";
}

}  // namespace

// Servers that break the key exchange, each told as what it is, and the
// program ends as it should whatever they send.
TEST(NtsHostileServer, KeyExchangesThatBreakTheProtocolAreToldAndTheProgramLives) {
  CResponderControl responder;
  for (const HostileServer& server : kHostileServers) {
    SCOPED_TRACE(server.script);
    // A folder each: a program that died may leave its files held open.
    CRunDirectory directory(CRunDirectory::kConsoleProgram);
    ASSERT_EQ(responder.Command(std::string("kescript ") + server.script), "ok");
    const ConsoleOutcome run =
        RunConsoleProgram(directory, std::wstring(L"/compare /json /nts /server:") + TimeServers::kNtsHostile);
    EXPECT_EQ(run.exitCode, server.exitCode) << run.errors;
    // A row whose program died still lets the next rows run.
    const std::optional<JsonValue> json = ReadJson(run.output);
    EXPECT_TRUE(json) << "output: " << run.output << run.errors;
    if (json) {
      EXPECT_EQ((*json)["error"]["text"].string.rfind(server.toldStartsWith, 0), 0u)
          << (*json)["error"]["text"].string;
    }
    const std::string received = PeerReceived(responder);
    EXPECT_NE(received, "") << "the peer's connection did not end";
    if (server.nothingAfterHandshake) {
      EXPECT_EQ(received, "0") << "sent after a handshake without ntske/1";
    }
  }
  EXPECT_EQ(responder.Command("reset"), "ok");
}
