#pragma once
#include <winsock2.h>
#include <ws2ipdef.h>

#include "net/TimeLimit.h"
#include "net/HostLookup.h"

// Owner of one non-blocking TCP connection (INVALID_SOCKET when closed) and
// of the event that tells when it may be read or written.
class CStreamSocket {
public:
  CStreamSocket() = default;
  ~CStreamSocket();
  CStreamSocket(const CStreamSocket&) = delete;
  CStreamSocket& operator=(const CStreamSocket&) = delete;

  // Connects to the first address and, when it has not connected a moment
  // later, to the first of the other family as well; keeps the first
  // connection made. False with the last error set: WSAETIMEDOUT at the
  // deadline, WSAEINTR once stopEvent (may be null) is signalled, else the
  // error of the last address that refused.
  bool Connect(const AddressList& addresses, const CTimeLimit& deadline, HANDLE stopEvent);

  // send's and recv's results: the byte count (0 from Receive at the end of
  // the stream) or SOCKET_ERROR, with WSAEWOULDBLOCK when it would wait.
  int Send(const void* data, int size);
  int Receive(void* buffer, int size);

  // Waits until the socket may be read or written, or the stream ended.
  // False with the last error set when the deadline passed (WSAETIMEDOUT)
  // or stopEvent was signalled (WSAEINTR).
  bool AwaitReady(const CTimeLimit& deadline, HANDLE stopEvent);

  // Safe to call again.
  void Close();

private:
  bool Adopt(SOCKET connected);

  SOCKET m_hSocket = INVALID_SOCKET;
  HANDLE m_hReady = nullptr;  // auto-reset: read, write and close notices
};
