#include "exchange/ServerPoll.h"

#include <algorithm>
#include <cmath>

#include "exchange/ClockSelection.h"
#include "framework/String.h"

namespace {

const wchar_t* const kLeaveAloneCodes[] = {L"RATE", L"DENY", L"RSTR"};

bool StoppedAnswer(const ServerAnswer& answer) {
  return !answer.answer && answer.answer.Error().kind == ExchangeFailure::Stopped;
}

bool Repeat(const ServerAnswer& answer) {
  return !answer.answer && answer.answer.Error().kind == ExchangeFailure::SameServer;
}

// A name as DNS compares it: letters in one case, a trailing dot dropped.
std::wstring ComparableName(std::wstring name) {
  if (!name.empty() && name.back() == L'.') name.pop_back();
  return LowerCase(name);
}

// The second answer from one address is the first one's server again.
void LeaveOutRepeatedAddresses(ServerPoll& poll) {
  for (size_t i = 0; i < poll.answers.size(); ++i) {
    for (size_t k = 0; k < i && poll.answers[i].answer; ++k) {
      const auto& earlier = poll.answers[k].answer;
      const std::wstring& address = poll.answers[i].answer->m_strServerAddress;
      if (earlier && !address.empty() && earlier->m_strServerAddress == address)
        poll.answers[i].answer = SameServerAs(poll.answers[k].server);
    }
  }
}

// Of the truechimers, one whose certificate holds by the local time goes
// first: setting the clock to its time needs no question. Then the narrower.
bool ShownBefore(const SntpExchangeResult& a, const SntpExchangeResult& b) {
  if (a.m_bTrustedAtServerTimeOnly != b.m_bTrustedAtServerTimeOnly) return !a.m_bTrustedAtServerTimeOnly;
  return a.m_dErrorBound < b.m_dErrorBound;
}

// An answer that came and was not believed: the server, or whoever stands
// between, may be lying.
bool FailedTrust(const FailedExchange& failure) {
  const bool ntsTrust = failure.kind == ExchangeFailure::NtsFailed && !PathDowngradeOf(failure);
  return ntsTrust || failure.kind == ExchangeFailure::ReplyRefused || failure.kind == ExchangeFailure::PredatesProgram ||
         failure.kind == ExchangeFailure::WebCertificateRefused;
}

bool FailedAlike(const FailedExchange& a, const FailedExchange& b) {
  return a.kind == b.kind && a.refusal == b.refusal && a.nts == b.nts;
}

// The failure of every server but the repeats: one, when they failed alike.
FailedExchange FailureOfAll(const ServerPoll& poll) {
  const FailedExchange* first = nullptr;
  for (const ServerAnswer& answer : poll.answers) {
    if (Repeat(answer)) continue;
    if (!first) first = &answer.answer.Error();
    if (!FailedAlike(*first, answer.answer.Error())) return {ExchangeFailure::ServersFailed};
  }
  return *first;
}

}  // namespace

size_t ServerPoll::Answered() const {
  return std::count_if(answers.begin(), answers.end(), [](const ServerAnswer& answer) { return !!answer.answer; });
}

size_t ServerPoll::Agreeing() const {
  return std::count_if(answers.begin(), answers.end(),
                       [](const ServerAnswer& answer) { return answer.verdict == ServerVerdict::Truechimer; });
}

TrustLevel ServerPoll::Trust() const {
  if (webTime) return TrustLevel::Web;
  return ChosenTime().m_bAuthenticated ? TrustLevel::Authenticated : TrustLevel::Unauthenticated;
}

bool ServerPoll::WithinWebBound() const {
  return webTime && std::abs(ChosenTime().m_dClockOffset) <= ChosenTime().m_dErrorBound;
}

bool ServerPoll::Stopped() const {
  return std::any_of(answers.begin(), answers.end(), StoppedAnswer);
}

std::optional<size_t> EarlierEntryForTheSameName(const std::vector<std::wstring>& servers, size_t i) {
  const std::wstring name = ComparableName(servers[i]);
  for (size_t k = 0; k < i; ++k)
    if (ComparableName(servers[k]) == name) return k;
  return std::nullopt;
}

FailedExchange SameServerAs(const std::wstring& earlier) {
  FailedExchange failure{ExchangeFailure::SameServer};
  failure.detail = earlier;
  return failure;
}

bool AsksToBeLeftAlone(const FailedExchange& failure) {
  return failure.kind == ExchangeFailure::Kissed &&
         std::find(std::begin(kLeaveAloneCodes), std::end(kLeaveAloneCodes), failure.detail) != std::end(kLeaveAloneCodes);
}

std::optional<Downgrade> PathDowngradeOf(const FailedExchange& failure) {
  if (failure.kind != ExchangeFailure::NtsFailed) return std::nullopt;
  switch (failure.nts) {
    case NtsFailure::Refused:
    case NtsFailure::NoAnswer:
    case NtsFailure::ConnectionUnanswered:
      return Downgrade::NtsBlocked;
    case NtsFailure::RequestsUnanswered:
      return Downgrade::NtsDropped;
    default:
      break;
  }
  return std::nullopt;
}

bool MayFallBack(const ServerPoll& poll) {
  if (poll.chosen || poll.Stopped() || poll.Answered() > 0) return false;
  return std::none_of(poll.answers.begin(), poll.answers.end(),
                      [](const ServerAnswer& answer) { return FailedTrust(answer.answer.Error()); });
}

std::optional<Downgrade> PlainFallback(const ServerPoll& poll) {
  if (!MayFallBack(poll)) return std::nullopt;
  std::optional<Downgrade> fallback;
  for (const ServerAnswer& answer : poll.answers) {
    const std::optional<Downgrade> path = PathDowngradeOf(answer.answer.Error());
    if (path && fallback != Downgrade::NtsBlocked) fallback = path;
  }
  return fallback;
}

void SelectAmongAnswers(ServerPoll& poll) {
  LeaveOutRepeatedAddresses(poll);
  std::vector<size_t> answered;
  std::vector<OffsetInterval> intervals;
  for (size_t i = 0; i < poll.answers.size(); ++i) {
    poll.answers[i].verdict = ServerVerdict::LeftOut;
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
    if (!poll.chosen || ShownBefore(*poll.answers[i].answer, poll.ChosenTime())) poll.chosen = i;
  }
  if (poll.Stopped()) poll.chosen.reset();
}

FailedExchange PollFailure(const ServerPoll& poll) {
  if (poll.Stopped()) return {ExchangeFailure::Stopped};
  if (poll.chosen) {
    FailedExchange tooFew{ExchangeFailure::TooFewAgree};
    tooFew.error = poll.minAgree;
    return tooFew;
  }
  if (poll.Answered() > 0) return {ExchangeFailure::NoMajority};
  return FailureOfAll(poll);
}
