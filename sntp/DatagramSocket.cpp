#include "sntp/DatagramSocket.h"

#include <cwchar>
#include <vector>

#include "controls/WideToNarrow.h"

namespace {

constexpr DWORD kMillisecondsPerSecond = 1000;
constexpr long kMicrosecondsPerMillisecond = 1000;

// host as an IPv4 address: dotted form directly, else the first address of a
// name lookup. On failure the last error says why. A name that the thread's
// code page cannot represent exactly is not resolvable: a best-fit
// conversion would make a different name of it.
bool ResolveIPv4(LPCWSTR host, in_addr& address) {
  std::vector<char> narrow(2 * (std::wcslen(host) + 1));
  if (!WideToNarrowExact(narrow.data(), host, static_cast<int>(narrow.size()), CP_THREAD_ACP)) {
    WSASetLastError(WSAHOST_NOT_FOUND);
    return false;
  }
  address.s_addr = inet_addr(narrow.data());
  if (address.s_addr != INADDR_NONE)
    return true;
  const hostent* entry = gethostbyname(narrow.data());
  if (entry == nullptr)
    return false;
  address = *reinterpret_cast<const in_addr*>(entry->h_addr_list[0]);
  return true;
}

}  // namespace

CDatagramSocket::~CDatagramSocket() {
  Close();
}

bool CDatagramSocket::Create() {
  m_hSocket = socket(AF_INET, SOCK_DGRAM, 0);
  return m_hSocket != INVALID_SOCKET;
}

bool CDatagramSocket::Connect(LPCWSTR host, UINT port) {
  sockaddr_in peer{};
  peer.sin_family = AF_INET;
  peer.sin_port = htons(static_cast<u_short>(port));
  return ResolveIPv4(host, peer.sin_addr) &&
         connect(m_hSocket, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) != SOCKET_ERROR;
}

bool CDatagramSocket::Send(const void* data, int size) {
  return send(m_hSocket, static_cast<const char*>(data), size, 0) != SOCKET_ERROR;
}

int CDatagramSocket::Receive(void* buffer, int size) {
  return recv(m_hSocket, static_cast<char*>(buffer), size, 0);
}

CDatagramSocket::Readiness CDatagramSocket::WaitReadable(DWORD timeoutMilliseconds) {
  const SOCKET handle = m_hSocket;
  fd_set readSet;
  FD_ZERO(&readSet);
  FD_SET(handle, &readSet);
  timeval limit{static_cast<long>(timeoutMilliseconds / kMillisecondsPerSecond),
                static_cast<long>(timeoutMilliseconds % kMillisecondsPerSecond) * kMicrosecondsPerMillisecond};
  const int ready = select(0, &readSet, nullptr, nullptr, &limit);
  return {ready != SOCKET_ERROR, ready > 0 && FD_ISSET(handle, &readSet)};
}

void CDatagramSocket::Close() {
  const SOCKET handle = m_hSocket.exchange(INVALID_SOCKET);
  if (handle != INVALID_SOCKET)
    closesocket(handle);
}
