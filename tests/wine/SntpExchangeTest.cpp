#include "sntp/SNTPClient.h"

#include <gtest/gtest.h>
#include <winternl.h>

#include <chrono>
#include <cmath>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "exchange/CompareLog.h"
#include "exchange/ServerListQuery.h"
#include "exchange/TextSettings.h"
#include "tests/wine/ResponderControl.h"
#include "tests/wine/TimeServers.h"

namespace {

// Resolution of the local timestamps, and a margin for the servers' own.
constexpr double kTimestampResolution = 0.002;
constexpr double kReplyTimeout = 5.0;
constexpr double kEarlyTimeout = 0.5;
// A wait that began anew after a skipped datagram would end a second late.
constexpr double kLateTimeout = 0.75;
// Seconds: failing without waiting for the reply, on however busy a machine.
constexpr double kAtOnce = 2.5;
// When a request unanswered is sent again.
constexpr double kRepeatAfter = 1.0;

struct Exchange {
  BOOL bSucceeded;
  DWORD nError;
  double dSeconds;  // how long QueryServer took
  long nHandlesLeft;  // handles the process holds after it more than before
  SntpRefusal refusal;
  SntpExchangeResult result;
};

// The system's handle table (NtQuerySystemInformation, class 16), which
// Wine fills where it has no GetProcessHandleCount.
constexpr ULONG kSystemHandleInformation = 16;
constexpr NTSTATUS kInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004);
struct HandleEntry {
  ULONG nProcessId;
  UCHAR nObjectType;
  UCHAR nFlags;
  USHORT nHandle;
  PVOID pObject;
  ACCESS_MASK nAccess;
};
struct HandleTable {
  ULONG nCount;
  HandleEntry entries[1];
};
using QuerySystemInformation = NTSTATUS(NTAPI*)(ULONG, PVOID, ULONG, PULONG);

// The handles this process holds; -1 when the table cannot be read.
long HandleCount() {
  const auto query = reinterpret_cast<QuerySystemInformation>(reinterpret_cast<void*>(
      ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
  std::vector<char> buffer(1 << 16);
  NTSTATUS status;
  while ((status = query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()),
                         nullptr)) == kInfoLengthMismatch) {
    buffer.resize(buffer.size() * 2);
  }
  if (status != 0) return -1;
  const auto* table = reinterpret_cast<const HandleTable*>(buffer.data());
  long count = 0;
  for (ULONG i = 0; i < table->nCount; ++i) count += table->entries[i].nProcessId == ::GetCurrentProcessId();
  return count;
}

// The socket layer keeps a handle for each thread from its first wait on;
// one wait beforehand, so that the exchanges' handle counts compare.
void FirstWait() {
  static const bool waited = [] {
    const SOCKET s = socket(AF_INET, SOCK_DGRAM, 0);
    fd_set readSet;
    FD_ZERO(&readSet);
    FD_SET(s, &readSet);
    timeval none{0, 0};
    select(0, &readSet, nullptr, nullptr, &none);
    closesocket(s);
    return true;
  }();
  (void)waited;
}

// One exchange; with a stop signal, a timer that signals it after stopAfterMs.
Exchange Query(LPCWSTR host, DWORD stopAfterMs = INFINITE) {
  using Clock = std::chrono::steady_clock;
  Exchange exchange{};
  CSNTPClient client;
  const HANDLE stop = ::CreateWaitableTimerW(nullptr, TRUE, nullptr);
  if (stopAfterMs != INFINITE) {
    LARGE_INTEGER due;
    due.QuadPart = -static_cast<LONGLONG>(stopAfterMs) * 10000;  // relative, in 100 ns
    ::SetWaitableTimer(stop, &due, 0, nullptr, nullptr, FALSE);
    client.SetStopEvent(stop);
  }
  FirstWait();
  const long handlesBefore = HandleCount();
  SetLastError(0);
  const Clock::time_point start = Clock::now();
  exchange.bSucceeded = client.QueryServer(host, exchange.result, TimeServers::kPort);
  exchange.nError = GetLastError();
  exchange.dSeconds = std::chrono::duration<double>(Clock::now() - start).count();
  exchange.refusal = client.Refusal();
  exchange.nHandlesLeft = HandleCount() - handlesBefore;
  ::CloseHandle(stop);
  return exchange;
}

// The round trip the exchange measured: local time from request to reply
// less the server's time between receiving and answering.
double RoundTrip(const SntpExchangeResult& result) {
  return result.m_DestinationTime.SecondsSince(result.m_OriginateTime) -
         result.m_TransmitTime.SecondsSince(result.m_ReceiveTime);
}

// The true offset lies within half the round trip of the measured one. A
// destination time taken at the wrong moment shows as a negative round trip
// or an offset outside that bound.
void ExpectAcceptedWithOffset(const Exchange& exchange, double offset) {
  ASSERT_TRUE(exchange.bSucceeded) << "error " << exchange.nError;
  EXPECT_EQ(exchange.nHandlesLeft, 0) << "the socket stayed open";
  const double roundTrip = RoundTrip(exchange.result);
  EXPECT_GE(roundTrip, -kTimestampResolution);
  EXPECT_NEAR(exchange.result.m_dClockOffset, offset, roundTrip / 2 + kTimestampResolution)
      << "round trip " << roundTrip << " s";
}

// Every failure closes the socket before it returns.
void ExpectFailed(const Exchange& exchange) {
  EXPECT_FALSE(exchange.bSucceeded);
  EXPECT_EQ(exchange.nHandlesLeft, 0) << "the socket stayed open";
}

void ExpectRejectedAtOnce(const Exchange& exchange, DWORD error) {
  ExpectFailed(exchange);
  EXPECT_EQ(exchange.nError, error);
  EXPECT_LT(exchange.dSeconds, kAtOnce);
}

void ExpectTimedOut(const Exchange& exchange) {
  ExpectFailed(exchange);
  EXPECT_EQ(exchange.nError, static_cast<DWORD>(WSAETIMEDOUT));
  EXPECT_GE(exchange.dSeconds, kReplyTimeout - kEarlyTimeout);
  EXPECT_LT(exchange.dSeconds, kReplyTimeout + kLateTimeout);
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
  EXPECT_GE(result.m_dRoundTripDelay, 0.0);
  EXPECT_LT(result.m_dRoundTripDelay, kAtOnce);
  // The address that answered is named even when it was the only one.
  EXPECT_EQ(result.m_strServerAddress, TimeServers::kSynchronised);
  EXPECT_EQ(result.m_strAnsweringAddress, L"");
  EXPECT_FALSE(result.m_bAuthenticated);
}

TEST(SntpExchange, FakedClocksShowTheirShift) {
  ExpectAcceptedWithOffset(Query(TimeServers::kAhead), TimeServers::kAheadSeconds);
  ExpectAcceptedWithOffset(Query(TimeServers::kBehind), TimeServers::kBehindSeconds);
}

TEST(SntpExchange, UnsynchronisedChronydIsRejected) {
  const Exchange exchange = Query(TimeServers::kUnsynchronised);
  ExpectRejectedAtOnce(exchange, ERROR_INVALID_DATA);
  EXPECT_EQ(exchange.refusal, SntpRefusal::Unsynchronised);
}

TEST(SntpExchange, UnresolvableNameFailsWithoutWaiting) {
  const Exchange exchange = Query(L"no-such-host.invalid");
  ExpectFailed(exchange);
  EXPECT_NE(exchange.nError, 0u);
  EXPECT_NE(exchange.nError, static_cast<DWORD>(WSAETIMEDOUT));
  EXPECT_LT(exchange.dSeconds, kAtOnce);
}

TEST_F(ResponderExchange, HostNameIsResolved) {
  ExpectAcceptedWithOffset(Query(L"localhost"), 0.0);
  EXPECT_EQ(m_responder.RequestCount(), 1);
}

// A silent server is asked three times, a second apart, each time with a
// transmit field of its own, before the deadline.
TEST_F(ResponderExchange, SilentServerIsAskedThreeTimesAndTimesOut) {
  Reply("");
  ExpectTimedOut(Query(TimeServers::kResponder));
  EXPECT_EQ(m_responder.RequestCount(), 3);
  std::istringstream transmits(m_responder.Command("transmits"));
  std::set<std::string> fields;
  for (std::string field, offset; transmits >> field >> offset;) fields.insert(field);
  EXPECT_EQ(fields.size(), 3u);
}

// A request or reply lost on the way costs a second, not the compare; a
// reply to the first request that comes after the second, or the third,
// was sent is judged against the first's send time (against a later one,
// its round trip would be negative).
TEST_F(ResponderExchange, ALostDatagramIsAskedForAgainASecondLater) {
  ASSERT_EQ(m_responder.Command("drop 1"), "ok");
  const Exchange resent = Query(TimeServers::kResponder);
  ExpectAcceptedWithOffset(resent, 0.0);
  EXPECT_GT(resent.dSeconds, kRepeatAfter - kEarlyTimeout);
  EXPECT_LT(resent.dSeconds, kRepeatAfter + kAtOnce);
  EXPECT_EQ(m_responder.RequestCount(), 2);

  Reply("late=1.3");
  ExpectAcceptedWithOffset(Query(TimeServers::kResponder), 0.0);
  const int requestsBefore = m_responder.RequestCount();
  Reply("late=2.5");
  ExpectAcceptedWithOffset(Query(TimeServers::kResponder), 0.0);
  EXPECT_EQ(m_responder.RequestCount() - requestsBefore, 3);
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
  EXPECT_EQ(m_responder.RequestCount(), 3);
}

// No datagram ends the wait but the reply: not one too short, empty, too
// long for the buffer or forged.
TEST_F(ResponderExchange, JunkBeforeTheReplyIsSkipped) {
  Reply("short=0 short=1 short=47 long=100 forged genuine");
  ExpectAcceptedWithOffset(Query(TimeServers::kResponder), 0.0);
}

// A stream of junk that never ends: the exchange still ends at its deadline,
// and at once on the stop event.
TEST_F(ResponderExchange, EndlessJunkEndsAtTheDeadlineOrTheStop) {
  constexpr DWORD kNeverStops = 60000;
  Reply("flood");
  ExpectTimedOut(Query(TimeServers::kResponder, kNeverStops));
  ExpectRejectedAtOnce(Query(TimeServers::kResponder, 300), WSAEINTR);
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
  const Exchange exchange = Query(TimeServers::kResponder);
  ExpectRejectedAtOnce(exchange, ERROR_INVALID_DATA);
  EXPECT_EQ(exchange.refusal, SntpRefusal::NoTime);
}

// The stop event ends the wait for a silent server at once.
TEST_F(ResponderExchange, TheStopEventEndsTheWait) {
  Reply("");
  ExpectRejectedAtOnce(Query(TimeServers::kResponder, 300), WSAEINTR);
  EXPECT_EQ(m_responder.RequestCount(), 1);
}

// The request's transmit field is random: no two requests repeat it and
// none is the time it was sent. A reply that echoes the time instead is not
// believed; the genuine one after it is.
TEST_F(ResponderExchange, RequestsCarryUnguessableTransmitFields) {
  constexpr size_t kRequests = 5;
  constexpr double kNearNow = 60.0;
  Reply("echotime genuine");
  for (size_t i = 0; i < kRequests; ++i) ExpectAcceptedWithOffset(Query(TimeServers::kResponder), 0.0);

  std::istringstream transmits(m_responder.Command("transmits"));
  std::set<std::string> fields;
  std::string field;
  double secondsFromArrival = 0;
  while (transmits >> field >> secondsFromArrival) {
    EXPECT_TRUE(fields.insert(field).second) << field << " came twice";
    EXPECT_GT(std::abs(secondsFromArrival), kNearNow) << field << " is the time it was sent";
  }
  EXPECT_EQ(fields.size(), kRequests);
}

// A server that answers with a kiss-o'-death is told by its code; one that
// asked to be left alone is not asked again in the run, as the dialog's
// second compare after the step question would.
TEST(ServerListQuery, AKissIsToldAndRateIsNotAskedAgainInTheRun) {
  CResponderControl responder;
  ASSERT_EQ(responder.Command("reset"), "ok");
  ASSERT_EQ(responder.Command("reply kiss=RATE"), "ok");
  const ServerSettings settings{{TimeServers::kResponder, TimeServers::kAhead}, false, 1};
  NtsSessions sessions;
  CServerListQuery query(nullptr);
  for (int compare = 0; compare < 2; ++compare) {
    const ServerPoll poll = query.Run(settings, sessions);
    ASSERT_FALSE(poll.answers[0].answer);
    std::vector<std::wstring> messages;
    for (const MessageSetting& message : kLogMessages) messages.push_back(message.builtInText);
    EXPECT_EQ(FailureReason(messages, poll.answers[0].answer.Error()), L"The server refused to answer (kiss code RATE)");
    EXPECT_EQ(poll.chosen, 1u) << "the other server's time";
  }
  EXPECT_EQ(responder.RequestCount(), 1);
  ASSERT_EQ(responder.Command("reset"), "ok");
}
