#pragma once
#include <string>

#include "framework/SystemTime.h"
#include "sntp/NtpTimestamp.h"

// What one SNTP exchange found out; filled only by a successful exchange.
struct SntpExchangeResult {
  int m_nLeapIndicator = 0;
  int m_nStratum = 0;
  CNtpTimestamp m_OriginateTime;    // T1: local clock, when the request was sent
  CNtpTimestamp m_ReceiveTime;      // T2: server clock
  CNtpTimestamp m_TransmitTime;     // T3: server clock
  CNtpTimestamp m_DestinationTime;  // T4: local clock, when the reply was found waiting
  double m_dClockOffset = 0;        // seconds to add to the local clock; positive when the server is ahead
  double m_dRoundTripDelay = 0;     // seconds the request and the reply spent travelling
  // Seconds the true offset may lie either side of the measured one: half
  // the round trip plus the server's own distance from its reference.
  double m_dErrorBound = 0;
  // The address that answered, as people write it.
  std::wstring m_strServerAddress;
  // The address that answered, as people write it, when it was not the
  // first the server's name gave; empty otherwise.
  std::wstring m_strAnsweringAddress;
  // The NTP server (and port, unless 123) that an NTS key exchange named
  // instead of its own; empty otherwise.
  std::wstring m_strNegotiatedServer;
  // Whether the reply was proved to come from the server (Network Time
  // Security).
  bool m_bAuthenticated = false;
  // Whether the server's certificate was valid at the server's time only,
  // not at the local time: one of the two clocks is wrong, or the server is
  // not what it claims.
  bool m_bTrustedAtServerTimeOnly = false;
  // Then the dates, in UTC, between which that certificate is valid.
  SYSTEMTIME m_CertificateValidFrom{};
  SYSTEMTIME m_CertificateValidUntil{};
};
