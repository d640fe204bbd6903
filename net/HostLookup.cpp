#include "net/HostLookup.h"

#include <ws2tcpip.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>

#include "framework/SystemFunction.h"

namespace {

using LookupDone = void(CALLBACK*)(DWORD error, DWORD bytes, LPWSAOVERLAPPED overlapped);
using GetAddrInfoExFunction = INT(WSAAPI*)(PCWSTR name, PCWSTR service, DWORD nameSpace, LPGUID provider,
                                           const ADDRINFOEXW* hints, PADDRINFOEXW* result, timeval* timeout,
                                           LPOVERLAPPED overlapped, LookupDone done, LPHANDLE cancel);
using GetAddrInfoExCancelFunction = INT(WSAAPI*)(LPHANDLE cancel);
using FreeAddrInfoExFunction = void(WSAAPI*)(PADDRINFOEXW result);

// The longest numeric scope id: 4294967295.
constexpr size_t kMaxScopeIdDigits = 10;

// The asynchronous lookup calls; all null on systems before Windows 8,
// which cannot cancel a lookup.
struct CancellableLookup {
  GetAddrInfoExFunction start;
  GetAddrInfoExCancelFunction cancel;
  FreeAddrInfoExFunction free;

  static const CancellableLookup& System() {
    static const CancellableLookup calls = [] {
      CancellableLookup found{SystemFunction<GetAddrInfoExFunction>(L"ws2_32.dll", "GetAddrInfoExW"),
                              SystemFunction<GetAddrInfoExCancelFunction>(L"ws2_32.dll", "GetAddrInfoExCancel"),
                              SystemFunction<FreeAddrInfoExFunction>(L"ws2_32.dll", "FreeAddrInfoExW")};
      return found.start && found.cancel && found.free ? found : CancellableLookup{};
    }();
    return calls;
  }
};

void SetPort(SOCKADDR_INET& address, UINT port) {
  // The port lies at the same place in both families' addresses.
  address.Ipv4.sin_port = htons(static_cast<u_short>(port));
}

// Every IPv4 and IPv6 address of a lookup's result, in its order.
template <class Entry>
AddressList AddressesOf(const Entry* entry, UINT port) {
  AddressList addresses;
  // MinGW declares ADDRINFOEXW's ai_next with a misspelt, incomplete type.
  for (; entry; entry = reinterpret_cast<const Entry*>(entry->ai_next)) {
    SOCKADDR_INET address{};
    if (entry->ai_family == AF_INET && entry->ai_addrlen >= sizeof address.Ipv4)
      std::memcpy(&address.Ipv4, entry->ai_addr, sizeof address.Ipv4);
    else if (entry->ai_family == AF_INET6 && entry->ai_addrlen >= sizeof address.Ipv6)
      std::memcpy(&address.Ipv6, entry->ai_addr, sizeof address.Ipv6);
    else
      continue;
    SetPort(address, port);
    addresses.push_back(address);
  }
  return addresses;
}

template <class Hints>
Hints DatagramHints() {
  Hints hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_DGRAM;
  hints.ai_protocol = IPPROTO_UDP;
  return hints;
}

// What a failed lookup tells: that the name service gave no answer, or that
// the name has no address. Wine passes the host resolver's own numbers
// through, which are not Windows error codes: they count as the latter.
NetFailure LookupFailure(DWORD error) {
  if (error == WSATRY_AGAIN) return {NetFailure::Kind::NameServiceSilent, error};
  return {NetFailure::Kind::NameNotFound, error ? error : static_cast<DWORD>(WSAHOST_NOT_FOUND)};
}

// One lookup in flight, cancellable (GetAddrInfoExW) or on a thread of its
// own (GetAddrInfoW). Whoever finishes with it last frees it: the waiting
// thread once the lookup is done, or the completion when the waiting thread
// gave up on it first. The completion's last act on a lookup still waited
// for is to signal it, so that the waiting thread may free it then.
class PendingLookup {
public:
  // Null when the lookup could not even start.
  static PendingLookup* Start(LPCWSTR host, UINT port) {
    auto* lookup = new PendingLookup(host, port);
    if (!lookup->m_hDone) {
      delete lookup;
      return nullptr;
    }
    if (lookup->Cancellable())
      lookup->StartCancellable();
    else
      lookup->StartOnThread();
    return lookup;
  }

  HANDLE DoneEvent() const { return m_hDone; }

  // After DoneEvent: the addresses found, or why there are none.
  Result<AddressList, NetFailure> TakeAddresses() {
    if (m_nError != 0 || m_addresses.empty()) return LookupFailure(m_nError);
    return std::move(m_addresses);
  }

  // The waiting thread is done with a lookup that has completed.
  void Finish() { delete this; }

  // The waiting thread will not wait any longer. Until it says so, the
  // completion only signals: the lookup is still there to be cancelled.
  void GiveUp() {
    if (Cancellable()) Calls().cancel(&m_hCancel);
    if (::InterlockedCompareExchange(&m_nState, kAbandoned, kWaitedFor) == kWaitedFor) return;
    // Completed meanwhile: its signal is at most a moment away.
    ::WaitForSingleObject(m_hDone, INFINITE);
    delete this;
  }

private:
  static constexpr LONG kWaitedFor = 0;
  static constexpr LONG kCompleted = 1;
  static constexpr LONG kAbandoned = 2;

  PendingLookup(LPCWSTR host, UINT port)
      : m_strHost(host), m_nPort(port), m_hDone(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
  ~PendingLookup() {
    if (m_hDone) ::CloseHandle(m_hDone);
  }

  static const CancellableLookup& Calls() { return CancellableLookup::System(); }
  static bool Cancellable() { return Calls().start != nullptr; }

  void StartCancellable() {
    const ADDRINFOEXW hints = DatagramHints<ADDRINFOEXW>();
    const INT started = Calls().start(m_strHost.c_str(), nullptr, NS_ALL, nullptr, &hints, &m_pResult, nullptr,
                                      &m_overlapped, &PendingLookup::CancellableDone, &m_hCancel);
    if (started != WSA_IO_PENDING) CancellableDone(static_cast<DWORD>(started), 0, &m_overlapped);
  }

  static void CALLBACK CancellableDone(DWORD error, DWORD, LPWSAOVERLAPPED overlapped) {
    PendingLookup* lookup = CONTAINING_RECORD(overlapped, PendingLookup, m_overlapped);
    if (lookup->m_pResult) {
      lookup->m_addresses = AddressesOf(lookup->m_pResult, lookup->m_nPort);
      Calls().free(lookup->m_pResult);
      lookup->m_pResult = nullptr;
    }
    lookup->Complete(error);
  }

  void StartOnThread() {
    const HANDLE thread = ::CreateThread(nullptr, 0, &PendingLookup::LookUpOnThread, this, 0, nullptr);
    if (thread)
      ::CloseHandle(thread);
    else
      Complete(::GetLastError());
  }

  static DWORD WINAPI LookUpOnThread(LPVOID parameter) {
    auto* lookup = static_cast<PendingLookup*>(parameter);
    const ADDRINFOW hints = DatagramHints<ADDRINFOW>();
    PADDRINFOW result = nullptr;
    const INT error = ::GetAddrInfoW(lookup->m_strHost.c_str(), nullptr, &hints, &result);
    if (result) {
      lookup->m_addresses = AddressesOf(result, lookup->m_nPort);
      ::FreeAddrInfoW(result);
    }
    lookup->Complete(error ? static_cast<DWORD>(::WSAGetLastError()) : 0);
    return 0;
  }

  void Complete(DWORD error) {
    m_nError = error;
    if (::InterlockedCompareExchange(&m_nState, kCompleted, kWaitedFor) == kWaitedFor)
      ::SetEvent(m_hDone);
    else
      delete this;
  }

  LONG m_nState = kWaitedFor;
  const std::wstring m_strHost;
  const UINT m_nPort;
  OVERLAPPED m_overlapped{};
  HANDLE m_hDone;
  HANDLE m_hCancel = nullptr;
  PADDRINFOEXW m_pResult = nullptr;
  AddressList m_addresses;
  DWORD m_nError = 0;
};

Result<AddressList, NetFailure> LookUp(LPCWSTR host, UINT port, DWORD timeoutMilliseconds, HANDLE stopEvent) {
  PendingLookup* lookup = PendingLookup::Start(host, port);
  if (!lookup) return SystemCallFailure(::GetLastError());
  const HANDLE events[] = {lookup->DoneEvent(), stopEvent};
  const DWORD waited = ::WaitForMultipleObjects(stopEvent ? 2 : 1, events, FALSE, timeoutMilliseconds);
  if (waited == WAIT_OBJECT_0) {
    Result<AddressList, NetFailure> found = lookup->TakeAddresses();
    lookup->Finish();
    return found;
  }
  lookup->GiveUp();
  if (waited == WAIT_OBJECT_0 + 1) return NetFailure{NetFailure::Kind::Stopped};
  return NetFailure{NetFailure::Kind::NameServiceSilent, WSATRY_AGAIN};
}

bool IsDecimal(const std::wstring& text) {
  if (text.empty() || text.size() > kMaxScopeIdDigits) return false;
  for (const wchar_t c : text)
    if (c < L'0' || c > L'9') return false;
  return true;
}

// The zone of a link-local address: a number.
bool ParseScopeId(const std::wstring& text, ULONG& scopeId) {
  if (!IsDecimal(text)) return false;
  const unsigned long long value = std::stoull(text);
  if (value > ULONG_MAX) return false;
  scopeId = static_cast<ULONG>(value);
  return true;
}

std::wstring WithoutBrackets(const std::wstring& text) {
  if (text.size() >= 2 && text.front() == L'[' && text.back() == L']') return text.substr(1, text.size() - 2);
  return text;
}

bool ParseIPv6Literal(const std::wstring& host, SOCKADDR_INET& address) {
  std::wstring text = WithoutBrackets(host);
  ULONG scopeId = 0;
  const size_t percent = text.find(L'%');
  if (percent != std::wstring::npos) {
    if (!ParseScopeId(text.substr(percent + 1), scopeId)) return false;
    text.erase(percent);
  }
  if (::InetPtonW(AF_INET6, text.c_str(), &address.Ipv6.sin6_addr) != 1) return false;
  address.si_family = AF_INET6;
  address.Ipv6.sin6_scope_id = scopeId;
  return true;
}

bool ParseAddressLiteral(LPCWSTR host, SOCKADDR_INET& address) {
  address = SOCKADDR_INET{};
  if (::InetPtonW(AF_INET, host, &address.Ipv4.sin_addr) == 1) {
    address.si_family = AF_INET;
    return true;
  }
  return ParseIPv6Literal(host, address);
}

}  // namespace

Result<AddressList, NetFailure> ResolveHost(LPCWSTR host, UINT port, DWORD timeoutMilliseconds, HANDLE stopEvent) {
  // The system would take an empty name for this machine's own.
  if (*host == L'\0') return NetFailure{NetFailure::Kind::NameNotFound, WSAHOST_NOT_FOUND};
  SOCKADDR_INET literal;
  if (ParseAddressLiteral(host, literal)) {
    SetPort(literal, port);
    return AddressList{literal};
  }
  return LookUp(host, port, timeoutMilliseconds, stopEvent);
}

AddressList FirstOfEachFamily(const AddressList& addresses) {
  AddressList chosen{addresses.front()};
  const auto otherFamily = std::find_if(addresses.begin(), addresses.end(), [&](const SOCKADDR_INET& address) {
    return address.si_family != addresses.front().si_family;
  });
  if (otherFamily != addresses.end()) chosen.push_back(*otherFamily);
  return chosen;
}

std::wstring AddressText(const SOCKADDR_INET& address) {
  wchar_t text[INET6_ADDRSTRLEN] = {};
  const void* bytes = address.si_family == AF_INET6 ? static_cast<const void*>(&address.Ipv6.sin6_addr)
                                                     : static_cast<const void*>(&address.Ipv4.sin_addr);
  ::InetNtopW(address.si_family, bytes, text, INET6_ADDRSTRLEN);
  std::wstring written = text;
  if (address.si_family == AF_INET6 && address.Ipv6.sin6_scope_id != 0)
    written += L"%" + std::to_wstring(address.Ipv6.sin6_scope_id);
  return written;
}

AddressScope ScopeOf(const SOCKADDR_INET& address) {
  if (address.si_family == AF_INET6)
    return ScopeOfAddress(address.Ipv6.sin6_addr.s6_addr, sizeof address.Ipv6.sin6_addr.s6_addr);
  return ScopeOfAddress(reinterpret_cast<const uint8_t*>(&address.Ipv4.sin_addr), sizeof address.Ipv4.sin_addr);
}
