#pragma once
#include <winsock2.h>
#include <ws2ipdef.h>

#include "net/NetFailure.h"
#include "net/Result.h"

// Owner of one non-blocking UDP socket (INVALID_SOCKET when closed), IPv4
// or IPv6, and of the event that tells when a datagram waits.
class CDatagramSocket {
public:
  CDatagramSocket() = default;
  ~CDatagramSocket();
  CDatagramSocket(const CDatagramSocket&) = delete;
  CDatagramSocket& operator=(const CDatagramSocket&) = delete;

  // A socket of the peer's family, which takes datagrams from the peer only.
  Result<Done, NetFailure> Open(const SOCKADDR_INET& peer);
  Result<Done, NetFailure> Send(const void* data, int size);
  // recv's result: the byte count or SOCKET_ERROR; WSAEWOULDBLOCK when no
  // datagram waits.
  int Receive(void* buffer, int size);
  // Auto-reset, signalled when a datagram may wait: each wait takes one
  // notice, and every recv asks for a new one, which comes at once when
  // more datagrams wait.
  HANDLE ReadableEvent() const { return m_hReadable; }
  // Safe to call again.
  void Close();

private:
  SOCKET m_hSocket = INVALID_SOCKET;
  HANDLE m_hReadable = nullptr;
};
