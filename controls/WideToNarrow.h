#pragma once
#include <windows.h>

// Converts source, terminator included, into dest (destSize bytes) in the
// given code page. Returns dest, or null when an argument is null or the
// conversion fails (GetLastError tells why).
char* WideToNarrow(char* dest, const wchar_t* source, int destSize, UINT codePage);

// The same, but only when the code page represents the source exactly: no
// best-fit look-alikes, no default characters. Null otherwise, with the
// last error ERROR_NO_UNICODE_TRANSLATION.
char* WideToNarrowExact(char* dest, const wchar_t* source, int destSize, UINT codePage);
