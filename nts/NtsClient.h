#pragma once
#include <windows.h>

#include "nts/NtsFailure.h"
#include "nts/NtsSession.h"
#include "sntp/SNTPClient.h"

// Authenticated time from an NTS server (RFC 8915): a key exchange with the
// server when the session holds no cookie, then the time exchange with the
// NTP server and port it named, whose replies are believed only when they
// are authentic and pass the rules of any reply. A server that refuses a
// cookie (an NTS NAK) gets one new key exchange per query. A certificate that Windows
// trusted but for its dates is judged again at the first authenticated
// server time, and refused unless it is valid then.
class CNtsClient {
public:
  // The time exchanges go through client, whose stop event ends the key
  // exchange too.
  CNtsClient(CSNTPClient& client, HANDLE stopEvent) : m_client(client), m_hStopEvent(stopEvent) {}

  // FALSE with the cause in GetLastError: the causes of
  // CSNTPClient::QueryServer, or kErrorNtsFailed with the reason in
  // Failure() and, for a server's Error or Warning record, its code in Code().
  BOOL QueryServer(LPCWSTR server, CNtsSession& session, SntpExchangeResult& result);
  NtsFailure Failure() const { return m_failure; }
  unsigned Code() const { return m_nCode; }

private:
  DWORD Query(LPCWSTR server, CNtsSession& session, SntpExchangeResult& result);
  DWORD BeginSession(LPCWSTR server, CNtsSession& session);
  DWORD AcceptCertificateAtServerTime(CNtsSession& session, SntpExchangeResult& result);
  DWORD Fail(NtsFailure failure);

  CSNTPClient& m_client;
  HANDLE m_hStopEvent;
  NtsFailure m_failure = NtsFailure::None;
  unsigned m_nCode = 0;
};
