#pragma once
#include <string>
#include <vector>

// The framework's wide string and growable string array.
using CString = std::wstring;
using CStringArray = std::vector<CString>;
