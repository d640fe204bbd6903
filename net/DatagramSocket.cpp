#include "net/DatagramSocket.h"

CDatagramSocket::~CDatagramSocket() {
  Close();
}

// WSAEventSelect makes the socket non-blocking.
Result<Done, NetFailure> CDatagramSocket::Open(const SOCKADDR_INET& peer) {
  m_hSocket = socket(peer.si_family, SOCK_DGRAM, IPPROTO_UDP);
  if (m_hSocket == INVALID_SOCKET) return SystemCallFailure(::WSAGetLastError());
  m_hReadable = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
  const int peerSize = peer.si_family == AF_INET6 ? sizeof peer.Ipv6 : sizeof peer.Ipv4;
  if (m_hReadable && WSAEventSelect(m_hSocket, m_hReadable, FD_READ) != SOCKET_ERROR &&
      connect(m_hSocket, reinterpret_cast<const sockaddr*>(&peer), peerSize) != SOCKET_ERROR)
    return Done{};
  const NetFailure failure = SystemCallFailure(::WSAGetLastError());
  Close();
  return failure;
}

Result<Done, NetFailure> CDatagramSocket::Send(const void* data, int size) {
  if (send(m_hSocket, static_cast<const char*>(data), size, 0) == SOCKET_ERROR)
    return SystemCallFailure(::WSAGetLastError());
  return Done{};
}

int CDatagramSocket::Receive(void* buffer, int size) {
  return recv(m_hSocket, static_cast<char*>(buffer), size, 0);
}

void CDatagramSocket::Close() {
  if (m_hSocket != INVALID_SOCKET) closesocket(m_hSocket);
  m_hSocket = INVALID_SOCKET;
  if (m_hReadable) ::CloseHandle(m_hReadable);
  m_hReadable = nullptr;
}
