#include "framework/DataFile.h"

namespace {
constexpr DWORD kNotPlain = FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY;
}  // namespace

CDataFile::CDataFile(const std::wstring& path, DWORD access, DWORD share, DWORD disposition)
    : m_file(::CreateFileW(path.c_str(), access, share, nullptr, disposition,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr)) {
  BY_HANDLE_FILE_INFORMATION information{};
  if (!Open()) return;
  if (::GetFileInformationByHandle(m_file, &information) && !(information.dwFileAttributes & kNotPlain)) {
    m_size = ULONGLONG{information.nFileSizeHigh} << 32 | information.nFileSizeLow;
    return;
  }
  ::CloseHandle(m_file);
  m_file = INVALID_HANDLE_VALUE;
  ::SetLastError(ERROR_INVALID_FUNCTION);
}

CDataFile::~CDataFile() {
  if (Open()) ::CloseHandle(m_file);
}
