#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// How NTS lays its fields out on the wire: 16-bit numbers in network
// (big-endian) order, and values padded with zeros to whole 4-byte words.
constexpr size_t kUint16Size = 2;
constexpr size_t kWireWordSize = 4;

// The 16-bit number in the two bytes at bytes.
inline uint16_t Uint16At(const uint8_t* bytes) { return static_cast<uint16_t>(bytes[0] << 8 | bytes[1]); }

template <class Allocator>
void PutUint16(std::vector<uint8_t, Allocator>& out, uint16_t value) {
  out.push_back(static_cast<uint8_t>(value >> 8));
  out.push_back(static_cast<uint8_t>(value));
}

// size rounded up to whole words.
inline size_t PaddedToWords(size_t size) { return (size + kWireWordSize - 1) / kWireWordSize * kWireWordSize; }

inline bool IsWholeWords(size_t size) { return size % kWireWordSize == 0; }

// Zeros appended until out fills whole words.
inline void PadToWords(std::vector<uint8_t>& out) { out.resize(PaddedToWords(out.size()), 0); }
