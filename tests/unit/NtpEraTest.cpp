// An exchange whose clocks lie near or across the end of NTP era 0
// (2036-02-07 06:28:16 UTC): the offset, the time the clock is set to and
// the server clock's span come out as they do inside one era.
#include <gtest/gtest.h>

#include <cstdint>

#include "sntp/BuildTime.h"
#include "sntp/SntpPacket.h"
#include "tests/unit/CalendarRecord.h"
#include "ticktime/TickTime.h"

namespace {

constexpr int64_t kTicksPerSecond = 10'000'000;
// The precise clock's 100 ns file time.
constexpr double kClientPrecision = 1e-7;

// A file time, as the tick count of a UTC record: both count from 1601.
uint64_t FileTime(const SYSTEMTIME& utc) {
  return static_cast<uint64_t>(CTickTime().FromSystemTime(utc).GetTicks());
}

uint64_t Later(uint64_t fileTime, double seconds) {
  return fileTime + static_cast<int64_t>(seconds * kTicksPerSecond);
}

CTickTime TickTimeOf(const SYSTEMTIME& record) { return CTickTime().FromSystemTime(record); }

struct Scenario {
  const char* name;
  SYSTEMTIME requestSent;  // local clock, UTC
  double serverAhead;      // seconds
};

// The server answers 10 ms after the request on its own clock, the reply
// arrives 20 ms after the request: a symmetric path, so the measured offset
// is exactly the server's lead.
class EraEnd : public testing::TestWithParam<Scenario> {};

TEST_P(EraEnd, OffsetClockSettingAndServerClockComeOutRight) {
  const Scenario& scenario = GetParam();
  const uint64_t sent = FileTime(scenario.requestSent);
  const uint64_t answered = Later(sent, scenario.serverAhead + 0.010);
  const CNtpTimestamp transmitField(0x0123456789ABCDEFu);

  SntpReply reply{};
  reply[0] = 0x24;  // leap 0, version 4, server
  reply[1] = 2;
  transmitField.ToWire(reply.data() + 24);
  CNtpTimestamp::FromFileTime(answered).ToWire(reply.data() + 32);
  CNtpTimestamp::FromFileTime(answered).ToWire(reply.data() + 40);
  ASSERT_TRUE(AnswersSntpRequest(reply.data(), kSntpPacketSize, transmitField));
  SntpExchangeResult result;
  result.m_OriginateTime = CNtpTimestamp::FromFileTime(sent);
  result.m_DestinationTime = CNtpTimestamp::FromFileTime(Later(sent, 0.020));
  ReadSntpReply(reply, result, kClientPrecision);
  ASSERT_EQ(JudgeSntpReply(reply, result, kClientPrecision), SntpRefusal::None);
  EXPECT_NEAR(result.m_dClockOffset, scenario.serverAhead, 1e-6);

  // Synchronize: the clock is set to now plus the offset.
  const uint64_t now = Later(sent, 0.030);
  const SYSTEMTIME set = CNtpTimestamp::FromFileTime(now).AddSeconds(result.m_dClockOffset).ToCalendarNear(now);
  EXPECT_EQ(TickTimeOf(set).GetTicks(), static_cast<int64_t>(Later(now, scenario.serverAhead)));

  // The server clock runs on from the request's to the reply's transmit time.
  const CTickSpan span = TickTimeOf(result.m_TransmitTime.ToCalendarNear(now)) -
                         TickTimeOf(result.m_OriginateTime.ToCalendarNear(now));
  EXPECT_EQ(span.GetTicks(), static_cast<int64_t>((scenario.serverAhead + 0.010) * kTicksPerSecond));
}

const Scenario kScenarios[] = {
    {"LocalBeforeTheWrapServerAfterIt", CalendarRecord(2036, 2, 7, 6, 28, 15, 900), 0.505},
    {"BothIn2037", CalendarRecord(2037, 3, 1, 12, 0, 0, 0), 0.505},
    {"BothIn2030", CalendarRecord(2030, 6, 15, 8, 30, 0, 250), -2.25},
};

INSTANTIATE_TEST_SUITE_P(Ntp, EraEnd, testing::ValuesIn(kScenarios),
                         [](const testing::TestParamInfo<Scenario>& info) { return info.param.name; });

// The build-date floor, with the server's time read in the era of the local
// clock, whichever way that clock is off.
TEST(BuildTime, AServerTimeBeforeTheBuildIsOlderThanAnyGenuineTime) {
  constexpr double kDay = 86400;
  constexpr double kYear = 365.25 * kDay;
  const uint64_t build = BuildFileTime();
  EXPECT_GT(build, FileTime(CalendarRecord(2025, 1, 1, 0, 0, 0, 0))) << "the build's date is not the commit's";
  const struct {
    const char* what;
    double serverFromBuild;  // seconds
    double localFromBuild;
    bool predates;
  } kRows[] = {
      {"a second before the build", -1, kDay, true},
      {"at the build", 0, kDay, false},
      {"a day after it", kDay, 0, false},
      {"twenty years before it", -20 * kYear, kDay, true},
      {"after it, on a clock reset to a year before it", kDay, -kYear, false},
      {"before it, on a clock sixty years ahead", -kDay, 60 * kYear, true},
  };
  for (const auto& row : kRows) {
    SCOPED_TRACE(row.what);
    const CNtpTimestamp server = CNtpTimestamp::FromFileTime(Later(build, row.serverFromBuild));
    EXPECT_EQ(PredatesBuild(server, Later(build, row.localFromBuild)), row.predates);
  }
}

}  // namespace
