#pragma once
#include <winsock2.h>
#include <ws2ipdef.h>

#include <memory>
#include <string>

#include "net/Result.h"
#include "net/TimeLimit.h"
#include "nts/CertificateTrust.h"
#include "nts/NtsAssociation.h"
#include "nts/NtsFailure.h"
#include "nts/TlsConnection.h"

// One NTS key exchange (RFC 8915 section 4): TLS 1.3 with the server on TCP
// port 4460, its certificate judged by Windows for the server's name before
// a record is sent, then the records, and both keys from the TLS exporter.
// All of it within 5 seconds of its own, or what is left of the outer time
// if that ends first; it ends at once when the stop event (may be null) is
// signalled.
class CNtsKeyExchange {
public:
  explicit CNtsKeyExchange(HANDLE stopEvent) : m_hStopEvent(stopEvent) {}

  // The association, or why there is none.
  Result<std::unique_ptr<CNtsAssociation>, NtsQueryFailure> Run(LPCWSTR server, const CTimeLimit& outer);

  // After a run whose certificate was trusted but for its dates at the
  // local time: its chain, to be judged again at the server's time once
  // that time is authenticated; null otherwise.
  std::unique_ptr<CCertificateTrust> TakeCertificateToCheckAtServerTime() {
    return std::move(m_certificateToCheck);
  }

private:
  Result<std::unique_ptr<CNtsAssociation>, NtsQueryFailure> Records(CTlsConnection& tls, const CTimeLimit& deadline,
                                                                    const SOCKADDR_INET& peer);
  // Whether Windows trusts the chain for the name, a root fetched only
  // before the deadline; a chain trusted but for its dates is kept, to be
  // judged at the server's time.
  Result<Done, NtsQueryFailure> Trusts(std::unique_ptr<CCertificateTrust> certificate, const CTimeLimit& deadline);

  HANDLE m_hStopEvent;
  std::unique_ptr<CCertificateTrust> m_certificateToCheck;
};
