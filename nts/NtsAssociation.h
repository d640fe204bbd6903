#pragma once
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "net/AddressScope.h"
#include "nts/NtsKeResponse.h"
#include "nts/NtsPacket.h"

// One NTS association, held in memory for the run only: the two keys and
// the cookies of a key exchange, and the NTP server and port it named. The
// keys and the cookies still held are wiped when it goes.
class CNtsAssociation {
public:
  // keyExchangeServer (the address the key exchange was made with, in
  // keyExchangeScope) is asked for time unless the response named another.
  CNtsAssociation(const NtsKey& clientToServerKey, const NtsKey& serverToClientKey,
                  const NtsKeResponse& response, const std::string& keyExchangeServer,
                  AddressScope keyExchangeScope);
  ~CNtsAssociation();
  CNtsAssociation(const CNtsAssociation&) = delete;
  CNtsAssociation& operator=(const CNtsAssociation&) = delete;

  bool HasCookie() const { return !m_cookies.empty(); }
  // The oldest cookie, spent: each cookie goes into one request only.
  NtsCookie TakeCookie();
  // Placeholders for a request carrying cookie, so that the reply's new
  // cookies fill the store again, and all of them together stay small
  // enough not to fragment the datagram (chrony's bound).
  size_t PlaceholdersFor(const NtsCookie& cookie) const;
  // A reply's cookies, kept up to kNtsMaxCookies.
  void AddCookies(const std::vector<NtsCookie>& cookies);

  const NtsKey& ClientToServerKey() const { return m_clientToServerKey; }
  const NtsKey& ServerToClientKey() const { return m_serverToClientKey; }
  const std::string& NtpServer() const { return m_ntpServer; }
  uint16_t NtpPort() const { return m_nNtpPort; }
  // Whether the response named the NTP server rather than leaving it to
  // the key exchange's own.
  bool NtpServerNamed() const { return m_bNtpServerNamed; }
  AddressScope KeyExchangeScope() const { return m_keyExchangeScope; }

private:
  NtsKey m_clientToServerKey;
  NtsKey m_serverToClientKey;
  std::deque<NtsCookie> m_cookies;
  std::string m_ntpServer;
  uint16_t m_nNtpPort;
  bool m_bNtpServerNamed;
  AddressScope m_keyExchangeScope;
};
