#include "app/SettingsFile.h"

#include <vector>

#include "app/SettingsPath.h"

CString GetSettingsFilePath() {
  wchar_t exePath[MAX_PATH] = {};
  const DWORD length = ::GetModuleFileNameW(nullptr, exePath, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return CString();
  return SettingsPathBeside(exePath);
}

CString ReadSetting(LPCWSTR section, LPCWSTR key, LPCWSTR defaultValue, DWORD bufferSize) {
  const CString path = GetSettingsFilePath();
  if (path.empty()) return CString(defaultValue).substr(0, bufferSize - 1);
  std::vector<wchar_t> buffer(bufferSize, L'\0');
  ::GetPrivateProfileStringW(section, key, defaultValue, buffer.data(), bufferSize, path.c_str());
  return buffer.data();
}

namespace {

const wchar_t kServerSection[] = L"sntp";
// A public NTS server, which anyone may use.
const wchar_t kDefaultServer[] = L"time.cloudflare.com";
constexpr DWORD kServerBufferSize = 2084;
constexpr DWORD kSwitchBufferSize = 8;

// Whether the file holds the key, even with an empty value: a lookup gives
// the default only for a missing key, so two lookups with two defaults
// differ only then.
bool HasSetting(LPCWSTR section, LPCWSTR key) {
  return ReadSetting(section, key, L"0", kSwitchBufferSize) == ReadSetting(section, key, L"1", kSwitchBufferSize);
}

}  // namespace

ServerSettings ReadServerSettings() {
  ServerSettings settings;
  settings.server = ReadSetting(kServerSection, L"server1", kDefaultServer, kServerBufferSize);
  const CString nts = ReadSetting(kServerSection, L"nts", L"", kSwitchBufferSize);
  settings.nts = nts == L"1" || (nts != L"0" && !HasSetting(kServerSection, L"server1"));
  return settings;
}

CString ReadLabel(const LabelSetting& label) {
  return ReadSetting(label.section, label.key, label.defaultText, kLabelBufferSize);
}

CStringArray ReadLogMessages() {
  CStringArray messages;
  for (const MessageSetting& message : kLogMessages) {
    const CString text = ReadSetting(kMessageSection, message.key, L"", kMessageBufferSize);
    messages.push_back(text.empty() ? message.builtInText : text);
  }
  return messages;
}
