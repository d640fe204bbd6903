#include "console/FolderChain.h"

namespace {
const wchar_t kSeparator = L'\\';
const wchar_t kUncPrefix[] = L"\\\\";
constexpr size_t kDriveRootLength = 3;  // the letter, the colon and a backslash
// Two backslashes before the server, one after it and one after the share.
constexpr int kUncRootSeparators = 4;

// How long the root of the path is, its last backslash included; 0 when
// the path has none.
size_t RootLength(const std::wstring& path) {
  if (path.compare(0, 2, kUncPrefix) == 0) {
    size_t end = 0;
    for (int separators = 0; separators < kUncRootSeparators; ++separators) {
      end = path.find(kSeparator, separators == 0 ? 0 : end + 1);
      if (end == std::wstring::npos) return 0;
    }
    return end + 1;
  }
  const bool drive = path.size() >= kDriveRootLength && path[1] == L':' && path[2] == kSeparator;
  return drive ? kDriveRootLength : 0;
}
}  // namespace

std::wstring ParentFolder(const std::wstring& path) {
  const size_t root = RootLength(path);
  if (root == 0) return {};
  size_t end = path.size();
  while (end > root && path[end - 1] == kSeparator) --end;
  if (end <= root) return {};
  const size_t separator = path.rfind(kSeparator, end - 1);
  return separator < root ? path.substr(0, root) : path.substr(0, separator);
}
