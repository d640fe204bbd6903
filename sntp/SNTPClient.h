#pragma once
#include <winsock2.h>

#include "framework/Object.h"
#include "sntp/ExchangeCredentials.h"
#include "net/HostLookup.h"
#include "sntp/SntpExchangeResult.h"
#include "sntp/SntpPacket.h"
#include "sntp/SystemClockCalls.h"

// One SNTP client exchange with a named server, and setting the system
// clock to the time found.
class CSNTPClient : public CObject {
public:
  explicit CSNTPClient(const SystemClockCalls& clockCalls = kSystemClockCalls);

  // Asks host:port for its time and waits for the reply: one request to the
  // first address the name gives, and one more to the first of the other
  // family when no reply has come a moment later. FALSE leaves the cause in
  // GetLastError: WSAETIMEDOUT when no reply came in time,
  // ERROR_INVALID_DATA when the reply must not be trusted, WSAEINTR when the
  // stop event ended the wait, a lookup error (see ResolveHost) when the
  // name was not found. With credentials, only a reply they prove authentic
  // is judged: FALSE with ERROR_NOT_AUTHENTICATED when replies came in time
  // but none of them was, and ERROR_ACCESS_DENIED when the server refused
  // the credentials.
  BOOL QueryServer(LPCWSTR host, SntpExchangeResult& result, UINT port,
                   CExchangeCredentials* credentials = nullptr);
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
  DWORD Exchange(const AddressList& addresses, CExchangeCredentials* credentials, SntpExchangeResult& result);
  DWORD Judge(const SntpReply& reply, SntpExchangeResult& result);
  bool StopRequested() const;

  DWORD m_nTimeout;  // milliseconds
  HANDLE m_hStopEvent = nullptr;
  SntpRefusal m_refusal = SntpRefusal::None;
  const SystemClockCalls& m_calls;
  HANDLE m_hToken = nullptr;
  TOKEN_PRIVILEGES m_tokenPrivileges{};
  BOOL m_bPrivilegeEnabled = FALSE;
};
