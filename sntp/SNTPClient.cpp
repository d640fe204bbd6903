#include "sntp/SNTPClient.h"

#include <cstring>
#include <memory>

#include "net/AddressRace.h"
#include "net/TimeLimit.h"
#include "sntp/PreciseTime.h"
#include "sntp/SntpAttempt.h"

namespace {

constexpr DWORD kReplyTimeout = 5000;
// A datagram may be lost either way: each address is asked again when no
// reply has come a second after its last request, three requests in all,
// never in a burst that a rate-limited server would refuse.
constexpr CAddressRace::Requests kRequestsPerAddress{3, 1000};
// How long the name lookup may take, before the wait for the reply.
constexpr DWORD kLookupTimeout = 5000;
// Access to the own token that enabling a privilege needs.
constexpr DWORD kTokenAccess = TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY;

bool SameAddress(const SOCKADDR_INET& a, const SOCKADDR_INET& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

// Why no reply was believed: the network's reason, unless the wait ended
// (at the deadline, or with no credentials left for a request) after
// replies that proved nothing.
SntpFailure Unanswered(const NetFailure& failure, const CSntpAttempt::Notes& notes) {
  if (notes.refusalBelieved) return SntpFailure(SntpFailure::Kind::CredentialsRefused);
  const bool credentialsSpent = failure.kind == NetFailure::Kind::NothingToSend;
  if (failure.kind != NetFailure::Kind::TimedOut && !credentialsSpent) return failure;
  if (notes.credentialsRefused) return SntpFailure(SntpFailure::Kind::CredentialsRefused);
  if (notes.unauthenticReplies) return SntpFailure(SntpFailure::Kind::NotAuthenticated);
  if (credentialsSpent) return SntpFailure(SntpFailure::Kind::NoCredentialsLeft);
  return failure;
}

// The error QueryServer leaves for a failure.
DWORD LastErrorOf(const SntpFailure& failure) {
  switch (failure.kind) {
    case SntpFailure::Kind::ReplyRefused:
      return ERROR_INVALID_DATA;
    case SntpFailure::Kind::NotAuthenticated:
      return ERROR_NOT_AUTHENTICATED;
    case SntpFailure::Kind::CredentialsRefused:
      return ERROR_ACCESS_DENIED;
    case SntpFailure::Kind::NoCredentialsLeft:
      return ERROR_NO_MORE_ITEMS;
    case SntpFailure::Kind::Network:
      break;
  }
  switch (failure.network.kind) {
    case NetFailure::Kind::Stopped:
      return WSAEINTR;
    case NetFailure::Kind::TimedOut:
      return WSAETIMEDOUT;
    case NetFailure::Kind::NameNotFound:
      return WSAHOST_NOT_FOUND;
    case NetFailure::Kind::NameServiceSilent:
      return WSATRY_AGAIN;
    case NetFailure::Kind::Refused:
    case NetFailure::Kind::System:
    case NetFailure::Kind::NothingToSend:
      break;
  }
  return failure.network.error;
}

}  // namespace

CSNTPClient::CSNTPClient(const SystemClockCalls& clockCalls) : m_calls(clockCalls) {}

Result<SntpExchangeResult, SntpFailure> CSNTPClient::Query(LPCWSTR host, UINT port, const CTimeLimit& outer) {
  const CTimeLimit lookup(kLookupTimeout, outer);
  const Result<AddressList, NetFailure> addresses = ResolveHost(host, port, lookup.MillisecondsLeft(), m_hStopEvent);
  if (!addresses) return SntpFailure(addresses.Error());
  return Exchange(*addresses, nullptr, CTimeLimit(kReplyTimeout, outer));
}

BOOL CSNTPClient::QueryServer(LPCWSTR host, SntpExchangeResult& result, UINT port) {
  const Result<SntpExchangeResult, SntpFailure> answer = Query(host, port, CTimeLimit(kLookupTimeout + kReplyTimeout));
  m_refusal = answer ? SntpRefusal::None : answer.Error().refusal;
  if (!answer) {
    ::SetLastError(LastErrorOf(answer.Error()));
    return FALSE;
  }
  result = *answer;
  return TRUE;
}

// The race's attempts read every datagram that arrives at once; those that
// do not answer a request, and errors of a single datagram, are skipped.
// The first reply to a request is believed, or refused for the first rule
// it breaks. Refusals of the credentials end nothing: at the deadline they
// tell why no reply came.
Result<SntpExchangeResult, SntpFailure> CSNTPClient::Exchange(const AddressList& addresses,
                                                             CExchangeCredentials* credentials,
                                                             const CTimeLimit& deadline) {
  CSntpAttempt::Notes notes;
  CAddressRace race(deadline, m_hStopEvent, kRequestsPerAddress);
  const Result<CRaceEntrant*, NetFailure> won =
      race.Run(addresses, [&](const SOCKADDR_INET& address) {
        return std::make_unique<CSntpAttempt>(address, credentials, notes);
      });
  if (!won) return Unanswered(won.Error(), notes);
  const auto& attempt = *static_cast<const CSntpAttempt*>(*won);

  SntpExchangeResult result;
  result.m_OriginateTime = attempt.SentAt();
  result.m_DestinationTime = attempt.ArrivedAt();
  ReadSntpReply(attempt.Reply(), result, PreciseClockPrecision());
  const SntpRefusal refusal = JudgeSntpReply(attempt.Reply(), result, PreciseClockPrecision());
  if (refusal != SntpRefusal::None) return SntpFailure(refusal, KissCode(attempt.Reply()));
  result.m_strServerAddress = AddressText(attempt.Peer());
  result.m_strAnsweringAddress = SameAddress(attempt.Peer(), addresses.front()) ? L"" : result.m_strServerAddress;
  result.m_bAuthenticated = credentials != nullptr;
  return result;
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
