#include "exchange/ServerSettings.h"

namespace {
const wchar_t kOn[] = L"1";
const wchar_t kOff[] = L"0";
// Two servers that agree: no one server alone sets the clock.
constexpr size_t kCrossCheckingServers = 2;
}  // namespace

TrustLevel ServerSettings::TrustFloor() const {
  if (trust) return *trust;
  return nts ? TrustLevel::Authenticated : TrustLevel::Unauthenticated;
}

std::optional<size_t> MinAgreeOf(const std::wstring& text) {
  if (text.size() != 1 || text[0] < L'1' || text[0] > L'9') return std::nullopt;
  const size_t count = static_cast<size_t>(text[0] - L'0');
  if (count > kMostServers) return std::nullopt;
  return count;
}

ServerSettings ServerSettingsFrom(const std::vector<std::optional<std::wstring>>& serverKeys,
                                  const std::optional<std::wstring>& nts,
                                  const std::optional<std::wstring>& minAgree,
                                  const std::optional<std::wstring>& trust,
                                  const std::vector<std::optional<std::wstring>>& webKeys) {
  ServerSettings settings;
  for (const std::optional<std::wstring>& server : serverKeys)
    if (server) settings.servers.push_back(*server);
  const bool builtIn = settings.servers.empty();
  if (builtIn) {
    settings.servers.assign(std::begin(kDefaultServers), std::end(kDefaultServers));
    settings.nts = true;
  }
  if (nts == kOn) settings.nts = true;
  if (nts == kOff) settings.nts = false;
  settings.minAgree = settings.servers.size() > 1 ? kCrossCheckingServers : 1;
  for (const std::optional<std::wstring>& server : webKeys)
    if (server) settings.webServers.push_back(*server);
  if (settings.webServers.empty() && builtIn)
    settings.webServers.assign(std::begin(kDefaultWebServers), std::end(kDefaultWebServers));
  if (const std::optional<size_t> given = minAgree ? MinAgreeOf(*minAgree) : std::nullopt) settings.minAgree = *given;
  if (trust) settings.trust = TrustLevelOf(*trust);
  return settings;
}
