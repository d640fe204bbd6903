#include "net/AddressRace.h"

#include <algorithm>
#include <chrono>

namespace {

using Clock = CTimeLimit::Clock;

}  // namespace

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
        m_running.push_back(std::move(entrant));
        nextStart = Clock::now() + std::chrono::milliseconds(kNextAddressDelayMs);
      } else {
        lastOut = begun.Error();
      }
      continue;
    }
    if (m_running.empty()) return lastOut;

    bool lookAgain = false;
    for (auto entrant = m_running.begin(); entrant != m_running.end();) {
      switch ((*entrant)->Look()) {
        case CRaceEntrant::Turn::Won:
          return entrant->get();
        case CRaceEntrant::Turn::Out:
          lastOut = (*entrant)->Failure();
          entrant = m_running.erase(entrant);
          break;
        case CRaceEntrant::Turn::Again:
          lookAgain = true;
          ++entrant;
          break;
        case CRaceEntrant::Turn::Waiting:
          ++entrant;
          break;
      }
    }
    if (lookAgain || m_running.empty()) continue;
    const DWORD untilNextStart = next < candidates.size() ? CTimeLimit::MillisecondsUntil(nextStart) : INFINITE;
    AwaitNews(std::min(left, untilNextStart));
  }
}

bool CAddressRace::Stopped() const {
  return m_hStopEvent && ::WaitForSingleObject(m_hStopEvent, 0) == WAIT_OBJECT_0;
}

// Until an entrant's event or the stop event is signalled, or the time is up.
void CAddressRace::AwaitNews(DWORD timeoutMilliseconds) const {
  std::vector<HANDLE> events;
  for (const auto& entrant : m_running) events.push_back(entrant->Event());
  if (m_hStopEvent) events.push_back(m_hStopEvent);
  ::WaitForMultipleObjects(static_cast<DWORD>(events.size()), events.data(), FALSE, timeoutMilliseconds);
}
