#include "sntp/SNTPClient.h"

#include <algorithm>
#include <chrono>

#include "framework/SystemRandom.h"
#include "sntp/DatagramSocket.h"
#include "sntp/HostLookup.h"
#include "sntp/PreciseTime.h"
#include "sntp/SntpPacket.h"

namespace {

constexpr DWORD kReplyTimeout = 5000;
// How long the name lookup may take, before the wait for the reply.
constexpr DWORD kLookupTimeout = 5000;
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

// Errors recv reports of one datagram, which leave the socket as it was: a
// datagram too long for the buffer, or a report that an earlier one could
// not be delivered (ICMP port unreachable).
bool IsOneDatagramsError(DWORD error) {
  return error == WSAEMSGSIZE || error == WSAECONNRESET || error == WSAENETRESET;
}

// 64 bits from the system's cryptographic random source.
bool RandomTimestamp(CNtpTimestamp& value) {
  uint64_t bits = 0;
  if (!SystemRandom(&bits, sizeof bits)) return false;
  value = CNtpTimestamp(bits);
  return true;
}

}  // namespace

CSNTPClient::CSNTPClient(const SystemClockCalls& clockCalls)
    : m_nTimeout(kReplyTimeout), m_calls(clockCalls) {}

BOOL CSNTPClient::QueryServer(LPCWSTR host, SntpExchangeResult& result, UINT port) {
  m_refusal = SntpRefusal::None;
  CDatagramSocket socket;
  if (!socket.Create())
    return FALSE;
  in_addr server;
  if (!ResolveHostIPv4(host, server, kLookupTimeout, m_hStopEvent) || !socket.Connect(server, port))
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

// Every datagram that arrives is read and judged at once; those that do not
// answer our request, and errors of a single datagram, are skipped. Nothing
// that arrives moves the one deadline, and the stop event ends the wait.
BOOL CSNTPClient::AwaitReply(CDatagramSocket& socket, const CNtpTimestamp& transmitField,
                             SntpExchangeResult& result) {
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(m_nTimeout);
  for (;;) {
    if (StopRequested())
      return FailWith(socket, WSAEINTR);
    const DWORD left = MillisecondsUntil(deadline);
    if (left == 0)
      return FailWith(socket, WSAETIMEDOUT);
    result.m_DestinationTime = PreciseNtpNow();
    SntpReplyBuffer reply{};
    const int length = socket.Receive(reply.data(), kSntpReplyBufferSize);
    if (length != SOCKET_ERROR) {
      if (AnswersSntpRequest(reply, length, transmitField))
        return Judge(socket, reply, result);
    } else if (::GetLastError() == WSAEWOULDBLOCK) {
      if (!socket.WaitReadable(left, m_hStopEvent))
        return FailWith(socket, WSAETIMEDOUT);
    } else if (!IsOneDatagramsError(::GetLastError())) {
      return FailKeepingError(socket);
    }
  }
}

// The reply to our request: believed, or refused for the first rule it breaks.
BOOL CSNTPClient::Judge(CDatagramSocket& socket, const SntpReplyBuffer& reply, SntpExchangeResult& result) {
  ReadSntpReply(reply, result);
  m_refusal = JudgeSntpReply(reply, result);
  if (m_refusal != SntpRefusal::None)
    return FailWith(socket, ERROR_INVALID_DATA);
  socket.Close();
  return TRUE;
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
