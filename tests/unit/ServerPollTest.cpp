#include "exchange/ServerPoll.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

namespace {

struct Interval {
  double offset;
  double bound;
};

// One letter for each server's verdict: T truechimer, F falseticker, - left out.
std::string Verdicts(const ServerPoll& poll) {
  std::string letters;
  for (const ServerAnswer& answer : poll.answers)
    letters += answer.verdict == ServerVerdict::Truechimer ? 'T' : answer.verdict == ServerVerdict::Falseticker ? 'F' : '-';
  return letters;
}

ServerPoll Judged(const std::vector<std::optional<Interval>>& intervals) {
  ServerPoll poll;
  for (const std::optional<Interval>& interval : intervals) {
    const std::wstring server = L"s" + std::to_wstring(poll.answers.size());
    if (!interval) {
      poll.answers.push_back({server, FailedExchange{ExchangeFailure::NoAnswer}});
      continue;
    }
    SntpExchangeResult result;
    result.m_dClockOffset = interval->offset;
    result.m_dErrorBound = interval->bound;
    poll.answers.push_back({server, result});
  }
  SelectAmongAnswers(poll);
  return poll;
}

}  // namespace

// The largest group whose intervals share a point is believed when it is a
// majority of the servers that answered; the narrowest of it is shown.
TEST(ServerPoll, AMajorityIsBelievedAndOutvotesTheRest) {
  const double nan = std::nan("");
  const struct Case {
    const char* what;
    std::vector<std::optional<Interval>> intervals;
    const char* verdicts;
    int chosen;  // -1: none
  } cases[] = {
      {"one server", {Interval{1.5, 0.01}}, "T", 0},
      {"two agree, the narrower shown", {Interval{1.5, 0.02}, Interval{1.51, 0.01}}, "TT", 1},
      {"two disagree", {Interval{1.5, 0.01}, Interval{31.5, 0.01}}, "FF", -1},
      {"one of three off by 30 s", {Interval{1.5, 0.01}, Interval{31.5, 0.001}, Interval{1.5, 0.01}}, "TFT", 0},
      {"intervals that touch share a point", {Interval{0, 1}, Interval{2, 1}}, "TT", 0},
      {"a chain whose ends disagree has two majorities: none", {Interval{1, 1}, Interval{2.5, 1.5}, Interval{4, 1}},
       "FFF", -1},
      {"two against two", {Interval{0, 0.1}, Interval{0, 0.1}, Interval{5, 0.1}, Interval{5, 0.1}}, "FFFF", -1},
      {"three of four, the fourth far", {Interval{0, 0.1}, Interval{0.05, 0.1}, Interval{-0.05, 0.1}, Interval{9, 0.1}},
       "TTTF", 0},
      {"the failed are left out and do not count", {Interval{1.5, 0.01}, std::nullopt, Interval{1.5, 0.01}}, "T-T", 0},
      {"a time that is no number counts against", {Interval{1.5, 0.01}, Interval{nan, 0.01}, Interval{31.5, 0.01}},
       "FFF", -1},
      {"and is outvoted", {Interval{1.5, 0.01}, Interval{nan, 0.01}, Interval{1.5, 0.01}}, "TFT", 0},
      {"none answered", {std::nullopt, std::nullopt}, "--", -1},
  };
  for (const Case& test : cases) {
    const ServerPoll poll = Judged(test.intervals);
    EXPECT_EQ(Verdicts(poll), test.verdicts) << test.what;
    EXPECT_EQ(poll.chosen ? static_cast<int>(*poll.chosen) : -1, test.chosen) << test.what;
  }
}

TEST(ServerPoll, WhyNoTimeWasChosen) {
  EXPECT_EQ(PollFailure(Judged({Interval{0, 0.1}, Interval{5, 0.1}})).kind, ExchangeFailure::NoMajority);
  ServerPoll failed = Judged({std::nullopt, std::nullopt});
  failed.answers[0].answer = FailedExchange{ExchangeFailure::NameNotFound};
  EXPECT_EQ(PollFailure(failed).kind, ExchangeFailure::NameNotFound) << "the first server's failure";
  failed.answers[1].answer = FailedExchange{ExchangeFailure::Stopped};
  EXPECT_EQ(PollFailure(failed).kind, ExchangeFailure::Stopped) << "the user's stop before all";
}
