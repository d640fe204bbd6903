#include "nts/NtsPacket.h"

#include <gtest/gtest.h>

#include "NtsTestBytes.h"
#include "nts/ExtensionFieldWalker.h"
#include "nts/NtsAssociation.h"

namespace {

const NtsKey kClientToServer = ArrayFromHex<NtsKey>(std::string(64, '1'));
const NtsKey kServerToClient = ArrayFromHex<NtsKey>(std::string(64, '2'));
const NtsUniqueId kUniqueId = ArrayFromHex<NtsUniqueId>(std::string(64, 'a'));
const NtsNonce kNonce = ArrayFromHex<NtsNonce>("000102030405060708090a0b0c0d0e0f");
const NtsCookie kCookie = FromHex<NtsCookie>("c0 c1 c2 c3 c4");
const CNtpTimestamp kSent(0xCAD9A12F1F7CED91u);
// The cookie a reply seals unless a case says otherwise.
const NtsCookie kSealedCookie = FromHex<NtsCookie>("d0d1d2d3 d4d5d6d7 d8d9dadb");  // fills its field: no padding

template <class Bytes = std::vector<uint8_t>>
std::vector<uint8_t> Field(uint16_t type, const Bytes& value, size_t size = 0) {
  size = size ? size : ExtensionFieldSize(value.size());
  std::vector<uint8_t> field(std::max(4 + value.size(), size), 0);
  field[0] = static_cast<uint8_t>(type >> 8);
  field[1] = static_cast<uint8_t>(type);
  field[2] = static_cast<uint8_t>(size >> 8);
  field[3] = static_cast<uint8_t>(size);
  std::copy(value.begin(), value.end(), field.begin() + 4);
  return field;
}

std::vector<uint8_t> Joined(std::initializer_list<std::vector<uint8_t>> parts) {
  std::vector<uint8_t> joined;
  for (const auto& part : parts) joined.insert(joined.end(), part.begin(), part.end());
  return joined;
}

// A server's reply, as chrony builds it, changed by one rule each.
struct ReplyParts {
  int version = 4;
  int stratum = 2;
  std::string referenceId = "GPS.";
  std::vector<std::vector<uint8_t>> fields = {Field(0x0104, {kUniqueId.begin(), kUniqueId.end()})};
  std::vector<uint8_t> plaintext = Field(0x0204, kSealedCookie);
  NtsKey key = kServerToClient;
  size_t nonceSize = 16;
  size_t nonceRoom = 16;  // the nonce with its padding and the additional padding at the end
  int sealedSizeChange = 0;
  bool authenticator = true;
  std::vector<uint8_t> after;  // bytes after the authenticator
  int flipAt = -1;             // a byte changed once sealed
};

std::vector<uint8_t> BuildReply(const ReplyParts& parts) {
  std::vector<uint8_t> reply(48, 0);
  reply[0] = static_cast<uint8_t>(parts.version << 3 | 4);  // server
  reply[1] = static_cast<uint8_t>(parts.stratum);
  std::copy(parts.referenceId.begin(), parts.referenceId.end(), reply.begin() + 12);
  for (const auto& field : parts.fields) reply.insert(reply.end(), field.begin(), field.end());
  if (parts.authenticator) {
    const std::vector<uint8_t> nonce(parts.nonceSize, 0x5A);
    const std::vector<uint8_t> sealed = CAesSivCmac256(parts.key).Seal({reply, nonce}, parts.plaintext);
    const size_t sealedSize = sealed.size() + parts.sealedSizeChange;
    std::vector<uint8_t> body = {static_cast<uint8_t>(nonce.size() >> 8), static_cast<uint8_t>(nonce.size()),
                                 static_cast<uint8_t>(sealedSize >> 8), static_cast<uint8_t>(sealedSize)};
    body.insert(body.end(), nonce.begin(), nonce.end());
    const size_t paddedNonce = (nonce.size() + 3) / 4 * 4;
    body.resize(4 + paddedNonce, 0);
    body.insert(body.end(), sealed.begin(), sealed.end());
    body.resize(body.size() + (4 - sealed.size() % 4) % 4, 0);
    body.resize(body.size() + (parts.nonceRoom > paddedNonce ? parts.nonceRoom - paddedNonce : 0), 0);
    const std::vector<uint8_t> authenticator = Field(0x0404, body);
    reply.insert(reply.end(), authenticator.begin(), authenticator.end());
  }
  reply.insert(reply.end(), parts.after.begin(), parts.after.end());
  if (parts.flipAt >= 0) reply[static_cast<size_t>(parts.flipAt)] ^= 0x01;
  return reply;
}

NtsReply Read(const ReplyParts& parts) { return ReadNtsReply(BuildReply(parts), kUniqueId, kServerToClient); }

struct ReplyCase {
  const char* name;
  void (*change)(ReplyParts&);
  ReplyProof expected;
};

const auto kAuthentic = ReplyProof::Authentic;
const auto kNotAuthentic = ReplyProof::NotAuthentic;
const auto kRefused = ReplyProof::Refused;

std::vector<uint8_t> OtherId() { return std::vector<uint8_t>(kNtsUniqueIdSize, 0xAB); }
std::vector<uint8_t> OurId() { return {kUniqueId.begin(), kUniqueId.end()}; }

const ReplyCase kReplyCases[] = {
    {"genuine", [](ReplyParts&) {}, kAuthentic},
    {"version 3", [](ReplyParts& p) { p.version = 3; }, kNotAuthentic},
    {"version 2", [](ReplyParts& p) { p.version = 2; }, kNotAuthentic},
    {"version 1", [](ReplyParts& p) { p.version = 1; }, kNotAuthentic},
    {"another key", [](ReplyParts& p) { p.key = kClientToServer; }, kNotAuthentic},
    {"a header byte changed", [](ReplyParts& p) { p.flipAt = 40; }, kNotAuthentic},
    {"a unique id byte changed", [](ReplyParts& p) { p.flipAt = 48 + 4; }, kNotAuthentic},
    {"the tag changed", [](ReplyParts& p) { p.flipAt = 48 + 36 + 8 + 16; }, kNotAuthentic},
    {"another unique id", [](ReplyParts& p) { p.fields = {Field(0x0104, OtherId())}; }, kNotAuthentic},
    {"no unique id", [](ReplyParts& p) { p.fields = {}; }, kNotAuthentic},
    {"ours twice", [](ReplyParts& p) { p.fields.push_back(Field(0x0104, OurId())); }, kAuthentic},
    {"ours and another", [](ReplyParts& p) { p.fields.push_back(Field(0x0104, OtherId())); }, kNotAuthentic},
    {"an unknown field", [](ReplyParts& p) { p.fields.push_back(Field(0x7777, {1, 2, 3})); }, kAuthentic},
    {"an unencrypted cookie", [](ReplyParts& p) { p.fields.push_back(Field(0x0204, {1, 2, 3})); }, kAuthentic},
    {"an unencrypted cookie first",
     [](ReplyParts& p) { p.fields.insert(p.fields.begin(), Field(0x0204, {4, 5, 6, 7})); }, kAuthentic},
    {"a field of 16 bytes", [](ReplyParts& p) { p.fields.push_back(Field(0x7777, {}, 16)); }, kAuthentic},
    {"a field of 12 bytes", [](ReplyParts& p) { p.fields.push_back(Field(0x7777, {}, 12)); }, kNotAuthentic},
    {"a field of 18 bytes", [](ReplyParts& p) { p.fields.push_back(Field(0x7777, {}, 18)); }, kNotAuthentic},
    {"a field longer than the datagram",
     [](ReplyParts& p) { p.authenticator = false, p.fields.push_back(Field(0x7777, {}, 16)), p.fields.back()[3] = 20; },
     kNotAuthentic},
    {"a field after the authenticator", [](ReplyParts& p) { p.after = Field(0x7777, {}); }, kNotAuthentic},
    {"4 bytes after the authenticator", [](ReplyParts& p) { p.after = {0, 0, 0, 0}; }, kNotAuthentic},
    {"nonce of 1 byte padded to 16", [](ReplyParts& p) { p.nonceSize = 1; }, kAuthentic},
    {"nonce of 0 bytes", [](ReplyParts& p) { p.nonceSize = 0; }, kNotAuthentic},
    {"nonce of 12 bytes padded to 16", [](ReplyParts& p) { p.nonceSize = 12; }, kAuthentic},
    {"nonce of 12 bytes without padding", [](ReplyParts& p) { p.nonceSize = 12, p.nonceRoom = 12; }, kNotAuthentic},
    {"nonce of 32 bytes", [](ReplyParts& p) { p.nonceSize = 32, p.nonceRoom = 32; }, kAuthentic},
    {"nonce length beyond the field", [](ReplyParts& p) { p.flipAt = 48 + 36 + 4 + 1; }, kNotAuthentic},
    {"ciphertext longer than the field", [](ReplyParts& p) { p.sealedSizeChange = 4; }, kNotAuthentic},
    {"ciphertext shorter than a tag", [](ReplyParts& p) { p.plaintext = {}, p.sealedSizeChange = -1; }, kNotAuthentic},
    {"no cookie inside", [](ReplyParts& p) { p.plaintext = Field(0x7777, {}); }, kNotAuthentic},
    {"nothing inside", [](ReplyParts& p) { p.plaintext = {}; }, kNotAuthentic},
    {"inside does not walk", [](ReplyParts& p) { p.plaintext.push_back(0); }, kNotAuthentic},
    {"a cookie of 256 bytes", [](ReplyParts& p) { p.plaintext = Field(0x0204, std::vector<uint8_t>(256, 1)); },
     kAuthentic},
    {"only a cookie of 260 bytes", [](ReplyParts& p) { p.plaintext = Field(0x0204, std::vector<uint8_t>(260, 1)); },
     kNotAuthentic},
    {"NAK", [](ReplyParts& p) { p.stratum = 0, p.referenceId = "NTSN", p.authenticator = false; }, kRefused},
    {"NAK in version 3",
     [](ReplyParts& p) { p.version = 3, p.stratum = 0, p.referenceId = "NTSN", p.authenticator = false; },
     kNotAuthentic},
    {"NAK for another id",
     [](ReplyParts& p) { p.stratum = 0, p.referenceId = "NTSN", p.authenticator = false, p.fields = {Field(0x0104, OtherId())}; },
     kNotAuthentic},
    {"NAK without id", [](ReplyParts& p) { p.stratum = 0, p.referenceId = "NTSN", p.authenticator = false, p.fields = {}; },
     kNotAuthentic},
    {"NAK of stratum 1", [](ReplyParts& p) { p.stratum = 1, p.referenceId = "NTSN", p.authenticator = false; },
     kNotAuthentic},
    {"kiss RATE", [](ReplyParts& p) { p.stratum = 0, p.referenceId = "RATE", p.authenticator = false; }, kNotAuthentic},
    {"no authenticator", [](ReplyParts& p) { p.authenticator = false; }, kNotAuthentic},
};

}  // namespace

TEST(NtsPacket, RepliesAreBelievedOnlyWhenTheyAuthenticate) {
  for (const ReplyCase& rule : kReplyCases) {
    ReplyParts parts;
    rule.change(parts);
    const NtsReply reply = Read(parts);
    EXPECT_EQ(reply.m_Verdict, rule.expected) << rule.name;
    if (reply.m_Verdict != kAuthentic) {
      EXPECT_TRUE(reply.m_Cookies.empty()) << rule.name;
    } else if (parts.plaintext == ReplyParts().plaintext) {
      // The encrypted cookie alone: none from outside the encrypted part.
      EXPECT_EQ(reply.m_Cookies, std::vector<NtsCookie>{kSealedCookie}) << rule.name;
    }
  }
  EXPECT_EQ(ReadNtsReply(ByteRange(BuildReply({}).data(), 47), kUniqueId, kServerToClient).m_Verdict, kNotAuthentic);
}

TEST(NtsPacket, AuthenticRepliesGiveTheirCookiesInOrderUpToEight) {
  ReplyParts parts;
  parts.plaintext.clear();
  for (uint8_t i = 1; i <= 9; ++i) {
    const auto field = Field(0x0204, std::vector<uint8_t>(12, i));
    parts.plaintext.insert(parts.plaintext.end(), field.begin(), field.end());
    if (i == 3) {
      const auto other = Field(0x7777, {});
      parts.plaintext.insert(parts.plaintext.end(), other.begin(), other.end());
    }
  }
  const NtsReply reply = Read(parts);
  ASSERT_EQ(reply.m_Verdict, kAuthentic);
  ASSERT_EQ(reply.m_Cookies.size(), kNtsMaxCookies);
  for (uint8_t i = 0; i < kNtsMaxCookies; ++i) EXPECT_EQ(reply.m_Cookies[i], NtsCookie(12, i + 1));
}

// The request as a server reads it: the header, then the unique id, the
// cookie and the placeholders, each padded, then the authenticator, which
// verifies over everything before it with the client-to-server key.
TEST(NtsPacket, RequestCarriesItsFieldsAndAnAuthenticatorLast) {
  const SntpRequest header = BuildSntpRequest(kSent, kNtsNtpVersion);
  const std::vector<uint8_t> request =
      BuildNtsRequest(header, kUniqueId, kCookie, 2, kNonce, kClientToServer);
  const std::vector<uint8_t> cookieField = Field(0x0204, kCookie);
  ASSERT_EQ(cookieField.size(), 16u);
  const std::vector<uint8_t> signedPart =
      Joined({{header.begin(), header.end()}, Field(0x0104, OurId()), cookieField,
              Field(0x0304, std::vector<uint8_t>(kCookie.size(), 0)), Field(0x0304, std::vector<uint8_t>(kCookie.size(), 0))});
  ASSERT_EQ(request.size(), signedPart.size() + 40);
  EXPECT_TRUE(std::equal(signedPart.begin(), signedPart.end(), request.begin()));

  const uint8_t* authenticator = request.data() + signedPart.size();
  EXPECT_EQ(std::vector<uint8_t>(authenticator, authenticator + 8), FromHex("0404 0028 0010 0010"));
  EXPECT_TRUE(std::equal(kNonce.begin(), kNonce.end(), authenticator + 8));
  const std::optional<std::vector<uint8_t>> plaintext =
      CAesSivCmac256(kClientToServer).Open({signedPart, kNonce}, ByteRange(authenticator + 24, 16));
  ASSERT_TRUE(plaintext);
  EXPECT_TRUE(plaintext->empty());
}

TEST(NtsAssociation, SpendsCookiesOldestFirstAndAsksForTheStoreToBeRefilled) {
  NtsKeResponse response;
  response.m_Cookies = {{1}, {2}, {3}};
  response.m_nPort = 1234;
  CNtsAssociation association(kClientToServer, kServerToClient, response, "192.0.2.1", AddressScope::Global);
  EXPECT_EQ(association.NtpServer(), "192.0.2.1");
  EXPECT_EQ(association.NtpPort(), 1234);
  EXPECT_EQ(association.TakeCookie(), NtsCookie{1});
  EXPECT_EQ(association.PlaceholdersFor(NtsCookie(100)), 5u) << "2 held, 6 to come";
  association.AddCookies(std::vector<NtsCookie>(7, NtsCookie{9}));
  EXPECT_EQ(association.TakeCookie(), NtsCookie{2});
  EXPECT_EQ(association.PlaceholdersFor(NtsCookie(100)), 0u) << "7 held, 1 to come";
  EXPECT_EQ(association.PlaceholdersFor(NtsCookie(256)), 0u);
  while (association.HasCookie()) association.TakeCookie();
  EXPECT_EQ(association.PlaceholdersFor(NtsCookie(100)), 7u);
  EXPECT_EQ(association.PlaceholdersFor(NtsCookie(256)), 2u) << "3 fields of 260 bytes within 864";

  EXPECT_FALSE(association.NtpServerNamed());
  response.m_Server = "time.example.";
  const CNtsAssociation named(kClientToServer, kServerToClient, response, "192.0.2.1", AddressScope::Global);
  EXPECT_EQ(named.NtpServer(), "time.example.");
  EXPECT_TRUE(named.NtpServerNamed());
}
