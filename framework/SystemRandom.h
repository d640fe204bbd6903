#pragma once
#include <cstddef>

// Fills buffer with size bytes from the system's cryptographic random
// generator: BCryptGenRandom of bcrypt.dll, loaded by its full path in the
// system directory the first time it is asked for. False when the system
// gives none; the buffer may then hold some of them.
bool SystemRandom(void* buffer, size_t size);
