#include "sntp/SntpAttempt.h"

#include <algorithm>

#include "framework/SystemRandom.h"
#include "sntp/PreciseTime.h"

namespace {

// Errors of one datagram, which leave the socket as it was: a datagram too
// long for the buffer, or a report that an earlier one could not be
// delivered (ICMP port unreachable), which Windows gives as a reset and
// Wine as a refusal, from recv or from the next send.
bool IsOneDatagramsError(DWORD error) {
  return error == WSAEMSGSIZE || error == WSAECONNRESET || error == WSAENETRESET || error == WSAECONNREFUSED;
}

// 64 bits from the system's cryptographic random source.
bool RandomTimestamp(CNtpTimestamp& value) {
  uint64_t bits = 0;
  if (!SystemRandom(&bits, sizeof bits)) return false;
  value = CNtpTimestamp(bits);
  return true;
}

}  // namespace

Result<Done, NetFailure> CSntpAttempt::Begin() {
  const Result<Done, NetFailure> opened = m_socket.Open(m_peer);
  if (!opened) return opened;
  m_received.resize(m_pCredentials ? m_pCredentials->LongestReply() : kSntpReplyBufferSize);
  return Send();
}

// Without a cookie left, the requests already out are all there is to wait
// for; a loss reported by the send is no more than any other.
Result<Done, NetFailure> CSntpAttempt::Repeat() {
  const Result<Done, NetFailure> sent = Send();
  if (!sent && (sent.Error().kind == NetFailure::Kind::NothingToSend || IsOneDatagramsError(sent.Error().error)))
    return Done{};
  return sent;
}

// The reply must echo a value that no one off the path can guess; when the
// request left is the client's own knowledge. Each request has its own,
// and its own credentials: a request repeated is a new request.
Result<Done, NetFailure> CSntpAttempt::Send() {
  Request request;
  if (!RandomTimestamp(request.transmitField)) return NetFailure{NetFailure::Kind::System, ERROR_GEN_FAILURE};
  const std::vector<uint8_t> datagram = Datagram(request);
  if (datagram.empty()) return NetFailure{NetFailure::Kind::NothingToSend};
  request.sentAt = PreciseNtpNow();
  const Result<Done, NetFailure> sent = m_socket.Send(datagram.data(), static_cast<int>(datagram.size()));
  m_requests.push_back(std::move(request));
  return sent;
}

// The plain packet, or what the credentials make of it.
std::vector<uint8_t> CSntpAttempt::Datagram(Request& request) {
  if (!m_pCredentials) {
    const SntpRequest packet = BuildSntpRequest(request.transmitField);
    return std::vector<uint8_t>(packet.begin(), packet.end());
  }
  request.credentials = m_pCredentials->ForRequest();
  if (!request.credentials) return {};
  return request.credentials->Datagram(BuildSntpRequest(request.transmitField, m_pCredentials->ProtocolVersion()));
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
  const auto answered = std::find_if(m_requests.begin(), m_requests.end(), [&](const Request& request) {
    return AnswersSntpRequest(m_received.data(), size, request.transmitField);
  });
  if (answered == m_requests.end()) return Turn::Again;
  const Turn proved = Prove(*answered, m_received.data(), size);
  if (proved != Turn::Won) return proved;
  m_reply = SntpReplyOf(m_received.data());
  m_sentAt = answered->sentAt;
  m_arrival = arrival;
  return Turn::Won;
}

// A refusal believed ends this address's attempt, and the exchange tells
// it at once.
CRaceEntrant::Turn CSntpAttempt::GiveUpRefused() {
  m_notes.credentialsRefused = true;
  m_notes.refusalBelieved = true;
  m_failure = NetFailure{NetFailure::Kind::Refused};
  return Turn::Out;
}

// A reply that proves nothing, a refusal included, is noted and skipped
// like any datagram that is no answer.
CRaceEntrant::Turn CSntpAttempt::Prove(Request& request, const uint8_t* datagram, size_t size) {
  if (!request.credentials) return Turn::Won;
  switch (request.credentials->Check(datagram, size)) {
    case ReplyProof::Authentic:
      return Turn::Won;
    case ReplyProof::Refused:
      m_notes.credentialsRefused = true;
      return Turn::Again;
    case ReplyProof::NotAuthentic:
      m_notes.unauthenticReplies = true;
      return Turn::Again;
    case ReplyProof::RefusedAtOnce:
      return GiveUpRefused();
  }
  return Turn::Again;
}
