#pragma once
#include <windows.h>

#include <memory>

// Memory the system handed out with LocalAlloc.
struct LocalMemoryRelease {
  void operator()(void* memory) const { ::LocalFree(memory); }
};

// What the system says of a folder opened without following a link: its
// attributes (a link keeps FILE_ATTRIBUTE_REPARSE_POINT), and its owner
// and access list.
struct FolderStanding {
  DWORD attributes = 0;
  std::unique_ptr<void, LocalMemoryRelease> descriptor;
};

// Reads it from the handle of the folder, opened with READ_CONTROL and
// FILE_READ_ATTRIBUTES; ERROR_SUCCESS or the system's error.
DWORD ReadFolderStanding(HANDLE folder, FolderStanding& standing);
