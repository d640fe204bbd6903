#include "exchange/TrustLevel.h"

#include <algorithm>
#include <iterator>

#include "framework/String.h"

namespace {
constexpr TrustLevel kLevels[] = {TrustLevel::Web, TrustLevel::Unauthenticated, TrustLevel::Authenticated};
}  // namespace

std::optional<TrustLevel> TrustLevelOf(const std::wstring& text) {
  const std::wstring lower = LowerCase(text);
  const auto named = std::find_if(std::begin(kLevels), std::end(kLevels),
                                  [&](TrustLevel level) { return lower == TrustLevelName(level); });
  if (named == std::end(kLevels)) return std::nullopt;
  return *named;
}

const wchar_t* TrustLevelName(TrustLevel level) {
  switch (level) {
    case TrustLevel::Web:
      return L"web";
    case TrustLevel::Unauthenticated:
      return L"unauthenticated";
    case TrustLevel::Authenticated:
      break;
  }
  return L"authenticated";
}
