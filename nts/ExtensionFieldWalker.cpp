#include "nts/ExtensionFieldWalker.h"

#include <algorithm>

#include "nts/WireFormat.h"

size_t ExtensionFieldSize(size_t valueSize) {
  return std::max(kMinExtensionFieldSize, kExtensionFieldHeaderSize + PaddedToWords(valueSize));
}

void AppendExtensionField(std::vector<uint8_t>& out, uint16_t type, ByteRange value) {
  const size_t size = ExtensionFieldSize(value.size);
  PutUint16(out, type);
  PutUint16(out, static_cast<uint16_t>(size));
  out.insert(out.end(), value.begin(), value.end());
  out.resize(out.size() + size - kExtensionFieldHeaderSize - value.size, 0);
}

bool CExtensionFieldWalker::Next(ExtensionField& field) {
  if (m_bFailed || m_nOffset >= m_bytes.size) return false;
  const size_t left = m_bytes.size - m_nOffset;
  const uint8_t* start = m_bytes.data + m_nOffset;
  const size_t size = left < kExtensionFieldHeaderSize ? 0 : Uint16At(start + kUint16Size);
  if (size < kMinExtensionFieldSize || !IsWholeWords(size) || size > left) {
    m_bFailed = true;
    return false;
  }
  field.type = Uint16At(start);
  field.offset = m_nOffset;
  field.size = size;
  field.body = ByteRange(start + kExtensionFieldHeaderSize, size - kExtensionFieldHeaderSize);
  m_nOffset += size;
  return true;
}
