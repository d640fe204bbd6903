#pragma once
#include "exchange/CompareLog.h"

// The dialog's texts that the settings file may set, each under its key
// with its built-in text.

// Labels are cut to 99 characters, messages to 1023.
constexpr unsigned long kLabelBufferSize = 100;
constexpr unsigned long kMessageBufferSize = 1024;

struct LabelSetting {
  int controlId;
  const wchar_t* section;
  const wchar_t* key;
  const wchar_t* defaultText;
};
constexpr int kLabelCount = 5;
extern const LabelSetting kLabels[kLabelCount];

// A message of the msg section, by its LogMessage index. An empty value
// falls back to the built-in text.
constexpr wchar_t kMessageSection[] = L"msg";
struct MessageSetting {
  const wchar_t* key;
  const wchar_t* builtInText;
};
extern const MessageSetting kLogMessages[kMessageCount];
