#pragma once
#include <cstddef>
#include <optional>
#include <string>

// Size of the browser fallback's command buffer, in wide characters with the
// terminator.
constexpr std::size_t kBrowserCommandChars = 520;

// The message box text for a link that could not be opened: the shell's or
// the launcher's error code explained.
std::wstring LinkOpenErrorText(int code);

// The browser fallback's command line: the registered command cut at its
// "%1" placeholder (the quoted one first, else the bare one), one space and
// the target. Nothing when the result would not fit the command buffer.
std::optional<std::wstring> BrowserCommandLine(const std::wstring& registeredCommand,
                                               const std::wstring& target);
