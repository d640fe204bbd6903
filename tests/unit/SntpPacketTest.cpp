#include "sntp/SntpPacket.h"

#include <gtest/gtest.h>

namespace {

const CNtpTimestamp kSent(0xCAD9A12F1F7CED91u);
// The client's clock: the 1/64 s tick of a system without a precise clock,
// or the 100 ns file time of one with it.
constexpr double kTickPrecision = 1.0 / 64;
constexpr double kPrecisePrecision = 1e-7;

SntpReply Reply(int leapIndicator, int mode, int stratum, const CNtpTimestamp& originate,
                      const CNtpTimestamp& receive, const CNtpTimestamp& transmit) {
  SntpReply reply{};
  reply[0] = static_cast<uint8_t>(leapIndicator << 6 | 3 << 3 | mode);
  reply[1] = static_cast<uint8_t>(stratum);
  originate.ToWire(reply.data() + 24);
  receive.ToWire(reply.data() + 32);
  transmit.ToWire(reply.data() + 40);
  return reply;
}

SntpReply Genuine() {
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
  expected[0] = 0x23;  // version 4, for NTS
  EXPECT_EQ(BuildSntpRequest(kSent, 4), expected);
}

TEST(SntpPacket, DatagramsThatDoNotAnswerTheRequestAreNotReplies) {
  EXPECT_TRUE(AnswersSntpRequest(Genuine().data(), 48, kSent));
  EXPECT_TRUE(AnswersSntpRequest(Genuine().data(), 68, kSent));
  EXPECT_FALSE(AnswersSntpRequest(Genuine().data(), 47, kSent));
  EXPECT_FALSE(AnswersSntpRequest(Genuine().data(), 0, kSent));
  for (const uint64_t flip : {uint64_t{1}, uint64_t{1} << 32, uint64_t{1} << 63}) {
    const CNtpTimestamp other(kSent.Value() ^ flip);
    EXPECT_FALSE(AnswersSntpRequest(Genuine().data(), 48, other)) << std::hex << flip;
  }
}

namespace {

// Each rule just inside and just outside its bound. The exchange: request
// sent at T1, the server 0 s off, a symmetric path of `delay` seconds.
struct ReplyFields {
  int leap = 0;
  int version = 4;
  int mode = 4;
  int stratum = 2;
  double hold = 0.001;
  double delay = 0.020;
  double rootDelay = 0;
  double rootDispersion = 0;
  int precision = -20;  // about a microsecond
  double clientPrecision = kTickPrecision;
  double referenceAge = 16;  // seconds from the reference time to the transmit time
  bool zeroReference = false;
  bool zeroReceive = false;
  bool zeroTransmit = false;
};

struct RuleCase {
  const char* name;
  void (*change)(ReplyFields&);
  SntpRefusal expected;
};

void PutShortFormat(double seconds, uint8_t* bytes) {
  const auto value = static_cast<uint32_t>(seconds * 65536 + 0.5);
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<uint8_t>(value >> (24 - 8 * i));
}

SntpRefusal Judge(const ReplyFields& fields) {
  const CNtpTimestamp receive = kSent.AddSeconds(fields.delay / 2);
  const CNtpTimestamp transmit = receive.AddSeconds(fields.hold);
  SntpReply reply = Reply(fields.leap, fields.mode, fields.stratum, kSent,
                                fields.zeroReceive ? CNtpTimestamp() : receive,
                                fields.zeroTransmit ? CNtpTimestamp() : transmit);
  reply[0] = static_cast<uint8_t>(fields.leap << 6 | fields.version << 3 | fields.mode);
  reply[3] = static_cast<uint8_t>(fields.precision);
  if (!fields.zeroReference) transmit.AddSeconds(-fields.referenceAge).ToWire(reply.data() + 16);
  PutShortFormat(fields.rootDelay, reply.data() + 4);
  PutShortFormat(fields.rootDispersion, reply.data() + 8);
  SntpExchangeResult result;
  result.m_OriginateTime = kSent;
  result.m_DestinationTime = kSent.AddSeconds(fields.delay + fields.hold);
  ReadSntpReply(reply, result, fields.clientPrecision);
  return JudgeSntpReply(reply, result, fields.clientPrecision);
}

const RuleCase kRuleCases[] = {
    {"genuine", [](ReplyFields&) {}, SntpRefusal::None},
    {"leap 2", [](ReplyFields& f) { f.leap = 2; }, SntpRefusal::None},
    {"leap 3", [](ReplyFields& f) { f.leap = 3; }, SntpRefusal::Unsynchronised},
    {"version 0", [](ReplyFields& f) { f.version = 0; }, SntpRefusal::UnknownVersion},
    {"version 1", [](ReplyFields& f) { f.version = 1; }, SntpRefusal::None},
    {"version 5", [](ReplyFields& f) { f.version = 5; }, SntpRefusal::UnknownVersion},
    {"mode 3", [](ReplyFields& f) { f.mode = 3; }, SntpRefusal::NotAServer},
    {"mode 5", [](ReplyFields& f) { f.mode = 5; }, SntpRefusal::NotAServer},
    {"stratum 0", [](ReplyFields& f) { f.stratum = 0; }, SntpRefusal::NoStratum},
    {"stratum 1", [](ReplyFields& f) { f.stratum = 1; }, SntpRefusal::None},
    {"stratum 15", [](ReplyFields& f) { f.stratum = 15; }, SntpRefusal::None},
    {"stratum 16", [](ReplyFields& f) { f.stratum = 16; }, SntpRefusal::NoStratum},
    {"zero receive", [](ReplyFields& f) { f.zeroReceive = true; }, SntpRefusal::NoTime},
    {"zero transmit", [](ReplyFields& f) { f.zeroTransmit = true; }, SntpRefusal::NoTime},
    {"sent as received", [](ReplyFields& f) { f.hold = 0; }, SntpRefusal::None},
    {"sent before received", [](ReplyFields& f) { f.hold = -1e-6; }, SntpRefusal::SentBeforeReceived},
    {"held 3.999 s", [](ReplyFields& f) { f.hold = 3.999; }, SntpRefusal::None},
    {"held 4.001 s", [](ReplyFields& f) { f.hold = 4.001; }, SntpRefusal::HeldTooLong},
    {"delay -15 ms", [](ReplyFields& f) { f.delay = -0.015; }, SntpRefusal::None},
    {"delay -17 ms", [](ReplyFields& f) { f.delay = -0.017; }, SntpRefusal::NegativeDelay},
    {"root distance 2.999 s",
     [](ReplyFields& f) { f.rootDelay = 1.0, f.rootDispersion = 2.489; }, SntpRefusal::None},
    {"root distance 3.001 s",
     [](ReplyFields& f) { f.rootDelay = 1.0, f.rootDispersion = 2.491; }, SntpRefusal::TooUncertain},
    // A round trip below both clocks' precision (2^-20 s and 1/64 s)
    // counts as that: 2.995 s + 7.8 ms, where -7.5 ms would pass.
    {"delay -15 ms counts as the precision",
     [](ReplyFields& f) { f.delay = -0.015, f.rootDispersion = 2.995; }, SntpRefusal::TooUncertain},
    {"server precision 8 s", [](ReplyFields& f) { f.precision = 3; }, SntpRefusal::TooUncertain},
    // A precise client's clock tells a 1 ms round trip as it is: 2.9994 s +
    // 0.5 ms, where the tick's 1/64 s would make it 3.0072 s.
    {"delay 1 ms, tick clock",
     [](ReplyFields& f) { f.delay = 0.001, f.rootDispersion = 2.9994; }, SntpRefusal::TooUncertain},
    {"delay 1 ms, precise clock",
     [](ReplyFields& f) { f.delay = 0.001, f.rootDispersion = 2.9994, f.clientPrecision = kPrecisePrecision; },
     SntpRefusal::None},
    {"delay -15 ms, precise clock",
     [](ReplyFields& f) { f.delay = -0.015, f.clientPrecision = kPrecisePrecision; }, SntpRefusal::NegativeDelay},
    {"reference at transmit", [](ReplyFields& f) { f.referenceAge = 0; }, SntpRefusal::None},
    {"reference 1 ms after transmit",
     [](ReplyFields& f) { f.referenceAge = -0.001; }, SntpRefusal::ReferenceAfterTransmit},
    {"no reference time", [](ReplyFields& f) { f.zeroReference = true; }, SntpRefusal::None},
};

}  // namespace

TEST(SntpPacket, RepliesWhoseServerOrTimesCannotBeTrueAreRefused) {
  for (const RuleCase& rule : kRuleCases) {
    ReplyFields fields;
    rule.change(fields);
    EXPECT_EQ(Judge(fields), rule.expected) << rule.name;
  }
}

// A kiss-o'-death's code is told only as the letters it must be.
TEST(SntpPacket, AKissCodeIsReadFromAStratumZeroReplyOnly) {
  const auto kissOf = [](int stratum, const char* id) {
    SntpReply reply{};
    reply[1] = static_cast<uint8_t>(stratum);
    std::copy(id, id + 4, reply.begin() + 12);
    return KissCode(reply);
  };
  EXPECT_EQ(kissOf(0, "RATE"), L"RATE");
  EXPECT_EQ(kissOf(0, "NTSN"), L"NTSN");
  EXPECT_EQ(kissOf(2, "RATE"), L"") << "a reference identifier";
  EXPECT_EQ(kissOf(0, "RA\nE"), L"") << "not a code";
  EXPECT_EQ(kissOf(0, "\xff" "ATE"), L"");
}

// The originate time is the client's own send time, not the reply's echo
// of the request's random transmit field.
TEST(SntpPacket, ReadingAReplyFillsTheResult) {
  SntpReply reply = Reply(2, 4, 15, kSent, Seconds(110.2), Seconds(110.3));
  SntpExchangeResult result;
  result.m_OriginateTime = Seconds(100.0);
  result.m_DestinationTime = Seconds(100.5);
  ReadSntpReply(reply, result, kTickPrecision);
  EXPECT_EQ(result.m_nLeapIndicator, 2);
  EXPECT_EQ(result.m_nStratum, 15);
  EXPECT_EQ(result.m_OriginateTime, Seconds(100.0));
  EXPECT_EQ(result.m_ReceiveTime, Seconds(110.2));
  EXPECT_EQ(result.m_TransmitTime, Seconds(110.3));
  EXPECT_EQ(result.m_DestinationTime, Seconds(100.5));
  EXPECT_NEAR(result.m_dClockOffset, 10.0, 1e-9);
  // 0.5 s between send and arrival, of which the server held it 0.1 s.
  EXPECT_NEAR(result.m_dRoundTripDelay, 0.4, 1e-9);
  // Half of it, and the server's distance: half its root delay and its
  // root dispersion (0.25 s and 0.125 s here, its precision 2^-20 s).
  reply[3] = static_cast<uint8_t>(-20);
  PutShortFormat(0.25, reply.data() + 4);
  PutShortFormat(0.125, reply.data() + 8);
  ReadSntpReply(reply, result, kTickPrecision);
  EXPECT_NEAR(result.m_dErrorBound, 0.2 + 0.125 + 0.125, 1e-4);
}

TEST(SntpPacket, ServerBehindGivesANegativeOffset) {
  const CNtpTimestamp local = CNtpTimestamp(0xCAD9A12F00000000u);
  const CNtpTimestamp server = local.AddSeconds(-10.0);
  SntpExchangeResult result;
  result.m_OriginateTime = local;
  result.m_DestinationTime = local;
  ReadSntpReply(Reply(0, 4, 1, kSent, server, server), result, kTickPrecision);
  EXPECT_DOUBLE_EQ(result.m_dClockOffset, -10.0);
}
