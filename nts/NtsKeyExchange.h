#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "nts/CertificateTrust.h"
#include "nts/NtsAssociation.h"
#include "nts/NtsFailure.h"

// One NTS key exchange (RFC 8915 section 4): TLS 1.3 with the server on TCP
// port 4460, its certificate judged by Windows for the server's name before
// a record is sent, then the records, and both keys from the TLS exporter.
// All of it within 5 seconds of its own; it ends at once when the stop
// event (may be null) is signalled.
class CNtsKeyExchange {
public:
  explicit CNtsKeyExchange(HANDLE stopEvent) : m_hStopEvent(stopEvent) {}

  // The association, or null with the cause in GetLastError: a lookup's
  // error (see ResolveHost), WSAEINTR when stopped, a network error, or
  // kErrorNtsFailed with the reason in Failure().
  std::unique_ptr<CNtsAssociation> Run(LPCWSTR server);
  NtsFailure Failure() const { return m_failure; }
  // The code of the server's Error or Warning record.
  unsigned Code() const { return m_nCode; }

  // After a run whose certificate was trusted but for its dates at the
  // local time: its chain, to be judged again at the server's time once
  // that time is authenticated; null otherwise.
  std::unique_ptr<CCertificateTrust> TakeCertificateToCheckAtServerTime() {
    return std::move(m_certificateToCheck);
  }

private:
  std::unique_ptr<CNtsAssociation> Exchange(LPCWSTR server);
  std::unique_ptr<CNtsAssociation> Fail(NtsFailure failure);
  std::unique_ptr<CNtsAssociation> FailWithError(DWORD error);
  bool Trusts(std::unique_ptr<CCertificateTrust> certificate);

  HANDLE m_hStopEvent;
  DWORD m_nError = ERROR_SUCCESS;
  NtsFailure m_failure = NtsFailure::None;
  unsigned m_nCode = 0;
  std::unique_ptr<CCertificateTrust> m_certificateToCheck;
};
