#include "nts/NtsClient.h"

#include "nts/DnsName.h"
#include "nts/NtsCredentials.h"
#include "nts/NtsKeyExchange.h"
#include "sntp/PreciseTime.h"

namespace {

// The server's time of a reply as a file time, in the era nearest the
// local clock's (which may be a year off, not 68).
FILETIME ServerTime(const SntpExchangeResult& result) {
  const SYSTEMTIME calendar = CalendarNearNow(result.m_TransmitTime);
  FILETIME time{};
  ::SystemTimeToFileTime(&calendar, &time);
  return time;
}

}  // namespace

BOOL CNtsClient::QueryServer(LPCWSTR server, CNtsSession& session, SntpExchangeResult& result) {
  m_failure = NtsFailure::None;
  m_nCode = 0;
  const DWORD error = Query(server, session, result);
  ::SetLastError(error);
  return error == ERROR_SUCCESS;
}

// A NAK gets one new key exchange, whatever the age of the refused cookie:
// the server's keys may have changed a moment after it gave it.
DWORD CNtsClient::Query(LPCWSTR server, CNtsSession& session, SntpExchangeResult& result) {
  for (bool refusedBefore = false;; refusedBefore = true) {
    if (!session.HasCookie()) {
      const DWORD error = BeginSession(server, session);
      if (error != ERROR_SUCCESS) return error;
    }
    CNtsAssociation& association = session.Association();
    CNtsCredentials credentials(association);
    if (m_client.QueryServer(WideName(association.NtpServer()).c_str(), result, association.NtpPort(),
                             &credentials))
      return AcceptCertificateAtServerTime(session, result);
    const DWORD error = ::GetLastError();
    if (error == ERROR_NOT_AUTHENTICATED) return Fail(NtsFailure::NotAuthenticated);
    if (error != ERROR_ACCESS_DENIED) return error;
    // The server refused the cookie (an NTS NAK): its keys have changed.
    session.Forget();
    if (refusedBefore) return Fail(NtsFailure::CookieRefused);
  }
}

DWORD CNtsClient::BeginSession(LPCWSTR server, CNtsSession& session) {
  CNtsKeyExchange keyExchange(m_hStopEvent);
  std::unique_ptr<CNtsAssociation> association = keyExchange.Run(server);
  if (!association) {
    const DWORD error = ::GetLastError();
    m_failure = keyExchange.Failure();
    m_nCode = keyExchange.Code();
    return error;
  }
  session.Begin(std::move(association), keyExchange.TakeCertificateToCheckAtServerTime());
  return ERROR_SUCCESS;
}

// The server's time is authentic: keys from a TLS session with the server
// whose certificate Windows trusts but for its dates. Valid at that time,
// the certificate is believed, and the result says it was so judged.
DWORD CNtsClient::AcceptCertificateAtServerTime(CNtsSession& session, SntpExchangeResult& result) {
  if (const CCertificateTrust* certificate = session.CertificateToCheck()) {
    const FILETIME serverTime = ServerTime(result);
    if (certificate->Check(&serverTime) != CertificateVerdict::Trusted) {
      session.Forget();
      return Fail(NtsFailure::OutdatedCertificate);
    }
    session.TrustAtServerTime();
  }
  result.m_bTrustedAtServerTimeOnly = session.TrustedAtServerTimeOnly();
  return ERROR_SUCCESS;
}

DWORD CNtsClient::Fail(NtsFailure failure) {
  m_failure = failure;
  return kErrorNtsFailed;
}
