#include "sntp/SNTPClient.h"

#include <ntsecapi.h>

#include <algorithm>
#include <chrono>

#include "sntp/DatagramSocket.h"
#include "sntp/PreciseTime.h"
#include "sntp/SntpPacket.h"

namespace {

constexpr DWORD kReplyTimeout = 5000;
// How often a wait with a stop event looks at it.
constexpr DWORD kStopPollInterval = 50;
// Access to the own token that enabling a privilege needs.
constexpr DWORD kTokenAccess = TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY;

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

// 64 bits from the system's cryptographic random source.
bool RandomTimestamp(CNtpTimestamp& value) {
  uint64_t bits = 0;
  if (!RtlGenRandom(&bits, sizeof bits)) return false;
  value = CNtpTimestamp(bits);
  return true;
}

}  // namespace

CSNTPClient::CSNTPClient(const SystemClockCalls& clockCalls)
    : m_nTimeout(kReplyTimeout), m_calls(clockCalls) {}

BOOL CSNTPClient::QueryServer(LPCWSTR host, SntpExchangeResult& result, UINT port) {
  CDatagramSocket socket;
  if (!socket.Create())
    return FALSE;
  if (!socket.Connect(host, port))
    return FailKeepingError(socket);
  // The reply must echo a value that no one off the path can guess; when
  // the request left is the client's own knowledge.
  CNtpTimestamp transmitField;
  if (!RandomTimestamp(transmitField))
    return FailWith(socket, ERROR_GEN_FAILURE);
  const SntpRequest request = BuildSntpRequest(transmitField);
  result.m_OriginateTime = PreciseNtpNow();
  if (!socket.Send(request.data(), kSntpPacketSize))
    return FailKeepingError(socket);
  return AwaitReply(socket, transmitField, result);
}

// Datagrams that do not answer our request are skipped; the wait for the
// genuine reply goes on until the one time limit passes.
BOOL CSNTPClient::AwaitReply(CDatagramSocket& socket, const CNtpTimestamp& transmitField,
                             SntpExchangeResult& result) {
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(m_nTimeout);
  for (;;) {
    const DWORD left = MillisecondsUntil(deadline);
    const CDatagramSocket::Readiness readiness = socket.WaitReadable(WaitSlice(left));
    if (!readiness.bSucceeded)
      return FailWith(socket, WSAETIMEDOUT);
    if (!readiness.bReadable) {
      if (StopRequested())
        return FailWith(socket, WSAEINTR);
      if (WaitSlice(left) == left)
        return FailWith(socket, WSAETIMEDOUT);
      continue;
    }
    result.m_DestinationTime = PreciseNtpNow();
    SntpReplyBuffer reply{};
    const int length = socket.Receive(reply.data(), kSntpReplyBufferSize);
    if (length == 0 || length == SOCKET_ERROR)
      return FailKeepingError(socket);
    switch (ClassifySntpReply(reply, length, transmitField)) {
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

// With a stop event the wait goes in short slices, looking at it between.
DWORD CSNTPClient::WaitSlice(DWORD millisecondsLeft) const {
  return m_hStopEvent ? std::min(millisecondsLeft, kStopPollInterval) : millisecondsLeft;
}

bool CSNTPClient::StopRequested() const {
  return m_hStopEvent && ::WaitForSingleObject(m_hStopEvent, 0) == WAIT_OBJECT_0;
}

BOOL CSNTPClient::SetSystemClock(const CNtpTimestamp& time) {
  if (StopRequested()) {
    ::SetLastError(ERROR_CANCELLED);
    return FALSE;
  }
  BOOL clockSet = FALSE;
  if (EnableSystemTimePrivilege()) {
    const SYSTEMTIME utc = time.ToCalendarNear(PreciseFileTimeNow());
    clockSet = m_calls.setSystemTime(&utc);
  }
  const DWORD error = ::GetLastError();
  RestoreSystemTimePrivilege();
  ::SetLastError(error);
  return clockSet;
}

// A platform without a security model needs no privilege: success.
BOOL CSNTPClient::EnableSystemTimePrivilege() {
  m_bPrivilegeEnabled = FALSE;
  if (!m_calls.openProcessToken(::GetCurrentProcess(), kTokenAccess, &m_hToken)) {
    m_hToken = nullptr;
    if (::GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) return FALSE;
    ::SetLastError(ERROR_SUCCESS);
    return TRUE;
  }
  m_tokenPrivileges = TOKEN_PRIVILEGES{};
  if (!m_calls.lookupPrivilegeValue(nullptr, SE_SYSTEMTIME_NAME, &m_tokenPrivileges.Privileges[0].Luid))
    return FALSE;
  m_tokenPrivileges.Privileges[0].Attributes |= SE_PRIVILEGE_ENABLED;
  m_tokenPrivileges.PrivilegeCount = 1;
  m_bPrivilegeEnabled = TRUE;
  return m_calls.adjustTokenPrivileges(m_hToken, FALSE, &m_tokenPrivileges, 0, nullptr, nullptr);
}

void CSNTPClient::RestoreSystemTimePrivilege() {
  if (m_bPrivilegeEnabled) {
    m_tokenPrivileges.Privileges[0].Attributes &= ~static_cast<DWORD>(SE_PRIVILEGE_ENABLED);
    m_calls.adjustTokenPrivileges(m_hToken, FALSE, &m_tokenPrivileges, 0, nullptr, nullptr);
    m_bPrivilegeEnabled = FALSE;
  }
  if (m_hToken) {
    m_calls.closeHandle(m_hToken);
    m_hToken = nullptr;
  }
}
