#include "net/AddressScope.h"

#include <algorithm>

namespace {

constexpr size_t kIPv4Size = 4;
constexpr size_t kIPv6Size = 16;
constexpr uint8_t kIPv4MappedPrefix[12] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF};

bool AllZero(const uint8_t* bytes, size_t size) {
  return std::all_of(bytes, bytes + size, [](uint8_t byte) { return byte == 0; });
}

AddressScope ScopeOfIPv4(const uint8_t* address) {
  if (address[0] == 127) return AddressScope::Loopback;                        // 127.0.0.0/8
  if (address[0] == 169 && address[1] == 254) return AddressScope::LinkLocal;  // 169.254.0.0/16
  if ((address[0] & 0xF0) == 224) return AddressScope::Multicast;              // 224.0.0.0/4
  if (AllZero(address, kIPv4Size)) return AddressScope::Unspecified;           // 0.0.0.0
  return AddressScope::Global;
}

AddressScope ScopeOfIPv6(const uint8_t* address) {
  if (std::equal(kIPv4MappedPrefix, kIPv4MappedPrefix + sizeof kIPv4MappedPrefix, address))
    return ScopeOfIPv4(address + sizeof kIPv4MappedPrefix);
  if (AllZero(address, kIPv6Size - 1)) {
    if (address[kIPv6Size - 1] == 0) return AddressScope::Unspecified;  // ::
    if (address[kIPv6Size - 1] == 1) return AddressScope::Loopback;     // ::1
  }
  if (address[0] == 0xFE && (address[1] & 0xC0) == 0x80) return AddressScope::LinkLocal;  // fe80::/10
  if (address[0] == 0xFF) return AddressScope::Multicast;                                 // ff00::/8
  return AddressScope::Global;
}

}  // namespace

AddressScope ScopeOfAddress(const uint8_t* address, size_t size) {
  return size == kIPv6Size ? ScopeOfIPv6(address) : ScopeOfIPv4(address);
}

bool MayAskNamedTarget(AddressScope keyExchange, AddressScope target) {
  return target == AddressScope::Global || target == keyExchange;
}
