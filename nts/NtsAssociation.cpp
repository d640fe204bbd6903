#include "nts/NtsAssociation.h"

#include <algorithm>

#include <mbedtls/platform_util.h>

#include "nts/ExtensionFieldWalker.h"
#include "nts/NtsKeRecords.h"

namespace {

// chrony's MAX_TOTAL_COOKIE_LENGTH: the cookie and placeholder fields of
// one request together.
constexpr size_t kMaxTotalCookieFieldSize = 8 * 108;

}  // namespace

CNtsAssociation::CNtsAssociation(const NtsKey& clientToServerKey, const NtsKey& serverToClientKey,
                                 const NtsKeResponse& response, const std::string& keyExchangeServer,
                                 AddressScope keyExchangeScope)
    : m_clientToServerKey(clientToServerKey),
      m_serverToClientKey(serverToClientKey),
      m_ntpServer(response.m_Server.empty() ? keyExchangeServer : response.m_Server),
      m_nNtpPort(response.m_nPort),
      m_bNtpServerNamed(!response.m_Server.empty()),
      m_keyExchangeScope(keyExchangeScope) {
  AddCookies(response.m_Cookies);
}

CNtsAssociation::CNtsAssociation(const KeptAssociation& kept)
    : m_clientToServerKey(kept.clientToServerKey),
      m_serverToClientKey(kept.serverToClientKey),
      m_ntpServer(kept.ntpServer),
      m_nNtpPort(kept.ntpPort),
      m_bNtpServerNamed(kept.ntpServerNamed),
      m_keyExchangeScope(kept.keyExchangeScope),
      m_bFromKeptResults(true) {
  AddCookies(kept.cookies);
}

CNtsAssociation::~CNtsAssociation() {
  mbedtls_platform_zeroize(m_clientToServerKey.data(), m_clientToServerKey.size());
  mbedtls_platform_zeroize(m_serverToClientKey.data(), m_serverToClientKey.size());
}

// Moved out whole: the association keeps no copy of a spent cookie.
NtsCookie CNtsAssociation::TakeCookie() {
  NtsCookie cookie = std::move(m_cookies.front());
  m_cookies.pop_front();
  return cookie;
}

size_t CNtsAssociation::PlaceholdersFor(const NtsCookie& cookie) const {
  const size_t wanted = kNtsMaxCookies - std::min(m_cookies.size(), kNtsMaxCookies);
  const size_t fitting = kMaxTotalCookieFieldSize / ExtensionFieldSize(cookie.size());
  return std::max<size_t>(std::min(wanted, fitting), 1) - 1;
}

void CNtsAssociation::AddCookies(const std::vector<NtsCookie>& cookies) {
  for (const NtsCookie& cookie : cookies) {
    if (m_cookies.size() == kNtsMaxCookies) break;
    m_cookies.push_back(cookie);
  }
}

KeptAssociation CNtsAssociation::ToKeep(const std::string& server, uint64_t madeAt) const {
  KeptAssociation kept;
  kept.server = server;
  kept.madeAt = madeAt;
  kept.algorithm = kAeadAesSivCmac256;
  kept.ntpServer = m_ntpServer;
  kept.ntpPort = m_nNtpPort;
  kept.ntpServerNamed = m_bNtpServerNamed;
  kept.keyExchangeScope = m_keyExchangeScope;
  kept.clientToServerKey = m_clientToServerKey;
  kept.serverToClientKey = m_serverToClientKey;
  kept.cookies.assign(m_cookies.begin(), m_cookies.end());
  return kept;
}
