#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

// NTS Key Establishment (RFC 8915 section 4): the records over TLS 1.3 with
// ALPN "ntske/1", and how both keys come from the TLS exporter.

constexpr char kNtsKeAlpn[] = "ntske/1";
constexpr uint16_t kNtsKePort = 4460;

// A record: the critical bit and a 15-bit type, a 16-bit body length, the body.
constexpr size_t kNtsKeRecordHeaderSize = 4;
constexpr uint16_t kNtsKeCriticalBit = 0x8000;

enum class NtsKeRecordType : uint16_t {
  EndOfMessage = 0,
  NextProtocol = 1,
  Error = 2,
  Warning = 3,
  AeadAlgorithm = 4,
  NewCookie = 5,
  Server = 6,
  Port = 7,
};

constexpr uint16_t kNtsProtocolNtpV4 = 0;
constexpr uint16_t kAeadAesSivCmac256 = 15;

// The client's request: NTPv4 as the next protocol, AEAD_AES_SIV_CMAC_256,
// End of Message; each with the critical bit.
std::vector<uint8_t> BuildNtsKeRequest();

// The keys' inputs to the TLS exporter (RFC 8915 section 5.1).
constexpr char kNtsExporterLabel[] = "EXPORTER-network-time-security";
constexpr size_t kNtsKeySize = 32;  // AEAD_AES_SIV_CMAC_256
enum class NtsKeyDirection : uint8_t { ClientToServer = 0x00, ServerToClient = 0x01 };
using NtsExporterContext = std::array<uint8_t, 5>;
// Protocol id, AEAD id, then the direction.
NtsExporterContext NtsExporterContextFor(NtsKeyDirection direction);
