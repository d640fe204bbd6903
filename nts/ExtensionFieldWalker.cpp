#include "nts/ExtensionFieldWalker.h"

#include <algorithm>

size_t ExtensionFieldSize(size_t valueSize) {
  const size_t padded = (valueSize + kExtensionFieldAlignment - 1) / kExtensionFieldAlignment * kExtensionFieldAlignment;
  return std::max(kMinExtensionFieldSize, kExtensionFieldHeaderSize + padded);
}

bool CExtensionFieldWalker::Next(ExtensionField& field) {
  if (m_bFailed || m_nOffset >= m_bytes.size) return false;
  const size_t left = m_bytes.size - m_nOffset;
  const uint8_t* start = m_bytes.data + m_nOffset;
  const size_t size = left < kExtensionFieldHeaderSize ? 0 : size_t{start[2]} << 8 | start[3];
  if (size < kMinExtensionFieldSize || size % kExtensionFieldAlignment != 0 || size > left) {
    m_bFailed = true;
    return false;
  }
  field.type = static_cast<uint16_t>(start[0] << 8 | start[1]);
  field.offset = m_nOffset;
  field.size = size;
  field.body = ByteRange(start + kExtensionFieldHeaderSize, size - kExtensionFieldHeaderSize);
  m_nOffset += size;
  return true;
}
