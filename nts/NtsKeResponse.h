#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "nts/WipingAllocator.h"

// Why a key exchange's response gives no keys to use.
enum class NtsKeFailure {
  None,
  Refused,            // the server speaks no NTPv4 (its Next Protocol record names none or another)
  NoCommonAlgorithm,  // the server chose no AEAD algorithm, or one this client did not offer
  ServerError,        // the server sent an Error record; its code is kept
  ServerWarning,      // the server sent a Warning record, which this client does not understand
  Malformed,          // a record breaks the protocol, a critical record is unknown, or it is too long
};

// A cookie: opaque to the client, sent back once in an NTP request. Whoever
// holds a cookie can use it in the client's name: every copy is wiped when
// dropped.
using NtsCookie = std::vector<uint8_t, WipingAllocator<uint8_t>>;
// A client holds this many; more from one server message are dropped.
constexpr size_t kNtsMaxCookies = 8;
// Longer ones are refused, as chrony refuses them (NKE_MAX_COOKIE_LENGTH).
constexpr size_t kNtsMaxCookieSize = 256;

// What the server's response said, filled as its records arrive.
struct NtsKeResponse {
  static constexpr uint16_t kDefaultNtpPort = 123;

  NtsKeFailure m_Failure = NtsKeFailure::None;
  uint16_t m_nCode = 0;              // the Error or Warning record's code
  std::vector<NtsCookie> m_Cookies;  // in order of arrival
  std::string m_Server;              // the NTP server to ask; empty: the key exchange server itself
  uint16_t m_nPort = kDefaultNtpPort;
};
