// The TLS library's random numbers (MBEDTLS_PSA_CRYPTO_EXTERNAL_RNG): the
// system's cryptographic generator, BCryptGenRandom on Windows and
// getrandom() on the host, with no generator of the library's own.
#include <psa/crypto.h>

#ifdef _WIN32
#include "framework/SystemRandom.h"
#else
#include <sys/random.h>

#include <cerrno>
#endif

namespace {

bool FillRandom(uint8_t* output, size_t size) {
#ifdef _WIN32
  return SystemRandom(output, size);
#else
  while (size > 0) {
    const ssize_t got = getrandom(output, size, 0);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    output += got;
    size -= static_cast<size_t>(got);
  }
  return true;
#endif
}

}  // namespace

extern "C" psa_status_t mbedtls_psa_external_get_random(mbedtls_psa_external_random_context_t*,
                                                         uint8_t* output, size_t outputSize,
                                                         size_t* outputLength) {
  if (!FillRandom(output, outputSize)) return PSA_ERROR_INSUFFICIENT_ENTROPY;
  *outputLength = outputSize;
  return PSA_SUCCESS;
}
