#pragma once
#include <winsock2.h>

// Owner of one non-blocking IPv4 UDP socket (INVALID_SOCKET when closed)
// and of the event that tells when a datagram waits.
class CDatagramSocket {
public:
  CDatagramSocket() = default;
  ~CDatagramSocket();
  CDatagramSocket(const CDatagramSocket&) = delete;
  CDatagramSocket& operator=(const CDatagramSocket&) = delete;

  bool Create();
  // Fixes peer:port as the only peer.
  bool Connect(const in_addr& peer, UINT port);
  bool Send(const void* data, int size);
  // recv's result: the byte count or SOCKET_ERROR; WSAEWOULDBLOCK when no
  // datagram waits.
  int Receive(void* buffer, int size);
  // Returns when a datagram may wait, stopEvent (may be null) is signalled
  // or the time is up: one wait on both, no polling. False only when the
  // wait itself failed.
  bool WaitReadable(DWORD timeoutMilliseconds, HANDLE stopEvent);
  // Safe to call again.
  void Close();

private:
  SOCKET m_hSocket = INVALID_SOCKET;
  HANDLE m_hReadable = nullptr;  // auto-reset: each wait takes one notice
};
