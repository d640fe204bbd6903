#pragma once
#include <cstddef>

// Fills buffer with size bytes from the system's cryptographic random
// number generator; false, with the buffer's contents undefined, when the
// generator cannot be had.
bool SystemRandom(void* buffer, size_t size);
