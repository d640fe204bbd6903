#pragma once
#include <windows.h>

#include <optional>
#include <vector>

#include "exchange/ServerSettings.h"
#include "exchange/TextSettings.h"
#include "framework/String.h"

// Full path of Movrane.ini beside the running executable; empty when the
// path does not fit, and then no file is read.
CString GetSettingsFilePath();

// The value of the key in the settings file, cut to bufferSize - 1
// characters; the default when the file, section or key is missing.
CString ReadSetting(LPCWSTR section, LPCWSTR key, LPCWSTR defaultValue, DWORD bufferSize);

// The value of the key, cut the same way; nothing when the file, section
// or key is missing. A key that is there with an empty value is empty.
std::optional<CString> ReadOptionalSetting(LPCWSTR section, LPCWSTR key, DWORD bufferSize);

// The servers to ask and whether with NTS, from the sntp section; with
// servers given, those as if the file named them.
ServerSettings ReadServerSettings(const std::vector<std::wstring>& servers = {});

// A label's text, and every log message with the built-in text for those
// missing or empty.
CString ReadLabel(const LabelSetting& label);
CStringArray ReadLogMessages();
