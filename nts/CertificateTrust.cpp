// The chain parameters with their time limit for fetching a root.
#define CERT_CHAIN_PARA_HAS_EXTRA_FIELDS
#include "nts/CertificateTrust.h"

#include <wininet.h>

#include <algorithm>
#include <utility>

#include "nts/CertificateLibrary.h"

namespace {

// No issuer is fetched from where a certificate not yet trusted points
// (AIA), and the revocation status comes from the system's cache, the root
// excepted. A root the system lacks still comes from Windows Update, as it
// does for Windows' own TLS clients, within kRootRetrievalTimeout or the
// caller's limit: a fresh system holds few of the roots it trusts.
constexpr DWORD kChainFlags = CERT_CHAIN_DISABLE_AIA | CERT_CHAIN_REVOCATION_CHECK_CHAIN_EXCLUDE_ROOT |
                              CERT_CHAIN_REVOCATION_CHECK_CACHE_ONLY;
constexpr DWORD kRootRetrievalTimeout = 3000;
// The machine's chain engine: its roots are the system's and those an
// administrator installed. A user's own Root store does not count: any
// program the user runs can add a root there, and this one sets the clock
// of the whole machine on the verdict.
const HCERTCHAINENGINE kMachineEngine = HCCE_LOCAL_MACHINE;
// The policy counts a revocation status that is not known, which is what
// the cache mostly gives, as a fault: it leaves revocation aside, and Judge
// refuses a chain known to be revoked itself.
constexpr DWORD kRevocationAside = SECURITY_FLAG_IGNORE_REVOCATION;

char kServerAuthentication[] = szOID_PKIX_KP_SERVER_AUTH;
LPSTR kServerUsage[] = {kServerAuthentication};

CertificateVerdict Refusal(DWORD policyError) {
  switch (policyError) {
    case static_cast<DWORD>(CERT_E_UNTRUSTEDROOT):
    case static_cast<DWORD>(CERT_E_CHAINING):
      return CertificateVerdict::UntrustedRoot;
    case static_cast<DWORD>(CERT_E_CN_NO_MATCH):
      return CertificateVerdict::WrongName;
    default:
      return CertificateVerdict::Faulty;
  }
}

// The chain's flags, with the root's fetch given what is left of the limit:
// none, but from the cache, once nothing is left.
DWORD RootRetrieval(const CTimeLimit& limit, CERT_CHAIN_PARA& para) {
  para.dwUrlRetrievalTimeout = std::min(kRootRetrievalTimeout, static_cast<DWORD>(limit.MillisecondsLeft()));
  return para.dwUrlRetrievalTimeout == 0 ? kChainFlags | CERT_CHAIN_CACHE_ONLY_URL_RETRIEVAL : kChainFlags;
}

}  // namespace

CCertificateTrust::CCertificateTrust(const std::vector<std::vector<BYTE>>& chain, std::wstring serverName)
    : m_pLibrary(CCertificateLibrary::Get()), m_strServerName(std::move(serverName)) {
  if (!m_pLibrary || chain.empty()) return;
  m_hSent = m_pLibrary->CertOpenStore(CERT_STORE_PROV_MEMORY, 0, 0, 0, nullptr);
  if (!m_hSent) return;
  for (const std::vector<BYTE>& certificate : chain) {
    PCCERT_CONTEXT* added = &certificate == &chain.front() ? &m_pServer : nullptr;
    if (!m_pLibrary->CertAddEncodedCertificateToStore(m_hSent, X509_ASN_ENCODING, certificate.data(),
                                                      static_cast<DWORD>(certificate.size()),
                                                      CERT_STORE_ADD_ALWAYS, added)) {
      // One malformed certificate spoils the chain.
      if (m_pServer) m_pLibrary->CertFreeCertificateContext(m_pServer);
      m_pServer = nullptr;
      return;
    }
  }
}

CCertificateTrust::~CCertificateTrust() {
  if (m_pServer) m_pLibrary->CertFreeCertificateContext(m_pServer);
  if (m_hSent) m_pLibrary->CertCloseStore(m_hSent, 0);
}

CertificateVerdict CCertificateTrust::Check(const CTimeLimit& limit, const FILETIME* time) const {
  if (!m_pServer) return CertificateVerdict::Faulty;
  CERT_CHAIN_PARA para{};
  para.cbSize = sizeof para;
  para.RequestedUsage.dwType = USAGE_MATCH_TYPE_AND;
  para.RequestedUsage.Usage.cUsageIdentifier = 1;
  para.RequestedUsage.Usage.rgpszUsageIdentifier = kServerUsage;
  const DWORD flags = RootRetrieval(limit, para);
  PCCERT_CHAIN_CONTEXT chain = nullptr;
  if (!m_pLibrary->CertGetCertificateChain(kMachineEngine, m_pServer, const_cast<FILETIME*>(time), m_hSent, &para,
                                           flags, nullptr, &chain)) {
    return CertificateVerdict::Faulty;
  }
  const CertificateVerdict verdict = Judge(chain);
  m_pLibrary->CertFreeCertificateChain(chain);
  return verdict;
}

bool CCertificateTrust::ValidityPeriod(SYSTEMTIME& notBefore, SYSTEMTIME& notAfter) const {
  return m_pServer && ::FileTimeToSystemTime(&m_pServer->pCertInfo->NotBefore, &notBefore) &&
         ::FileTimeToSystemTime(&m_pServer->pCertInfo->NotAfter, &notAfter);
}

// A chain that reaches no root fails Windows' policy, but passes Wine's:
// it is refused before the policy, as is a chain known to be revoked. The
// policy reports one fault at a time, and the name only when the chain has
// no other: a chain out of its time is judged once more with the time left
// aside, so that the time is known to be its only fault.
CertificateVerdict CCertificateTrust::Judge(PCCERT_CHAIN_CONTEXT chain) const {
  const DWORD status = chain->TrustStatus.dwErrorStatus;
  if (status & CERT_TRUST_IS_PARTIAL_CHAIN) return CertificateVerdict::UntrustedRoot;
  if (status & CERT_TRUST_IS_REVOKED) return CertificateVerdict::Faulty;
  const DWORD error = PolicyError(chain, kRevocationAside);
  if (error == 0) return CertificateVerdict::Trusted;
  if (!(status & CERT_TRUST_IS_NOT_TIME_VALID)) return Refusal(error);
  const DWORD errorButForTime = PolicyError(chain, kRevocationAside | SECURITY_FLAG_IGNORE_CERT_DATE_INVALID);
  return errorButForTime == 0 ? CertificateVerdict::TrustedButForTime : Refusal(errorButForTime);
}

DWORD CCertificateTrust::PolicyError(PCCERT_CHAIN_CONTEXT chain, DWORD ignoredFaults) const {
  SSL_EXTRA_CERT_CHAIN_POLICY_PARA ssl{};
  ssl.cbSize = sizeof ssl;
  ssl.dwAuthType = AUTHTYPE_SERVER;
  ssl.fdwChecks = ignoredFaults;
  ssl.pwszServerName = const_cast<wchar_t*>(m_strServerName.c_str());
  CERT_CHAIN_POLICY_PARA para{};
  para.cbSize = sizeof para;
  para.pvExtraPolicyPara = &ssl;
  CERT_CHAIN_POLICY_STATUS status{};
  status.cbSize = sizeof status;
  if (!m_pLibrary->CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain, &para, &status))
    return static_cast<DWORD>(E_FAIL);
  return status.dwError;
}
