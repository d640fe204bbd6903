// The reader of the cookies in a reply's decrypted part.
#include <cstddef>
#include <cstdint>

#include "nts/NtsPacket.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<NtsCookie> cookies;
  const bool usable = ReadNtsCookies(ByteRange(data, size), cookies);
  if ((usable && cookies.empty()) || cookies.size() > kNtsMaxCookies) __builtin_trap();
  for (const NtsCookie& cookie : cookies) {
    if (cookie.size() > kNtsMaxCookieSize) __builtin_trap();
  }
  return 0;
}
