#include "sntp/DatagramSocket.h"

CDatagramSocket::~CDatagramSocket() {
  Close();
}

// WSAEventSelect makes the socket non-blocking. Every recv asks for a new
// notice, which comes at once when more datagrams wait.
bool CDatagramSocket::Create() {
  m_hSocket = socket(AF_INET, SOCK_DGRAM, 0);
  if (m_hSocket == INVALID_SOCKET) return false;
  m_hReadable = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
  if (m_hReadable && WSAEventSelect(m_hSocket, m_hReadable, FD_READ) != SOCKET_ERROR) return true;
  const int error = ::WSAGetLastError();
  Close();
  ::WSASetLastError(error);
  return false;
}

bool CDatagramSocket::Connect(const in_addr& peer, UINT port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<u_short>(port));
  address.sin_addr = peer;
  return connect(m_hSocket, reinterpret_cast<const sockaddr*>(&address), sizeof address) != SOCKET_ERROR;
}

bool CDatagramSocket::Send(const void* data, int size) {
  return send(m_hSocket, static_cast<const char*>(data), size, 0) != SOCKET_ERROR;
}

int CDatagramSocket::Receive(void* buffer, int size) {
  return recv(m_hSocket, static_cast<char*>(buffer), size, 0);
}

bool CDatagramSocket::WaitReadable(DWORD timeoutMilliseconds, HANDLE stopEvent) {
  const HANDLE events[] = {m_hReadable, stopEvent};
  return ::WaitForMultipleObjects(stopEvent ? 2 : 1, events, FALSE, timeoutMilliseconds) != WAIT_FAILED;
}

void CDatagramSocket::Close() {
  if (m_hSocket != INVALID_SOCKET) closesocket(m_hSocket);
  m_hSocket = INVALID_SOCKET;
  if (m_hReadable) ::CloseHandle(m_hReadable);
  m_hReadable = nullptr;
}
