#include "sntp/HostLookup.h"

#include <ws2tcpip.h>

#include <cwchar>
#include <vector>

#include "framework/SystemFunction.h"
#include "framework/WideToNarrow.h"

namespace {

using LookupDone = void(CALLBACK*)(DWORD error, DWORD bytes, LPWSAOVERLAPPED overlapped);
using GetAddrInfoExFunction = INT(WSAAPI*)(PCWSTR name, PCWSTR service, DWORD nameSpace, LPGUID provider,
                                           const ADDRINFOEXW* hints, PADDRINFOEXW* result, timeval* timeout,
                                           LPOVERLAPPED overlapped, LookupDone done, LPHANDLE cancel);
using GetAddrInfoExCancelFunction = INT(WSAAPI*)(LPHANDLE cancel);
using FreeAddrInfoExFunction = void(WSAAPI*)(PADDRINFOEXW result);

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

// One lookup in flight. Whoever finishes with it last frees it: the waiting
// thread once the lookup is done, or the completion when the waiting thread
// gave up on it first. The completion's last act on a lookup still waited
// for is to signal it, so that the waiting thread may free it then.
class PendingLookup {
public:
  static PendingLookup* Start(LPCWSTR host) {
    auto* lookup = new PendingLookup;
    if (!lookup->m_hDone) {
      delete lookup;
      return nullptr;
    }
    ADDRINFOEXW hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    hints.ai_protocol = IPPROTO_UDP;
    const INT started = Calls().start(host, nullptr, NS_ALL, nullptr, &hints, &lookup->m_pResult, nullptr,
                                      &lookup->m_overlapped, &PendingLookup::Done, &lookup->m_hCancel);
    if (started != WSA_IO_PENDING) lookup->Complete(static_cast<DWORD>(started));
    return lookup;
  }

  HANDLE DoneEvent() const { return m_hDone; }

  // After DoneEvent: the first IPv4 address found.
  bool TakeAddress(in_addr& address) const {
    if (m_nError != 0 || !m_pResult || !m_pResult->ai_addr) {
      ::WSASetLastError(m_nError ? static_cast<int>(m_nError) : WSAHOST_NOT_FOUND);
      return false;
    }
    address = reinterpret_cast<const sockaddr_in*>(m_pResult->ai_addr)->sin_addr;
    return true;
  }

  // The waiting thread is done with a lookup that has completed.
  void Finish() { delete this; }

  // The waiting thread will not wait any longer. Until it says so, the
  // completion only signals: the lookup is still there to be cancelled.
  void GiveUp() {
    Calls().cancel(&m_hCancel);
    if (::InterlockedCompareExchange(&m_nState, kAbandoned, kWaitedFor) == kWaitedFor) return;
    // Completed meanwhile: its signal is at most a moment away.
    ::WaitForSingleObject(m_hDone, INFINITE);
    delete this;
  }

private:
  static constexpr LONG kWaitedFor = 0;
  static constexpr LONG kCompleted = 1;
  static constexpr LONG kAbandoned = 2;

  PendingLookup() : m_hDone(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
  ~PendingLookup() {
    if (m_pResult) Calls().free(m_pResult);
    if (m_hDone) ::CloseHandle(m_hDone);
  }

  static const CancellableLookup& Calls() { return CancellableLookup::System(); }

  static void CALLBACK Done(DWORD error, DWORD, LPWSAOVERLAPPED overlapped) {
    CONTAINING_RECORD(overlapped, PendingLookup, m_overlapped)->Complete(error);
  }

  void Complete(DWORD error) {
    m_nError = error;
    if (::InterlockedCompareExchange(&m_nState, kCompleted, kWaitedFor) == kWaitedFor)
      ::SetEvent(m_hDone);
    else
      delete this;
  }

  LONG m_nState = kWaitedFor;
  OVERLAPPED m_overlapped{};
  HANDLE m_hDone;
  HANDLE m_hCancel = nullptr;
  PADDRINFOEXW m_pResult = nullptr;
  DWORD m_nError = 0;
};

bool LookUpCancellable(LPCWSTR host, in_addr& address, DWORD timeoutMilliseconds, HANDLE stopEvent) {
  PendingLookup* lookup = PendingLookup::Start(host);
  if (!lookup) return false;
  const HANDLE events[] = {lookup->DoneEvent(), stopEvent};
  const DWORD waited = ::WaitForMultipleObjects(stopEvent ? 2 : 1, events, FALSE, timeoutMilliseconds);
  if (waited == WAIT_OBJECT_0) {
    const bool found = lookup->TakeAddress(address);
    const int error = ::WSAGetLastError();
    lookup->Finish();
    ::WSASetLastError(error);
    return found;
  }
  lookup->GiveUp();
  ::WSASetLastError(waited == WAIT_OBJECT_0 + 1 ? WSAEINTR : WSATRY_AGAIN);
  return false;
}

bool LookUpBlocking(const char* host, in_addr& address) {
  const hostent* entry = gethostbyname(host);
  if (entry == nullptr) return false;
  address = *reinterpret_cast<const in_addr*>(entry->h_addr_list[0]);
  return true;
}

}  // namespace

bool ResolveHostIPv4(LPCWSTR host, in_addr& address, DWORD timeoutMilliseconds, HANDLE stopEvent) {
  std::vector<char> narrow(2 * (std::wcslen(host) + 1));
  if (!WideToNarrowExact(narrow.data(), host, static_cast<int>(narrow.size()), CP_THREAD_ACP)) {
    ::WSASetLastError(WSAHOST_NOT_FOUND);
    return false;
  }
  address.s_addr = inet_addr(narrow.data());
  if (address.s_addr != INADDR_NONE) return true;
  if (CancellableLookup::System().start) return LookUpCancellable(host, address, timeoutMilliseconds, stopEvent);
  return LookUpBlocking(narrow.data(), address);
}
