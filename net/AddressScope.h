#pragma once
#include <cstddef>
#include <cstdint>

// Where an address reaches: anywhere, or only this machine, its link or a
// group (RFC 6890's special-purpose ranges that a server on the Internet
// has no business naming).
enum class AddressScope { Global, Loopback, LinkLocal, Multicast, Unspecified };

// The scope of an IPv4 (4 bytes) or IPv6 (16 bytes) address in network
// order; an IPv4-mapped IPv6 address has its IPv4 address's.
AddressScope ScopeOfAddress(const uint8_t* address, size_t size);

// Whether a server that the peer at keyExchange named may be asked at
// target: a global target always, one of a narrower scope only from a peer
// of the same scope (a server on this machine may name this machine).
bool MayAskNamedTarget(AddressScope keyExchange, AddressScope target);
