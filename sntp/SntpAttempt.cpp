#include "sntp/SntpAttempt.h"

#include <ntsecapi.h>

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
  if (!RtlGenRandom(&bits, sizeof bits)) return false;
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

CSntpAttempt::Outcome CSntpAttempt::ReadOne(SntpReplyBuffer& reply, SntpExchangeResult& result) {
  const CNtpTimestamp arrival = PreciseNtpNow();
  reply.fill(0);
  const int length = m_socket.Receive(reply.data(), kSntpReplyBufferSize);
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
