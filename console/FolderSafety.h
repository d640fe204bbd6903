#pragma once
#include <string>

#include "framework/AdministrativeAccess.h"

// The account other than the administrators (Administrators, SYSTEM and
// TrustedInstaller) that the security descriptor lets use one of the
// rights, by name ("PC\someone", or its SID where it has no name): its
// owner, or the first its access list allows; Everyone when it has no
// access list. Entries that only pass on to what is created inside do not
// count. Empty when only the administrators can.
std::wstring OtherAccountThatCan(PSECURITY_DESCRIPTOR descriptor, ACCESS_MASK rights);

// A path that someone other than the administrators can change, and an
// account that can; an empty path when there is none.
struct ChangeablePath {
  std::wstring path;
  std::wstring account;
};

// The first of the program file, its settings file (where there is one),
// its folder and the folders above up to the root that someone other than
// the administrators can change. A path whose security cannot be read
// counts as changeable, by an account unknown.
ChangeablePath FirstPathOthersCanChange(const std::wstring& programPath, const std::wstring& settingsPath);
