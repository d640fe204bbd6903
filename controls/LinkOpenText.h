#pragma once
#include <string>

// Results of opening a link besides ShellExecuteW's own codes (success
// above 32, failure 0 to 32).
constexpr int kOpenedByDesktopShell = 33;
// The desktop shell was asked and could not open it.
constexpr int kDesktopShellFailed = -1;
// No desktop shell to ask, and this process, elevated, opens nothing itself.
constexpr int kNoUnelevatedShell = -2;

// The message box text for a link that could not be opened: the error code
// explained, and the target, for the user to open by hand.
std::wstring LinkOpenErrorText(int code, const std::wstring& target);
