// The judge of a reply past its authenticator: replies sealed with the
// target's key around a plaintext, nonce and padding the fuzzer chooses,
// so that decrypting, walking the encrypted fields and taking the cookies
// all run. Input: the nonce's size, the padding after the ciphertext in
// bytes, the nonce, then the plaintext.
#include <cstddef>
#include <cstdint>

#include "FuzzKeys.h"
#include "nts/ExtensionFieldWalker.h"
#include "nts/NtsPacket.h"
#include "nts/WireFormat.h"

namespace {

using Bytes = std::vector<uint8_t>;

constexpr size_t kMaxNonceSize = 40;
constexpr size_t kMaxPadding = 24;

Bytes SealedReply(const Bytes& nonce, size_t padding, ByteRange plaintext) {
  Bytes reply(kSntpPacketSize, 0);
  reply[0] = 0x24;  // version 4, server
  reply[1] = 2;     // stratum
  AppendExtensionField(reply, static_cast<uint16_t>(NtsFieldType::UniqueIdentifier), kFuzzUniqueId);
  const Bytes sealed = CAesSivCmac256(kFuzzKey).Seal({reply, nonce}, plaintext);
  Bytes authenticator;
  PutUint16(authenticator, static_cast<uint16_t>(nonce.size()));
  PutUint16(authenticator, static_cast<uint16_t>(sealed.size()));
  authenticator.insert(authenticator.end(), nonce.begin(), nonce.end());
  PadToWords(authenticator);
  authenticator.insert(authenticator.end(), sealed.begin(), sealed.end());
  authenticator.resize(authenticator.size() + padding, 0);
  AppendExtensionField(reply, static_cast<uint16_t>(NtsFieldType::Authenticator), authenticator);
  return reply;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const size_t nonceSize = data[0] % (kMaxNonceSize + 1);
  const size_t padding = data[1] % (kMaxPadding + 1);
  if (size < 2 + nonceSize) return 0;
  const Bytes nonce(data + 2, data + 2 + nonceSize);
  const ByteRange plaintext(data + 2 + nonceSize, size - 2 - nonceSize);
  const NtsReply reply = ReadNtsReply(SealedReply(nonce, padding, plaintext), kFuzzUniqueId, kFuzzKey);

  // Believed exactly when the plaintext holds a usable cookie and the nonce
  // has its room, and then with the plaintext's own cookies.
  std::vector<NtsCookie> sealedCookies;
  const bool usable = ReadNtsCookies(plaintext, sealedCookies);
  const bool authentic = reply.m_Verdict == ReplyProof::Authentic;
  if (reply.m_Verdict == ReplyProof::Refused) __builtin_trap();
  if (authentic && (!usable || reply.m_Cookies != sealedCookies)) __builtin_trap();
  if (!authentic && usable && nonceSize >= kNtsNonceSize) __builtin_trap();
  return 0;
}
