#include "controls/ClockTime.h"
#include "tests/unit/CalendarRecord.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

namespace {

SYSTEMTIME Local(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second) {
  return CalendarRecord(year, month, day, hour, minute, second);
}

CTickTime At(const SYSTEMTIME& record) { return CTickTime().FromSystemTime(record); }

CTickSpan Seconds(int seconds) { return CTickSpan(0, 0, 0, seconds, 0, 0, 0); }

const SYSTEMTIME kNoon = Local(2007, 3, 15, 12, 0, 0);
const SYSTEMTIME kEvening = Local(2007, 3, 15, 18, 30, 0);
constexpr bool kServer = true;
constexpr bool kLocal = false;

}  // namespace

TEST(ClockTime, LocalClockShowsEachTicksLocalTimeWhateverItsOffset) {
  CClockTime clock;
  EXPECT_EQ(clock.Tick(kNoon, kLocal).GetTicks(), At(kNoon).GetTicks());
  clock.SetServerOffset(Seconds(90));
  EXPECT_EQ(clock.Tick(kEvening, kLocal).GetTicks(), At(kEvening).GetTicks());
  EXPECT_EQ(clock.Tick(Local(2007, 13, 1, 0, 0, 0), kLocal).GetStatus(), TickStatus::Invalid);
}

TEST(ClockTime, ServerClockWithoutOffsetKeepsTheInitialTimeAndHasNone) {
  CClockTime clock;
  for (int i = 0; i < 3; ++i) {
    const CTickTime& shown = clock.Tick(kNoon, kServer);
    EXPECT_EQ(shown.GetStatus(), TickStatus::Valid);
    EXPECT_EQ(shown.GetTicks(), 0);
    EXPECT_FALSE(clock.HasTime());
  }
}

TEST(ClockTime, OffsetAppliesOnceThenEachTickAddsOneSecond) {
  CClockTime clock;
  clock.SetServerOffset(Seconds(90));
  EXPECT_EQ(clock.GetShownTime().GetTicks(), 0);  // not before the next tick
  EXPECT_FALSE(clock.HasTime());
  EXPECT_EQ(clock.Tick(kNoon, kServer).GetTicks(), (At(kNoon) + Seconds(90)).GetTicks());
  EXPECT_TRUE(clock.HasTime());
  // Local time jumps or stands still: the server clock only steps.
  EXPECT_EQ(clock.Tick(kEvening, kServer).GetTicks(), (At(kNoon) + Seconds(91)).GetTicks());
  EXPECT_EQ(clock.Tick(kEvening, kServer).GetTicks(), (At(kNoon) + Seconds(92)).GetTicks());

  // A zero span puts it back on the tick's local time.
  clock.SetServerOffset(CTickSpan());
  EXPECT_EQ(clock.Tick(kEvening, kServer).GetTicks(), At(kEvening).GetTicks());
}

TEST(ClockTime, LaterOfTwoOffsetsBetweenTicksWins) {
  CClockTime clock;
  clock.SetServerOffset(Seconds(-30));
  clock.SetServerOffset(Seconds(45));
  EXPECT_EQ(clock.Tick(kNoon, kServer).GetTicks(), (At(kNoon) + Seconds(45)).GetTicks());
  EXPECT_EQ(clock.Tick(kNoon, kServer).GetTicks(), (At(kNoon) + Seconds(46)).GetTicks());
}

TEST(ClockTime, StepsRollOverMidnightAndTheYear) {
  CClockTime clock;
  clock.SetServerOffset(CTickSpan());
  clock.Tick(Local(2007, 12, 31, 23, 59, 59), kServer);
  const CTickTime& shown = clock.Tick(Local(2007, 12, 31, 23, 59, 59), kServer);
  EXPECT_EQ(shown.GetTicks(), At(Local(2008, 1, 1, 0, 0, 0)).GetTicks());
  EXPECT_EQ(shown.GetYear(), 2008);
  EXPECT_EQ(shown.GetMonth(), 1);
  EXPECT_EQ(shown.GetDay(), 1);
}

TEST(ClockTime, InvalidOffsetStaysInvalidUntilAValidOneIsApplied) {
  const CTickSpan invalid = At(Local(2007, 13, 1, 0, 0, 0)) - At(kNoon);
  ASSERT_EQ(invalid.GetStatus(), TickStatus::Invalid);
  CClockTime clock;
  clock.SetServerOffset(invalid);
  EXPECT_EQ(clock.Tick(kNoon, kServer).GetStatus(), TickStatus::Invalid);
  EXPECT_EQ(clock.Tick(kNoon, kServer).GetStatus(), TickStatus::Invalid);
  clock.SetServerOffset(Seconds(1));
  EXPECT_EQ(clock.Tick(kNoon, kServer).GetTicks(), (At(kNoon) + Seconds(1)).GetTicks());
}

// One thread hands over offsets of 1..N microseconds while another ticks at
// a fixed local time, so an applied offset shows as less than a second past
// noon and a step as one second more than before. Every applied offset is
// one that was set, none older than the last applied, and the last is not
// lost.
TEST(ClockTime, OffsetsHandedOverDuringTicksApplyWholeAndInOrder) {
  constexpr int kOffsets = 20000;
  const int64_t noon = At(kNoon).GetTicks();
  const int64_t oneSecond = Seconds(1).GetTicks();
  const int64_t oneMicrosecond = CTickSpan(0, 0, 0, 0, 0, 1, 0).GetTicks();
  CClockTime clock;
  std::atomic<bool> done{false};
  std::thread setter([&] {
    for (int us = 1; us <= kOffsets; ++us) clock.SetServerOffset(CTickSpan(0, 0, 0, 0, 0, us, 0));
    done = true;
  });

  int64_t previous = 0;
  int64_t lastApplied = 0;
  auto tick = [&] {
    const int64_t shown = clock.Tick(kNoon, kServer).GetTicks();
    if (shown == 0 && lastApplied == 0) return;  // no offset yet
    const int64_t sinceNoon = shown - noon;
    if (sinceNoon < oneSecond) {
      ASSERT_EQ(sinceNoon % oneMicrosecond, 0);
      ASSERT_GE(sinceNoon / oneMicrosecond, std::max<int64_t>(lastApplied, 1));
      ASSERT_LE(sinceNoon / oneMicrosecond, kOffsets);
      lastApplied = sinceNoon / oneMicrosecond;
    } else {
      ASSERT_EQ(shown, previous + oneSecond);
    }
    previous = shown;
  };
  while (!done) tick();
  setter.join();
  tick();
  EXPECT_EQ(lastApplied, kOffsets);
}
