#pragma once
#include <cstdint>

struct FloorQuotient {
  int64_t quotient;   // rounded toward minus infinity
  int64_t remainder;  // 0..divisor-1
};

// Division by a positive divisor whose remainder is never negative.
inline FloorQuotient FloorDivide(int64_t dividend, int64_t divisor) {
  FloorQuotient result{dividend / divisor, dividend % divisor};
  if (result.remainder < 0) {
    --result.quotient;
    result.remainder += divisor;
  }
  return result;
}
