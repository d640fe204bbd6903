// The reader of the key-exchange results kept on disk: whatever it accepts
// holds within the bounds a fresh key exchange keeps, and writes back to
// the very bytes it was read from.
#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <optional>

#include "nts/KeptAssociation.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::optional<KeptAssociation> kept = ReadKeptAssociation(ByteRange(data, size));
  if (!kept) return 0;
  if (kept->cookies.size() > kNtsMaxCookies) __builtin_trap();
  for (const NtsCookie& cookie : kept->cookies) {
    if (cookie.empty() || cookie.size() > kNtsMaxCookieSize) __builtin_trap();
  }
  const KeptBytes written = WriteKeptAssociation(*kept);
  if (written.size() != size || !std::equal(written.begin(), written.end(), data)) __builtin_trap();
  return 0;
}
