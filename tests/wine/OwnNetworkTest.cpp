// Runs under in-own-network: a network of the test's own with a chronyd on
// 127.0.0.2 and ::1, a dual-stack name whose IPv6 address is silent, a
// non-ASCII name, and a Wine session whose code page is UTF-8.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <string>

#include "res/resource.h"
#include "sntp/SNTPClient.h"
#include "tests/wine/compare/LogReading.h"
#include "tests/wine/compare/MainDialogRun.h"

namespace {

constexpr UINT kNtpPort = 123;
constexpr wchar_t kIPv4Server[] = L"127.0.0.2";
// 3fff::1 first, where nothing answers, then 127.0.0.2.
constexpr wchar_t kDualStackName[] = L"dualstack.movrane.test";
constexpr wchar_t kNonAsciiName[] = L"zeitgeber-\u00e4.movrane.test";
constexpr char kNonAsciiNameUtf8[] = "zeitgeber-\xc3\xa4.movrane.test";
constexpr UINT kUtf8CodePage = 65001;
// Well under the 5 s a dead first address would cost, on however busy a machine.
constexpr double kDeadFirstAddressSeconds = 2.5;
constexpr DWORD kLogMs = 8000;
constexpr double kSameClockTolerance = 0.05;

struct Query {
  BOOL bAnswered;
  DWORD nError;
  double dSeconds;
  SntpExchangeResult result;
};

Query Ask(LPCWSTR host) {
  using Clock = std::chrono::steady_clock;
  Query query{};
  CSNTPClient client;
  const Clock::time_point start = Clock::now();
  query.bAnswered = client.QueryServer(host, query.result, kNtpPort);
  query.nError = ::GetLastError();
  query.dSeconds = std::chrono::duration<double>(Clock::now() - start).count();
  return query;
}

void ExpectSameClock(const Query& query) {
  ASSERT_TRUE(query.bAnswered) << "error " << query.nError;
  EXPECT_NEAR(query.result.m_dClockOffset, 0.0, kSameClockTolerance);
}

// The log of an answered exchange: the server line, the lines given, maybe
// an offset line, and the local time line.
void ExpectAnsweredLog(const std::wstring& log, const std::wstring& server,
                       const std::wstring& answeredFrom = L"") {
  const auto lines = MeasuredLinesOf(log);
  ASSERT_TRUE(lines && lines->size() >= 2) << "log: " << log;
  EXPECT_EQ(lines->front(), L"Time server : " + server);
  if (!answeredFrom.empty()) {
    EXPECT_EQ((*lines)[1], L"Answered from : " + answeredFrom);
  }
  EXPECT_TRUE(TimeIn(lines->back(), L"Local time")) << "log: " << log;
}

TEST(AnyNetwork, IPv6AddressesAreAskedWithOrWithoutBracketsAndScope) {
  for (const LPCWSTR literal : {L"::1", L"[::1]", L"::1%1", L"[::1%1]"}) {
    SCOPED_TRACE(testing::Message() << "server " << std::string(literal, literal + wcslen(literal)));
    const Query query = Ask(literal);
    ExpectSameClock(query);
    EXPECT_EQ(query.result.m_strAnsweringAddress, L"");
  }
}

// The second family is asked a moment after the first, not after its deadline.
TEST(AnyNetwork, ASilentFirstAddressCostsAMomentAndTheLogNamesTheOneThatAnswered) {
  const Query query = Ask(kDualStackName);
  ExpectSameClock(query);
  EXPECT_LT(query.dSeconds, kDeadFirstAddressSeconds);
  EXPECT_EQ(query.result.m_strAnsweringAddress, kIPv4Server);

  CMainDialogRun run(kDualStackName);
  ASSERT_NE(run.Dialog(), nullptr) << "the dialog did not show";
  ExpectAnsweredLog(run.AwaitLogOtherThan(L"", kLogMs), kDualStackName, kIPv4Server);
}

TEST(AnyNetwork, TheProgramComparesAndSynchronizesOverIPv6) {
  CMainDialogRun run(L"[::1]");
  ASSERT_NE(run.Dialog(), nullptr) << "the dialog did not show";
  const std::wstring compared = run.AwaitLogOtherThan(L"", kLogMs);
  ExpectAnsweredLog(compared, L"[::1]");
  // The same clock: Wine takes a step this small, as a step of nothing.
  run.Click(IDC_SYNCHRONIZE);
  ExpectAnsweredLog(run.AwaitLogOtherThan(compared, kLogMs), L"[::1]");
}

// No code page stands between the name and the lookup.
TEST(AnyNetwork, UnderTheUtf8CodePageAddressesAndNonAsciiNamesAreAsked) {
  ASSERT_EQ(::GetACP(), kUtf8CodePage) << "the session's code page is not UTF-8";
  ExpectSameClock(Ask(kIPv4Server));
  ExpectSameClock(Ask(kNonAsciiName));

  // Settings saved as UTF-8, the code page of the system.
  CMainDialogRun run(L"", "", [](const std::filesystem::path& folder) {
    std::ofstream(folder / "Movrane.ini", std::ios::binary)
        << "[sntp]\r\nserver1=" << kNonAsciiNameUtf8 << "\r\n";
  });
  ASSERT_NE(run.Dialog(), nullptr) << "the dialog did not show";
  ExpectAnsweredLog(run.AwaitLogOtherThan(L"", kLogMs), kNonAsciiName);
}

}  // namespace
