#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "net/HostLookup.h"
#include "net/NetFailure.h"
#include "net/RaceEntrant.h"
#include "net/Result.h"
#include "net/TimeLimit.h"

// The one way a server's addresses are tried, for datagrams and connections
// alike (RFC 8305's manner): the first address at once, the first of the
// other family when the first has not won a moment later, or at once when
// the first is out; then whoever wins first. One deadline for all of it, and
// the stop event ends it at once.
class CAddressRace {
public:
  using Enter = std::function<std::unique_ptr<CRaceEntrant>(const SOCKADDR_INET& address)>;

  CAddressRace(const CTimeLimit& deadline, HANDLE stopEvent) : m_deadline(deadline), m_hStopEvent(stopEvent) {}

  // Enters addresses (not empty) as the race needs them and runs it: the
  // winner, which lives as long as the race; or TimedOut at the deadline,
  // Stopped, or the failure of the last address out when all are.
  Result<CRaceEntrant*, NetFailure> Run(const AddressList& addresses, const Enter& enter);

private:
  bool Stopped() const;
  void AwaitNews(DWORD timeoutMilliseconds) const;

  const CTimeLimit& m_deadline;
  const HANDLE m_hStopEvent;
  std::vector<std::unique_ptr<CRaceEntrant>> m_running;
};
