#pragma once
#include <winsock2.h>
#include <ws2ipdef.h>

#include "net/HostLookup.h"
#include "net/NetFailure.h"
#include "net/Result.h"
#include "net/TimeLimit.h"

// Owner of one non-blocking TCP connection (INVALID_SOCKET when closed) and
// of the event that tells when it may be read or written.
class CStreamSocket {
public:
  CStreamSocket() = default;
  ~CStreamSocket();
  CStreamSocket(const CStreamSocket&) = delete;
  CStreamSocket& operator=(const CStreamSocket&) = delete;

  // Connects to the server's addresses as CAddressRace tries them, and keeps
  // the first connection made. A failure is TimedOut at the deadline,
  // Stopped once stopEvent (may be null) is signalled, else the failure of
  // the last address that refused.
  Result<Done, NetFailure> Connect(const AddressList& addresses, const CTimeLimit& deadline, HANDLE stopEvent);

  // The address connected to.
  const SOCKADDR_INET& Peer() const { return m_peer; }

  // send's and recv's results: the byte count (0 from Receive at the end of
  // the stream) or SOCKET_ERROR, with WSAEWOULDBLOCK when it would wait.
  int Send(const void* data, int size);
  int Receive(void* buffer, int size);

  // Waits until the socket may be read or written, or the stream ended;
  // TimedOut when the deadline passed, Stopped when stopEvent was signalled.
  Result<Done, NetFailure> AwaitReady(const CTimeLimit& deadline, HANDLE stopEvent);

  // Safe to call again.
  void Close();

private:
  Result<Done, NetFailure> Adopt(SOCKET connected);

  SOCKADDR_INET m_peer{};
  SOCKET m_hSocket = INVALID_SOCKET;
  HANDLE m_hReady = nullptr;  // auto-reset: read, write and close notices
};
