#include "exchange/StepLimit.h"

#include <cmath>

bool StepExceeds(double step, double limit) {
  return std::abs(step) > limit;
}
