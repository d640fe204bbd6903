#include "nts/NtsClient.h"

#include "nts/DnsName.h"
#include "nts/NtsCredentials.h"
#include "nts/NtsKeyExchange.h"
#include "sntp/PreciseTime.h"

namespace {

// The server's time of a reply as a file time, in the era nearest the
// local clock's (which may be a year off, not 68).
FILETIME ServerTime(const SntpExchangeResult& result) {
  const SYSTEMTIME calendar = result.m_TransmitTime.ToCalendarNear(PreciseFileTimeNow());
  FILETIME time{};
  ::SystemTimeToFileTime(&calendar, &time);
  return time;
}

}  // namespace

// A NAK gets one new key exchange, whatever the age of the refused cookie:
// the server's keys may have changed a moment after it gave it.
Result<SntpExchangeResult, NtsQueryFailure> CNtsClient::Query(LPCWSTR server, CNtsSession& session) {
  for (bool refusedBefore = false;; refusedBefore = true) {
    if (!session.HasCookie()) {
      const Result<Done, NtsQueryFailure> begun = BeginSession(server, session);
      if (!begun) return begun.Error();
    }
    CNtsAssociation& association = session.Association();
    CNtsCredentials credentials(association);
    const Result<SntpExchangeResult, SntpFailure> answer =
        m_client.Query(WideName(association.NtpServer()).c_str(), association.NtpPort(), &credentials);
    if (answer) return AcceptCertificateAtServerTime(session, *answer);
    if (answer.Error().kind == SntpFailure::Kind::NotAuthenticated)
      return NtsQueryFailure(NtsFailure::NotAuthenticated);
    if (answer.Error().kind != SntpFailure::Kind::CredentialsRefused) return NtsQueryFailure(answer.Error());
    // The server refused the cookie (an NTS NAK): its keys have changed.
    session.Forget();
    if (refusedBefore) return NtsQueryFailure(NtsFailure::CookieRefused);
  }
}

Result<Done, NtsQueryFailure> CNtsClient::BeginSession(LPCWSTR server, CNtsSession& session) {
  CNtsKeyExchange keyExchange(m_hStopEvent);
  Result<std::unique_ptr<CNtsAssociation>, NtsQueryFailure> association = keyExchange.Run(server);
  if (!association) return association.Error();
  session.Begin(std::move(*association), keyExchange.TakeCertificateToCheckAtServerTime());
  return Done{};
}

// The server's time is authentic: keys from a TLS session with the server
// whose certificate Windows trusts but for its dates. Valid at that time,
// the certificate is believed, and the result says it was so judged.
Result<SntpExchangeResult, NtsQueryFailure> CNtsClient::AcceptCertificateAtServerTime(CNtsSession& session,
                                                                                       SntpExchangeResult result) {
  if (const CCertificateTrust* certificate = session.CertificateToCheck()) {
    const FILETIME serverTime = ServerTime(result);
    if (certificate->Check(&serverTime) != CertificateVerdict::Trusted) {
      session.Forget();
      return NtsQueryFailure(NtsFailure::OutdatedCertificate);
    }
    session.TrustAtServerTime();
  }
  result.m_bTrustedAtServerTimeOnly = session.TrustedAtServerTimeOnly();
  return result;
}
