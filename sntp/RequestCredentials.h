#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "sntp/SntpPacket.h"

// What a reply proves beyond answering its request.
enum class ReplyProof {
  Authentic,     // it may be judged, and believed if it passes
  NotAuthentic,  // it is skipped like any other datagram that is no answer
  Refused,       // the server refused the request's credentials: the exchange ends
};

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
