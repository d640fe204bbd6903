#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Bytes written as hex, spaces allowed, for test vectors; in a vector of
// another allocator when asked (a cookie's).
template <class Bytes = std::vector<uint8_t>>
Bytes FromHex(const std::string& hex) {
  Bytes bytes;
  std::string digits;
  for (const char c : hex) {
    if (c != ' ') digits += c;
  }
  for (size_t i = 0; i + 1 < digits.size(); i += 2) {
    bytes.push_back(static_cast<uint8_t>(std::stoi(digits.substr(i, 2), nullptr, 16)));
  }
  return bytes;
}

template <class Array>
Array ArrayFromHex(const std::string& hex) {
  Array array{};
  const std::vector<uint8_t> bytes = FromHex(hex);
  for (size_t i = 0; i < array.size() && i < bytes.size(); ++i) array[i] = bytes[i];
  return array;
}
