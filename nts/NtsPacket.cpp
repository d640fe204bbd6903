#include "nts/NtsPacket.h"

#include <algorithm>
#include <optional>

#include "nts/ExtensionFieldWalker.h"
#include "nts/WireFormat.h"

namespace {

constexpr size_t kStratumOffset = 1;
constexpr size_t kReferenceIdOffset = 12;
constexpr uint8_t kKissStratum = 0;
constexpr uint8_t kNakKissCode[] = {'N', 'T', 'S', 'N'};
// The authenticator's body: nonce length, ciphertext length, then both,
// each padded to 4 bytes. The nonce with its padding fills at least 16
// bytes (chrony's NTS_MIN_UNPADDED_NONCE_LENGTH).
constexpr size_t kAuthenticatorLengthsSize = 4;
constexpr size_t kMinPaddedNonceSize = 16;

void AppendField(std::vector<uint8_t>& out, NtsFieldType type, ByteRange body) {
  AppendExtensionField(out, static_cast<uint16_t>(type), body);
}

void AppendAuthenticator(std::vector<uint8_t>& out, const NtsNonce& nonce, const std::vector<uint8_t>& sealed) {
  std::vector<uint8_t> body;
  PutUint16(body, static_cast<uint16_t>(nonce.size()));
  PutUint16(body, static_cast<uint16_t>(sealed.size()));
  body.insert(body.end(), nonce.begin(), nonce.end());
  PadToWords(body);
  body.insert(body.end(), sealed.begin(), sealed.end());
  AppendField(out, NtsFieldType::Authenticator, body);
}

bool IsOurs(ByteRange uniqueIdBody, const NtsUniqueId& uniqueId) {
  return uniqueIdBody.size == uniqueId.size() && std::equal(uniqueId.begin(), uniqueId.end(), uniqueIdBody.data);
}

bool IsNak(ByteRange datagram) {
  return datagram.data[kStratumOffset] == kKissStratum &&
         std::equal(std::begin(kNakKissCode), std::end(kNakKissCode), datagram.data + kReferenceIdOffset);
}

// The plaintext of the authenticator field that starts at offset: its
// nonce and ciphertext must fit the field, and the ciphertext must verify
// over the datagram before the field.
std::optional<std::vector<uint8_t>> OpenAuthenticator(ByteRange datagram, const ExtensionField& field,
                                                      const NtsKey& key) {
  const ByteRange body = field.body;
  if (body.size < kAuthenticatorLengthsSize) return std::nullopt;
  const size_t nonceSize = Uint16At(body.data);
  const size_t sealedSize = Uint16At(body.data + kUint16Size);
  const size_t paddedNonceSize = PaddedToWords(nonceSize);
  const size_t needed =
      kAuthenticatorLengthsSize + std::max(paddedNonceSize, kMinPaddedNonceSize) + PaddedToWords(sealedSize);
  if (nonceSize == 0 || sealedSize < CAesSivCmac256::kTagSize || needed > body.size) return std::nullopt;
  const ByteRange nonce(body.data + kAuthenticatorLengthsSize, nonceSize);
  const ByteRange sealed(body.data + kAuthenticatorLengthsSize + paddedNonceSize, sealedSize);
  const ByteRange associatedData(datagram.data, field.offset);
  return CAesSivCmac256(key).Open({associatedData, nonce}, sealed);
}

}  // namespace

std::vector<uint8_t> BuildNtsRequest(const SntpRequest& header, const NtsUniqueId& uniqueId,
                                     const NtsCookie& cookie, size_t placeholders, const NtsNonce& nonce,
                                     const NtsKey& clientToServerKey) {
  std::vector<uint8_t> request(header.begin(), header.end());
  AppendField(request, NtsFieldType::UniqueIdentifier, uniqueId);
  AppendField(request, NtsFieldType::Cookie, cookie);
  const std::vector<uint8_t> placeholder(cookie.size(), 0);
  for (size_t i = 0; i < placeholders; ++i) AppendField(request, NtsFieldType::CookiePlaceholder, placeholder);
  // Nothing to hide in a request: the plaintext is empty and the
  // ciphertext just the tag.
  const std::vector<uint8_t> sealed = CAesSivCmac256(clientToServerKey).Seal({request, nonce}, ByteRange());
  if (sealed.empty()) return {};
  AppendAuthenticator(request, nonce, sealed);
  return request;
}

// The client's checks of RFC 8915 section 5.7, as chrony makes them.
NtsReply ReadNtsReply(ByteRange datagram, const NtsUniqueId& uniqueId, const NtsKey& serverToClientKey) {
  NtsReply reply;
  if (datagram.size < kSntpPacketSize || SntpVersion(SntpReplyOf(datagram.data)) != kNtsNtpVersion) return reply;
  CExtensionFieldWalker walker(datagram, kSntpPacketSize);
  ExtensionField field;
  std::optional<ExtensionField> authenticator;
  bool uniqueIdSeen = false;
  while (walker.Next(field)) {
    if (authenticator) return reply;  // a field after the authenticator
    switch (static_cast<NtsFieldType>(field.type)) {
      case NtsFieldType::UniqueIdentifier:
        if (!IsOurs(field.body, uniqueId)) return reply;
        uniqueIdSeen = true;
        break;
      case NtsFieldType::Authenticator:
        authenticator = field;
        break;
      default:  // unencrypted cookies and unknown fields mean nothing here
        break;
    }
  }
  if (walker.Failed() || !uniqueIdSeen) return reply;
  if (!authenticator) {
    if (IsNak(datagram)) reply.m_Verdict = ReplyProof::Refused;
    return reply;
  }
  const std::optional<std::vector<uint8_t>> plaintext = OpenAuthenticator(datagram, *authenticator, serverToClientKey);
  if (!plaintext || !ReadNtsCookies(*plaintext, reply.m_Cookies)) {
    reply.m_Cookies.clear();
    return reply;
  }
  reply.m_Verdict = ReplyProof::Authentic;
  return reply;
}

bool ReadNtsCookies(ByteRange plaintext, std::vector<NtsCookie>& cookies) {
  CExtensionFieldWalker walker(plaintext, 0);
  ExtensionField field;
  bool usable = false;
  while (walker.Next(field)) {
    if (static_cast<NtsFieldType>(field.type) != NtsFieldType::Cookie || field.body.size > kNtsMaxCookieSize)
      continue;
    usable = true;
    if (cookies.size() < kNtsMaxCookies) cookies.emplace_back(field.body.begin(), field.body.end());
  }
  return usable && !walker.Failed();
}
