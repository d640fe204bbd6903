#pragma once
#include <winsock2.h>
#include <ws2ipdef.h>

#include <memory>
#include <vector>

#include "net/DatagramSocket.h"
#include "net/RaceEntrant.h"
#include "sntp/ExchangeCredentials.h"
#include "sntp/SntpExchangeResult.h"
#include "sntp/SntpPacket.h"

// The requests to one address of the server, each with a transmit field
// (and, for an authenticated exchange, credentials) of its own, and the
// datagrams that come back on its socket: an entrant of the exchange's
// race over the server's addresses. It wins with a reply to any of its
// requests, judged against the request it answers.
class CSntpAttempt : public CRaceEntrant {
public:
  // What the attempts of one exchange saw that ended none of them.
  struct Notes {
    bool unauthenticReplies = false;  // replies that answered a request but proved nothing
    // Refusals of the credentials: unauthenticated like the above (RFC 8915
    // section 5.7), so noted only, while an authentic reply may still come.
    bool credentialsRefused = false;
    bool refusalBelieved = false;  // a refusal the credentials believe ended an attempt
  };

  // credentials: null for a plain request.
  CSntpAttempt(const SOCKADDR_INET& peer, CExchangeCredentials* credentials, Notes& notes)
      : m_peer(peer), m_pCredentials(credentials), m_notes(notes) {}

  // Sends the first request, and another.
  Result<Done, NetFailure> Begin() override;
  Result<Done, NetFailure> Repeat() override;
  HANDLE Event() const override { return m_socket.ReadableEvent(); }
  // Reads one datagram.
  Turn Look() override;
  NetFailure Failure() const override { return m_failure; }

  const SOCKADDR_INET& Peer() const { return m_peer; }
  // After it won: the reply, when the request it answers was sent (T1) and
  // when the reply came (T4).
  const SntpReply& Reply() const { return m_reply; }
  const CNtpTimestamp& SentAt() const { return m_sentAt; }
  const CNtpTimestamp& ArrivedAt() const { return m_arrival; }

private:
  // One request, remembered until the exchange ends.
  struct Request {
    CNtpTimestamp transmitField;
    CNtpTimestamp sentAt;
    std::unique_ptr<CRequestCredentials> credentials;
  };

  Result<Done, NetFailure> Send();
  std::vector<uint8_t> Datagram(Request& request);
  Turn Prove(Request& request, const uint8_t* datagram, size_t size);
  Turn GiveUpRefused();

  const SOCKADDR_INET m_peer;
  CExchangeCredentials* const m_pCredentials;
  Notes& m_notes;
  std::vector<Request> m_requests;
  CDatagramSocket m_socket;
  CNtpTimestamp m_sentAt;
  CNtpTimestamp m_arrival;
  std::vector<uint8_t> m_received;
  SntpReply m_reply{};
  NetFailure m_failure{NetFailure::Kind::System};
};
