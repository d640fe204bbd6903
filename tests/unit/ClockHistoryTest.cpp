#include "exchange/ClockHistory.h"
#include "exchange/DriftRate.h"
#include "exchange/TextSettings.h"
#include "tests/unit/CalendarRecord.h"

#include <gtest/gtest.h>

namespace {
const std::vector<std::wstring> kDefaultMessages = [] {
  std::vector<std::wstring> messages;
  for (const MessageSetting& message : kLogMessages) messages.push_back(message.builtInText);
  return messages;
}();

// A record at a number of seconds after 2026-12-08T00:00:00Z.
HistoryRecord At(int seconds, double offset, double bound = 0.001, bool stepped = false) {
  HistoryRecord record;
  record.when = CalendarRecord(2026, 12, 8 + seconds / 86400, seconds % 86400 / 3600, seconds % 3600 / 60,
                               seconds % 60, 0);
  record.offset = offset;
  record.bound = bound;
  record.stepped = stepped;
  return record;
}

// Records an hour apart of a clock that loses rate seconds a second.
std::vector<HistoryRecord> Losing(double rate, int count, double bound = 0.001) {
  std::vector<HistoryRecord> records;
  for (int i = 0; i < count; ++i) records.push_back(At(3600 * i, 0.25 + rate * 3600 * i, bound));
  return records;
}
}  // namespace

TEST(ClockHistory, ALineReadsBackAsWrittenAndAnythingElseIsSkipped) {
  HistoryRecord record = At(3723, -0.0123456, 0.000789);
  record.authenticated = true;
  record.agree = 3;
  record.answered = 4;
  const std::string line = HistoryLine(record);
  EXPECT_EQ(line, "2026-12-08T01:02:03.000Z,-0.012346,0.000789,yes,3,4,no");
  const std::string text = "junk\n" + line + "\r\n" +
                           // A field out of its range, a missing or extra one, a date that
                           // does not exist, a count that is not one.
                           "2026-12-08T01:02:03.000Z,+0.1,-0.1,no,1,1,no\n"
                           "2026-12-08T01:02:03.000Z,+0.1,0.1,no,1,1\n"
                           "2026-12-08T01:02:03.000Z,+0.1,0.1,no,1,1,no,no\n"
                           "2026-02-30T01:02:03.000Z,+0.1,0.1,no,1,1,no\n"
                           "2026-12-08T01:02:03.000Z,+0.1,0.1,no,5,4,no\n"
                           "2026-12-08T01:02:03.000Z,1e300,0.1,no,1,1,no\n"
                           "2026-12-08T01:02:03.000Z,+99999999999.0,0.1,no,1,1,no\n"
                           "2026-12-08T01:02:03.000Z,+0.1,0.1,maybe,1,1,no\n" +
                           line;  // the last line without its end
  const std::vector<HistoryRecord> read = ReadHistoryText(text);
  ASSERT_EQ(read.size(), 2u);
  EXPECT_EQ(HistoryLine(read[0]), line);
  EXPECT_EQ(HistoryLine(read[1]), line);
}

TEST(ClockHistory, KeepsTheLastThousandRecordsAndReadsNoMoreThanTheirBytes) {
  std::vector<HistoryRecord> records;
  for (int i = 0; i < 1005; ++i) records.push_back(At(i, i / 1000.0));
  const std::string text = HistoryText(records);
  const std::vector<HistoryRecord> read = ReadHistoryText(text);
  ASSERT_EQ(read.size(), kHistoryRecords);
  EXPECT_EQ(HistoryLine(read.front()), HistoryLine(records[5]));
  EXPECT_EQ(ReadHistoryText(std::string(kHistoryFileBytes, '\n') + text).size(), 0u);
}

TEST(DriftRate, TheRateOfTheRecordsSinceTheLastStepOrTheLastMoveOfAnother) {
  struct Row {
    const char* what;
    std::vector<HistoryRecord> records;
    bool rateKnown;
    double ppm;  // positive when the clock gains
    bool told;
    bool movedByOther;
  };
  // The records before the step are left out; the step's own record
  // begins the line at 0.
  std::vector<HistoryRecord> spanningStep = Losing(-50e-6, 3);
  spanningStep.back().stepped = true;
  for (int i = 3; i < 6; ++i) spanningStep.push_back(At(3600 * i, -20e-6 * 3600 * (i - 2)));
  std::vector<HistoryRecord> enormousBound = Losing(15e-6, 5);
  enormousBound.insert(enormousBound.begin() + 2, At(3 * 3600 - 60, 1000, 5000));
  std::vector<HistoryRecord> movedThen = Losing(15e-6, 5);
  movedThen.back().offset += 0.5;
  std::vector<HistoryRecord> movedBefore = movedThen;
  for (int i = 5; i < 8; ++i) movedBefore.push_back(At(3600 * i, 0.75 + 15e-6 * 3600 * i));
  std::vector<HistoryRecord> steepest = Losing(600e-6, 3);
  const std::vector<Row> rows = {
      {"no records", {}, false, 0, false, false},
      {"too few records", Losing(15e-6, 2), false, 0, false, false},
      {"a loss of 15 ppm", Losing(15e-6, 5), true, -15, true, false},
      {"a gain, uncertain from three close records", Losing(-20e-6, 3, 0.05), true, 20, false, false},
      {"a gain since a step", spanningStep, true, 20, true, false},
      {"a record with an enormous bound does not bend the line", enormousBound, true, -15, true, false},
      {"the newest record moved", movedThen, false, 0, false, true},
      {"moved three records ago", movedBefore, true, -15, true, false},
      {"steeper than any clock drifts", steepest, false, 0, false, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    const DriftFinding finding = FindDrift(row.records);
    EXPECT_EQ(finding.rate.has_value(), row.rateKnown);
    if (row.rateKnown) {
      EXPECT_NEAR(DriftPpm(finding), row.ppm, 0.01 + 3 * finding.uncertainty * kPartsPerMillion);
    }
    EXPECT_EQ(finding.Told(), row.told);
    EXPECT_EQ(finding.movedByOther, row.movedByOther);
  }
}

TEST(DriftRate, TellsTheRateAsSecondsADayAndSomethingElseOnceItMovedTheClock) {
  EXPECT_EQ(DriftLines(kDefaultMessages, FindDrift(Losing(15e-6, 5))), L"This clock loses 1.3 s a day (15 ppm)\r\n");
  EXPECT_EQ(DriftLines(kDefaultMessages, FindDrift(Losing(-2e-6, 20, 0.0001))),
            L"This clock gains 0.173 s a day (2.0 ppm)\r\n");
  std::vector<HistoryRecord> moved = Losing(15e-6, 3);
  moved.push_back(At(4 * 3600, 2));
  EXPECT_EQ(DriftLines(kDefaultMessages, FindDrift(moved)),
            L"Something else has changed this clock since the last compare\r\n");
}
