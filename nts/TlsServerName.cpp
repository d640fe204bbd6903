#include "nts/TlsServerName.h"

#include <cctype>

namespace {

constexpr char kLabelSeparator = '.';

// IPv6 addresses, and only they, have colons; a zone may follow one.
bool IsIpv6Address(const std::string& text) {
  return text.find(':') != std::string::npos;
}

bool AllOf(const std::string& text, size_t from, int (*isDigit)(int)) {
  if (from >= text.size()) return false;
  for (size_t i = from; i < text.size(); ++i)
    if (!isDigit(static_cast<unsigned char>(text[i]))) return false;
  return true;
}

// No top-level domain is a number, and IPv4 addresses end in one, decimal
// or hexadecimal, as name lookups read them ("127.1", "0x7f000001").
bool IsIpv4Address(const std::string& text) {
  const std::string last = text.substr(text.rfind(kLabelSeparator) + 1);
  const bool hexadecimal = last.size() > 2 && last[0] == '0' && (last[1] == 'x' || last[1] == 'X');
  return hexadecimal ? AllOf(last, 2, isxdigit) : AllOf(last, 0, isdigit);
}

bool HasEmptyLabel(const std::string& text) {
  return text.empty() || text.front() == kLabelSeparator || text.back() == kLabelSeparator ||
         text.find("..") != std::string::npos;
}

}  // namespace

bool MakeTlsServerName(const std::string& ascii, TlsServerName& name) {
  std::string text = ascii;
  const bool bracketed = text.size() >= 2 && text.front() == '[' && text.back() == ']';
  if (bracketed) text = text.substr(1, text.size() - 2);
  if (IsIpv6Address(text)) {
    name = {text, {}};
    return true;
  }
  if (bracketed) return false;
  if (!text.empty() && text.back() == kLabelSeparator) text.pop_back();
  if (HasEmptyLabel(text)) return false;
  name = {text, IsIpv4Address(text) ? std::string() : text};
  return true;
}
