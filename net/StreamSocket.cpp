#include "net/StreamSocket.h"

#include <memory>

#include "net/AddressRace.h"

namespace {

// One connection being made, to one address: an entrant of the race.
class CPendingConnection : public CRaceEntrant {
public:
  explicit CPendingConnection(const SOCKADDR_INET& peer) : m_peer(peer) {}
  ~CPendingConnection() override {
    if (m_hSocket != INVALID_SOCKET) closesocket(m_hSocket);
    if (m_hConnected) ::CloseHandle(m_hConnected);
  }

  Result<Done, NetFailure> Begin() override {
    m_hSocket = socket(m_peer.si_family, SOCK_STREAM, IPPROTO_TCP);
    if (m_hSocket == INVALID_SOCKET) return SystemCallFailure(::WSAGetLastError());
    m_hConnected = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (!m_hConnected) return SystemCallFailure(::GetLastError());
    if (WSAEventSelect(m_hSocket, m_hConnected, FD_CONNECT) == SOCKET_ERROR)
      return SystemCallFailure(::WSAGetLastError());
    const int peerSize = m_peer.si_family == AF_INET6 ? sizeof m_peer.Ipv6 : sizeof m_peer.Ipv4;
    if (connect(m_hSocket, reinterpret_cast<const sockaddr*>(&m_peer), peerSize) == SOCKET_ERROR &&
        ::WSAGetLastError() != WSAEWOULDBLOCK)
      return SystemCallFailure(::WSAGetLastError());
    return Done{};
  }

  // The system retries a connection itself.
  Result<Done, NetFailure> Repeat() override { return Done{}; }
  HANDLE Event() const override { return m_hConnected; }
  const SOCKADDR_INET& Peer() const { return m_peer; }

  // Won once connected; out once refused.
  Turn Look() override {
    WSANETWORKEVENTS events{};
    if (WSAEnumNetworkEvents(m_hSocket, nullptr, &events) == SOCKET_ERROR)
      return GoOut(static_cast<DWORD>(::WSAGetLastError()));
    if (!(events.lNetworkEvents & FD_CONNECT)) return Turn::Waiting;
    const int error = events.iErrorCode[FD_CONNECT_BIT];
    return error == 0 ? Turn::Won : GoOut(static_cast<DWORD>(error));
  }

  NetFailure Failure() const override { return m_failure; }

  // The connected socket, which the caller owns from now on.
  SOCKET Release() {
    const SOCKET connected = m_hSocket;
    m_hSocket = INVALID_SOCKET;
    WSAEventSelect(connected, nullptr, 0);
    return connected;
  }

private:
  Turn GoOut(DWORD error) {
    m_failure = SystemCallFailure(error);
    return Turn::Out;
  }

  const SOCKADDR_INET m_peer;
  SOCKET m_hSocket = INVALID_SOCKET;
  HANDLE m_hConnected = nullptr;
  NetFailure m_failure{NetFailure::Kind::System};
};

}  // namespace

CStreamSocket::~CStreamSocket() {
  Close();
}

Result<Done, NetFailure> CStreamSocket::Connect(const AddressList& addresses, const CTimeLimit& deadline,
                                                HANDLE stopEvent) {
  CAddressRace race(deadline, stopEvent);
  const Result<CRaceEntrant*, NetFailure> won = race.Run(
      addresses, [](const SOCKADDR_INET& address) { return std::make_unique<CPendingConnection>(address); });
  if (!won) return won.Error();
  auto* connection = static_cast<CPendingConnection*>(*won);
  m_peer = connection->Peer();
  return Adopt(connection->Release());
}

// From here on one event tells of reading, writing and the end.
Result<Done, NetFailure> CStreamSocket::Adopt(SOCKET connected) {
  m_hSocket = connected;
  m_hReady = ::CreateEventW(nullptr, FALSE, TRUE, nullptr);
  if (!m_hReady) return SystemCallFailure(::GetLastError());
  if (WSAEventSelect(m_hSocket, m_hReady, FD_READ | FD_WRITE | FD_CLOSE) == SOCKET_ERROR) {
    const NetFailure failure = SystemCallFailure(::WSAGetLastError());
    Close();
    return failure;
  }
  return Done{};
}

int CStreamSocket::Send(const void* data, int size) {
  return send(m_hSocket, static_cast<const char*>(data), size, 0);
}

int CStreamSocket::Receive(void* buffer, int size) {
  return recv(m_hSocket, static_cast<char*>(buffer), size, 0);
}

Result<Done, NetFailure> CStreamSocket::AwaitReady(const CTimeLimit& deadline, HANDLE stopEvent) {
  const HANDLE events[] = {m_hReady, stopEvent};
  const DWORD waited = ::WaitForMultipleObjects(stopEvent ? 2 : 1, events, FALSE, deadline.MillisecondsLeft());
  if (waited == WAIT_OBJECT_0) return Done{};
  return NetFailure{waited == WAIT_OBJECT_0 + 1 ? NetFailure::Kind::Stopped : NetFailure::Kind::TimedOut};
}

void CStreamSocket::Close() {
  if (m_hSocket != INVALID_SOCKET) closesocket(m_hSocket);
  m_hSocket = INVALID_SOCKET;
  if (m_hReady) ::CloseHandle(m_hReady);
  m_hReady = nullptr;
}
