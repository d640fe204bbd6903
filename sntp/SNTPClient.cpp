#include "sntp/SNTPClient.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>
#include <vector>

#include "net/TimeLimit.h"
#include "net/HostLookup.h"
#include "sntp/PreciseTime.h"
#include "sntp/SntpAttempt.h"
#include "sntp/SntpPacket.h"

namespace {

constexpr DWORD kReplyTimeout = 5000;
// How long the name lookup may take, before the wait for the reply.
constexpr DWORD kLookupTimeout = 5000;
// Access to the own token that enabling a privilege needs.
constexpr DWORD kTokenAccess = TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY;

using Clock = CTimeLimit::Clock;
using Attempts = std::vector<std::unique_ptr<CSntpAttempt>>;

bool SameAddress(const SOCKADDR_INET& a, const SOCKADDR_INET& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

// Waits until a datagram may wait on one of the attempts' sockets, the stop
// event (may be null) is signalled or the time is up.
void AwaitDatagram(const Attempts& attempts, HANDLE stopEvent, DWORD timeoutMilliseconds) {
  std::vector<HANDLE> events;
  for (const auto& attempt : attempts) events.push_back(attempt->ReadableEvent());
  if (stopEvent) events.push_back(stopEvent);
  ::WaitForMultipleObjects(static_cast<DWORD>(events.size()), events.data(), FALSE, timeoutMilliseconds);
}

}  // namespace

CSNTPClient::CSNTPClient(const SystemClockCalls& clockCalls)
    : m_nTimeout(kReplyTimeout), m_calls(clockCalls) {}

BOOL CSNTPClient::QueryServer(LPCWSTR host, SntpExchangeResult& result, UINT port,
                              CExchangeCredentials* credentials) {
  m_refusal = SntpRefusal::None;
  AddressList addresses;
  if (!ResolveHost(host, port, addresses, kLookupTimeout, m_hStopEvent)) return FALSE;
  const DWORD error = Exchange(addresses, credentials, result);
  ::SetLastError(error);
  return error == ERROR_SUCCESS;
}

// Sends to the first address, and to the next one whenever no reply has come
// a moment after the last request, or a request could not be sent. Every
// datagram that arrives is read and judged at once; those that do not answer
// a request, and errors of a single datagram, are skipped. Nothing that
// arrives moves the one deadline, and the stop event ends the wait. The
// sockets are closed when this returns its error, ERROR_SUCCESS for a
// reply that is believed.
DWORD CSNTPClient::Exchange(const AddressList& addresses, CExchangeCredentials* credentials,
                            SntpExchangeResult& result) {
  const AddressList candidates = FirstOfEachFamily(addresses);
  const CTimeLimit deadline(m_nTimeout);
  Attempts attempts;
  size_t next = 0;
  Clock::time_point nextSend = Clock::now();
  DWORD lastError = ERROR_SUCCESS;
  bool unauthenticReplies = false;
  for (;;) {
    if (StopRequested()) return WSAEINTR;
    const DWORD left = deadline.MillisecondsLeft();
    if (left == 0) return unauthenticReplies ? ERROR_NOT_AUTHENTICATED : WSAETIMEDOUT;
    if (next < candidates.size() && (attempts.empty() || Clock::now() >= nextSend)) {
      auto attempt = std::make_unique<CSntpAttempt>(candidates[next++], credentials);
      if (attempt->Send()) {
        attempts.push_back(std::move(attempt));
        nextSend = Clock::now() + std::chrono::milliseconds(kNextAddressDelayMs);
      } else {
        lastError = ::GetLastError();
      }
      continue;
    }
    if (attempts.empty()) return lastError;

    bool anyRead = false;
    for (auto attempt = attempts.begin(); attempt != attempts.end();) {
      SntpReply reply;
      switch ((*attempt)->ReadOne(reply, result)) {
        case CSntpAttempt::Outcome::Answered:
          result.m_strServerAddress = AddressText((*attempt)->Peer());
          result.m_strAnsweringAddress =
              SameAddress((*attempt)->Peer(), addresses.front()) ? L"" : result.m_strServerAddress;
          result.m_bAuthenticated = credentials != nullptr;
          return Judge(reply, result);
        case CSntpAttempt::Outcome::Refused:
          return ERROR_ACCESS_DENIED;
        case CSntpAttempt::Outcome::Unauthentic:
          unauthenticReplies = true;
          anyRead = true;
          ++attempt;
          break;
        case CSntpAttempt::Outcome::Skipped:
          anyRead = true;
          ++attempt;
          break;
        case CSntpAttempt::Outcome::Failed:
          lastError = ::GetLastError();
          attempt = attempts.erase(attempt);
          break;
        case CSntpAttempt::Outcome::Waiting:
          ++attempt;
          break;
      }
    }
    if (anyRead || attempts.empty()) continue;
    const DWORD untilNextSend = next < candidates.size() ? CTimeLimit::MillisecondsUntil(nextSend) : INFINITE;
    AwaitDatagram(attempts, m_hStopEvent, std::min(left, untilNextSend));
  }
}

// The reply to our request: believed, or refused for the first rule it breaks.
DWORD CSNTPClient::Judge(const SntpReply& reply, SntpExchangeResult& result) {
  ReadSntpReply(reply, result);
  m_refusal = JudgeSntpReply(reply, result);
  return m_refusal == SntpRefusal::None ? ERROR_SUCCESS : ERROR_INVALID_DATA;
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
    const SYSTEMTIME utc = CalendarNearNow(time);
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
