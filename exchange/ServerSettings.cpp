#include "exchange/ServerSettings.h"

namespace {
const wchar_t kOn[] = L"1";
const wchar_t kOff[] = L"0";
}  // namespace

ServerSettings ServerSettingsFrom(const std::optional<std::wstring>& server1,
                                  const std::optional<std::wstring>& nts) {
  ServerSettings settings{server1.value_or(kDefaultServer), !server1.has_value()};
  if (nts == kOn) settings.nts = true;
  if (nts == kOff) settings.nts = false;
  return settings;
}
