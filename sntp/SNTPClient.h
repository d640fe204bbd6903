#pragma once
#include <winsock2.h>

#include "framework/Object.h"
#include "net/HostLookup.h"
#include "net/Result.h"
#include "net/TimeLimit.h"
#include "sntp/ExchangeCredentials.h"
#include "sntp/SntpExchangeResult.h"
#include "sntp/SntpFailure.h"
#include "sntp/SntpPacket.h"
#include "sntp/SystemClockCalls.h"

// One SNTP client exchange with a named server, and setting the system
// clock to the time found.
class CSNTPClient : public CObject {
public:
  explicit CSNTPClient(const SystemClockCalls& clockCalls = kSystemClockCalls);

  // Asks host:port for its time and waits for the reply: the name looked
  // up within 5 s, then Exchange within 5 s more, each within what is left
  // of the outer time.
  Result<SntpExchangeResult, SntpFailure> Query(LPCWSTR host, UINT port, const CTimeLimit& outer);
  // Requests go to the server's addresses as CAddressRace tries them, and
  // the first reply to one of them is judged; with credentials, only a
  // reply they prove authentic. Nothing that arrives moves the deadline.
  Result<SntpExchangeResult, SntpFailure> Exchange(const AddressList& addresses, CExchangeCredentials* credentials,
                                                   const CTimeLimit& deadline);

  // Query with 10 s in all, with the cause of a failure in GetLastError: WSAETIMEDOUT when no
  // reply came in time, ERROR_INVALID_DATA when the reply must not be
  // trusted (Refusal says why), WSAEINTR when the stop event ended the wait,
  // WSAHOST_NOT_FOUND or WSATRY_AGAIN when the name was not found, else the
  // network's error.
  BOOL QueryServer(LPCWSTR host, SntpExchangeResult& result, UINT port);
  // Why the last reply was refused (QueryServer failed with
  // ERROR_INVALID_DATA); None otherwise.
  SntpRefusal Refusal() const { return m_refusal; }
  // An event that, once signalled, ends the name lookup and the wait for a
  // reply and refuses to set the clock.
  void SetStopEvent(HANDLE stopEvent) { m_hStopEvent = stopEvent; }

  // Sets the system clock to the UTC time (in the era nearest the clock's
  // own), with the system-time privilege enabled for just that moment.
  // FALSE with ERROR_CANCELLED, touching nothing, once the stop event is set.
  BOOL SetSystemClock(const CNtpTimestamp& time);
  BOOL EnableSystemTimePrivilege();
  void RestoreSystemTimePrivilege();

private:
  bool StopRequested() const;

  HANDLE m_hStopEvent = nullptr;
  SntpRefusal m_refusal = SntpRefusal::None;
  const SystemClockCalls& m_calls;
  HANDLE m_hToken = nullptr;
  TOKEN_PRIVILEGES m_tokenPrivileges{};
  BOOL m_bPrivilegeEnabled = FALSE;
};
