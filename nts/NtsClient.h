#pragma once
#include <windows.h>

#include "net/Result.h"
#include "net/TimeLimit.h"
#include "nts/NtsFailure.h"
#include "nts/NtsSession.h"
#include "sntp/SNTPClient.h"

// Authenticated time from an NTS server (RFC 8915): a key exchange with the
// server when the session holds no cookie, then the time exchange with the
// NTP server and port it named (or where the key exchange was made), whose
// replies are believed only when they are authentic and pass the rules of
// any reply. The whole query takes at most 10 s, or what is left of the
// outer time if that ends first: 5 s for a key exchange and 5 s for a time
// exchange, its lookup included, each within what is left of the whole,
// and the second judging of a certificate too.
//
// A refusal of a cookie (an NTS NAK) is not authenticated, so anyone on the
// path can send one (section 5.7): it ends nothing, and only when no
// authentic reply has come by the deadline is there one new key exchange,
// whose keys and cookies replace the old only once it has succeeded. A
// refusal of cookies kept from an earlier run is believed at once: the
// worst it brings is the key exchange their age would have brought.
//
// The results of a key exchange whose certificate was trusted at the local
// time are kept for later runs (CNtsKeyStore), for four weeks: a later run
// begins with them instead of a key exchange, and each query keeps what
// is left of its cookies.
//
// A certificate that Windows trusted but for its dates is judged again at
// the first authenticated server time, and refused unless it is valid then.
class CNtsClient {
public:
  // The time exchanges go through client, whose stop event ends the key
  // exchange too.
  CNtsClient(CSNTPClient& client, HANDLE stopEvent) : m_client(client), m_hStopEvent(stopEvent) {}

  Result<SntpExchangeResult, NtsQueryFailure> Query(LPCWSTR server, CNtsSession& session, const CTimeLimit& outer);

private:
  Result<Done, NtsQueryFailure> BeginSession(LPCWSTR server, CNtsSession& session, const CTimeLimit& budget);
  Result<SntpExchangeResult, NtsQueryFailure> AskNtpServer(CNtsAssociation& association, const CTimeLimit& budget);
  Result<AddressList, NtsQueryFailure> NtpServerAddresses(const CNtsAssociation& association,
                                                          const CTimeLimit& deadline);
  Result<SntpExchangeResult, NtsQueryFailure> Accept(CNtsSession& session, SntpExchangeResult result,
                                                     const CTimeLimit& budget);
  bool ResumeKept(LPCWSTR server, CNtsSession& session);
  void MarkForKeeping(LPCWSTR server, CNtsSession& session);
  void KeepForLaterRuns(const CNtsSession& session);

  CSNTPClient& m_client;
  HANDLE m_hStopEvent;
};
