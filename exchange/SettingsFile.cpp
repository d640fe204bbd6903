#include "exchange/SettingsFile.h"

#include <vector>

#include "exchange/SettingsPath.h"
#include "framework/ProgramPath.h"

namespace {
const wchar_t kServerSection[] = L"sntp";
const wchar_t kServerKeyStem[] = L"server";
const wchar_t kWebKeyStem[] = L"web";
const wchar_t kNtsKey[] = L"nts";
const wchar_t kMinAgreeKey[] = L"minagree";
const wchar_t kTrustKey[] = L"trust";
// Server names (time and web) are cut to 2083 characters, as long as a URL
// may be; the NTS switch, minagree and trust are short: a longer value is
// cut, never to a value they take.
constexpr DWORD kServerBufferSize = 2084;
constexpr DWORD kSwitchBufferSize = 16;
// A key the file lacks reads as the default given, one it has reads the
// same whatever the default: read under both of these, a missing key is
// the one that gives each back.
const wchar_t kMissingMark[] = L"0";
const wchar_t kOtherMissingMark[] = L"1";
}  // namespace

CString GetSettingsFilePath() {
  const CString programPath = ProgramPath();
  if (programPath.empty()) return CString();
  return SettingsPathBeside(programPath);
}

CString ReadSetting(LPCWSTR section, LPCWSTR key, LPCWSTR defaultValue, DWORD bufferSize) {
  const CString path = GetSettingsFilePath();
  if (path.empty()) return CString(defaultValue).substr(0, bufferSize - 1);
  std::vector<wchar_t> buffer(bufferSize, L'\0');
  ::GetPrivateProfileStringW(section, key, defaultValue, buffer.data(), bufferSize, path.c_str());
  return buffer.data();
}

std::optional<CString> ReadOptionalSetting(LPCWSTR section, LPCWSTR key, DWORD bufferSize) {
  CString value = ReadSetting(section, key, kMissingMark, bufferSize);
  if (value == kMissingMark && ReadSetting(section, key, kOtherMissingMark, bufferSize) == kOtherMissingMark)
    return std::nullopt;
  return value;
}

namespace {
// The values of the keys stem1 to stemN of the sntp section, nothing for
// each the file lacks.
std::vector<std::optional<std::wstring>> ReadNumberedKeys(const wchar_t* stem, size_t count) {
  std::vector<std::optional<std::wstring>> values;
  for (size_t number = 1; number <= count; ++number) {
    const CString key = stem + std::to_wstring(number);
    values.push_back(ReadOptionalSetting(kServerSection, key.c_str(), kServerBufferSize));
  }
  return values;
}
}  // namespace

ServerSettings ReadServerSettings(const std::vector<std::wstring>& servers) {
  std::vector<std::optional<std::wstring>> serverKeys(servers.begin(), servers.end());
  if (servers.empty()) serverKeys = ReadNumberedKeys(kServerKeyStem, kMostServers);
  return ServerSettingsFrom(serverKeys, ReadOptionalSetting(kServerSection, kNtsKey, kSwitchBufferSize),
                            ReadOptionalSetting(kServerSection, kMinAgreeKey, kSwitchBufferSize),
                            ReadOptionalSetting(kServerSection, kTrustKey, kSwitchBufferSize),
                            ReadNumberedKeys(kWebKeyStem, kMostWebServers));
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
