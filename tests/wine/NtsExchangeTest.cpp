// Authenticated exchanges with the NTS servers of the session, in process:
// runs under with-nts-servers, where their names resolve.
#include "nts/NtsClient.h"

#include <gtest/gtest.h>

#include <chrono>
#include <set>
#include <sstream>
#include <string>

#include "tests/wine/ResponderControl.h"
#include "tests/wine/TimeServers.h"

namespace {

constexpr double kSameClockTolerance = 0.05;
// Failing without waiting for any deadline, on however busy a machine.
constexpr double kAtOnce = 2.5;
// The key exchange's and the time exchange's own 5 s, and a margin.
constexpr double kDeadline = 5.0;
constexpr double kLate = 1.5;
// The query's own 10 s, as the budget of a poll that has just begun gives
// it, and what is left of one nearly spent.
constexpr DWORD kWholeBudget = 10000;
constexpr DWORD kNearlySpent = 300;

struct Query {
  bool bAnswered;
  NtsFailure failure;
  SntpFailure exchange{SntpFailure::Kind::Network};  // for failure None
  double dSeconds;
  SntpExchangeResult result;
};

// One query in the session within budgetMs; with a stop, a timer that
// signals it after stopAfterMs.
Query Ask(LPCWSTR server, CNtsSession& session, DWORD stopAfterMs = INFINITE, DWORD budgetMs = kWholeBudget) {
  using Clock = std::chrono::steady_clock;
  const HANDLE stop = ::CreateWaitableTimerW(nullptr, TRUE, nullptr);
  LARGE_INTEGER due;
  due.QuadPart = -static_cast<LONGLONG>(stopAfterMs) * 10000;
  if (stopAfterMs != INFINITE) ::SetWaitableTimer(stop, &due, 0, nullptr, nullptr, FALSE);
  CSNTPClient client;
  client.SetStopEvent(stop);
  CNtsClient nts(client, stop);
  Query query{};
  const Clock::time_point start = Clock::now();
  const Result<SntpExchangeResult, NtsQueryFailure> answer = nts.Query(server, session, CTimeLimit(budgetMs));
  query.dSeconds = std::chrono::duration<double>(Clock::now() - start).count();
  query.bAnswered = static_cast<bool>(answer);
  if (answer) {
    query.result = *answer;
  } else {
    query.failure = answer.Error().reason;
    query.exchange = answer.Error().exchange;
  }
  ::CloseHandle(stop);
  return query;
}

Query Ask(LPCWSTR server, DWORD budgetMs = kWholeBudget) {
  CNtsSession session;
  return Ask(server, session, INFINITE, budgetMs);
}

void ExpectAuthenticatedSameClock(const Query& query) {
  ASSERT_TRUE(query.bAnswered) << "failure " << static_cast<int>(query.failure) << ", exchange's "
                               << static_cast<int>(query.exchange.kind);
  EXPECT_TRUE(query.result.m_bAuthenticated);
  EXPECT_FALSE(query.result.m_bTrustedAtServerTimeOnly);
  EXPECT_NEAR(query.result.m_dClockOffset, 0.0, kSameClockTolerance);
}

void ExpectFailure(const Query& query, NtsFailure failure) {
  EXPECT_FALSE(query.bAnswered);
  EXPECT_EQ(query.failure, failure);
}

// The responder's record of the NTS requests' Unique Identifiers and
// cookies: each there, none all zeros, none sent twice.
void ExpectEachRequestsOwnIdentifierAndCookie(const std::string& record, size_t requests) {
  std::istringstream fields(record);
  std::set<std::string> sent;
  for (std::string field; fields >> field;) {
    EXPECT_NE(field.find_first_not_of('0'), std::string::npos) << "all zeros";
    EXPECT_TRUE(sent.insert(field).second) << field << " sent twice";
  }
  EXPECT_EQ(sent.size(), 2 * requests);
}

class NtsResponder : public testing::Test {
protected:
  void SetUp() override { ASSERT_EQ(m_responder.Command("reset"), "ok"); }
  void Reply(const std::string& items) { ASSERT_EQ(m_responder.Command("reply " + items), "ok"); }

  CResponderControl m_responder;
};

}  // namespace

// The first query makes a key exchange; the next spends a cookie of it.
// A server whose NTP is on another port says so in its key exchange.
TEST(NtsExchange, ChronydsTimeIsAuthenticatedAndLaterQueriesSpendCookies) {
  CNtsSession session;
  ExpectAuthenticatedSameClock(Ask(TimeServers::kNtsTrusted, session));
  ASSERT_TRUE(session.HasCookie());
  const CNtsAssociation* keyExchanged = &session.Association();
  ExpectAuthenticatedSameClock(Ask(TimeServers::kNtsTrusted, session));
  EXPECT_EQ(&session.Association(), keyExchanged) << "a second key exchange";

  ExpectAuthenticatedSameClock(Ask(TimeServers::kNtsOtherPort));
}

// Without a Server record, time is asked where the key exchange connected
// (127.0.0.10, after ::1 refused it), not at the name's first address.
TEST(NtsExchange, NtpGoesToTheAddressTheKeyExchangeConnectedTo) {
  const Query query = Ask(TimeServers::kNtsSplit);
  ExpectAuthenticatedSameClock(query);
  EXPECT_EQ(query.result.m_strServerAddress, TimeServers::kNtsSplitServer);
  EXPECT_EQ(query.result.m_strAnsweringAddress, L"");
}

// Nothing is asked of a server Windows does not trust for its name; an
// expired certificate stays out of date at the server's own time.
TEST(NtsExchange, CertificatesWindowsDoesNotTrustAreRefused) {
  ExpectFailure(Ask(TimeServers::kNtsWrongName), NtsFailure::CertificateForAnotherName);
  ExpectFailure(Ask(TimeServers::kNtsSelfSigned), NtsFailure::UntrustedCertificate);
  ExpectFailure(Ask(TimeServers::kNtsUntrustedCa), NtsFailure::UntrustedCertificate);
  ExpectFailure(Ask(TimeServers::kNtsExpired), NtsFailure::OutdatedCertificate);
}

TEST(NtsExchange, AClosedSilentOrBlockedKeyExchangeIsToldAsSuchWithinItsDeadlineAndTheStopEndsIt) {
  const Query closed = Ask(TimeServers::kNtsClosed);
  ExpectFailure(closed, NtsFailure::Refused);
  EXPECT_LT(closed.dSeconds, kAtOnce);

  const Query silent = Ask(TimeServers::kNtsSilent);
  ExpectFailure(silent, NtsFailure::NoAnswer);
  EXPECT_GT(silent.dSeconds, kDeadline - kLate);
  EXPECT_LT(silent.dSeconds, kDeadline + kLate);

  const Query blocked = Ask(TimeServers::kNtsBlocked);
  ExpectFailure(blocked, NtsFailure::ConnectionUnanswered);
  EXPECT_GT(blocked.dSeconds, kDeadline - kLate);
  EXPECT_LT(blocked.dSeconds, kDeadline + kLate);

  const Query blockedLate = Ask(TimeServers::kNtsBlocked, kNearlySpent);
  ExpectFailure(blockedLate, NtsFailure::ConnectionUnanswered);
  EXPECT_LT(blockedLate.dSeconds, kAtOnce);

  CNtsSession session;
  const Query stopped = Ask(TimeServers::kNtsSilent, session, 300);
  EXPECT_FALSE(stopped.bAnswered);
  EXPECT_TRUE(stopped.failure == NtsFailure::None && stopped.exchange.Stopped());
  EXPECT_LT(stopped.dSeconds, kAtOnce);
}

// The key exchange is chronyd's; the time exchange goes to the responder,
// which cannot authenticate anything.
TEST_F(NtsResponder, RepliesThatDoNotAuthenticateAreSkippedUntilTheDeadline) {
  Reply("ntsbadauth ntsnoauth genuine");
  const Query query = Ask(TimeServers::kNtsToResponder);
  ExpectFailure(query, NtsFailure::NotAuthenticated);
  EXPECT_GT(query.dSeconds, kDeadline - kLate);
  EXPECT_LT(query.dSeconds, kDeadline + kLate);
}

// A refused cookie gets one new key exchange, whose cookie goes to the
// server in a second request.
// A NAK proves nothing: the wait for an authentic reply goes on to the
// deadline, and only then is there a new key exchange, within the query's
// one budget of a key exchange's and a time exchange's time.
TEST_F(NtsResponder, ANakIsNotedUntilTheDeadlineAndThenGetsOneNewKeyExchange) {
  Reply("ntsnak");
  const Query query = Ask(TimeServers::kNtsToResponder);
  ExpectFailure(query, NtsFailure::CookieRefused);
  EXPECT_GT(query.dSeconds, kDeadline - kLate);
  EXPECT_LT(query.dSeconds, 2 * kDeadline + kLate);
  // Three requests a second apart in each time exchange, before and after.
  EXPECT_EQ(m_responder.RequestCount(), 6);
}

// A NAK to cookies kept from an earlier run is believed at once: one new
// key exchange, whose cookie chronyd answers, well within the one budget.
TEST_F(NtsResponder, ANakToKeptCookiesGetsOneNewKeyExchangeAtOnce) {
  Reply("relay=127.0.0.16:123");
  CNtsSession earlier;
  ASSERT_TRUE(Ask(TimeServers::kNtsToResponder, earlier).bAnswered);
  CNtsSession later;
  later.Begin(std::make_unique<CNtsAssociation>(earlier.Association().ToKeep("kept", 0)), nullptr);
  ASSERT_EQ(m_responder.Command("nak 1"), "ok");
  const Query query = Ask(TimeServers::kNtsToResponder, later);
  ASSERT_TRUE(query.bAnswered) << "failure " << static_cast<int>(query.failure);
  EXPECT_TRUE(query.result.m_bAuthenticated);
  EXPECT_LT(query.dSeconds, kAtOnce);
  EXPECT_FALSE(later.Association().FromKeptResults()) << "no new key exchange";
  // The earlier run's, the one refused, and the new key exchange's.
  EXPECT_EQ(m_responder.RequestCount(), 3);
}

// NAKs raced ahead of chronyd's reply, which the responder relays, prove
// nothing: the authentic reply is used, and its one key exchange serves the
// next query too (a second would send a second request at once).
TEST_F(NtsResponder, NaksRacedAheadAndALostRequestCostNothing) {
  Reply("ntsnak ntsnak relay=127.0.0.16:123");
  CNtsSession session;
  const Query query = Ask(TimeServers::kNtsToResponder, session);
  ASSERT_TRUE(query.bAnswered) << "failure " << static_cast<int>(query.failure);
  EXPECT_TRUE(query.result.m_bAuthenticated);
  EXPECT_LT(query.dSeconds, kAtOnce);
  EXPECT_EQ(m_responder.RequestCount(), 1);
  const CNtsAssociation* keyExchanged = &session.Association();
  EXPECT_TRUE(Ask(TimeServers::kNtsToResponder, session).bAnswered);
  EXPECT_EQ(&session.Association(), keyExchanged) << "a second key exchange";
  EXPECT_EQ(m_responder.RequestCount(), 2);

  // A request lost: the next, a second later, carries a cookie and an
  // identifier of its own, which the server authenticates.
  ASSERT_EQ(m_responder.Command("drop 1"), "ok");
  const Query resent = Ask(TimeServers::kNtsToResponder, session);
  ASSERT_TRUE(resent.bAnswered) << "failure " << static_cast<int>(resent.failure);
  EXPECT_TRUE(resent.result.m_bAuthenticated);
  EXPECT_EQ(m_responder.RequestCount(), 4);
  ExpectEachRequestsOwnIdentifierAndCookie(m_responder.Command("ntsfields"), 4);
}
