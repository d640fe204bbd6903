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
Result<Done, NetFailure> CSntpAttempt::Begin() {
  const Result<Done, NetFailure> opened = m_socket.Open(m_peer);
  if (!opened) return opened;
  if (!RandomTimestamp(m_transmitField)) return NetFailure{NetFailure::Kind::System, ERROR_GEN_FAILURE};
  const std::vector<uint8_t> datagram = Datagram();
  if (datagram.empty()) return NetFailure{NetFailure::Kind::System, ERROR_NO_MORE_ITEMS};
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
CRaceEntrant::Turn CSntpAttempt::Look() {
  const int length = m_socket.Receive(m_received.data(), static_cast<int>(m_received.size()));
  const CNtpTimestamp arrival = PreciseNtpNow();
  if (length == SOCKET_ERROR) {
    const DWORD error = ::WSAGetLastError();
    if (error == WSAEWOULDBLOCK) return Turn::Waiting;
    if (IsOneDatagramsError(error)) return Turn::Again;
    m_failure = SystemCallFailure(error);
    return Turn::Out;
  }
  const auto size = static_cast<size_t>(length);
  if (!AnswersSntpRequest(m_received.data(), size, m_transmitField)) return Turn::Again;
  const Turn proved = Prove(m_received.data(), size);
  if (proved != Turn::Won) return proved;
  m_reply = SntpReplyOf(m_received.data());
  m_arrival = arrival;
  return Turn::Won;
}

// A reply that proves nothing, a refusal included, is noted and skipped
// like any datagram that is no answer.
CRaceEntrant::Turn CSntpAttempt::Prove(const uint8_t* datagram, size_t size) {
  if (!m_requestCredentials) return Turn::Won;
  switch (m_requestCredentials->Check(datagram, size)) {
    case ReplyProof::Authentic:
      return Turn::Won;
    case ReplyProof::Refused:
      m_notes.credentialsRefused = true;
      return Turn::Again;
    case ReplyProof::NotAuthentic:
      m_notes.unauthenticReplies = true;
      return Turn::Again;
  }
  return Turn::Again;
}
