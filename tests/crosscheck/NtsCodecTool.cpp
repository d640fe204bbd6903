// Runs the NTS codecs on inputs from another implementation, for
// test_nts_crosscheck.py: one command a line on standard input, one answer
// a line on standard output, all bytes in hex ("." for none; "-" for no
// headers at all).
//   seal KEY HEADER,... PLAINTEXT          -> SEALED
//   open KEY HEADER,... SEALED             -> PLAINTEXT, or "fail"
//   request UNIQUE_ID COOKIE PLACEHOLDERS NONCE KEY -> DATAGRAM (an NTPv4 header of zeros)
//   reply UNIQUE_ID KEY DATAGRAM           -> "authentic COOKIE,...", "notauthentic" or "nak"
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "nts/AesSivCmac256.h"
#include "nts/NtsPacket.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes FromHex(const std::string& hex) {
  Bytes bytes;
  if (hex == ".") return bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) {
    bytes.push_back(static_cast<uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  }
  return bytes;
}

std::string ToHex(const Bytes& bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (const uint8_t byte : bytes) {
    hex += kDigits[byte >> 4];
    hex += kDigits[byte & 0x0F];
  }
  return hex.empty() ? "." : hex;
}

NtsCookie CookieFromHex(const std::string& hex) {
  const Bytes bytes = FromHex(hex);
  return {bytes.begin(), bytes.end()};
}

template <class Array>
Array ArrayFromHex(const std::string& hex) {
  Array array{};
  const Bytes bytes = FromHex(hex);
  std::copy(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(std::min(bytes.size(), array.size())),
            array.begin());
  return array;
}

std::vector<Bytes> Headers(const std::string& list) {
  std::vector<Bytes> headers;
  if (list == "-") return headers;
  std::stringstream items(list);
  std::string item;
  while (std::getline(items, item, ',')) headers.push_back(FromHex(item));
  return headers;
}

// The tool takes up to three headers, as the NTS exchange needs at most two.
template <class Call>
auto WithHeaders(const std::vector<Bytes>& h, Call call) {
  switch (h.size()) {
    case 0: return call({});
    case 1: return call({h[0]});
    case 2: return call({h[0], h[1]});
    default: return call({h[0], h[1], h[2]});
  }
}

std::string Answer(const std::string& line) {
  std::istringstream words(line);
  std::string command, a, b, c, d, e;
  words >> command >> a >> b >> c >> d >> e;
  if (command == "seal" || command == "open") {
    const CAesSivCmac256 siv(ArrayFromHex<CAesSivCmac256::Key>(a));
    const Bytes input = FromHex(c);
    if (command == "seal") {
      return ToHex(WithHeaders(Headers(b), [&](std::initializer_list<ByteRange> h) { return siv.Seal(h, input); }));
    }
    const auto opened =
        WithHeaders(Headers(b), [&](std::initializer_list<ByteRange> h) { return siv.Open(h, input); });
    return opened ? ToHex(*opened) : "fail";
  }
  if (command == "request") {
    return ToHex(BuildNtsRequest(SntpRequest{}, ArrayFromHex<NtsUniqueId>(a), CookieFromHex(b), std::stoul(c),
                                 ArrayFromHex<NtsNonce>(d), ArrayFromHex<NtsKey>(e)));
  }
  if (command == "reply") {
    const Bytes datagram = FromHex(c);
    const NtsReply reply = ReadNtsReply(datagram, ArrayFromHex<NtsUniqueId>(a), ArrayFromHex<NtsKey>(b));
    if (reply.m_Verdict == ReplyProof::Refused) return "nak";
    if (reply.m_Verdict == ReplyProof::NotAuthentic) return "notauthentic";
    std::string cookies;
    for (const NtsCookie& cookie : reply.m_Cookies) cookies += (cookies.empty() ? "" : ",") + ToHex({cookie.begin(), cookie.end()});
    return "authentic " + cookies;
  }
  return "unknown command";
}

}  // namespace

int main() {
  std::string line;
  while (std::getline(std::cin, line)) std::cout << Answer(line) << std::endl;
  return 0;
}
