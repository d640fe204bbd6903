#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "nts/ByteRange.h"

// NTP extension fields (RFC 7822): a 16-bit type, a 16-bit length of the
// whole field, a multiple of 4 and at least 16, then the value and its
// zero padding.
constexpr size_t kExtensionFieldHeaderSize = 4;
constexpr size_t kMinExtensionFieldSize = 16;

// The size of a field holding a value of valueSize bytes: padded to whole
// words, and to the least size of a field.
size_t ExtensionFieldSize(size_t valueSize);

// Appends one field holding value, zero-padded.
void AppendExtensionField(std::vector<uint8_t>& out, uint16_t type, ByteRange value);

struct ExtensionField {
  uint16_t type = 0;
  size_t offset = 0;  // of the field's start, in what is walked
  size_t size = 0;    // of the whole field
  ByteRange body;     // the value with its padding
};

// Walks the extension fields that fill a run of bytes from start to end,
// never reading past it: a field that does not fit, or a length that is
// short or unaligned, stops the walk as failed.
class CExtensionFieldWalker {
public:
  CExtensionFieldWalker(ByteRange bytes, size_t start) : m_bytes(bytes), m_nOffset(start) {}

  // The next field; false at the end or at a field that breaks the rules.
  bool Next(ExtensionField& field);
  bool Failed() const { return m_bFailed; }

private:
  ByteRange m_bytes;
  size_t m_nOffset;
  bool m_bFailed = false;
};
