#pragma once
#include <windows.h>

// The platform's version query, GetVersionExW or a stand-in.
using VersionQuery = BOOL(WINAPI*)(LPOSVERSIONINFOW);

// Whether the version query reports the Windows NT platform. The extended
// record is asked for first, then the plain one.
bool IsWindowsNTFamily(VersionQuery queryVersion);
