#include "nts/CertificateTrust.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/wine/TimeServers.h"

namespace {

using Chain = std::vector<std::vector<BYTE>>;

constexpr LONGLONG kTicksPerDay = 24LL * 60 * 60 * 10000000;
// The server certificates are valid from a day ago for 30 days; the
// expired one was valid from 400 to 370 days ago.
constexpr int kYear = 365;
constexpr int kWhileExpiredWasValid = -385;

// Time enough for any check, a root's fetch included.
CTimeLimit Unhurried() {
  constexpr uint32_t kMinute = 60000;
  return CTimeLimit(kMinute);
}

// A certificate of the session's (tests/fixtures/test-certificates), in DER.
std::vector<BYTE> Certificate(const wchar_t* name) {
  const wchar_t* directory = _wgetenv(L"MOVRANE_TEST_CERTIFICATES");
  std::ifstream file((std::wstring(directory ? directory : L".") + L"\\" + name + L".der").c_str(),
                     std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

Chain ChainOf(const std::vector<const wchar_t*>& names) {
  Chain chain;
  for (const wchar_t* name : names) chain.push_back(Certificate(name));
  return chain;
}

// A root in the current user's own Root store (its registry part, as a
// program the user runs adds one), for as long as it lives.
class UserRoot {
public:
  explicit UserRoot(const std::vector<BYTE>& der)
      : m_hStore(::CertOpenStore(CERT_STORE_PROV_SYSTEM_REGISTRY_W, 0, 0, CERT_SYSTEM_STORE_CURRENT_USER, L"Root")) {
    if (m_hStore)
      ::CertAddEncodedCertificateToStore(m_hStore, X509_ASN_ENCODING, der.data(), static_cast<DWORD>(der.size()),
                                         CERT_STORE_ADD_REPLACE_EXISTING, &m_pRoot);
  }
  ~UserRoot() {
    if (m_pRoot) ::CertDeleteCertificateFromStore(m_pRoot);  // frees it too
    if (m_hStore) ::CertCloseStore(m_hStore, 0);
  }
  UserRoot(const UserRoot&) = delete;
  UserRoot& operator=(const UserRoot&) = delete;
  bool Added() const { return m_pRoot != nullptr; }

private:
  HCERTSTORE m_hStore;
  PCCERT_CONTEXT m_pRoot = nullptr;
};

// Whether the current user's chain engine takes the chain to a trusted root.
bool UserEngineTrusts(const std::vector<BYTE>& der) {
  PCCERT_CONTEXT certificate =
      ::CertCreateCertificateContext(X509_ASN_ENCODING, der.data(), static_cast<DWORD>(der.size()));
  CERT_CHAIN_PARA para{};
  para.cbSize = sizeof para;
  PCCERT_CHAIN_CONTEXT chain = nullptr;
  const bool built = certificate && ::CertGetCertificateChain(HCCE_CURRENT_USER, certificate, nullptr, nullptr,
                                                              &para, 0, nullptr, &chain);
  const bool trusted = built && !(chain->TrustStatus.dwErrorStatus & CERT_TRUST_IS_UNTRUSTED_ROOT);
  if (chain) ::CertFreeCertificateChain(chain);
  if (certificate) ::CertFreeCertificateContext(certificate);
  return trusted;
}

FILETIME DaysFromNow(int days) {
  FILETIME now;
  ::GetSystemTimeAsFileTime(&now);
  ULARGE_INTEGER time{{now.dwLowDateTime, now.dwHighDateTime}};
  time.QuadPart += days * kTicksPerDay;
  return {time.LowPart, time.HighPart};
}

struct TrustCase {
  const char* what;
  std::vector<const wchar_t*> chain;  // as the server sends it
  LPCWSTR serverName;
  int daysFromNow;
  CertificateVerdict verdict;
};

const TrustCase kCases[] = {
    {"a good chain", {L"nts", L"issuer"}, TimeServers::kNtsTrusted, 0, CertificateVerdict::Trusted},
    {"another server's certificate", {L"elsewhere", L"issuer"}, TimeServers::kNtsWrongName, 0,
     CertificateVerdict::WrongName},
    {"self-signed", {L"self-signed"}, TimeServers::kNtsSelfSigned, 0, CertificateVerdict::UntrustedRoot},
    {"an untrusted CA", {L"untrusted-ca"}, TimeServers::kNtsUntrustedCa, 0, CertificateVerdict::UntrustedRoot},
    {"an untrusted CA that sends its root along", {L"untrusted-ca", L"untrusted-root"},
     TimeServers::kNtsUntrustedCa, 0, CertificateVerdict::UntrustedRoot},
    {"the issuer missing", {L"nts"}, TimeServers::kNtsTrusted, 0, CertificateVerdict::UntrustedRoot},
    {"expired", {L"expired", L"issuer"}, TimeServers::kNtsExpired, 0, CertificateVerdict::TrustedButForTime},
    {"expired, at a time it was valid", {L"expired", L"issuer"}, TimeServers::kNtsExpired,
     kWhileExpiredWasValid, CertificateVerdict::Trusted},
    {"a clock a year ahead", {L"nts", L"issuer"}, TimeServers::kNtsTrusted, kYear,
     CertificateVerdict::TrustedButForTime},
    {"a clock a year behind", {L"nts", L"issuer"}, TimeServers::kNtsTrusted, -kYear,
     CertificateVerdict::TrustedButForTime},
    {"a year ahead and the wrong name", {L"nts", L"issuer"}, L"elsewhere.movrane.test", kYear,
     CertificateVerdict::WrongName},
    {"a year ahead and self-signed", {L"self-signed"}, TimeServers::kNtsSelfSigned, kYear,
     CertificateVerdict::UntrustedRoot},
    {"a wildcard", {L"wildcard", L"issuer"}, L"any.wild.movrane.test", 0, CertificateVerdict::Trusted},
    {"a client's certificate", {L"client-only", L"issuer"}, TimeServers::kNtsTrusted, 0,
     CertificateVerdict::Faulty},
};

}  // namespace

TEST(CertificateTrust, WindowsJudgesEachChainForTheServersName) {
  for (const TrustCase& trustCase : kCases) {
    SCOPED_TRACE(trustCase.what);
    const CCertificateTrust trust(ChainOf(trustCase.chain), trustCase.serverName);
    const FILETIME time = DaysFromNow(trustCase.daysFromNow);
    EXPECT_EQ(trust.Check(Unhurried(), &time), trustCase.verdict);
  }
}

// A root that a program of the user's put in the user's own Root store
// makes no server trusted: the clock is the machine's.
TEST(CertificateTrust, ARootInTheUsersOwnStoreDoesNotCount) {
  const Chain chain = ChainOf({L"untrusted-ca"});
  const UserRoot root(Certificate(L"untrusted-root"));
  ASSERT_TRUE(root.Added()) << "could not add to the user's Root store: " << ::GetLastError();
  ASSERT_TRUE(UserEngineTrusts(chain[0])) << "the user's own engine does not see the root";
  EXPECT_EQ(CCertificateTrust(chain, TimeServers::kNtsUntrustedCa).Check(Unhurried()), CertificateVerdict::UntrustedRoot);
}

// The check at the local time, a year off, and then at the authenticated
// server time, with the chain kept.
TEST(CertificateTrust, AChainTrustedButForTimeIsTrustedAtTheRightTime) {
  const CCertificateTrust trust(ChainOf({L"nts", L"issuer"}), TimeServers::kNtsTrusted);
  const FILETIME yearAhead = DaysFromNow(kYear);
  EXPECT_EQ(trust.Check(Unhurried(), &yearAhead), CertificateVerdict::TrustedButForTime);
  EXPECT_EQ(trust.Check(Unhurried()), CertificateVerdict::Trusted);
  // With no time left to fetch a root, the roots the machine holds judge.
  EXPECT_EQ(trust.Check(CTimeLimit(0)), CertificateVerdict::Trusted);
}

TEST(CertificateTrust, MalformedOrTamperedChainsAreFaulty) {
  EXPECT_EQ(CCertificateTrust({}, TimeServers::kNtsTrusted).Check(Unhurried()), CertificateVerdict::Faulty);
  Chain truncated = ChainOf({L"nts", L"issuer"});
  truncated[0].resize(truncated[0].size() / 2);
  EXPECT_EQ(CCertificateTrust(truncated, TimeServers::kNtsTrusted).Check(Unhurried()), CertificateVerdict::Faulty);
  Chain truncatedIssuer = ChainOf({L"nts", L"issuer"});
  truncatedIssuer[1].resize(truncatedIssuer[1].size() / 2);
  EXPECT_EQ(CCertificateTrust(truncatedIssuer, TimeServers::kNtsTrusted).Check(Unhurried()), CertificateVerdict::Faulty);
  // The last bytes of a certificate are its issuer's signature.
  Chain forged = ChainOf({L"nts", L"issuer"});
  forged[0].back() ^= 1;
  EXPECT_EQ(CCertificateTrust(forged, TimeServers::kNtsTrusted).Check(Unhurried()), CertificateVerdict::Faulty);
}
