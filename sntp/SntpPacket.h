#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "sntp/NtpTimestamp.h"
#include "sntp/SntpExchangeResult.h"

constexpr int kSntpPacketSize = 48;
// Room for a plain reply with a key id and digest, whose bytes past the
// packet are ignored; a longer datagram is not a plain reply.
constexpr int kSntpReplyBufferSize = 68;

// A request, and a reply's packet without what may follow it.
using SntpRequest = std::array<uint8_t, kSntpPacketSize>;
using SntpReply = std::array<uint8_t, kSntpPacketSize>;

// Why a reply to our request is not believed, in the order it is checked.
enum class SntpRefusal {
  None,
  Unsynchronised,      // leap indicator 3: the server's clock is not set
  UnknownVersion,      // version outside 1..4
  NotAServer,          // mode other than server
  NoStratum,           // stratum 0 (a kiss-o'-death) or above 15
  NoTime,              // a zero receive or transmit time
  SentBeforeReceived,  // transmit time earlier than receive time
  HeldTooLong,         // the server kept the request implausibly long
  NegativeDelay,       // the round trip is negative beyond what both clocks can tell
  TooUncertain,        // the server's root distance is too large
  ReferenceAfterTransmit,  // the server's clock was last set after the reply was sent
};
constexpr SntpRefusal kLastSntpRefusal = SntpRefusal::ReferenceAfterTransmit;

// Client request, version 3 unless told (NTS asks in version 4), with this
// value in its transmit field.
SntpRequest BuildSntpRequest(const CNtpTimestamp& transmitField, int version = 3);

// The version a packet gives.
int SntpVersion(const SntpReply& packet);

// Whether a received datagram of length bytes answers the request: a whole
// packet whose originate field echoes the request's transmit field.
bool AnswersSntpRequest(const uint8_t* datagram, size_t length, const CNtpTimestamp& transmitField);

// The packet at the start of a datagram that answers a request.
SntpReply SntpReplyOf(const uint8_t* datagram);

// Fills result from a reply to our request. Its originate time (when the
// request was sent) and destination time are the client's own and must be
// set; clientPrecision is that of the clock they were read from, in seconds.
void ReadSntpReply(const SntpReply& reply, SntpExchangeResult& result, double clientPrecision);

// A kiss-o'-death's code (RATE, DENY, RSTR, ...): its reference identifier
// as the four letters or digits it must be; empty for any other reply.
std::wstring KissCode(const SntpReply& reply);

// The first rule a reply read into result breaks, or None when its server
// and its times can be believed; clientPrecision as for ReadSntpReply. A
// kiss-o'-death breaks one, whatever its code says.
SntpRefusal JudgeSntpReply(const SntpReply& reply, const SntpExchangeResult& result, double clientPrecision);
