#include "exchange/ServerPoll.h"

#include <algorithm>

#include "exchange/ClockSelection.h"

namespace {

bool Stopped(const ServerAnswer& answer) {
  return !answer.answer && answer.answer.Error().kind == ExchangeFailure::Stopped;
}

}  // namespace

size_t ServerPoll::Answered() const {
  return std::count_if(answers.begin(), answers.end(), [](const ServerAnswer& answer) { return !!answer.answer; });
}

size_t ServerPoll::Agreeing() const {
  return std::count_if(answers.begin(), answers.end(),
                       [](const ServerAnswer& answer) { return answer.verdict == ServerVerdict::Truechimer; });
}

void SelectAmongAnswers(ServerPoll& poll) {
  std::vector<size_t> answered;
  std::vector<OffsetInterval> intervals;
  for (size_t i = 0; i < poll.answers.size(); ++i) {
    const auto& answer = poll.answers[i].answer;
    if (!answer) continue;
    answered.push_back(i);
    intervals.push_back({answer->m_dClockOffset, answer->m_dErrorBound});
  }
  for (const size_t i : answered) poll.answers[i].verdict = ServerVerdict::Falseticker;
  poll.chosen.reset();
  for (const size_t truechimer : SelectTruechimers(intervals)) {
    const size_t i = answered[truechimer];
    poll.answers[i].verdict = ServerVerdict::Truechimer;
    if (!poll.chosen || poll.answers[i].answer->m_dErrorBound < poll.ChosenTime().m_dErrorBound) poll.chosen = i;
  }
}

FailedExchange PollFailure(const ServerPoll& poll) {
  if (std::any_of(poll.answers.begin(), poll.answers.end(), Stopped)) return {ExchangeFailure::Stopped};
  if (poll.Answered() > 0) return {ExchangeFailure::NoMajority};
  return poll.answers.front().answer.Error();
}
