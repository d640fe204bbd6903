#pragma once
#include <cstddef>
#include <memory>

#include "sntp/RequestCredentials.h"

// Gives each request of an exchange its credentials, for a protocol that
// authenticates the server's replies; a plain exchange has none.
class CExchangeCredentials {
public:
  virtual ~CExchangeCredentials() = default;

  // The NTP version its requests speak.
  virtual int ProtocolVersion() const = 0;
  // The longest reply datagram it reads.
  virtual size_t LongestReply() const = 0;
  // Null when no further request can be made.
  virtual std::unique_ptr<CRequestCredentials> ForRequest() = 0;
};
