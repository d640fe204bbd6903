#include "nts/NtsClient.h"

#include <algorithm>

#include "net/HostLookup.h"
#include "nts/DnsName.h"
#include "nts/NtsCredentials.h"
#include "nts/NtsKeyExchange.h"
#include "nts/NtsKeyStore.h"
#include "sntp/BuildTime.h"
#include "sntp/PreciseTime.h"

namespace {

// The whole query, and each key exchange and time exchange within it.
constexpr uint32_t kQueryTimeout = 10000;
constexpr uint32_t kExchangeTimeout = 5000;

// The server's time of a reply as a file time, in the era nearest the
// local clock's (which may be a year off, not 68).
FILETIME ServerTime(const SntpExchangeResult& result) {
  const SYSTEMTIME calendar = CalendarNearNow(result.m_TransmitTime);
  FILETIME time{};
  ::SystemTimeToFileTime(&calendar, &time);
  return time;
}

bool RefusedCookies(const Result<SntpExchangeResult, NtsQueryFailure>& answer) {
  return !answer && answer.Error().reason == NtsFailure::CookieRefused;
}

// What the time exchange's failure tells of NTS. Not one answer to an NTS
// request, the key exchange having worked: the requests, a few hundred
// bytes each, may be more than the network lets through.
NtsQueryFailure FailureOfTimeExchange(const SntpFailure& failure) {
  switch (failure.kind) {
    case SntpFailure::Kind::NotAuthenticated:
      return NtsFailure::NotAuthenticated;
    case SntpFailure::Kind::CredentialsRefused:
      return NtsFailure::CookieRefused;
    case SntpFailure::Kind::Network:
      if (failure.network.kind == NetFailure::Kind::TimedOut) return NtsFailure::RequestsUnanswered;
      break;
    case SntpFailure::Kind::ReplyRefused:
    case SntpFailure::Kind::NoCredentialsLeft:
      break;
  }
  return failure;
}

// The NTP server as the log names it, when the key exchange named one: its
// name, with the port unless it is NTP's own.
std::wstring NamedNtpServer(const CNtsAssociation& association) {
  if (!association.NtpServerNamed()) return {};
  std::wstring server = WideName(association.NtpServer());
  if (association.NtpPort() != NtsKeResponse::kDefaultNtpPort) server += L":" + std::to_wstring(association.NtpPort());
  return server;
}

}  // namespace

Result<SntpExchangeResult, NtsQueryFailure> CNtsClient::Query(LPCWSTR server, CNtsSession& session,
                                                              const CTimeLimit& outer) {
  const CTimeLimit budget(kQueryTimeout, outer);
  if (!session.HasCookie() && !ResumeKept(server, session)) {
    const Result<Done, NtsQueryFailure> begun = BeginSession(server, session, budget);
    if (!begun) return begun.Error();
  }
  Result<SntpExchangeResult, NtsQueryFailure> answer = AskNtpServer(session.Association(), budget);
  // Refused cookies and no authentic reply: the server's keys may have
  // changed a moment after it gave them, so one new key exchange.
  if (RefusedCookies(answer)) {
    const Result<Done, NtsQueryFailure> begun = BeginSession(server, session, budget);
    if (!begun) return begun.Error();
    answer = AskNtpServer(session.Association(), budget);
  }
  Result<SntpExchangeResult, NtsQueryFailure> accepted =
      answer ? Accept(session, std::move(*answer), budget) : answer;
  KeepForLaterRuns(session);
  return accepted;
}

Result<Done, NtsQueryFailure> CNtsClient::BeginSession(LPCWSTR server, CNtsSession& session,
                                                       const CTimeLimit& budget) {
  CNtsKeyExchange keyExchange(m_hStopEvent);
  Result<std::unique_ptr<CNtsAssociation>, NtsQueryFailure> association = keyExchange.Run(server, budget);
  if (!association) return association.Error();
  session.Begin(std::move(*association), keyExchange.TakeCertificateToCheckAtServerTime());
  MarkForKeeping(server, session);
  return Done{};
}

// The results an earlier run kept for the server's name, taken: each of
// their cookies is spent once, and what is left is kept again after.
bool CNtsClient::ResumeKept(LPCWSTR server, CNtsSession& session) {
  std::string name;
  if (!DnsName(server, name)) return false;
  const std::optional<KeptAssociation> kept = CNtsKeyStore::Get().Take(name);
  if (!kept || kept->cookies.empty()) return false;
  session.Begin(std::make_unique<CNtsAssociation>(*kept), nullptr);
  session.KeepAs(name, kept->madeAt);
  return true;
}

void CNtsClient::MarkForKeeping(LPCWSTR server, CNtsSession& session) {
  std::string name;
  if (DnsName(server, name)) session.KeepAs(name, CNtsKeyStore::Now());
}

void CNtsClient::KeepForLaterRuns(const CNtsSession& session) {
  const KeptAssociation kept = session.ToKeep();
  if (!kept.server.empty()) CNtsKeyStore::Get().Keep(kept);
}

// One time exchange with the association's credentials, its lookup
// included in its time.
Result<SntpExchangeResult, NtsQueryFailure> CNtsClient::AskNtpServer(CNtsAssociation& association,
                                                                     const CTimeLimit& budget) {
  const CTimeLimit deadline(kExchangeTimeout, budget);
  const Result<AddressList, NtsQueryFailure> addresses = NtpServerAddresses(association, deadline);
  if (!addresses) return addresses.Error();
  CNtsCredentials credentials(association);
  Result<SntpExchangeResult, SntpFailure> answer = m_client.Exchange(*addresses, &credentials, deadline);
  if (!answer) return FailureOfTimeExchange(answer.Error());
  answer->m_strNegotiatedServer = NamedNtpServer(association);
  return std::move(*answer);
}

// The addresses of the NTP server that the key exchange's peer may name:
// none on this machine or its link unless the peer is there too.
Result<AddressList, NtsQueryFailure> CNtsClient::NtpServerAddresses(const CNtsAssociation& association,
                                                                    const CTimeLimit& deadline) {
  Result<AddressList, NetFailure> found = ResolveHost(WideName(association.NtpServer()).c_str(),
                                                      association.NtpPort(), deadline.MillisecondsLeft(), m_hStopEvent);
  if (!found) return NtsQueryFailure(found.Error());
  AddressList& addresses = *found;
  addresses.erase(std::remove_if(addresses.begin(), addresses.end(),
                                 [&](const SOCKADDR_INET& address) {
                                   return !MayAskNamedTarget(association.KeyExchangeScope(), ScopeOf(address));
                                 }),
                  addresses.end());
  if (addresses.empty()) return NtsQueryFailure(NtsFailure::Malformed);
  return std::move(addresses);
}

// The server's time is authentic. With keys from a TLS session whose
// certificate Windows trusts but for its dates, the certificate is believed
// once valid at that time, and the result says it was so judged, with the
// certificate's dates. Its second judging fetches a root only within what
// is left of the budget.
Result<SntpExchangeResult, NtsQueryFailure> CNtsClient::Accept(CNtsSession& session, SntpExchangeResult result,
                                                               const CTimeLimit& budget) {
  // No genuine time is older than the program: an old certificate's key
  // cannot vouch for its own dates.
  if (PredatesBuild(result.m_TransmitTime, PreciseFileTimeNow())) {
    session.Forget();
    return NtsQueryFailure(NtsFailure::PredatesProgram);
  }
  if (const CCertificateTrust* certificate = session.CertificateToCheck()) {
    const FILETIME serverTime = ServerTime(result);
    if (certificate->Check(budget, &serverTime) != CertificateVerdict::Trusted) {
      session.Forget();
      return NtsQueryFailure(NtsFailure::OutdatedCertificate);
    }
    session.TrustAtServerTime();
  }
  session.DescribeTrust(result);
  return result;
}
