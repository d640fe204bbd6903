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
    EXPECT_EQ(trust.Check(&time), trustCase.verdict);
  }
}

// The check at the local time, a year off, and then at the authenticated
// server time, with the chain kept.
TEST(CertificateTrust, AChainTrustedButForTimeIsTrustedAtTheRightTime) {
  const CCertificateTrust trust(ChainOf({L"nts", L"issuer"}), TimeServers::kNtsTrusted);
  const FILETIME yearAhead = DaysFromNow(kYear);
  EXPECT_EQ(trust.Check(&yearAhead), CertificateVerdict::TrustedButForTime);
  EXPECT_EQ(trust.Check(), CertificateVerdict::Trusted);
}

TEST(CertificateTrust, MalformedOrTamperedChainsAreFaulty) {
  EXPECT_EQ(CCertificateTrust({}, TimeServers::kNtsTrusted).Check(), CertificateVerdict::Faulty);
  Chain truncated = ChainOf({L"nts", L"issuer"});
  truncated[0].resize(truncated[0].size() / 2);
  EXPECT_EQ(CCertificateTrust(truncated, TimeServers::kNtsTrusted).Check(), CertificateVerdict::Faulty);
  Chain truncatedIssuer = ChainOf({L"nts", L"issuer"});
  truncatedIssuer[1].resize(truncatedIssuer[1].size() / 2);
  EXPECT_EQ(CCertificateTrust(truncatedIssuer, TimeServers::kNtsTrusted).Check(), CertificateVerdict::Faulty);
  // The last bytes of a certificate are its issuer's signature.
  Chain forged = ChainOf({L"nts", L"issuer"});
  forged[0].back() ^= 1;
  EXPECT_EQ(CCertificateTrust(forged, TimeServers::kNtsTrusted).Check(), CertificateVerdict::Faulty);
}
