#pragma once
#include <string>

#include "framework/FolderStanding.h"

// Why the program's data folder is not used.
enum class DataFolderProblem { None, Absent, NotOwnedByAdministrators, OthersMayChange, IsALink, SystemError };

struct SafeDataFolder {
  std::wstring path;  // the folder, checked and safe to use; empty when problem != None
  DataFolderProblem problem = DataFolderProblem::None;
  std::wstring owner;  // the owning account, when that is the problem (DOMAIN\name)
};

// %ProgramData%\Movrane\<name> (name is a plain folder name such as L"nts"
// or L"history"): with create, made where absent with a protected access
// list granting only SYSTEM and Administrators (the Movrane folder too);
// before each use both levels are checked: owner SYSTEM or Administrators,
// no entry letting others write, create, delete or change permissions, and
// no reparse point (junction or symbolic link); never a link followed out
// of it.
SafeDataFolder OpenSafeDataFolder(const wchar_t* name, bool create);

// Removes %ProgramData%\Movrane\<name> and the files in it (never following
// a link); true when gone. Nothing is removed below a Movrane folder that
// is not safe.
bool RemoveSafeDataFolder(const wchar_t* name);

// The judgement of one level from what the system says of it; path is
// kept when it is safe.
SafeDataFolder JudgeDataFolder(const std::wstring& path, const FolderStanding& standing);
