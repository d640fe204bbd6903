#include "sntp/SntpPacket.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace {

constexpr uint8_t kClientMode = 3;
constexpr int kStratumOffset = 1;
constexpr int kPrecisionOffset = 3;
constexpr int kRootDelayOffset = 4;
constexpr int kRootDispersionOffset = 8;
constexpr int kReferenceIdOffset = 12;
constexpr int kKissCodeLength = 4;
constexpr int kReferenceOffset = 16;
constexpr int kOriginateOffset = 24;
constexpr int kReceiveOffset = 32;
constexpr int kTransmitOffset = 40;
constexpr int kLeapIndicatorShift = 6;
constexpr int kVersionShift = 3;
constexpr uint8_t kVersionMask = 0x07;
constexpr uint8_t kModeMask = 0x07;
constexpr double kShortFormatUnit = 1.0 / 65536;  // root delay and dispersion: 16.16 seconds

constexpr int kUnsynchronised = 3;
constexpr int kMinVersion = 1;
constexpr int kMaxVersion = 4;
constexpr int kServerMode = 4;
constexpr int kKissStratum = 0;
constexpr int kMinStratum = 1;
constexpr int kMaxStratum = 15;
// chrony's bound on the time a server takes to answer (MAX_SERVER_INTERVAL).
constexpr double kMaxServerHold = 4.0;
// chrony's default maxdistance; RFC 5905 has 1.5 s (MAXDIST).
constexpr double kMaxRootDistance = 3.0;

int LeapIndicator(const SntpReply& reply) { return reply[0] >> kLeapIndicatorShift; }
int Mode(const SntpReply& reply) { return reply[0] & kModeMask; }
int Stratum(const SntpReply& reply) { return reply[kStratumOffset]; }
// The server's precision: a signed power of two, in seconds.
double ServerPrecision(const SntpReply& reply) {
  return std::ldexp(1.0, static_cast<int8_t>(reply[kPrecisionOffset]));
}

double ShortFormatAt(const SntpReply& reply, int offset) {
  const uint32_t value = uint32_t{reply[offset]} << 24 | uint32_t{reply[offset + 1]} << 16 |
                         uint32_t{reply[offset + 2]} << 8 | reply[offset + 3];
  return value * kShortFormatUnit;
}

CNtpTimestamp TimestampAt(const SntpReply& reply, int offset) {
  return CNtpTimestamp::FromWire(reply.data() + offset);
}

// T3 - T2: how long the server kept the request.
double ServerHold(const SntpExchangeResult& result) {
  return result.m_TransmitTime.SecondsSince(result.m_ReceiveTime);
}

// (T4 - T1) - (T3 - T2): the time the request and the reply spent travelling.
double RoundTripDelay(const SntpExchangeResult& result) {
  return result.m_DestinationTime.SecondsSince(result.m_OriginateTime) - ServerHold(result);
}

// The shortest span both clocks can tell: the server's precision and the
// client's own.
double ClocksPrecision(const SntpReply& reply, double clientPrecision) {
  return ServerPrecision(reply) + clientPrecision;
}

// How far the server's time may be from true time: half its root delay,
// its root dispersion, and half our own round trip. A round trip shorter
// than both clocks can tell, or negative, counts as their precision, as
// RFC 5905 and chrony clamp it.
double RootDistance(const SntpReply& reply, const SntpExchangeResult& result, double clientPrecision) {
  const double delay = std::max(RoundTripDelay(result), ClocksPrecision(reply, clientPrecision));
  return ShortFormatAt(reply, kRootDelayOffset) / 2 + ShortFormatAt(reply, kRootDispersionOffset) + delay / 2;
}

// A server's reference time is when its clock was last set; a server that
// never set it sends none.
bool ReferenceAfterTransmit(const SntpReply& reply, const SntpExchangeResult& result) {
  const CNtpTimestamp reference = TimestampAt(reply, kReferenceOffset);
  return reference != CNtpTimestamp() && reference.SecondsSince(result.m_TransmitTime) > 0;
}

}  // namespace

SntpRequest BuildSntpRequest(const CNtpTimestamp& transmitField, int version) {
  SntpRequest request{};
  request[0] = static_cast<uint8_t>(version << kVersionShift | kClientMode);  // leap indicator 0
  transmitField.ToWire(request.data() + kTransmitOffset);
  return request;
}

bool AnswersSntpRequest(const uint8_t* datagram, size_t length, const CNtpTimestamp& transmitField) {
  return length >= kSntpPacketSize && CNtpTimestamp::FromWire(datagram + kOriginateOffset) == transmitField;
}

int SntpVersion(const SntpReply& packet) { return packet[0] >> kVersionShift & kVersionMask; }

SntpReply SntpReplyOf(const uint8_t* datagram) {
  SntpReply reply;
  std::copy(datagram, datagram + kSntpPacketSize, reply.begin());
  return reply;
}

void ReadSntpReply(const SntpReply& reply, SntpExchangeResult& result, double clientPrecision) {
  result.m_nLeapIndicator = LeapIndicator(reply);
  result.m_nStratum = Stratum(reply);
  result.m_ReceiveTime = TimestampAt(reply, kReceiveOffset);
  result.m_TransmitTime = TimestampAt(reply, kTransmitOffset);
  result.m_dClockOffset = (result.m_ReceiveTime.SecondsSince(result.m_OriginateTime) +
                           result.m_TransmitTime.SecondsSince(result.m_DestinationTime)) * 0.5;
  result.m_dRoundTripDelay = RoundTripDelay(result);
  result.m_dErrorBound = RootDistance(reply, result, clientPrecision);
}

std::wstring KissCode(const SntpReply& reply) {
  if (Stratum(reply) != kKissStratum) return {};
  std::wstring code;
  for (int i = 0; i < kKissCodeLength; ++i) {
    const uint8_t c = reply[kReferenceIdOffset + i];
    if (!std::isupper(c) && !std::isdigit(c)) return {};
    code += static_cast<wchar_t>(c);
  }
  return code;
}

// The packet sanity tests of RFC 5905 (section 8 and its packet()) as
// chrony applies them.
SntpRefusal JudgeSntpReply(const SntpReply& reply, const SntpExchangeResult& result, double clientPrecision) {
  if (LeapIndicator(reply) == kUnsynchronised)
    return SntpRefusal::Unsynchronised;
  if (SntpVersion(reply) < kMinVersion || SntpVersion(reply) > kMaxVersion)
    return SntpRefusal::UnknownVersion;
  if (Mode(reply) != kServerMode)
    return SntpRefusal::NotAServer;
  if (Stratum(reply) < kMinStratum || Stratum(reply) > kMaxStratum)
    return SntpRefusal::NoStratum;
  if (result.m_ReceiveTime == CNtpTimestamp() || result.m_TransmitTime == CNtpTimestamp())
    return SntpRefusal::NoTime;
  if (ServerHold(result) < 0)
    return SntpRefusal::SentBeforeReceived;
  if (ServerHold(result) > kMaxServerHold)
    return SntpRefusal::HeldTooLong;
  if (RoundTripDelay(result) < -ClocksPrecision(reply, clientPrecision))
    return SntpRefusal::NegativeDelay;
  if (RootDistance(reply, result, clientPrecision) > kMaxRootDistance)
    return SntpRefusal::TooUncertain;
  if (ReferenceAfterTransmit(reply, result))
    return SntpRefusal::ReferenceAfterTransmit;
  return SntpRefusal::None;
}
