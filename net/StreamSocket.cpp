#include "net/StreamSocket.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

namespace {

using Clock = CTimeLimit::Clock;

// One connection being made, to one address.
class PendingConnection {
public:
  ~PendingConnection() {
    if (m_hSocket != INVALID_SOCKET) closesocket(m_hSocket);
    if (m_hConnected) ::CloseHandle(m_hConnected);
  }

  // False with the last error set when the connection failed at once.
  bool Start(const SOCKADDR_INET& peer) {
    m_hSocket = socket(peer.si_family, SOCK_STREAM, IPPROTO_TCP);
    if (m_hSocket == INVALID_SOCKET) return false;
    m_hConnected = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (!m_hConnected || WSAEventSelect(m_hSocket, m_hConnected, FD_CONNECT) == SOCKET_ERROR) return false;
    const int peerSize = peer.si_family == AF_INET6 ? sizeof peer.Ipv6 : sizeof peer.Ipv4;
    return connect(m_hSocket, reinterpret_cast<const sockaddr*>(&peer), peerSize) != SOCKET_ERROR ||
           ::WSAGetLastError() == WSAEWOULDBLOCK;
  }

  HANDLE ConnectedEvent() const { return m_hConnected; }

  // Whether the attempt has ended: connected, or refused with error set.
  bool Ended(int& error) const {
    WSANETWORKEVENTS events{};
    if (WSAEnumNetworkEvents(m_hSocket, nullptr, &events) == SOCKET_ERROR) {
      error = ::WSAGetLastError();
      return true;
    }
    if (!(events.lNetworkEvents & FD_CONNECT)) return false;
    error = events.iErrorCode[FD_CONNECT_BIT];
    return true;
  }

  // The connected socket, which the caller owns from now on.
  SOCKET Release() {
    const SOCKET connected = m_hSocket;
    m_hSocket = INVALID_SOCKET;
    WSAEventSelect(connected, nullptr, 0);
    return connected;
  }

private:
  SOCKET m_hSocket = INVALID_SOCKET;
  HANDLE m_hConnected = nullptr;
};

using Pending = std::vector<std::unique_ptr<PendingConnection>>;

void AwaitAnyConnected(const Pending& pending, HANDLE stopEvent, DWORD timeoutMilliseconds) {
  std::vector<HANDLE> events;
  for (const auto& connection : pending) events.push_back(connection->ConnectedEvent());
  if (stopEvent) events.push_back(stopEvent);
  ::WaitForMultipleObjects(static_cast<DWORD>(events.size()), events.data(), FALSE, timeoutMilliseconds);
}

bool Stopped(HANDLE stopEvent) {
  return stopEvent && ::WaitForSingleObject(stopEvent, 0) == WAIT_OBJECT_0;
}

bool FailWith(int error) {
  ::WSASetLastError(error);
  return false;
}

}  // namespace

CStreamSocket::~CStreamSocket() {
  Close();
}

bool CStreamSocket::Connect(const AddressList& addresses, const CTimeLimit& deadline, HANDLE stopEvent) {
  const AddressList candidates = FirstOfEachFamily(addresses);
  Pending pending;
  size_t next = 0;
  Clock::time_point nextStart = Clock::now();
  int lastError = WSAECONNREFUSED;
  for (;;) {
    if (Stopped(stopEvent)) return FailWith(WSAEINTR);
    const DWORD left = deadline.MillisecondsLeft();
    if (left == 0) return FailWith(WSAETIMEDOUT);
    if (next < candidates.size() && (pending.empty() || Clock::now() >= nextStart)) {
      auto connection = std::make_unique<PendingConnection>();
      if (connection->Start(candidates[next++])) {
        pending.push_back(std::move(connection));
        nextStart = Clock::now() + std::chrono::milliseconds(kNextAddressDelayMs);
      } else {
        lastError = ::WSAGetLastError();
      }
      continue;
    }
    if (pending.empty()) return FailWith(lastError);
    for (auto connection = pending.begin(); connection != pending.end();) {
      int error = 0;
      if (!(*connection)->Ended(error)) {
        ++connection;
      } else if (error == 0) {
        return Adopt((*connection)->Release());
      } else {
        lastError = error;
        connection = pending.erase(connection);
      }
    }
    if (pending.empty()) continue;
    const DWORD untilNextStart = next < candidates.size() ? CTimeLimit::MillisecondsUntil(nextStart) : INFINITE;
    AwaitAnyConnected(pending, stopEvent, std::min(left, untilNextStart));
  }
}

// From here on one event tells of reading, writing and the end.
bool CStreamSocket::Adopt(SOCKET connected) {
  m_hSocket = connected;
  m_hReady = ::CreateEventW(nullptr, FALSE, TRUE, nullptr);
  if (m_hReady && WSAEventSelect(m_hSocket, m_hReady, FD_READ | FD_WRITE | FD_CLOSE) != SOCKET_ERROR) return true;
  const int error = ::WSAGetLastError();
  Close();
  return FailWith(error);
}

int CStreamSocket::Send(const void* data, int size) {
  return send(m_hSocket, static_cast<const char*>(data), size, 0);
}

int CStreamSocket::Receive(void* buffer, int size) {
  return recv(m_hSocket, static_cast<char*>(buffer), size, 0);
}

bool CStreamSocket::AwaitReady(const CTimeLimit& deadline, HANDLE stopEvent) {
  const HANDLE events[] = {m_hReady, stopEvent};
  const DWORD waited = ::WaitForMultipleObjects(stopEvent ? 2 : 1, events, FALSE, deadline.MillisecondsLeft());
  if (waited == WAIT_OBJECT_0) return true;
  return FailWith(waited == WAIT_OBJECT_0 + 1 ? WSAEINTR : WSAETIMEDOUT);
}

void CStreamSocket::Close() {
  if (m_hSocket != INVALID_SOCKET) closesocket(m_hSocket);
  m_hSocket = INVALID_SOCKET;
  if (m_hReady) ::CloseHandle(m_hReady);
  m_hReady = nullptr;
}
