#include "about/FileVersionInfo.h"

#include <new>

#include "about/VersionLibrary.h"

namespace {
constexpr DWORD kFixedInfoSignature = 0xFEEF04BD;
const wchar_t kRootBlock[] = L"\\";
const wchar_t kTranslationBlock[] = L"\\VarFileInfo\\Translation";
}  // namespace

CFileVersionInfo::CFileVersionInfo() : m_pVersionData(nullptr) {
  Clear();
}

CFileVersionInfo::~CFileVersionInfo() {
  Clear();
}

BOOL CFileVersionInfo::ReadFromFile(LPCWSTR path) {
  if (!path) return FALSE;
  Clear();
  const CVersionLibrary library;
  if (!library.Loaded() || !ReadFixedInfo(library, path) || !ReadTranslations(library)) Clear();
  return m_bValid;
}

void CFileVersionInfo::Clear() {
  m_pTranslations = nullptr;
  m_nTranslations = 0;
  m_bValid = FALSE;
  ZeroMemory(&m_fixedInfo, sizeof(m_fixedInfo));
  delete[] m_pVersionData;
  m_pVersionData = nullptr;
}

BOOL CFileVersionInfo::ReadFixedInfo(const CVersionLibrary& library, LPCWSTR path) {
  DWORD ignored = 0;
  const DWORD size = library.GetFileVersionInfoSizeW(path, &ignored);
  if (size == 0) return FALSE;
  m_pVersionData = new (std::nothrow) BYTE[size];
  if (!m_pVersionData) return FALSE;
  if (!library.GetFileVersionInfoW(path, 0, size, m_pVersionData)) return FALSE;

  void* fixedInfo = nullptr;
  UINT length = 0;
  if (!library.VerQueryValueW(m_pVersionData, kRootBlock, &fixedInfo, &length)) return FALSE;
  // A malformed resource may hold less than the whole record.
  if (length < sizeof(m_fixedInfo)) return FALSE;
  CopyMemory(&m_fixedInfo, fixedInfo, sizeof(m_fixedInfo));

  m_bValid = m_fixedInfo.dwSignature == kFixedInfoSignature;
  return m_bValid;
}

BOOL CFileVersionInfo::ReadTranslations(const CVersionLibrary& library) {
  if (!m_bValid) return FALSE;
  void* translations = nullptr;
  UINT length = 0;
  if (library.VerQueryValueW(m_pVersionData, kTranslationBlock, &translations, &length)) {
    m_pTranslations = static_cast<const DWORD*>(translations);
    m_nTranslations = length >> 2;
  }
  return m_pTranslations != nullptr;
}
