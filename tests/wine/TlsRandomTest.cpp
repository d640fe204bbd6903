#include <psa/crypto.h>

#include <array>
#include <cstdint>

#include <gtest/gtest.h>

// The TLS library has no generator of its own: its random numbers come
// from the system's, through framework/SystemRandom.
TEST(TlsRandom, TheLibraryDrawsFromTheSystemGenerator) {
  ASSERT_EQ(psa_crypto_init(), PSA_SUCCESS);
  std::array<uint8_t, 32> first{}, second{};
  ASSERT_EQ(psa_generate_random(first.data(), first.size()), PSA_SUCCESS);
  ASSERT_EQ(psa_generate_random(second.data(), second.size()), PSA_SUCCESS);
  EXPECT_NE(first, (std::array<uint8_t, 32>{}));
  EXPECT_NE(first, second);
}
