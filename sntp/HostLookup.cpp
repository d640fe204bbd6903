#include "sntp/HostLookup.h"

#include <ws2tcpip.h>

#include <cwchar>
#include <vector>

#include "controls/WideToNarrow.h"
#include "framework/SystemFunction.h"

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

// One lookup in flight, owned by the thread that waits for it and by the
// system until it calls back; whichever lets go last frees it, so that a
// lookup given up on may still complete safely.
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
    if (started != WSA_IO_PENDING) {
      // Finished at once: the system will not call back.
      lookup->m_nError = static_cast<DWORD>(started);
      ::SetEvent(lookup->m_hDone);
      lookup->Release();
    }
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

  void Cancel() { Calls().cancel(&m_hCancel); }

  void Release() {
    if (::InterlockedDecrement(&m_nOwners) == 0) delete this;
  }

private:
  PendingLookup() : m_hDone(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
  ~PendingLookup() {
    if (m_pResult) Calls().free(m_pResult);
    if (m_hDone) ::CloseHandle(m_hDone);
  }

  static const CancellableLookup& Calls() { return CancellableLookup::System(); }

  static void CALLBACK Done(DWORD error, DWORD, LPWSAOVERLAPPED overlapped) {
    PendingLookup* lookup = CONTAINING_RECORD(overlapped, PendingLookup, m_overlapped);
    lookup->m_nError = error;
    ::SetEvent(lookup->m_hDone);
    lookup->Release();
  }

  LONG m_nOwners = 2;
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
  bool found = false;
  if (waited == WAIT_OBJECT_0) {
    found = lookup->TakeAddress(address);
  } else {
    lookup->Cancel();
    ::WSASetLastError(waited == WAIT_OBJECT_0 + 1 ? WSAEINTR : WSATRY_AGAIN);
  }
  const int error = ::WSAGetLastError();
  lookup->Release();
  ::WSASetLastError(error);
  return found;
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
