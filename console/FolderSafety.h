#pragma once
#include <windows.h>

#include <string>

// Rights over a file or folder that change what it holds: write, append
// and delete, and those that take it over (its permissions, its owner).
constexpr ACCESS_MASK kChangeRights = FILE_WRITE_DATA | FILE_APPEND_DATA | DELETE | FILE_DELETE_CHILD |
                                      WRITE_DAC | WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL;
// Rights over a folder further up that put another folder in the place of
// the one below: renaming or deleting it or what it holds, or taking it
// over. Adding beside it (the append right users hold on C:\ itself) does
// not.
constexpr ACCESS_MASK kReplaceRights = DELETE | FILE_DELETE_CHILD | WRITE_DAC | WRITE_OWNER | GENERIC_ALL;

// Whether the security descriptor lets anyone but the administrators
// (Administrators, SYSTEM and TrustedInstaller) use one of the rights: it
// names another owner, has no access list (everyone may do anything), or
// its list allows another SID one of them. Entries that only pass on to
// what is created inside do not count.
bool LetsOthersChange(PSECURITY_DESCRIPTOR descriptor, ACCESS_MASK rights);

// The first of the program file, its settings file (where there is one),
// its folder and the folders above up to the root that someone other than
// the administrators can change; empty when only they can. A path whose
// security cannot be read counts as changeable.
std::wstring FirstPathOthersCanChange(const std::wstring& programPath, const std::wstring& settingsPath);
