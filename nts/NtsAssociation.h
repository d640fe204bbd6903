#pragma once
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "net/AddressScope.h"
#include "nts/KeptAssociation.h"
#include "nts/NtsKeResponse.h"
#include "nts/NtsPacket.h"

// One NTS association in memory: the two keys and the cookies of a key
// exchange, and the NTP server and port it named, made by a key exchange of
// this run or taken from the kept results of an earlier one. The keys and
// the cookies still held are wiped when it goes.
class CNtsAssociation {
public:
  // keyExchangeServer (the address the key exchange was made with, in
  // keyExchangeScope) is asked for time unless the response named another.
  CNtsAssociation(const NtsKey& clientToServerKey, const NtsKey& serverToClientKey,
                  const NtsKeResponse& response, const std::string& keyExchangeServer,
                  AddressScope keyExchangeScope);
  // From kept results, whose cookies a refusal may end at once.
  explicit CNtsAssociation(const KeptAssociation& kept);
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
  // Whether it was taken from kept results: a refusal of its cookies may
  // then be believed at once, as the worst it can cause is the key
  // exchange that their age would have brought anyway.
  bool FromKeptResults() const { return m_bFromKeptResults; }
  // What is kept of it: for server's key exchange made at madeAt, the
  // cookies still held.
  KeptAssociation ToKeep(const std::string& server, uint64_t madeAt) const;

private:
  NtsKey m_clientToServerKey;
  NtsKey m_serverToClientKey;
  std::deque<NtsCookie> m_cookies;
  std::string m_ntpServer;
  uint16_t m_nNtpPort;
  bool m_bNtpServerNamed;
  AddressScope m_keyExchangeScope;
  bool m_bFromKeptResults = false;
};
