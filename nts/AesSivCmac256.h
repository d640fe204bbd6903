#pragma once
#include <array>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <vector>

#include "nts/ByteRange.h"

// AEAD_AES_SIV_CMAC_256 (RFC 5297): deterministic authenticated encryption
// with AES-128. The sealed form is the 16-byte synthetic IV followed by the
// ciphertext, as long as the plaintext. The headers are the associated
// data's components in order; as an AEAD (RFC 5116) with a nonce, the nonce
// is the last of them.
class CAesSivCmac256 {
public:
  static constexpr size_t kKeySize = 32;
  static constexpr size_t kTagSize = 16;
  using Key = std::array<uint8_t, kKeySize>;

  explicit CAesSivCmac256(const Key& key) : m_Key(key) {}
  ~CAesSivCmac256();
  CAesSivCmac256(const CAesSivCmac256&) = delete;
  CAesSivCmac256& operator=(const CAesSivCmac256&) = delete;

  // Nothing (an empty vector) in the one case the library fails: no memory.
  std::vector<uint8_t> Seal(std::initializer_list<ByteRange> headers, ByteRange plaintext) const;

  // The plaintext, or nothing when sealed is shorter than a tag or was not
  // sealed with this key and these headers.
  std::optional<std::vector<uint8_t>> Open(std::initializer_list<ByteRange> headers,
                                           ByteRange sealed) const;

private:
  using Block = std::array<uint8_t, kTagSize>;

  std::optional<Block> S2V(std::initializer_list<ByteRange> headers, ByteRange plaintext) const;
  void Ctr(const Block& syntheticIv, ByteRange input, uint8_t* output) const;

  Key m_Key;
};
