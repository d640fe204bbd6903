#pragma once
#include <windows.h>

#include "net/Result.h"
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

  Result<SntpExchangeResult, NtsQueryFailure> Query(LPCWSTR server, CNtsSession& session);

private:
  Result<Done, NtsQueryFailure> BeginSession(LPCWSTR server, CNtsSession& session);
  Result<SntpExchangeResult, NtsQueryFailure> AcceptCertificateAtServerTime(CNtsSession& session,
                                                                             SntpExchangeResult result);

  CSNTPClient& m_client;
  HANDLE m_hStopEvent;
};
