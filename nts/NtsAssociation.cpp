#include "nts/NtsAssociation.h"

#include <algorithm>

#include <mbedtls/platform_util.h>

#include "nts/ExtensionFieldWalker.h"

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
