#include "sntp/SntpPacket.h"

namespace {

constexpr uint8_t kClientRequestHeader = 0x1B;  // leap 0, version 3, mode 3
constexpr int kStratumOffset = 1;
constexpr int kOriginateOffset = 24;
constexpr int kReceiveOffset = 32;
constexpr int kTransmitOffset = 40;
constexpr int kLeapIndicatorShift = 6;
constexpr uint8_t kModeMask = 0x07;
constexpr int kServerMode = 4;
constexpr int kUnsynchronised = 3;
constexpr int kMaxStratum = 15;

int LeapIndicator(const SntpReplyBuffer& reply) { return reply[0] >> kLeapIndicatorShift; }
int Mode(const SntpReplyBuffer& reply) { return reply[0] & kModeMask; }
int Stratum(const SntpReplyBuffer& reply) { return reply[kStratumOffset]; }

CNtpTimestamp TimestampAt(const SntpReplyBuffer& reply, int offset) {
  return CNtpTimestamp::FromWire(reply.data() + offset);
}

bool IsTrusted(const SntpReplyBuffer& reply) {
  const int stratum = Stratum(reply);
  return LeapIndicator(reply) != kUnsynchronised && stratum >= 1 && stratum <= kMaxStratum &&
         Mode(reply) == kServerMode && TimestampAt(reply, kTransmitOffset) != CNtpTimestamp();
}

}  // namespace

SntpRequest BuildSntpRequest(const CNtpTimestamp& transmitField) {
  SntpRequest request{};
  request[0] = kClientRequestHeader;
  transmitField.ToWire(request.data() + kTransmitOffset);
  return request;
}

SntpReplyKind ClassifySntpReply(const SntpReplyBuffer& reply, int length, const CNtpTimestamp& transmitField) {
  if (length < kSntpPacketSize || TimestampAt(reply, kOriginateOffset) != transmitField)
    return SntpReplyKind::NotAReply;
  return IsTrusted(reply) ? SntpReplyKind::Trusted : SntpReplyKind::Untrusted;
}

void ReadSntpReply(const SntpReplyBuffer& reply, SntpExchangeResult& result) {
  result.m_nLeapIndicator = LeapIndicator(reply);
  result.m_nStratum = Stratum(reply);
  result.m_ReceiveTime = TimestampAt(reply, kReceiveOffset);
  result.m_TransmitTime = TimestampAt(reply, kTransmitOffset);
  result.m_dClockOffset = (result.m_ReceiveTime.SecondsSince(result.m_OriginateTime) +
                           result.m_TransmitTime.SecondsSince(result.m_DestinationTime)) * 0.5;
}
