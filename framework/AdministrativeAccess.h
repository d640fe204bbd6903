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

// Whether the SID is one of the administrators: Administrators, SYSTEM or
// TrustedInstaller.
bool IsAdministrative(PSID sid);

// Finds the first SID other than the administrators' that the access list
// allows one of the rights (entries that only pass on to what is created
// inside do not count): other is null when there is none. False when an
// entry cannot be read.
bool FindOtherAllowed(const ACL& access, ACCESS_MASK rights, PSID& other);

// The owner the security descriptor names when it is not one of the
// administrators (the null SID when it names none); null when one of them
// owns it.
PSID OwnerOtherThanAdministrators(PSECURITY_DESCRIPTOR descriptor);

// Whether the security descriptor's access list lets anyone but the
// administrators use one of the rights: it has none (everyone may do
// anything), or it allows another SID one of them. Entries that only pass
// on to what is created inside do not count.
bool AccessLetsOthers(PSECURITY_DESCRIPTOR descriptor, ACCESS_MASK rights);

// DOMAIN\name, or the SID as a string where the account has no name here;
// empty when neither can be had.
std::wstring AccountName(PSID sid);
