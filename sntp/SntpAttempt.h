#pragma once
#include <winsock2.h>
#include <ws2ipdef.h>

#include <memory>
#include <vector>

#include "net/DatagramSocket.h"
#include "sntp/ExchangeCredentials.h"
#include "sntp/SntpExchangeResult.h"
#include "sntp/SntpPacket.h"

// One request to one address of the server, with a transmit field (and,
// for an authenticated exchange, credentials) of its own, and the
// datagrams that come back on its socket.
class CSntpAttempt {
public:
  enum class Outcome {
    Waiting,      // no datagram waits
    Skipped,      // one was read that does not answer the request, or could not be read
    Unauthentic,  // one answered the request but proved nothing: skipped too
    Answered,     // the reply and its arrival time are in
    Refused,      // the server refused the request's credentials
    Failed,       // the socket itself failed; the last error says why
  };

  // credentials: null for a plain request.
  CSntpAttempt(const SOCKADDR_INET& peer, CExchangeCredentials* credentials)
      : m_peer(peer), m_pCredentials(credentials) {}

  // False with the last error set when the request could not be sent.
  bool Send();
  // Reads one datagram. Answered fills reply and, in result, the request's
  // send time (T1) and the reply's arrival (T4).
  Outcome ReadOne(SntpReply& reply, SntpExchangeResult& result);

  const SOCKADDR_INET& Peer() const { return m_peer; }
  HANDLE ReadableEvent() const { return m_socket.ReadableEvent(); }

private:
  std::vector<uint8_t> Datagram();
  Outcome Prove(const uint8_t* datagram, size_t size) const;

  const SOCKADDR_INET m_peer;
  CExchangeCredentials* const m_pCredentials;
  std::unique_ptr<CRequestCredentials> m_requestCredentials;
  CDatagramSocket m_socket;
  CNtpTimestamp m_transmitField;
  CNtpTimestamp m_sentAt;
  std::vector<uint8_t> m_received;
};
