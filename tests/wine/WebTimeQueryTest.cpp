// Web time from the session's HTTPS servers, reached only through their
// proxy (tests/fixtures/with-web-servers), in process.
#include "exchange/WebTimeQuery.h"

#include "exchange/ServerListQuery.h"
#include "exchange/StepConsent.h"

#include <gtest/gtest.h>
#include <winhttp.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

constexpr uint32_t kBudgetMs = 10000;
constexpr int kRuns = 20;
// The runs spread over a second of the servers' clock, so that their stamps
// fall at every fraction of a second the Date field drops.
constexpr DWORD kPhaseStepMs = 1000 / kRuns;

// The servers' proxy as the machine's default proxy (what netsh winhttp
// sets, in the prefix's registry) for the tests of this file; the one the
// prefix had before when they end.
class WebTime : public testing::Test {
protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(::WinHttpGetDefaultProxyConfiguration(&s_before));
    wchar_t proxy[] = L"127.0.0.35:3128";
    WINHTTP_PROXY_INFO servers{WINHTTP_ACCESS_TYPE_NAMED_PROXY, proxy, nullptr};
    ASSERT_TRUE(::WinHttpSetDefaultProxyConfiguration(&servers));
  }
  static void TearDownTestSuite() {
    ::WinHttpSetDefaultProxyConfiguration(&s_before);
    for (LPWSTR text : {s_before.lpszProxy, s_before.lpszProxyBypass})
      if (text) ::GlobalFree(text);
  }
  static WINHTTP_PROXY_INFO s_before;
};
WINHTTP_PROXY_INFO WebTime::s_before{};

double ServersOffset() {
  const char* offset = std::getenv("MOVRANE_WEB_OFFSET");
  return offset ? std::atof(offset) : 0;
}

ServerPoll AskWeb(const std::vector<std::wstring>& servers, size_t minAgree, bool stopped = false) {
  const HANDLE stop = ::CreateEventW(nullptr, TRUE, stopped, nullptr);
  ServerPoll poll = CWebTimeQuery(stop).Run(servers, minAgree, CTimeLimit(kBudgetMs));
  ::CloseHandle(stop);
  return poll;
}

// Each of many runs holds the servers' true offset within its bound; the
// errors' median and worst are printed for the record.
TEST_F(WebTime, TheTimeOfTwoAgreeingServersIsWithinItsBoundOfTheirClock) {
  std::vector<double> errors;
  double widestBound = 0;
  for (int run = 0; run < kRuns; ++run) {
    const ServerPoll poll = AskWeb({L"web.movrane.test", L"web-two.movrane.test"}, 2);
    ASSERT_TRUE(poll.CrossChecked()) << run;
    const SntpExchangeResult& time = poll.ChosenTime();
    EXPECT_FALSE(time.m_bAuthenticated);
    const double error = std::abs(time.m_dClockOffset - ServersOffset());
    EXPECT_LE(error, time.m_dErrorBound) << run;
    errors.push_back(error);
    widestBound = std::max(widestBound, time.m_dErrorBound);
    ::Sleep(kPhaseStepMs);
  }
  std::sort(errors.begin(), errors.end());
  printf("web time error over %d runs: median %.3f s, worst %.3f s, widest bound %.3f s\n", kRuns,
         errors[errors.size() / 2], errors.back(), widestBound);
}

// A certificate Windows refuses gives a failure of trust and no time; a name
// the proxy will not reach gives no time; the server beside them answers.
TEST_F(WebTime, ARefusedCertificateIsAFailureOfTrustNotATime) {
  const ServerPoll poll = AskWeb({L"self-signed.movrane.test", L"web.movrane.test", L"nowhere.movrane.test"}, 1);
  ASSERT_EQ(poll.answers.size(), 3u);
  ASSERT_FALSE(poll.answers[0].answer);
  EXPECT_EQ(poll.answers[0].answer.Error().kind, ExchangeFailure::WebCertificateRefused)
      << poll.answers[0].answer.Error().error;
  EXPECT_TRUE(poll.answers[1].answer);
  EXPECT_FALSE(poll.answers[2].answer);
}

// A stop ends the query at once and tells nothing.
TEST_F(WebTime, AStopEndsItAtOnce) {
  const auto start = std::chrono::steady_clock::now();
  const ServerPoll poll = AskWeb({L"web.movrane.test", L"web-two.movrane.test"}, 2, true);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(kBudgetMs / 4));
  EXPECT_TRUE(poll.Stopped());
  EXPECT_FALSE(poll.chosen);
}

}  // namespace

// When no time server answers, the compare falls back to the web servers of
// the settings: their time, told as web time, and set only on a question.
TEST_F(WebTime, AfterSilentTimeServersTheCompareTellsWebTime) {
  ServerSettings settings;
  settings.servers = {L"127.0.0.9"};
  settings.webServers = {L"web.movrane.test", L"web-two.movrane.test"};
  NtsSessions sessions;
  const HANDLE stop = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  const ServerPoll poll = CServerListQuery(stop).Run(settings, sessions);
  ::CloseHandle(stop);
  ASSERT_TRUE(poll.chosen);
  EXPECT_EQ(poll.Trust(), TrustLevel::Web);
  EXPECT_EQ(poll.downgrade, Downgrade::TimeProtocolsBlocked);
  EXPECT_NEAR(poll.ChosenTime().m_dClockOffset, ServersOffset(), poll.ChosenTime().m_dErrorBound);
  EXPECT_EQ(ConsentNeededFor(poll, kLargeStepSeconds), StepConsent::WeakerThanTrusted);
}
