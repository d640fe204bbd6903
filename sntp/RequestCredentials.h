#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "sntp/ReplyProof.h"
#include "sntp/SntpPacket.h"

// One request's credentials: what the request carries beyond its packet,
// and what its reply must prove.
class CRequestCredentials {
public:
  virtual ~CRequestCredentials() = default;

  // The datagram to send for the request's packet; empty when it cannot be
  // made.
  virtual std::vector<uint8_t> Datagram(const SntpRequest& packet) = 0;
  // Judges a datagram that answers the request.
  virtual ReplyProof Check(const uint8_t* datagram, size_t size) = 0;
};
