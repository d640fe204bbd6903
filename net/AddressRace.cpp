#include "net/AddressRace.h"

#include <algorithm>
#include <chrono>

Result<CRaceEntrant*, NetFailure> CAddressRace::Run(const AddressList& addresses, const Enter& enter) {
  const AddressList candidates = FirstOfEachFamily(addresses);
  size_t next = 0;
  Clock::time_point nextStart = Clock::now();
  NetFailure lastOut{NetFailure::Kind::TimedOut};
  for (;;) {
    if (Stopped()) return NetFailure{NetFailure::Kind::Stopped};
    const DWORD left = m_deadline.MillisecondsLeft();
    if (left == 0) return NetFailure{NetFailure::Kind::TimedOut};
    if (next < candidates.size() && (m_running.empty() || Clock::now() >= nextStart)) {
      std::unique_ptr<CRaceEntrant> entrant = enter(candidates[next++]);
      const Result<Done, NetFailure> begun = entrant->Begin();
      if (begun) {
        m_running.push_back(Runner{std::move(entrant), 1, Clock::now()});
        nextStart = Clock::now() + std::chrono::milliseconds(kNextAddressDelayMs);
      } else {
        lastOut = begun.Error();
      }
      continue;
    }
    if (m_running.empty()) return lastOut;

    bool lookAgain = false;
    for (auto runner = m_running.begin(); runner != m_running.end();) {
      const CRaceEntrant::Turn turn = runner->entrant->Look();
      if (turn == CRaceEntrant::Turn::Won) return runner->entrant.get();
      lookAgain = lookAgain || turn == CRaceEntrant::Turn::Again;
      std::optional<NetFailure> out;
      if (turn == CRaceEntrant::Turn::Out) out = runner->entrant->Failure();
      if (turn == CRaceEntrant::Turn::Waiting) out = RepeatIfOverdue(*runner);
      if (out) {
        lastOut = *out;
        runner = m_running.erase(runner);
      } else {
        ++runner;
      }
    }
    if (lookAgain || m_running.empty()) continue;
    const DWORD untilNextStart = next < candidates.size() ? CTimeLimit::MillisecondsUntil(nextStart) : INFINITE;
    AwaitNews(std::min({left, untilNextStart, MillisecondsToNextRepeat()}));
  }
}

std::optional<NetFailure> CAddressRace::RepeatIfOverdue(Runner& runner) const {
  const Clock::time_point due = runner.lastRequest + std::chrono::milliseconds(m_requests.apartMilliseconds);
  if (runner.requests >= m_requests.most || Clock::now() < due) return std::nullopt;
  const Result<Done, NetFailure> repeated = runner.entrant->Repeat();
  if (!repeated) return repeated.Error();
  ++runner.requests;
  runner.lastRequest = Clock::now();
  return std::nullopt;
}

DWORD CAddressRace::MillisecondsToNextRepeat() const {
  DWORD soonest = INFINITE;
  for (const Runner& runner : m_running) {
    if (runner.requests >= m_requests.most) continue;
    const Clock::time_point due = runner.lastRequest + std::chrono::milliseconds(m_requests.apartMilliseconds);
    soonest = std::min<DWORD>(soonest, CTimeLimit::MillisecondsUntil(due));
  }
  return soonest;
}

bool CAddressRace::Stopped() const {
  return m_hStopEvent && ::WaitForSingleObject(m_hStopEvent, 0) == WAIT_OBJECT_0;
}

// Until an entrant's event or the stop event is signalled, or the time is up.
void CAddressRace::AwaitNews(DWORD timeoutMilliseconds) const {
  std::vector<HANDLE> events;
  for (const Runner& runner : m_running) events.push_back(runner.entrant->Event());
  if (m_hStopEvent) events.push_back(m_hStopEvent);
  ::WaitForMultipleObjects(static_cast<DWORD>(events.size()), events.data(), FALSE, timeoutMilliseconds);
}
