#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "nts/AesSivCmac256.h"
#include "nts/ByteRange.h"
#include "nts/NtsKeResponse.h"
#include "sntp/ReplyProof.h"
#include "sntp/SntpPacket.h"

// NTS for NTPv4 (RFC 8915 section 5): the extension fields of a client's
// request, and what a server's reply proves.
enum class NtsFieldType : uint16_t {
  UniqueIdentifier = 0x0104,
  Cookie = 0x0204,
  CookiePlaceholder = 0x0304,
  Authenticator = 0x0404,  // NTS Authenticator and Encrypted Extension Fields
};

// NTS extends NTPv4 only: its requests and replies carry this version.
constexpr int kNtsNtpVersion = 4;

constexpr size_t kNtsUniqueIdSize = 32;
constexpr size_t kNtsNonceSize = 16;
using NtsUniqueId = std::array<uint8_t, kNtsUniqueIdSize>;
using NtsNonce = std::array<uint8_t, kNtsNonceSize>;
using NtsKey = CAesSivCmac256::Key;

// The whole request datagram: the NTPv4 header, then the Unique Identifier,
// the cookie, placeholders for that many more cookies, and last the
// authenticator: the nonce and the tag, under the client-to-server key, of
// everything before it. The random inputs (unique id, nonce) are the
// caller's. Empty when the TLS library cannot compute the tag (no memory).
std::vector<uint8_t> BuildNtsRequest(const SntpRequest& header, const NtsUniqueId& uniqueId,
                                     const NtsCookie& cookie, size_t placeholders, const NtsNonce& nonce,
                                     const NtsKey& clientToServerKey);

// Authentic: our unique identifier, and the authenticator verifies.
// Refused: an NTS NAK for our request: its cookie was refused; a new key
// exchange is due. NotAuthentic: anything else, skipped like any other junk.
struct NtsReply {
  ReplyProof m_Verdict = ReplyProof::NotAuthentic;
  std::vector<NtsCookie> m_Cookies;  // from the encrypted part, in order, at most kNtsMaxCookies
};

// Judges a reply datagram: it must be NTPv4, its extension fields must
// walk, every Unique Identifier must be ours, the authenticator must come
// last and verify with the server-to-client key over everything before it,
// and its encrypted part must hold at least one new cookie. A NAK has our
// Unique Identifier, stratum 0, the kiss code "NTSN", and no authenticator.
NtsReply ReadNtsReply(ByteRange datagram, const NtsUniqueId& uniqueId, const NtsKey& serverToClientKey);

// The cookies in the encrypted part's plaintext, itself extension fields,
// appended to cookies up to kNtsMaxCookies; cookies too long to use are
// skipped. False when the fields do not walk or hold no usable cookie.
bool ReadNtsCookies(ByteRange plaintext, std::vector<NtsCookie>& cookies);
