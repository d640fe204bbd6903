#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

// A run of bytes someone else owns, for reading.
struct ByteRange {
  const uint8_t* data = nullptr;
  size_t size = 0;

  ByteRange() = default;
  ByteRange(const uint8_t* bytes, size_t count) : data(bytes), size(count) {}
  template <class Allocator>
  ByteRange(const std::vector<uint8_t, Allocator>& bytes) : data(bytes.data()), size(bytes.size()) {}
  template <size_t N>
  ByteRange(const std::array<uint8_t, N>& bytes) : data(bytes.data()), size(N) {}

  const uint8_t* begin() const { return data; }
  const uint8_t* end() const { return data + size; }
};
