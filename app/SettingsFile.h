#pragma once
#include <windows.h>

#include "app/TextSettings.h"
#include "framework/String.h"

// Full path of Movrane.ini beside the running executable; empty when the
// path does not fit, and then no file is read.
CString GetSettingsFilePath();

// The value of the key in the settings file, cut to bufferSize - 1
// characters; the default when the file, section or key is missing.
CString ReadSetting(LPCWSTR section, LPCWSTR key, LPCWSTR defaultValue, DWORD bufferSize);

// The [sntp] section: the time server, and whether to ask it with NTS.
struct ServerSettings {
  CString server;
  bool nts = false;
};
// Key server1, the built-in server when missing; key nts, 1 or 0, and when
// it is missing (or neither), on for the built-in server and off for one
// the file names, which is asked as before NTS came.
ServerSettings ReadServerSettings();

// A label's text, and every log message with the built-in text for those
// missing or empty.
CString ReadLabel(const LabelSetting& label);
CStringArray ReadLogMessages();
