#pragma once
#include <winsock2.h>

#include <atomic>

// Owner of one IPv4 UDP socket (INVALID_SOCKET when closed).
class CDatagramSocket {
public:
  struct Readiness {
    bool bSucceeded;  // select did not fail
    bool bReadable;
  };

  CDatagramSocket() = default;
  ~CDatagramSocket();
  CDatagramSocket(const CDatagramSocket&) = delete;
  CDatagramSocket& operator=(const CDatagramSocket&) = delete;

  bool Create();
  // Resolves host (dotted address or name) and fixes it as the only peer.
  bool Connect(LPCWSTR host, UINT port);
  bool Send(const void* data, int size);
  // recv's result: the byte count, 0 or SOCKET_ERROR.
  int Receive(void* buffer, int size);
  Readiness WaitReadable(DWORD timeoutMilliseconds);
  // Safe to call again, and from another thread to end a wait.
  void Close();

private:
  std::atomic<SOCKET> m_hSocket{INVALID_SOCKET};
};
