#include "exchange/SettingsPath.h"

namespace {
const wchar_t kSettingsFileName[] = L"Movrane.ini";
}

std::wstring SettingsPathBeside(const std::wstring& exePath) {
  const size_t lastBackslash = exePath.rfind(L'\\');
  std::wstring path = lastBackslash == std::wstring::npos ? std::wstring() : exePath.substr(0, lastBackslash);
  if (path.empty() || path.back() != L'\\') path += L'\\';
  path += kSettingsFileName;
  return path.size() <= kMaxSettingsPath ? path : std::wstring();
}
