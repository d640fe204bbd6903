#include "nts/NegotiatedServer.h"

#include <algorithm>

namespace {

bool IsIPv4Literal(const std::string& text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return (c >= '0' && c <= '9') || c == '.'; });
}

bool IsIPv6Literal(const std::string& text) {
  return text.find(':') != std::string::npos;
}

// Two labels or more, with or without the root's dot.
bool HasSeveralLabels(const std::string& name) {
  const size_t dot = name.find('.');
  return dot != 0 && dot != std::string::npos && dot + 1 < name.size();
}

}  // namespace

std::optional<std::string> NegotiatedServerToAsk(const std::string& named) {
  if (named.empty() || named.find_first_of("%[]") != std::string::npos) return std::nullopt;
  if (IsIPv4Literal(named) || IsIPv6Literal(named)) return named;
  if (!HasSeveralLabels(named)) return std::nullopt;
  return named.back() == '.' ? named : named + '.';
}
