#pragma once
#include <cstdint>

// Whether a tick value holds a meaningful tick count.
enum class TickStatus : int32_t { Valid = 0, Invalid = 1 };
