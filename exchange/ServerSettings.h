#pragma once
#include <optional>
#include <string>

// The time server both programs ask, from the [sntp] section of the
// settings file: its name (server1) and whether the exchange is to be
// authenticated with Network Time Security (nts).
struct ServerSettings {
  std::wstring server;
  bool nts = false;
};

// The server asked when the settings file names none: a public NTS server,
// which anyone may use.
constexpr wchar_t kDefaultServer[] = L"time.cloudflare.com";

// The settings from the values of server1 and nts as the file has them,
// nothing for a key the file lacks. Without server1 the built-in server is
// asked with NTS; a server of the user's own is asked without, unless nts
// says otherwise. nts is 1 (on) or 0 (off); any other value leaves the
// default.
ServerSettings ServerSettingsFrom(const std::optional<std::wstring>& server1,
                                  const std::optional<std::wstring>& nts);
