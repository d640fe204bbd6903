#pragma once
#include <winsock2.h>
#include <ws2ipdef.h>

#include "sntp/DatagramSocket.h"
#include "sntp/SntpExchangeResult.h"
#include "sntp/SntpPacket.h"

// One request to one address of the server, with a transmit field of its
// own, and the datagrams that come back on its socket.
class CSntpAttempt {
public:
  enum class Outcome {
    Waiting,   // no datagram waits
    Skipped,   // one was read that does not answer the request, or could not be read
    Answered,  // the reply and its arrival time are in
    Failed,    // the socket itself failed; the last error says why
  };

  explicit CSntpAttempt(const SOCKADDR_INET& peer) : m_peer(peer) {}

  // False with the last error set when the request could not be sent.
  bool Send();
  // Reads one datagram. Answered fills reply and, in result, the request's
  // send time (T1) and the reply's arrival (T4).
  Outcome ReadOne(SntpReplyBuffer& reply, SntpExchangeResult& result);

  const SOCKADDR_INET& Peer() const { return m_peer; }
  HANDLE ReadableEvent() const { return m_socket.ReadableEvent(); }

private:
  const SOCKADDR_INET m_peer;
  CDatagramSocket m_socket;
  CNtpTimestamp m_transmitField;
  CNtpTimestamp m_sentAt;
};
