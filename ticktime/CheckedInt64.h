#pragma once
#include <cstdint>

// 64-bit signed arithmetic that reports overflow instead of wrapping.
// Each returns false, leaving the result unspecified, when the exact value
// does not fit.

inline bool CheckedAdd(int64_t a, int64_t b, int64_t& sum) {
  return !__builtin_add_overflow(a, b, &sum);
}

inline bool CheckedSubtract(int64_t a, int64_t b, int64_t& difference) {
  return !__builtin_sub_overflow(a, b, &difference);
}

inline bool CheckedMultiply(int64_t a, int64_t b, int64_t& product) {
  return !__builtin_mul_overflow(a, b, &product);
}

// total += count * unit
inline bool CheckedAccumulate(int64_t& total, int64_t count, int64_t unit) {
  int64_t product;
  return CheckedMultiply(count, unit, product) && CheckedAdd(total, product, total);
}
