#pragma once
#include <windows.h>

// Converts source, terminator included, into dest (destSize bytes) in the
// given code page, but only when the code page represents it exactly: no
// best-fit look-alikes, no default characters. Returns dest, or null when an
// argument is null or the conversion fails (GetLastError tells why; it is
// ERROR_NO_UNICODE_TRANSLATION for a source the code page cannot represent).
char* WideToNarrowExact(char* dest, const wchar_t* source, int destSize, UINT codePage);
