#include "sntp/SNTPClient.h"

#include <algorithm>
#include <chrono>

#include "sntp/DatagramSocket.h"
#include "sntp/SntpPacket.h"

namespace {

constexpr DWORD kReplyTimeout = 5000;

using Clock = std::chrono::steady_clock;

DWORD MillisecondsUntil(Clock::time_point deadline) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
  return static_cast<DWORD>(std::max<Clock::rep>(left.count(), 0));
}

BOOL FailWith(CDatagramSocket& socket, DWORD error) {
  socket.Close();
  SetLastError(error);
  return FALSE;
}

// Closes the socket without losing the error that explains the failure.
BOOL FailKeepingError(CDatagramSocket& socket) {
  return FailWith(socket, GetLastError());
}

}  // namespace

CSNTPClient::CSNTPClient() : m_nTimeout(kReplyTimeout) {}

BOOL CSNTPClient::QueryServer(LPCWSTR host, SntpExchangeResult& result, UINT port) {
  CDatagramSocket socket;
  if (!socket.Create())
    return FALSE;
  if (!socket.Connect(host, port))
    return FailKeepingError(socket);
  const CNtpTimestamp transmitTime = CNtpTimestamp::Now();
  const SntpRequest request = BuildSntpRequest(transmitTime);
  if (!socket.Send(request.data(), kSntpPacketSize))
    return FailKeepingError(socket);
  return AwaitReply(socket, transmitTime, result);
}

// Datagrams that do not answer our request are skipped; the wait for the
// genuine reply goes on until the one time limit passes.
BOOL CSNTPClient::AwaitReply(CDatagramSocket& socket, const CNtpTimestamp& transmitTime,
                             SntpExchangeResult& result) {
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(m_nTimeout);
  for (;;) {
    const CDatagramSocket::Readiness readiness = socket.WaitReadable(MillisecondsUntil(deadline));
    if (!readiness.bSucceeded || !readiness.bReadable)
      return FailWith(socket, WSAETIMEDOUT);
    result.m_DestinationTime = CNtpTimestamp::Now();
    SntpReplyBuffer reply{};
    const int length = socket.Receive(reply.data(), kSntpReplyBufferSize);
    if (length == 0 || length == SOCKET_ERROR)
      return FailKeepingError(socket);
    switch (ClassifySntpReply(reply, length, transmitTime)) {
      case SntpReplyKind::NotAReply:
        continue;
      case SntpReplyKind::Untrusted:
        return FailWith(socket, ERROR_INVALID_DATA);
      case SntpReplyKind::Trusted:
        ReadSntpReply(reply, result);
        socket.Close();
        return TRUE;
    }
  }
}
