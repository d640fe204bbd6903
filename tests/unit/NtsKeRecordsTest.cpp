#include "nts/NtsKeRecords.h"

#include <gtest/gtest.h>

#include "NtsTestBytes.h"
#include "nts/NtsKeResponseReader.h"

TEST(NtsKeRecords, RequestAsksForNtpV4WithAesSivAllCritical) {
  EXPECT_EQ(BuildNtsKeRequest(), FromHex("8001 0002 0000  8004 0002 000f  8000 0000"));
}

TEST(NtsKeRecords, ExporterContextsNameNtpV4AesSivAndTheDirection) {
  EXPECT_EQ(std::string(kNtsExporterLabel), "EXPORTER-network-time-security");
  EXPECT_EQ(NtsExporterContextFor(NtsKeyDirection::ClientToServer), (NtsExporterContext{0, 0, 0, 15, 0}));
  EXPECT_EQ(NtsExporterContextFor(NtsKeyDirection::ServerToClient), (NtsExporterContext{0, 0, 0, 15, 1}));
}

namespace {

// Records of a response, as hex: the server's usual answer is
// kNextProtocol kAead kCookie kEnd.
const char kNextProtocol[] = "8001 0002 0000";
const char kAead[] = "0004 0002 000f";
const char kCookie[] = "0005 0004 c0c0c0c0";
const char kEnd[] = "8000 0000";

std::string Response(std::initializer_list<std::string> records) {
  std::string hex;
  for (const std::string& record : records) hex += record + " ";
  return hex;
}

CNtsKeResponseReader Read(const std::string& hex) {
  CNtsKeResponseReader reader;
  reader.Feed(FromHex(hex));
  return reader;
}

struct RecordCase {
  const char* name;
  std::string response;
  NtsKeFailure expected;  // None: complete
};

using R = std::initializer_list<std::string>;

const RecordCase kRecordCases[] = {
    {"usual", Response({kNextProtocol, kAead, kCookie, kEnd}), NtsKeFailure::None},
    {"records in another order", Response({kCookie, kAead, kNextProtocol, kEnd}), NtsKeFailure::None},
    {"AEAD record critical", Response({kNextProtocol, "8004 0002 000f", kCookie, kEnd}), NtsKeFailure::None},
    {"no next protocol", Response({kAead, kCookie, kEnd}), NtsKeFailure::Malformed},
    {"two next protocol records", Response({kNextProtocol, kNextProtocol, kAead, kCookie, kEnd}),
     NtsKeFailure::Malformed},
    {"next protocol empty", Response({"8001 0000", kAead, kCookie, kEnd}), NtsKeFailure::Refused},
    {"next protocol other", Response({"8001 0002 0001", kAead, kCookie, kEnd}), NtsKeFailure::Refused},
    {"next protocol two ids", Response({"8001 0004 0000 0001", kAead, kCookie, kEnd}), NtsKeFailure::Refused},
    {"next protocol odd length", Response({"8001 0003 000000", kAead, kCookie, kEnd}), NtsKeFailure::Malformed},
    {"no AEAD record", Response({kNextProtocol, kCookie, kEnd}), NtsKeFailure::NoCommonAlgorithm},
    {"AEAD empty", Response({kNextProtocol, "0004 0000", kCookie, kEnd}), NtsKeFailure::NoCommonAlgorithm},
    {"AEAD other", Response({kNextProtocol, "0004 0002 0010", kCookie, kEnd}), NtsKeFailure::NoCommonAlgorithm},
    {"two AEAD records", Response({kNextProtocol, kAead, kAead, kCookie, kEnd}), NtsKeFailure::Malformed},
    {"error record", Response({kNextProtocol, "8002 0002 0001", kEnd}), NtsKeFailure::ServerError},
    {"error record short", Response({"8002 0001 00", kEnd}), NtsKeFailure::Malformed},
    {"warning record", Response({kNextProtocol, kAead, "8003 0002 0007", kCookie, kEnd}),
     NtsKeFailure::ServerWarning},
    {"no cookie", Response({kNextProtocol, kAead, kEnd}), NtsKeFailure::Malformed},
    {"empty cookie", Response({kNextProtocol, kAead, "0005 0000", kEnd}), NtsKeFailure::Malformed},
    {"cookie of 256 bytes", Response({kNextProtocol, kAead, "0005 0100" + std::string(512, 'a'), kEnd}),
     NtsKeFailure::None},
    {"cookie of 257 bytes", Response({kNextProtocol, kAead, "0005 0101" + std::string(514, 'a'), kEnd}),
     NtsKeFailure::Malformed},
    {"server name", Response({kNextProtocol, kAead, kCookie, "0006 0003 612e62", kEnd}), NtsKeFailure::None},
    {"server name with a space", Response({kNextProtocol, kAead, kCookie, "0006 0003 612062", kEnd}),
     NtsKeFailure::Malformed},
    {"server name empty", Response({kNextProtocol, kAead, kCookie, "0006 0000", kEnd}), NtsKeFailure::Malformed},
    {"server name of 256 bytes", Response({kNextProtocol, kAead, kCookie, "0006 0100" + std::string(512, '6'), kEnd}),
     NtsKeFailure::Malformed},
    {"port", Response({kNextProtocol, kAead, kCookie, "0007 0002 1234", kEnd}), NtsKeFailure::None},
    {"port 0", Response({kNextProtocol, kAead, kCookie, "0007 0002 0000", kEnd}), NtsKeFailure::Malformed},
    {"port of 3 bytes", Response({kNextProtocol, kAead, kCookie, "0007 0003 000123", kEnd}), NtsKeFailure::Malformed},
    {"two ports", Response({kNextProtocol, kAead, kCookie, "0007 0002 1234", "0007 0002 1234", kEnd}),
     NtsKeFailure::Malformed},
    {"unknown record", Response({kNextProtocol, kAead, kCookie, "4321 0001 00", kEnd}), NtsKeFailure::None},
    {"unknown critical record", Response({kNextProtocol, kAead, kCookie, "c321 0001 00", kEnd}),
     NtsKeFailure::Malformed},
    {"end with a body", Response({kNextProtocol, kAead, kCookie, "8000 0001 00"}), NtsKeFailure::Malformed},
    {"a record after the end", Response({kNextProtocol, kAead, kCookie, kEnd, kCookie}), NtsKeFailure::Malformed},
    {"a byte after the end", Response({kNextProtocol, kAead, kCookie, kEnd, "00"}), NtsKeFailure::Malformed},
};

}  // namespace

TEST(NtsKeResponseReader, EachRuleJustInsideAndJustOutside) {
  for (const RecordCase& rule : kRecordCases) {
    const CNtsKeResponseReader reader = Read(rule.response);
    const auto expectedState = rule.expected == NtsKeFailure::None ? CNtsKeResponseReader::State::Complete
                                                                   : CNtsKeResponseReader::State::Failed;
    EXPECT_EQ(reader.GetState(), expectedState) << rule.name;
    EXPECT_EQ(reader.Response().m_Failure, rule.expected) << rule.name;
  }
}

TEST(NtsKeResponseReader, TakesTheResponseInAnyPiecesAndKeepsWhatItSays) {
  const std::vector<uint8_t> whole = FromHex(Response(
      {kNextProtocol, kAead, "0005 0002 0102", "0006 0009 6e74732e 6c6f6361 6c", "0007 0002 1234",
       "0005 0003 030405", kEnd}));
  CNtsKeResponseReader reader;
  for (size_t i = 0; i + 1 < whole.size(); ++i) {
    ASSERT_EQ(reader.Feed(ByteRange(&whole[i], 1)), CNtsKeResponseReader::State::NeedMore) << i;
  }
  ASSERT_EQ(reader.Feed(ByteRange(&whole.back(), 1)), CNtsKeResponseReader::State::Complete);
  const NtsKeResponse& response = reader.Response();
  EXPECT_EQ(response.m_Cookies, (std::vector<NtsCookie>{{1, 2}, {3, 4, 5}}));
  EXPECT_EQ(response.m_Server, "nts.local");
  EXPECT_EQ(response.m_nPort, 0x1234);
  EXPECT_EQ(reader.Feed(FromHex("00")), CNtsKeResponseReader::State::Failed) << "bytes after the end";
}

TEST(NtsKeResponseReader, ErrorKeepsItsCodeAndNoCookies) {
  const CNtsKeResponseReader reader = Read(Response({kCookie, "8002 0002 0002", kEnd}));
  EXPECT_EQ(reader.Response().m_Failure, NtsKeFailure::ServerError);
  EXPECT_EQ(reader.Response().m_nCode, 2);
  EXPECT_TRUE(reader.Response().m_Cookies.empty());
}

TEST(NtsKeResponseReader, KeepsEightCookiesAndStopsAStreamThatNeverEnds) {
  std::string response = Response({kNextProtocol, kAead});
  for (int i = 0; i < 9; ++i) response += std::string(kCookie) + " ";
  const CNtsKeResponseReader reader = Read(response + kEnd);
  EXPECT_EQ(reader.Response().m_Cookies.size(), kNtsMaxCookies);

  // Cookies without end: 16384 bytes are read, one more fails.
  const std::vector<uint8_t> cookie = FromHex("0005 00fc" + std::string(2 * 252, '0'));  // 256 bytes
  CNtsKeResponseReader endless;
  for (size_t sent = 0; sent < CNtsKeResponseReader::kMaxResponseSize; sent += cookie.size()) {
    ASSERT_EQ(endless.Feed(cookie), CNtsKeResponseReader::State::NeedMore) << sent;
  }
  EXPECT_EQ(endless.Feed(FromHex("00")), CNtsKeResponseReader::State::Failed);
  EXPECT_EQ(endless.Response().m_Failure, NtsKeFailure::Malformed);
}
