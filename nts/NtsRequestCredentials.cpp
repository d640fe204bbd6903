#include "nts/NtsRequestCredentials.h"

#include "framework/SystemRandom.h"

std::vector<uint8_t> CNtsRequestCredentials::Datagram(const SntpRequest& packet) {
  NtsNonce nonce;
  if (!SystemRandom(m_uniqueId.data(), m_uniqueId.size()) || !SystemRandom(nonce.data(), nonce.size())) return {};
  return BuildNtsRequest(packet, m_uniqueId, m_cookie, m_association.PlaceholdersFor(m_cookie), nonce,
                         m_association.ClientToServerKey());
}

ReplyProof CNtsRequestCredentials::Check(const uint8_t* datagram, size_t size) {
  const NtsReply reply = ReadNtsReply(ByteRange(datagram, size), m_uniqueId, m_association.ServerToClientKey());
  if (reply.m_Verdict == ReplyProof::Authentic) m_association.AddCookies(reply.m_Cookies);
  if (reply.m_Verdict == ReplyProof::Refused && m_association.FromKeptResults()) return ReplyProof::RefusedAtOnce;
  return reply.m_Verdict;
}
