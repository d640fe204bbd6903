#pragma once
#include <algorithm>
#include <cwctype>
#include <string>
#include <vector>

// The framework's wide string and growable string array.
using CString = std::wstring;
using CStringArray = std::vector<CString>;

// The text with its letters in lower case: names and words that ignore
// case compare so.
inline std::wstring LowerCase(std::wstring text) {
  std::transform(text.begin(), text.end(), text.begin(), [](wchar_t c) { return std::towlower(c); });
  return text;
}
