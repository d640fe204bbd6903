#pragma once
#include <string>

// Longest path the settings file may have, terminator excluded.
constexpr size_t kMaxSettingsPath = 259;

// Movrane.ini in the directory of the executable at exePath; empty when
// that path would be longer than kMaxSettingsPath.
std::wstring SettingsPathBeside(const std::wstring& exePath);
