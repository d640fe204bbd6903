#include "framework/SystemRandom.h"

#include <windows.h>

#include <algorithm>
#include <climits>

#include "framework/SystemFunction.h"

namespace {

using GenRandomFunction = LONG(WINAPI*)(void* algorithm, UCHAR* buffer, ULONG size, ULONG flags);
constexpr ULONG kUseSystemPreferredRng = 0x00000002;  // BCRYPT_USE_SYSTEM_PREFERRED_RNG

// bcrypt.dll is loaded by its full path when first needed, not imported:
// the import table names only DLLs that Windows always takes from the system.
GenRandomFunction GenRandom() {
  static const GenRandomFunction function =
      SystemFunction<GenRandomFunction>(LoadFromSystemDirectory(L"bcrypt.dll"), "BCryptGenRandom");
  return function;
}

}  // namespace

bool SystemRandom(void* buffer, size_t size) {
  const GenRandomFunction genRandom = GenRandom();
  if (!genRandom) return false;
  auto* bytes = static_cast<UCHAR*>(buffer);
  while (size > 0) {
    const auto chunk = static_cast<ULONG>(std::min<size_t>(size, ULONG_MAX));
    if (genRandom(nullptr, bytes, chunk, kUseSystemPreferredRng) < 0) return false;
    bytes += chunk;
    size -= chunk;
  }
  return true;
}
