#pragma once
#include <windows.h>

class CVersionLibrary;

// The version resource of an executable file: its fixed file information
// and its translation table, read through the system's version library
// (loaded for each read).
class CFileVersionInfo {
public:
  CFileVersionInfo();
  CFileVersionInfo(const CFileVersionInfo&) = delete;
  CFileVersionInfo& operator=(const CFileVersionInfo&) = delete;
  virtual ~CFileVersionInfo();

  // TRUE when the object now holds the file's information; on FALSE it is
  // empty, except for a null path, which leaves it as it was.
  BOOL ReadFromFile(LPCWSTR path);
  void Clear();
  const VS_FIXEDFILEINFO& FixedInfo() const { return m_fixedInfo; }

private:
  BOOL ReadFixedInfo(const CVersionLibrary& library, LPCWSTR path);
  BOOL ReadTranslations(const CVersionLibrary& library);

  VS_FIXEDFILEINFO m_fixedInfo;
  BYTE* m_pVersionData;
  // Entries inside m_pVersionData: language id low, code page high.
  const DWORD* m_pTranslations;
  UINT m_nTranslations;
  BOOL m_bValid;
};
