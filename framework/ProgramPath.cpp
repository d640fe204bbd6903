#include "framework/ProgramPath.h"

#include <windows.h>

#include <algorithm>

namespace {
// The longest path Windows knows, in characters with the terminating null.
constexpr DWORD kLongestPath = 32768;
}  // namespace

// The system cuts a path that does not fit and then fills the buffer to
// its end: the buffer grows until the path ends inside it.
CString ProgramPath() {
  for (DWORD size = MAX_PATH;; size = std::min(2 * size, kLongestPath)) {
    CString path(size, L'\0');
    const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), size);
    if (length == 0) return CString();
    if (length < size) return path.substr(0, length);
    if (size == kLongestPath) return CString();
  }
}
