#include "sntp/SntpPacket.h"

#include <gtest/gtest.h>

namespace {

const CNtpTimestamp kSent(0xCAD9A12F1F7CED91u);

SntpReplyBuffer Reply(int leapIndicator, int mode, int stratum, const CNtpTimestamp& originate,
                      const CNtpTimestamp& receive, const CNtpTimestamp& transmit) {
  SntpReplyBuffer reply{};
  reply[0] = static_cast<uint8_t>(leapIndicator << 6 | 3 << 3 | mode);
  reply[1] = static_cast<uint8_t>(stratum);
  originate.ToWire(reply.data() + 24);
  receive.ToWire(reply.data() + 32);
  transmit.ToWire(reply.data() + 40);
  return reply;
}

SntpReplyBuffer Genuine() {
  return Reply(0, 4, 2, kSent, kSent.AddSeconds(0.01), kSent.AddSeconds(0.02));
}

CNtpTimestamp Seconds(double seconds) {
  return CNtpTimestamp().AddSeconds(seconds);
}

}  // namespace

TEST(SntpPacket, RequestIsVersion3ClientModeCarryingTheTransmitTime) {
  const SntpRequest request = BuildSntpRequest(kSent);
  SntpRequest expected{};
  expected[0] = 0x1B;
  const uint8_t transmit[] = {0xCA, 0xD9, 0xA1, 0x2F, 0x1F, 0x7C, 0xED, 0x91};
  std::copy(std::begin(transmit), std::end(transmit), expected.begin() + 40);
  EXPECT_EQ(request, expected);
}

TEST(SntpPacket, DatagramsThatDoNotAnswerTheRequestAreNotReplies) {
  EXPECT_EQ(ClassifySntpReply(Genuine(), 48, kSent), SntpReplyKind::Trusted);
  EXPECT_EQ(ClassifySntpReply(Genuine(), 68, kSent), SntpReplyKind::Trusted);
  EXPECT_EQ(ClassifySntpReply(Genuine(), 47, kSent), SntpReplyKind::NotAReply);
  EXPECT_EQ(ClassifySntpReply(Genuine(), 1, kSent), SntpReplyKind::NotAReply);
  for (const uint64_t flip : {uint64_t{1}, uint64_t{1} << 32, uint64_t{1} << 63}) {
    const CNtpTimestamp other(kSent.Value() ^ flip);
    EXPECT_EQ(ClassifySntpReply(Genuine(), 48, other), SntpReplyKind::NotAReply) << std::hex << flip;
  }
  // Even an untrusted datagram is first of all not ours.
  const SntpReplyBuffer forged = Reply(3, 0, 0, CNtpTimestamp(), CNtpTimestamp(), CNtpTimestamp());
  EXPECT_EQ(ClassifySntpReply(forged, 48, kSent), SntpReplyKind::NotAReply);
}

TEST(SntpPacket, OnlySynchronisedServersAreTrusted) {
  for (int mode = 0; mode < 8; ++mode) {
    for (int leap = 0; leap < 4; ++leap) {
      for (int stratum = 0; stratum < 256; ++stratum) {
        const SntpReplyBuffer reply = Reply(leap, mode, stratum, kSent, kSent, kSent);
        const bool trusted = mode == 4 && leap != 3 && stratum >= 1 && stratum <= 15;
        ASSERT_EQ(ClassifySntpReply(reply, 48, kSent),
                  trusted ? SntpReplyKind::Trusted : SntpReplyKind::Untrusted)
            << "mode " << mode << " leap " << leap << " stratum " << stratum;
      }
    }
  }
}

TEST(SntpPacket, VersionIsNotLookedAtButAZeroTransmitTimeIs) {
  SntpReplyBuffer reply = Genuine();
  for (int version = 0; version < 8; ++version) {
    reply[0] = static_cast<uint8_t>(version << 3 | 4);
    EXPECT_EQ(ClassifySntpReply(reply, 48, kSent), SntpReplyKind::Trusted) << version;
  }
  const SntpReplyBuffer zeroTransmit = Reply(0, 4, 2, kSent, kSent, CNtpTimestamp());
  EXPECT_EQ(ClassifySntpReply(zeroTransmit, 48, kSent), SntpReplyKind::Untrusted);
}

// The originate time is the client's own send time, not the reply's echo
// of the request's random transmit field.
TEST(SntpPacket, ReadingAReplyFillsTheResult) {
  SntpReplyBuffer reply = Reply(2, 4, 15, kSent, Seconds(110.2), Seconds(110.3));
  SntpExchangeResult result;
  result.m_OriginateTime = Seconds(100.0);
  result.m_DestinationTime = Seconds(100.5);
  ReadSntpReply(reply, result);
  EXPECT_EQ(result.m_nLeapIndicator, 2);
  EXPECT_EQ(result.m_nStratum, 15);
  EXPECT_EQ(result.m_OriginateTime, Seconds(100.0));
  EXPECT_EQ(result.m_ReceiveTime, Seconds(110.2));
  EXPECT_EQ(result.m_TransmitTime, Seconds(110.3));
  EXPECT_EQ(result.m_DestinationTime, Seconds(100.5));
  EXPECT_NEAR(result.m_dClockOffset, 10.0, 1e-9);
}

TEST(SntpPacket, ServerBehindGivesANegativeOffset) {
  const CNtpTimestamp local = CNtpTimestamp(0xCAD9A12F00000000u);
  const CNtpTimestamp server = local.AddSeconds(-10.0);
  SntpExchangeResult result;
  result.m_OriginateTime = local;
  result.m_DestinationTime = local;
  ReadSntpReply(Reply(0, 4, 1, kSent, server, server), result);
  EXPECT_DOUBLE_EQ(result.m_dClockOffset, -10.0);
}
