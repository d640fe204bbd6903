#pragma once
#include <winsock2.h>
#include <ws2ipdef.h>

#include <string>
#include <vector>

#include "net/AddressScope.h"
#include "net/NetFailure.h"
#include "net/Result.h"

// IPv4 and IPv6 socket addresses, port included.
using AddressList = std::vector<SOCKADDR_INET>;

// The addresses of host at port, in the order the system prefers them
// (RFC 6724): a literal IPv4 or IPv6 address as it is (an IPv6 one with or
// without brackets, with a numeric scope id after %), else every address of
// either family that a name lookup gives. The name goes to the system as it
// is, in UTF-16: no code page stands between the user's text and the lookup.
//
// The lookup ends after timeoutMilliseconds, or at once when stopEvent (may
// be null) is signalled; a lookup that cannot be cancelled (systems before
// Windows 8) is left to finish on a thread of its own. A failure is
// NameServiceSilent when the name service did not answer in time (or said
// to try again), Stopped, or NameNotFound when the name has no address,
// whatever the system's own reason.
Result<AddressList, NetFailure> ResolveHost(LPCWSTR host, UINT port, DWORD timeoutMilliseconds, HANDLE stopEvent);

// How long a request to one address waits for an answer before the next
// address is asked as well: RFC 8305's connection attempt delay.
constexpr unsigned long kNextAddressDelayMs = 250;

// The first address, and the first of the other family if there is one: a
// server that cannot be reached over one family may be over the other.
// addresses must not be empty.
AddressList FirstOfEachFamily(const AddressList& addresses);

// An address as people write it: 192.0.2.1, 2001:db8::1, fe80::1%12.
std::wstring AddressText(const SOCKADDR_INET& address);

// Where an address reaches (see ScopeOfAddress).
AddressScope ScopeOf(const SOCKADDR_INET& address);
