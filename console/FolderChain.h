#pragma once
#include <string>

// The folder that holds path, a file's or a folder's, written as Windows
// writes it (C:\Tools\Movrane.com, \\server\share\Tools); a drive's or a
// share's root keeps its backslash (C:\). Empty for a root, which no
// folder holds, and for a path that names no drive or share.
std::wstring ParentFolder(const std::wstring& path);
