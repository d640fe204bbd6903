#pragma once
#include <winsock2.h>

// The IPv4 address of host: a dotted address as it is, else the first
// address a name lookup gives. The lookup ends after timeoutMilliseconds,
// or at once when stopEvent (may be null) is signalled, where the system can
// cancel lookups (Windows 8 on); elsewhere it takes as long as the system's
// own. On failure the last error says why: the lookup's own error,
// WSATRY_AGAIN when the time ran out, WSAEINTR when stopped, and
// WSAHOST_NOT_FOUND for a name the thread's code page cannot represent
// exactly (a best-fit conversion would make another name of it).
bool ResolveHostIPv4(LPCWSTR host, in_addr& address, DWORD timeoutMilliseconds, HANDLE stopEvent);
