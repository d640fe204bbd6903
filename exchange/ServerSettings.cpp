#include "exchange/ServerSettings.h"

namespace {
const wchar_t kOn[] = L"1";
const wchar_t kOff[] = L"0";
}  // namespace

ServerSettings ServerSettingsFrom(const std::vector<std::optional<std::wstring>>& serverKeys,
                                  const std::optional<std::wstring>& nts) {
  ServerSettings settings;
  for (const std::optional<std::wstring>& server : serverKeys)
    if (server) settings.servers.push_back(*server);
  if (settings.servers.empty()) {
    settings.servers.assign(std::begin(kDefaultServers), std::end(kDefaultServers));
    settings.nts = true;
  }
  if (nts == kOn) settings.nts = true;
  if (nts == kOff) settings.nts = false;
  return settings;
}
