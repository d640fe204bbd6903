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
