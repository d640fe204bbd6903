#include "framework/SystemRandom.h"

#include <windows.h>
#include <bcrypt.h>

#include <algorithm>
#include <climits>

#include "framework/SystemFunction.h"

namespace {

using RandomGenerator = NTSTATUS(WINAPI*)(BCRYPT_ALG_HANDLE, PUCHAR, ULONG, ULONG);

// The DLL that implements it, not a forwarder to it: RtlGenRandom
// (advapi32!SystemFunction036) forwards into cryptbase.dll, which the
// loader looks for beside the program first. Loaded once and kept.
RandomGenerator SystemGenerator() {
  static const RandomGenerator generator = [] {
    const HMODULE bcrypt = LoadFromSystemDirectory(L"bcrypt.dll");
    return bcrypt ? SystemFunction<RandomGenerator>(bcrypt, "BCryptGenRandom") : nullptr;
  }();
  return generator;
}

}  // namespace

bool SystemRandom(void* buffer, size_t size) {
  const RandomGenerator generate = SystemGenerator();
  if (!generate) return false;
  auto* bytes = static_cast<PUCHAR>(buffer);
  while (size > 0) {
    const ULONG part = static_cast<ULONG>(std::min<size_t>(size, ULONG_MAX));
    if (!BCRYPT_SUCCESS(generate(nullptr, bytes, part, BCRYPT_USE_SYSTEM_PREFERRED_RNG))) return false;
    bytes += part;
    size -= part;
  }
  return true;
}
