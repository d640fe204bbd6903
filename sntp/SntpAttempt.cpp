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
  const SntpRequest request = BuildSntpRequest(m_transmitField);
  m_sentAt = PreciseNtpNow();
  return m_socket.Send(request.data(), kSntpPacketSize);
}

// The arrival is read once the datagram is in: read before, a reply that
// came in between would seem to have come early, with the offset off by
// half the delay and the round trip short by all of it.
CSntpAttempt::Outcome CSntpAttempt::ReadOne(SntpReplyBuffer& reply, SntpExchangeResult& result) {
  reply.fill(0);
  const int length = m_socket.Receive(reply.data(), kSntpReplyBufferSize);
  const CNtpTimestamp arrival = PreciseNtpNow();
  if (length == SOCKET_ERROR) {
    const DWORD error = ::GetLastError();
    if (error == WSAEWOULDBLOCK) return Outcome::Waiting;
    return IsOneDatagramsError(error) ? Outcome::Skipped : Outcome::Failed;
  }
  if (!AnswersSntpRequest(reply, length, m_transmitField)) return Outcome::Skipped;
  result.m_OriginateTime = m_sentAt;
  result.m_DestinationTime = arrival;
  return Outcome::Answered;
}
