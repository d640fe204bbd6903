#pragma once
#include "nts/NtsAssociation.h"
#include "nts/NtsPacket.h"
#include "sntp/RequestCredentials.h"

// One NTS request's credentials: a cookie of the association, a unique
// identifier and a nonce of its own; its reply must carry the identifier
// and verify with the association's key, and the new cookies it brings go
// to the association.
class CNtsRequestCredentials : public CRequestCredentials {
public:
  CNtsRequestCredentials(CNtsAssociation& association, NtsCookie cookie)
      : m_association(association), m_cookie(std::move(cookie)) {}

  std::vector<uint8_t> Datagram(const SntpRequest& packet) override;
  ReplyProof Check(const uint8_t* datagram, size_t size) override;

private:
  CNtsAssociation& m_association;
  const NtsCookie m_cookie;
  NtsUniqueId m_uniqueId{};
};
