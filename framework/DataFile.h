#pragma once
#include <windows.h>

#include <string>

// A plain file of a data folder, opened without following a link in its
// place: not open when the path names a link or a folder, or could not be
// opened (the last error then says why). Closed when it goes.
class CDataFile {
public:
  CDataFile(const std::wstring& path, DWORD access, DWORD share, DWORD disposition);
  ~CDataFile();
  CDataFile(const CDataFile&) = delete;
  CDataFile& operator=(const CDataFile&) = delete;

  bool Open() const { return m_file != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return m_file; }
  // Its size in bytes when it was opened.
  ULONGLONG Size() const { return m_size; }

private:
  HANDLE m_file = INVALID_HANDLE_VALUE;
  ULONGLONG m_size = 0;
};
