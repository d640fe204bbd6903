#include "nts/KeptAssociation.h"

#include <algorithm>
#include <cstring>

#include <mbedtls/platform_util.h>

#include "nts/NtsKeRecords.h"
#include "nts/WireFormat.h"

namespace {
const uint8_t kFormatTag[] = {'M', 'v', 'N', 'T', 'S', 1};
// A server's name, as DNS bounds it.
constexpr size_t kMaxNameSize = 255;
constexpr size_t kTimeSize = 8;

void PutBytes(KeptBytes& out, const uint8_t* bytes, size_t size) {
  out.insert(out.end(), bytes, bytes + size);
}

void PutString(KeptBytes& out, const std::string& text) {
  PutUint16(out, static_cast<uint16_t>(text.size()));
  PutBytes(out, reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

// Takes fields off the front of the bytes; once one does not fit, every
// later one fails too.
class CKeptReader {
public:
  explicit CKeptReader(ByteRange bytes) : m_next(bytes.data), m_end(bytes.data + bytes.size) {}

  bool Bytes(uint8_t* out, size_t size) {
    if (!Has(size)) return false;
    std::memcpy(out, m_next, size);
    m_next += size;
    return true;
  }
  bool Number(uint16_t& value) {
    if (!Has(kUint16Size)) return false;
    value = Uint16At(m_next);
    m_next += kUint16Size;
    return true;
  }
  bool Byte(uint8_t& value) { return Bytes(&value, 1); }
  bool Time(uint64_t& value) {
    uint8_t bytes[kTimeSize];
    if (!Bytes(bytes, kTimeSize)) return false;
    value = 0;
    for (uint8_t byte : bytes) value = value << 8 | byte;
    return true;
  }
  bool String(std::string& text, size_t longest) {
    uint16_t size = 0;
    if (!Number(size) || size > longest || !Has(size)) return false;
    text.assign(reinterpret_cast<const char*>(m_next), size);
    m_next += size;
    return true;
  }
  bool Cookie(NtsCookie& cookie) {
    uint16_t size = 0;
    if (!Number(size) || size == 0 || size > kNtsMaxCookieSize || !Has(size)) return false;
    cookie.assign(m_next, m_next + size);
    m_next += size;
    return true;
  }
  bool AtEnd() const { return m_next == m_end; }

private:
  bool Has(size_t size) const { return static_cast<size_t>(m_end - m_next) >= size; }

  const uint8_t* m_next;
  const uint8_t* m_end;
};

bool ReadScope(CKeptReader& reader, AddressScope& scope) {
  uint8_t value = 0;
  if (!reader.Byte(value) || value > static_cast<uint8_t>(AddressScope::Unspecified)) return false;
  scope = static_cast<AddressScope>(value);
  return true;
}

bool ReadCookies(CKeptReader& reader, std::vector<NtsCookie>& cookies) {
  uint16_t count = 0;
  if (!reader.Number(count) || count > kNtsMaxCookies) return false;
  cookies.resize(count);
  return std::all_of(cookies.begin(), cookies.end(), [&](NtsCookie& cookie) { return reader.Cookie(cookie); });
}
}  // namespace

KeptAssociation::~KeptAssociation() {
  mbedtls_platform_zeroize(clientToServerKey.data(), clientToServerKey.size());
  mbedtls_platform_zeroize(serverToClientKey.data(), serverToClientKey.size());
}

KeptBytes WriteKeptAssociation(const KeptAssociation& kept) {
  KeptBytes out;
  PutBytes(out, kFormatTag, sizeof kFormatTag);
  PutString(out, kept.server);
  for (int shift = 56; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(kept.madeAt >> shift));
  PutUint16(out, kept.algorithm);
  PutString(out, kept.ntpServer);
  PutUint16(out, kept.ntpPort);
  out.push_back(kept.ntpServerNamed ? 1 : 0);
  out.push_back(static_cast<uint8_t>(kept.keyExchangeScope));
  PutBytes(out, kept.clientToServerKey.data(), kept.clientToServerKey.size());
  PutBytes(out, kept.serverToClientKey.data(), kept.serverToClientKey.size());
  PutUint16(out, static_cast<uint16_t>(kept.cookies.size()));
  for (const NtsCookie& cookie : kept.cookies) {
    PutUint16(out, static_cast<uint16_t>(cookie.size()));
    PutBytes(out, cookie.data(), cookie.size());
  }
  return out;
}

std::optional<KeptAssociation> ReadKeptAssociation(ByteRange bytes) {
  CKeptReader reader(bytes);
  uint8_t tag[sizeof kFormatTag];
  KeptAssociation kept;
  uint8_t named = 0;
  const bool whole = reader.Bytes(tag, sizeof tag) && std::equal(tag, tag + sizeof tag, kFormatTag) &&
                     reader.String(kept.server, kMaxNameSize) && reader.Time(kept.madeAt) &&
                     reader.Number(kept.algorithm) && kept.algorithm == kAeadAesSivCmac256 &&
                     reader.String(kept.ntpServer, kMaxNameSize) && !kept.ntpServer.empty() &&
                     reader.Number(kept.ntpPort) && reader.Byte(named) && named <= 1 &&
                     ReadScope(reader, kept.keyExchangeScope) &&
                     reader.Bytes(kept.clientToServerKey.data(), kept.clientToServerKey.size()) &&
                     reader.Bytes(kept.serverToClientKey.data(), kept.serverToClientKey.size()) &&
                     ReadCookies(reader, kept.cookies) && reader.AtEnd();
  if (!whole) return std::nullopt;
  kept.ntpServerNamed = named == 1;
  return kept;
}

bool StillFresh(const KeptAssociation& kept, uint64_t now) {
  return now >= kept.madeAt && now - kept.madeAt < kKeptAssociationLifetime;
}
