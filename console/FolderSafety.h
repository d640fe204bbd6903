#pragma once
#include <string>

#include "framework/AdministrativeAccess.h"

// The first of the program file, its settings file (where there is one),
// its folder and the folders above up to the root that someone other than
// the administrators can change; empty when only they can. A path whose
// security cannot be read counts as changeable.
std::wstring FirstPathOthersCanChange(const std::wstring& programPath, const std::wstring& settingsPath);
