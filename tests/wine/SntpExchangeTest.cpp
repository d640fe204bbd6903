#include "sntp/SNTPClient.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "tests/wine/ResponderControl.h"
#include "tests/wine/TimeServers.h"

namespace {

constexpr double kOffsetTolerance = 0.005;
constexpr double kReplyTimeout = 5.0;
constexpr double kTimeoutSlack = 0.5;
constexpr double kAtOnce = 1.0;  // seconds: failing without waiting for a reply

struct Exchange {
  BOOL bSucceeded;
  DWORD nError;
  double dSeconds;  // how long QueryServer took
  SntpExchangeResult result;
};

Exchange Query(LPCWSTR host) {
  using Clock = std::chrono::steady_clock;
  Exchange exchange{};
  CSNTPClient client;
  SetLastError(0);
  const Clock::time_point start = Clock::now();
  exchange.bSucceeded = client.QueryServer(host, exchange.result, TimeServers::kPort);
  exchange.nError = GetLastError();
  exchange.dSeconds = std::chrono::duration<double>(Clock::now() - start).count();
  return exchange;
}

void ExpectAcceptedWithOffset(const Exchange& exchange, double offset) {
  ASSERT_TRUE(exchange.bSucceeded) << "error " << exchange.nError;
  EXPECT_NEAR(exchange.result.m_dClockOffset, offset, kOffsetTolerance);
}

void ExpectRejectedAtOnce(const Exchange& exchange, DWORD error) {
  EXPECT_FALSE(exchange.bSucceeded);
  EXPECT_EQ(exchange.nError, error);
  EXPECT_LT(exchange.dSeconds, kAtOnce);
}

void ExpectTimedOut(const Exchange& exchange) {
  EXPECT_FALSE(exchange.bSucceeded);
  EXPECT_EQ(exchange.nError, static_cast<DWORD>(WSAETIMEDOUT));
  EXPECT_GE(exchange.dSeconds, kReplyTimeout - kTimeoutSlack);
  EXPECT_LT(exchange.dSeconds, kReplyTimeout + kTimeoutSlack);
}

class ResponderExchange : public testing::Test {
protected:
  void SetUp() override { ASSERT_EQ(m_responder.Command("reset"), "ok"); }

  void Reply(const std::string& items) { ASSERT_EQ(m_responder.Command("reply " + items), "ok"); }

  CResponderControl m_responder;
};

}  // namespace

TEST(SntpExchange, SynchronisedChronydAgreesWithTheLocalClock) {
  const Exchange exchange = Query(TimeServers::kSynchronised);
  ExpectAcceptedWithOffset(exchange, 0.0);
  const SntpExchangeResult& result = exchange.result;
  EXPECT_EQ(result.m_nLeapIndicator, 0);
  EXPECT_EQ(result.m_nStratum, TimeServers::kLocalStratum);
  // T1 is our own transmit time as the server echoed it.
  EXPECT_GE(result.m_DestinationTime.SecondsSince(result.m_OriginateTime), 0.0);
  EXPECT_LT(result.m_DestinationTime.SecondsSince(result.m_OriginateTime), kAtOnce);
  EXPECT_GE(result.m_TransmitTime.SecondsSince(result.m_ReceiveTime), 0.0);
}

TEST(SntpExchange, FakedClocksShowTheirShift) {
  ExpectAcceptedWithOffset(Query(TimeServers::kAhead), TimeServers::kAheadSeconds);
  ExpectAcceptedWithOffset(Query(TimeServers::kBehind), TimeServers::kBehindSeconds);
}

TEST(SntpExchange, UnsynchronisedChronydIsRejected) {
  ExpectRejectedAtOnce(Query(TimeServers::kUnsynchronised), ERROR_INVALID_DATA);
}

TEST(SntpExchange, UnresolvableNameFailsWithoutWaiting) {
  const Exchange exchange = Query(L"no-such-host.invalid");
  EXPECT_FALSE(exchange.bSucceeded);
  EXPECT_NE(exchange.nError, 0u);
  EXPECT_NE(exchange.nError, static_cast<DWORD>(WSAETIMEDOUT));
  EXPECT_LT(exchange.dSeconds, kAtOnce);
}

TEST_F(ResponderExchange, HostNameIsResolved) {
  ExpectAcceptedWithOffset(Query(L"localhost"), 0.0);
  EXPECT_EQ(m_responder.RequestCount(), 1);
}

TEST_F(ResponderExchange, SilentServerTimesOutAfterOneRequest) {
  Reply("");
  ExpectTimedOut(Query(TimeServers::kResponder));
  EXPECT_EQ(m_responder.RequestCount(), 1);
}

// The genuine reply comes 0.2 s after the forged one; taking T4 at the forged
// one would put the offset 0.1 s off.
TEST_F(ResponderExchange, ForgedReplyIsSkippedForTheGenuineOne) {
  Reply("forged genuine");
  ExpectAcceptedWithOffset(Query(TimeServers::kResponder), 0.0);
  EXPECT_EQ(m_responder.RequestCount(), 1);
}

TEST_F(ResponderExchange, OnlyForgedRepliesTimeOut) {
  Reply("forged forged forged forged forged forged");
  ExpectTimedOut(Query(TimeServers::kResponder));
  EXPECT_EQ(m_responder.RequestCount(), 1);
}

TEST_F(ResponderExchange, ShortDatagramsAreSkipped) {
  Reply("short=1 short=47 genuine");
  ExpectAcceptedWithOffset(Query(TimeServers::kResponder), 0.0);
}

TEST_F(ResponderExchange, EmptyDatagramFails) {
  Reply("short=0 genuine");
  const Exchange exchange = Query(TimeServers::kResponder);
  EXPECT_FALSE(exchange.bSucceeded);
  EXPECT_LT(exchange.dSeconds, kAtOnce);
}

TEST_F(ResponderExchange, OnlyTrustedRepliesAreAccepted) {
  for (int mode = 0; mode < 8; ++mode) {
    for (int leap = 0; leap < 4; ++leap) {
      for (const int stratum : {0, 1, 15, 16, 255}) {
        const std::string craft = std::to_string(leap) + "," + std::to_string(mode) + "," + std::to_string(stratum);
        SCOPED_TRACE("craft=" + craft);
        Reply("craft=" + craft);
        const Exchange exchange = Query(TimeServers::kResponder);
        if (mode == 4 && leap != 3 && stratum >= 1 && stratum <= 15) {
          ExpectAcceptedWithOffset(exchange, 0.0);
          EXPECT_EQ(exchange.result.m_nLeapIndicator, leap);
          EXPECT_EQ(exchange.result.m_nStratum, stratum);
        } else {
          ExpectRejectedAtOnce(exchange, ERROR_INVALID_DATA);
        }
      }
    }
  }
}

TEST_F(ResponderExchange, ZeroTransmitTimeIsRejected) {
  Reply("zerotx");
  ExpectRejectedAtOnce(Query(TimeServers::kResponder), ERROR_INVALID_DATA);
}
