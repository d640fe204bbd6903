#include "sntp/SntpAttempt.h"

#include "framework/SystemRandom.h"
#include "sntp/PreciseTime.h"

namespace {

// Errors recv reports of one datagram, which leave the socket as it was: a
// datagram too long for the buffer, or a report that an earlier one could
// not be delivered (ICMP port unreachable).
bool IsOneDatagramsError(DWORD error) {
  return error == WSAEMSGSIZE || error == WSAECONNRESET || error == WSAENETRESET;
}

// 64 bits from the system's cryptographic random source.
bool RandomTimestamp(CNtpTimestamp& value) {
  uint64_t bits = 0;
  if (!SystemRandom(&bits, sizeof bits)) return false;
  value = CNtpTimestamp(bits);
  return true;
}

}  // namespace

// The reply must echo a value that no one off the path can guess; when the
// request left is the client's own knowledge.
bool CSntpAttempt::Send() {
  if (!m_socket.Open(m_peer)) return false;
  if (!RandomTimestamp(m_transmitField)) {
    ::SetLastError(ERROR_GEN_FAILURE);
    return false;
  }
  const std::vector<uint8_t> datagram = Datagram();
  if (datagram.empty()) {
    ::SetLastError(ERROR_NO_MORE_ITEMS);
    return false;
  }
  m_received.resize(m_pCredentials ? m_pCredentials->LongestReply() : kSntpReplyBufferSize);
  m_sentAt = PreciseNtpNow();
  return m_socket.Send(datagram.data(), static_cast<int>(datagram.size()));
}

// The plain packet, or what the credentials make of it.
std::vector<uint8_t> CSntpAttempt::Datagram() {
  if (!m_pCredentials) {
    const SntpRequest packet = BuildSntpRequest(m_transmitField);
    return std::vector<uint8_t>(packet.begin(), packet.end());
  }
  m_requestCredentials = m_pCredentials->ForRequest();
  if (!m_requestCredentials) return {};
  return m_requestCredentials->Datagram(BuildSntpRequest(m_transmitField, m_pCredentials->ProtocolVersion()));
}

// The arrival is read once the datagram is in: read before, a reply that
// came in between would seem to have come early, with the offset off by
// half the delay and the round trip short by all of it.
CSntpAttempt::Outcome CSntpAttempt::ReadOne(SntpReply& reply, SntpExchangeResult& result) {
  const int length = m_socket.Receive(m_received.data(), static_cast<int>(m_received.size()));
  const CNtpTimestamp arrival = PreciseNtpNow();
  if (length == SOCKET_ERROR) {
    const DWORD error = ::GetLastError();
    if (error == WSAEWOULDBLOCK) return Outcome::Waiting;
    return IsOneDatagramsError(error) ? Outcome::Skipped : Outcome::Failed;
  }
  const auto size = static_cast<size_t>(length);
  if (!AnswersSntpRequest(m_received.data(), size, m_transmitField)) return Outcome::Skipped;
  const Outcome proved = Prove(m_received.data(), size);
  if (proved != Outcome::Answered) return proved;
  reply = SntpReplyOf(m_received.data());
  result.m_OriginateTime = m_sentAt;
  result.m_DestinationTime = arrival;
  return Outcome::Answered;
}

CSntpAttempt::Outcome CSntpAttempt::Prove(const uint8_t* datagram, size_t size) const {
  if (!m_requestCredentials) return Outcome::Answered;
  switch (m_requestCredentials->Check(datagram, size)) {
    case ReplyProof::Authentic:
      return Outcome::Answered;
    case ReplyProof::Refused:
      return Outcome::Refused;
    case ReplyProof::NotAuthentic:
      break;
  }
  return Outcome::Unauthentic;
}
