#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "net/HostLookup.h"
#include "net/NetFailure.h"
#include "net/RaceEntrant.h"
#include "net/Result.h"
#include "net/TimeLimit.h"

// The one way a server's addresses are tried, for datagrams and connections
// alike (RFC 8305's manner): the first address at once, the first of the
// other family when the first has not won a moment later, or at once when
// the first is out; then whoever wins first. Where requests may be lost
// (datagrams), an entrant that has not won a while after its last request
// asks again, a few times at most and never in a burst. One deadline for
// all of it, and the stop event ends it at once.
class CAddressRace {
public:
  using Enter = std::function<std::unique_ptr<CRaceEntrant>(const SOCKADDR_INET& address)>;

  // How often an entrant asks, and how long it waits for an answer before
  // it asks again.
  struct Requests {
    unsigned most;
    uint32_t apartMilliseconds;
  };
  // One request each: a connection's own retries are the system's.
  static constexpr Requests kOneRequest{1, 0};

  CAddressRace(const CTimeLimit& deadline, HANDLE stopEvent, Requests requests = kOneRequest)
      : m_deadline(deadline), m_hStopEvent(stopEvent), m_requests(requests) {}

  // Enters addresses (not empty) as the race needs them and runs it: the
  // winner, which lives as long as the race; or TimedOut at the deadline,
  // Stopped, or the failure of the last address out when all are.
  Result<CRaceEntrant*, NetFailure> Run(const AddressList& addresses, const Enter& enter);

private:
  using Clock = CTimeLimit::Clock;

  // An entrant in the race, with its requests so far.
  struct Runner {
    std::unique_ptr<CRaceEntrant> entrant;
    unsigned requests;
    Clock::time_point lastRequest;
  };

  bool Stopped() const;
  // Asks again where an answer is overdue: why it could not, if it could not.
  std::optional<NetFailure> RepeatIfOverdue(Runner& runner) const;
  DWORD MillisecondsToNextRepeat() const;
  void AwaitNews(DWORD timeoutMilliseconds) const;

  const CTimeLimit& m_deadline;
  const HANDLE m_hStopEvent;
  const Requests m_requests;
  std::vector<Runner> m_running;
};
