// The judge of a reply datagram: the extension-field walk, the unique
// identifier, the authenticator's fields and the encrypted part.
#include <cstddef>
#include <cstdint>

#include "FuzzKeys.h"
#include "nts/NtsPacket.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const NtsReply reply = ReadNtsReply(ByteRange(data, size), kFuzzUniqueId, kFuzzKey);
  const bool authentic = reply.m_Verdict == ReplyProof::Authentic;
  if (authentic == reply.m_Cookies.empty() || reply.m_Cookies.size() > kNtsMaxCookies) __builtin_trap();
  return 0;
}
