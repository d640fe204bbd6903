#include "exchange/ServerPoll.h"

#include "exchange/ClockSelection.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace {

struct Interval {
  double offset;
  double bound;
  const wchar_t* address = L"";  // where the answer came from, when it matters
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
    result.m_strServerAddress = interval->address;
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
  const double inf = INFINITY;
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
      {"exactly half is no majority", {Interval{1.5, 0.01}, Interval{nan, 0.01}}, "FF", -1},
      {"an infinite bound holds every point but takes no part",
       {Interval{1.5, 0.01}, Interval{0, inf}, Interval{31.5, 0.01}}, "FFF", -1},
      {"and an infinite offset none", {Interval{1.5, 0.01}, Interval{inf, 0.01}, Interval{1.5, 0.01}}, "TFT", 0},
      // A liar placed to make a second group as large as the honest one's
      // vetoes nothing: the span of the deepest regions is believed.
      {"four, the liar overlapping two honest", {Interval{0, 0.010}, Interval{0.010, 0.020}, Interval{0.010, 0.020},
                                                 Interval{0.060, 0.040}}, "TTTF", 0},
      {"three, the liar overlapping one", {Interval{0, 0.010}, Interval{0.010, 0.020}, Interval{0.045, 0.020}},
       "TTF", 0},
      {"one address answering for two names votes once",
       {Interval{30, 0.01, L"192.0.2.1"}, Interval{30, 0.01, L"192.0.2.1"}, Interval{0, 0.01, L"192.0.2.2"}}, "F-F",
       -1},
  };
  for (const Case& test : cases) {
    const ServerPoll poll = Judged(test.intervals);
    EXPECT_EQ(Verdicts(poll), test.verdicts) << test.what;
    EXPECT_EQ(poll.chosen ? static_cast<int>(*poll.chosen) : -1, test.chosen) << test.what;
  }
}

TEST(ServerPoll, WhyNoTimeWasChosen) {
  const auto failedAs = [](std::vector<FailedExchange> failures) {
    ServerPoll poll;
    for (FailedExchange& failure : failures) poll.answers.push_back({L"s", failure});
    SelectAmongAnswers(poll);
    return PollFailure(poll).kind;
  };
  EXPECT_EQ(PollFailure(Judged({Interval{0, 0.1}, Interval{5, 0.1}})).kind, ExchangeFailure::NoMajority);
  EXPECT_EQ(failedAs({{ExchangeFailure::NameNotFound}, {ExchangeFailure::NameNotFound}}), ExchangeFailure::NameNotFound)
      << "alike";
  EXPECT_EQ(failedAs({{ExchangeFailure::NameNotFound}, {ExchangeFailure::NtsFailed}}), ExchangeFailure::ServersFailed)
      << "each in its own way, not the first server's";
  EXPECT_EQ(failedAs({{ExchangeFailure::NameNotFound}, SameServerAs(L"s")}), ExchangeFailure::NameNotFound)
      << "a repeat is no server of its own";

  // A stop is the whole poll's, before any verdict, and no time is chosen.
  ServerPoll stopped = Judged({Interval{1.5, 0.01}, Interval{1.5, 0.01}, std::nullopt});
  stopped.answers[2].answer = FailedExchange{ExchangeFailure::Stopped};
  SelectAmongAnswers(stopped);
  EXPECT_FALSE(stopped.chosen);
  EXPECT_EQ(PollFailure(stopped).kind, ExchangeFailure::Stopped);
  stopped.answers[1].answer = FailedExchange{ExchangeFailure::NoAnswer};
  stopped.answers[0].answer->m_dClockOffset = 31.5;
  EXPECT_EQ(PollFailure(stopped).kind, ExchangeFailure::Stopped) << "before no majority";

  // A time fewer servers agree on than minagree is shown, never set.
  ServerPoll alone = Judged({Interval{1.5, 0.01}, std::nullopt, std::nullopt, std::nullopt});
  alone.minAgree = 2;
  ASSERT_TRUE(alone.chosen);
  EXPECT_FALSE(alone.CrossChecked());
  EXPECT_EQ(PollFailure(alone).kind, ExchangeFailure::TooFewAgree);
  EXPECT_EQ(PollFailure(alone).error, 2u);
  alone.minAgree = 1;
  EXPECT_TRUE(alone.CrossChecked());
}

// Of the truechimers, one whose certificate holds by the local time is
// shown and set, though another's interval is narrower.
TEST(ServerPoll, ATimeThatNeedsNoQuestionIsChosenFirst) {
  ServerPoll poll = Judged({Interval{1.5, 0.001}, Interval{1.5, 0.01}, Interval{1.5, 0.02}});
  poll.answers[0].answer->m_bTrustedAtServerTimeOnly = true;
  SelectAmongAnswers(poll);
  EXPECT_EQ(poll.chosen, 1u);
}

// Names are compared as DNS compares them; the first entry is asked.
TEST(ServerPoll, ARepeatedNameIsTheEarlierEntrysServer) {
  const std::vector<std::wstring> servers = {L"Time.Example", L"other", L"time.example.", L"TIME.EXAMPLE", L"time.ex"};
  EXPECT_EQ(EarlierEntryForTheSameName(servers, 0), std::nullopt);
  EXPECT_EQ(EarlierEntryForTheSameName(servers, 2), 0u);
  EXPECT_EQ(EarlierEntryForTheSameName(servers, 3), 0u);
  EXPECT_EQ(EarlierEntryForTheSameName(servers, 4), std::nullopt);
  FailedExchange kiss{ExchangeFailure::Kissed};
  for (const wchar_t* code : {L"RATE", L"DENY", L"RSTR"}) {
    kiss.detail = code;
    EXPECT_TRUE(AsksToBeLeftAlone(kiss)) << code;
  }
  kiss.detail = L"INIT";
  EXPECT_FALSE(AsksToBeLeftAlone(kiss));
}

// The selection held against its definition, counted by brute force over
// every subset: the deepest regions are the intersections of the largest
// subsets that share a point; the truechimers hold or lie inside their span.
TEST(ServerPoll, SelectionAgreesWithEverySubsetCounted) {
  std::mt19937 random(20261208);
  for (int round = 0; round < 20000; ++round) {
    const size_t count = 1 + random() % 6;
    std::vector<OffsetInterval> intervals;
    // Small whole numbers: ties, touching ends and nested intervals are common.
    for (size_t i = 0; i < count; ++i)
      intervals.push_back({static_cast<double>(random() % 9), static_cast<double>(random() % 4)});
    size_t depth = 0;
    double low = 0, high = 0;
    for (unsigned subset = 1; subset < 1u << count; ++subset) {
      double lows = -INFINITY, highs = INFINITY;
      size_t members = 0;
      for (size_t i = 0; i < count; ++i) {
        if (!(subset >> i & 1)) continue;
        ++members;
        lows = std::max(lows, intervals[i].offset - intervals[i].bound);
        highs = std::min(highs, intervals[i].offset + intervals[i].bound);
      }
      if (lows > highs || members < depth) continue;
      if (members > depth) {
        depth = members;
        low = lows;
        high = highs;
      }
      low = std::min(low, lows);
      high = std::max(high, highs);
    }
    std::vector<size_t> expected;
    for (size_t i = 0; i < count; ++i) {
      const double l = intervals[i].offset - intervals[i].bound, h = intervals[i].offset + intervals[i].bound;
      if ((l <= low && high <= h) || (low <= l && h <= high)) expected.push_back(i);
    }
    if (2 * depth <= count || 2 * expected.size() <= count) expected.clear();
    ASSERT_EQ(SelectTruechimers(intervals), expected) << "round " << round;
  }
}

// NTS that the network's path blocked gives way to plain SNTP for the same
// servers; a failure of trust never does, nor does an answer.
TEST(ServerPoll, OnlyABlockedPathFallsBackToPlainTime) {
  const auto nts = [](NtsFailure reason) { return FailedExchange{ExchangeFailure::NtsFailed, {}, 0, reason}; };
  const FailedExchange blocked = nts(NtsFailure::ConnectionUnanswered), dropped = nts(NtsFailure::RequestsUnanswered);
  const struct {
    const char* what;
    std::vector<FailedExchange> failures;
    std::optional<Downgrade> expected;
  } cases[] = {
      {"port blocked", {blocked, nts(NtsFailure::Refused)}, Downgrade::NtsBlocked},
      {"requests dropped", {dropped, dropped}, Downgrade::NtsDropped},
      {"both: the port first", {dropped, blocked}, Downgrade::NtsBlocked},
      {"and a silent name", {blocked, {ExchangeFailure::NameServiceSilent}}, Downgrade::NtsBlocked},
      {"a refused certificate", {blocked, nts(NtsFailure::UntrustedCertificate)}, std::nullopt},
      {"a failed authenticator", {dropped, nts(NtsFailure::NotAuthenticated)}, std::nullopt},
      {"a time that cannot be true", {blocked, {ExchangeFailure::ReplyRefused}}, std::nullopt},
      {"a refused web certificate", {blocked, {ExchangeFailure::WebCertificateRefused}}, std::nullopt},
      {"nothing of the path", {{ExchangeFailure::NameNotFound}}, std::nullopt},
      {"stopped", {blocked, {ExchangeFailure::Stopped}}, std::nullopt},
  };
  for (const auto& test : cases) {
    ServerPoll poll;
    for (const FailedExchange& failure : test.failures) poll.answers.push_back({L"s", failure});
    SelectAmongAnswers(poll);
    EXPECT_EQ(PlainFallback(poll), test.expected) << test.what;
  }
  ServerPoll answered = Judged({Interval{1.5, 0.01}, std::nullopt});
  answered.answers[1].answer = blocked;
  EXPECT_EQ(PlainFallback(answered), std::nullopt) << "an authenticated answer";
}
