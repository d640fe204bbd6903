#include "nts/AesSivCmac256.h"

#include <gtest/gtest.h>

#include "NtsTestBytes.h"

namespace {

using Key = CAesSivCmac256::Key;

// RFC 5297 appendix A.1: deterministic, one header.
const Key kKeyA1 = ArrayFromHex<Key>("fffefdfc fbfaf9f8 f7f6f5f4 f3f2f1f0 f0f1f2f3 f4f5f6f7 f8f9fafb fcfdfeff");
const std::vector<uint8_t> kHeaderA1 = FromHex("10111213 14151617 18191a1b 1c1d1e1f 20212223 24252627");
const std::vector<uint8_t> kPlainA1 = FromHex("11223344 55667788 99aabbcc ddee");
const std::vector<uint8_t> kSealedA1 =
    FromHex("85632d07 c6e8f37f 950acd32 0a2ecc93 40c02b96 90c4dc04 daef7f6a fe5c");

// RFC 5297 appendix A.2: two headers and a nonce.
const Key kKeyA2 = ArrayFromHex<Key>("7f7e7d7c 7b7a7978 77767574 73727170 40414243 44454647 48494a4b 4c4d4e4f");
const std::vector<uint8_t> kHeader1A2 = FromHex(
    "00112233 44556677 8899aabb ccddeeff deaddada deaddada ffeeddcc bbaa9988 77665544 33221100");
const std::vector<uint8_t> kHeader2A2 = FromHex("10203040 50607080 90a0");
const std::vector<uint8_t> kNonceA2 = FromHex("09f91102 9d74e35b d84156c5 635688c0");
const std::vector<uint8_t> kPlainA2 = FromHex(
    "74686973 20697320 736f6d65 20706c61 696e7465 78742074 6f20656e 63727970 74207573 696e6720 5349562d 414553");
const std::vector<uint8_t> kSealedA2 = FromHex(
    "7bdb6e3b 432667eb 06f4d14b ff2fbd0f cb900f2f ddbe4043 26601965 c889bf17 dba77ceb 094fa663 b7a3f748"
    " ba8af829 ea64ad54 4a272e9c 485b62a3 fd5c0d");

}  // namespace

TEST(AesSivCmac256, SealsAndOpensTheRfcVectors) {
  const CAesSivCmac256 a1(kKeyA1);
  EXPECT_EQ(a1.Seal({kHeaderA1}, kPlainA1), kSealedA1);
  EXPECT_EQ(a1.Open({kHeaderA1}, kSealedA1), kPlainA1);
  const CAesSivCmac256 a2(kKeyA2);
  EXPECT_EQ(a2.Seal({kHeader1A2, kHeader2A2, kNonceA2}, kPlainA2), kSealedA2);
  EXPECT_EQ(a2.Open({kHeader1A2, kHeader2A2, kNonceA2}, kSealedA2), kPlainA2);
}

// Any change to what was sealed, or to what it was sealed with, and it no
// longer opens.
TEST(AesSivCmac256, AnythingChangedDoesNotOpen) {
  const CAesSivCmac256 siv(kKeyA2);
  const auto open = [&](const std::vector<uint8_t>& header1, const std::vector<uint8_t>& nonce,
                        const std::vector<uint8_t>& sealed) { return siv.Open({header1, kHeader2A2, nonce}, sealed); };
  const auto flipped = [](std::vector<uint8_t> bytes, size_t index) {
    bytes[index] ^= 0x01;
    return bytes;
  };
  EXPECT_FALSE(open(kHeader1A2, kNonceA2, flipped(kSealedA2, 0))) << "tag";
  EXPECT_FALSE(open(kHeader1A2, kNonceA2, flipped(kSealedA2, kSealedA2.size() - 1))) << "ciphertext";
  EXPECT_FALSE(open(flipped(kHeader1A2, 5), kNonceA2, kSealedA2)) << "header";
  EXPECT_FALSE(open(kHeader1A2, flipped(kNonceA2, 15), kSealedA2)) << "nonce";
  EXPECT_FALSE(siv.Open({kHeader1A2, kNonceA2}, kSealedA2)) << "a header left out";
  EXPECT_FALSE(CAesSivCmac256(kKeyA1).Open({kHeader1A2, kHeader2A2, kNonceA2}, kSealedA2)) << "another key";
  const std::vector<uint8_t> truncated(kSealedA2.begin(), kSealedA2.begin() + 15);
  EXPECT_FALSE(open(kHeader1A2, kNonceA2, truncated)) << "shorter than a tag";
}

// An empty plaintext, as every NTS request seals, leaves the tag alone to
// guard the headers: no byte of it can change, the last included.
TEST(AesSivCmac256, EmptyPlaintextOpensOnlyWithItsWholeTag) {
  const CAesSivCmac256 siv(kKeyA2);
  const std::vector<uint8_t> sealed = siv.Seal({kHeader1A2, kNonceA2}, {});
  ASSERT_EQ(sealed.size(), CAesSivCmac256::kTagSize);
  ASSERT_TRUE(siv.Open({kHeader1A2, kNonceA2}, sealed));
  for (size_t index = 0; index < sealed.size(); ++index) {
    for (const uint8_t flip : {0x01, 0x80}) {
      std::vector<uint8_t> changed = sealed;
      changed[index] ^= flip;
      EXPECT_FALSE(siv.Open({kHeader1A2, kNonceA2}, changed)) << "tag byte " << index << " bit " << int{flip};
    }
  }
}

// S2V pads plaintexts shorter than a block and folds longer ones: both
// sides of that bound, and nothing at all, come back whole; so does an
// empty header.
TEST(AesSivCmac256, PlaintextsAroundOneBlockComeBack) {
  const CAesSivCmac256 siv(kKeyA1);
  for (const size_t size : {0, 1, 15, 16, 17, 32}) {
    std::vector<uint8_t> plain(size);
    for (size_t i = 0; i < size; ++i) plain[i] = static_cast<uint8_t>(i * 7 + 1);
    const std::vector<uint8_t> sealed = siv.Seal({kHeaderA1}, plain);
    EXPECT_EQ(sealed.size(), size + CAesSivCmac256::kTagSize);
    EXPECT_EQ(siv.Open({kHeaderA1}, sealed), plain) << size;
  }
  // An empty header is a header of its own: it changes the tag.
  const std::vector<uint8_t> empty;
  const std::vector<uint8_t> sealed = siv.Seal({kHeaderA1, empty}, kPlainA1);
  EXPECT_NE(sealed, kSealedA1);
  EXPECT_EQ(siv.Open({kHeaderA1, empty}, sealed), kPlainA1);
}
