#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "net/AddressScope.h"
#include "nts/ByteRange.h"
#include "nts/NtsKeResponse.h"
#include "nts/NtsPacket.h"
#include "nts/WipingAllocator.h"
#include "ticktime/TickUnits.h"

// What is kept of an NTS server's key exchange between runs: for the
// server name it was made with, when it was made, its algorithm, the NTP
// server and port it named, both keys and the cookies not yet spent.
struct KeptAssociation {
  KeptAssociation() = default;
  KeptAssociation(const KeptAssociation&) = default;
  KeptAssociation& operator=(const KeptAssociation&) = default;
  ~KeptAssociation();  // wipes both keys

  std::string server;          // the key exchange's server, exactly as it was asked (UTF-8)
  uint64_t madeAt = 0;         // the key exchange's time, in seconds since 1601 (UTC, as file times count)
  uint16_t algorithm = 0;      // the AEAD algorithm's number
  std::string ntpServer;       // the NTP server to ask
  uint16_t ntpPort = 0;
  bool ntpServerNamed = false;  // the response named it, rather than the key exchange's address
  AddressScope keyExchangeScope = AddressScope::Global;
  NtsKey clientToServerKey{};
  NtsKey serverToClientKey{};
  std::vector<NtsCookie> cookies;
};

using KeptBytes = std::vector<uint8_t, WipingAllocator<uint8_t>>;

// Its bytes as kept: a format tag, then every field in order, each string
// and cookie after its 16-bit length, numbers in network order.
KeptBytes WriteKeptAssociation(const KeptAssociation& kept);

// What the bytes keep, read as untrusted: nothing unless every length fits
// its bound and the bytes, the algorithm is the one this client speaks and
// nothing follows the last cookie.
std::optional<KeptAssociation> ReadKeptAssociation(ByteRange bytes);

// Kept results are used for four weeks from their key exchange (chrony's
// ntsrefresh), and never when the clock reads earlier than it.
constexpr uint64_t kKeptAssociationLifetime = 28 * kSecondsPerDay;
bool StillFresh(const KeptAssociation& kept, uint64_t now);
