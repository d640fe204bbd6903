#include "nts/AesSivCmac256.h"

#include <mbedtls/aes.h>
#include <mbedtls/cipher.h>
#include <mbedtls/cmac.h>
// The one header of the library without C linkage for C++.
extern "C" {
#include <mbedtls/constant_time.h>
}
#include <mbedtls/platform_util.h>

#include <algorithm>

namespace {

constexpr size_t kBlockSize = 16;
constexpr unsigned kHalfKeyBits = 128;
constexpr uint8_t kDoublingReduction = 0x87;  // x^128 + x^7 + x^2 + x + 1
constexpr uint8_t kPadMarker = 0x80;
// The counter's bits 31 and 63 (from the right) are cleared, so that no
// 32-bit counter implementation ever carries between words.
constexpr int kCounterClearedBytes[] = {8, 12};
constexpr uint8_t kCounterClearedBit = 0x80;

using Block = std::array<uint8_t, kBlockSize>;

// Multiplication by x in GF(2^128).
Block Doubled(const Block& block) {
  Block doubled;
  for (size_t i = 0; i < kBlockSize; ++i) {
    const uint8_t carry = i + 1 < kBlockSize ? block[i + 1] >> 7 : 0;
    doubled[i] = static_cast<uint8_t>(block[i] << 1 | carry);
  }
  if (block[0] & 0x80) doubled[kBlockSize - 1] ^= kDoublingReduction;
  return doubled;
}

void XorInto(Block& block, const uint8_t* bytes, size_t count) {
  for (size_t i = 0; i < count; ++i) block[i] ^= bytes[i];
}

// AES-CMAC under one key, over input given in pieces. Failed() tells
// whether the library refused any step (it can only run out of memory).
class Cmac {
public:
  explicit Cmac(const uint8_t* key) {
    mbedtls_cipher_init(&m_Context);
    Check(mbedtls_cipher_setup(&m_Context, mbedtls_cipher_info_from_type(MBEDTLS_CIPHER_AES_128_ECB)));
    if (!m_bFailed) Check(mbedtls_cipher_cmac_starts(&m_Context, key, kHalfKeyBits));
  }
  ~Cmac() { mbedtls_cipher_free(&m_Context); }
  Cmac(const Cmac&) = delete;
  Cmac& operator=(const Cmac&) = delete;

  bool Failed() const { return m_bFailed; }

  // The library refuses a null pointer even for nothing at all.
  void Add(const uint8_t* bytes, size_t count) {
    if (!m_bFailed && count > 0) Check(mbedtls_cipher_cmac_update(&m_Context, bytes, count));
  }

  Block Finish() {
    Block mac{};
    if (!m_bFailed) Check(mbedtls_cipher_cmac_finish(&m_Context, mac.data()));
    if (!m_bFailed) Check(mbedtls_cipher_cmac_reset(&m_Context));
    return mac;
  }

  Block Of(const uint8_t* bytes, size_t count) {
    Add(bytes, count);
    return Finish();
  }

private:
  void Check(int result) { m_bFailed = m_bFailed || result != 0; }

  mbedtls_cipher_context_t m_Context;
  bool m_bFailed = false;
};

}  // namespace

CAesSivCmac256::~CAesSivCmac256() { mbedtls_platform_zeroize(m_Key.data(), m_Key.size()); }

// S2V (RFC 5297 section 2.4) under the key's first half, over the headers
// and the plaintext. The plaintext is always the last string, so n >= 1.
std::optional<CAesSivCmac256::Block> CAesSivCmac256::S2V(std::initializer_list<ByteRange> headers,
                                                         ByteRange plaintext) const {
  Cmac cmac(m_Key.data());
  const Block zero{};
  Block d = cmac.Of(zero.data(), zero.size());
  for (const ByteRange& header : headers) {
    d = Doubled(d);
    const Block mac = cmac.Of(header.data, header.size);
    XorInto(d, mac.data(), mac.size());
  }
  if (plaintext.size >= kBlockSize) {
    // T = plaintext xorend D: the last block of the plaintext takes D.
    const size_t head = plaintext.size - kBlockSize;
    cmac.Add(plaintext.data, head);
    Block last;
    std::copy(plaintext.data + head, plaintext.end(), last.begin());
    XorInto(last, d.data(), d.size());
    cmac.Add(last.data(), last.size());
    const Block mac = cmac.Finish();
    return cmac.Failed() ? std::nullopt : std::optional<Block>(mac);
  }
  // T = dbl(D) xor pad(plaintext): pad appends one 1 bit and zeros.
  Block padded{};
  std::copy(plaintext.begin(), plaintext.end(), padded.begin());
  padded[plaintext.size] = kPadMarker;
  d = Doubled(d);
  XorInto(d, padded.data(), padded.size());
  const Block mac = cmac.Of(d.data(), d.size());
  return cmac.Failed() ? std::nullopt : std::optional<Block>(mac);
}

// AES-CTR under the key's second half, from the synthetic IV with two bits
// cleared (RFC 5297 section 2.5).
void CAesSivCmac256::Ctr(const Block& syntheticIv, ByteRange input, uint8_t* output) const {
  Block counter = syntheticIv;
  for (const int index : kCounterClearedBytes) counter[index] &= static_cast<uint8_t>(~kCounterClearedBit);
  mbedtls_aes_context aes;
  mbedtls_aes_init(&aes);
  mbedtls_aes_setkey_enc(&aes, m_Key.data() + kBlockSize, kHalfKeyBits);
  Block stream{};
  size_t offset = 0;
  mbedtls_aes_crypt_ctr(&aes, input.size, &offset, counter.data(), stream.data(), input.data, output);
  mbedtls_aes_free(&aes);
  mbedtls_platform_zeroize(stream.data(), stream.size());
}

std::vector<uint8_t> CAesSivCmac256::Seal(std::initializer_list<ByteRange> headers,
                                          ByteRange plaintext) const {
  const std::optional<Block> syntheticIv = S2V(headers, plaintext);
  if (!syntheticIv) return {};
  std::vector<uint8_t> sealed(kTagSize + plaintext.size);
  std::copy(syntheticIv->begin(), syntheticIv->end(), sealed.begin());
  Ctr(*syntheticIv, plaintext, sealed.data() + kTagSize);
  return sealed;
}

std::optional<std::vector<uint8_t>> CAesSivCmac256::Open(std::initializer_list<ByteRange> headers,
                                                         ByteRange sealed) const {
  if (sealed.size < kTagSize) return std::nullopt;
  Block syntheticIv;
  std::copy(sealed.data, sealed.data + kTagSize, syntheticIv.begin());
  std::vector<uint8_t> plaintext(sealed.size - kTagSize);
  Ctr(syntheticIv, ByteRange(sealed.data + kTagSize, plaintext.size()), plaintext.data());
  const std::optional<Block> expected = S2V(headers, plaintext);
  if (!expected || mbedtls_ct_memcmp(expected->data(), syntheticIv.data(), kTagSize) != 0) {
    mbedtls_platform_zeroize(plaintext.data(), plaintext.size());
    return std::nullopt;
  }
  return plaintext;
}
