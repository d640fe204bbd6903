#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "about/FileVersionInfo.h"
#include "tests/wine/BuildOutput.h"

namespace {

constexpr DWORD kSignature = 0xFEEF04BD;

const std::wstring kProgram = BuildOutputPath(L"Movrane.exe");
const std::wstring kNoTranslation = BuildOutputPath(L"version_no_translation.dll");

std::wstring TempPath(const wchar_t* name) {
  wchar_t directory[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, directory);
  return std::wstring(directory) + name;
}

bool IsEmpty(const CFileVersionInfo& info) {
  const VS_FIXEDFILEINFO zero{};
  return std::memcmp(&info.FixedInfo(), &zero, sizeof(zero)) == 0;
}

void ExpectProgramVersion(const CFileVersionInfo& info) {
  const VS_FIXEDFILEINFO& fixed = info.FixedInfo();
  EXPECT_EQ(fixed.dwSignature, kSignature);
  EXPECT_EQ(fixed.dwFileVersionMS, 0x00000001u);
  EXPECT_EQ(fixed.dwFileVersionLS, 0x00020008u);
}

// Builds a version resource in the published layout: the root block with
// the given bytes of the fixed record as its value, and a translation table.
class VersionBlock {
public:
  VersionBlock(const VS_FIXEDFILEINFO& fixed, WORD valueLength) {
    const size_t root = Begin(L"VS_VERSION_INFO", valueLength, 0);
    Append(&fixed, valueLength);
    Align();
    const size_t varFileInfo = Begin(L"VarFileInfo", 0, 1);
    const size_t translation = Begin(L"Translation", sizeof(DWORD), 0);
    const DWORD neutralUnicode = 0x04B00000;
    Append(&neutralUnicode, sizeof(neutralUnicode));
    for (const size_t block : {translation, varFileInfo, root}) End(block);
  }

  // Replaces every resource of a copy of a program with this one.
  bool WriteInto(const std::wstring& path) const {
    const HANDLE update = ::BeginUpdateResourceW(path.c_str(), TRUE);
    return update &&
           ::UpdateResourceW(update, RT_VERSION, MAKEINTRESOURCEW(VS_VERSION_INFO),
                             MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL),
                             const_cast<BYTE*>(m_bytes.data()),
                             static_cast<DWORD>(m_bytes.size())) &&
           ::EndUpdateResourceW(update, FALSE);
  }

private:
  // A block header: length (set by End), value length, type and key.
  size_t Begin(const std::wstring& key, WORD valueLength, WORD type) {
    const size_t start = m_bytes.size();
    const WORD header[] = {0, valueLength, type};
    Append(header, sizeof(header));
    Append(key.c_str(), (key.size() + 1) * sizeof(wchar_t));
    Align();
    return start;
  }

  void End(size_t start) {
    const WORD length = static_cast<WORD>(m_bytes.size() - start);
    std::memcpy(&m_bytes[start], &length, sizeof(length));
  }

  void Append(const void* data, size_t size) {
    const auto* bytes = static_cast<const BYTE*>(data);
    m_bytes.insert(m_bytes.end(), bytes, bytes + size);
  }

  // Blocks and values start on 32-bit boundaries.
  void Align() { m_bytes.resize((m_bytes.size() + 3) & ~size_t{3}); }

  std::vector<BYTE> m_bytes;
};

std::wstring CopyWithVersionBlock(const wchar_t* name, const VersionBlock& block) {
  const std::wstring copy = TempPath(name);
  if (!::CopyFileW(kNoTranslation.c_str(), copy.c_str(), FALSE) || !block.WriteInto(copy))
    return L"";
  return copy;
}

VS_FIXEDFILEINFO FixedRecord(DWORD versionMS, DWORD versionLS) {
  VS_FIXEDFILEINFO fixed{};
  fixed.dwSignature = kSignature;
  fixed.dwStrucVersion = 0x00010000;
  fixed.dwFileVersionMS = fixed.dwProductVersionMS = versionMS;
  fixed.dwFileVersionLS = fixed.dwProductVersionLS = versionLS;
  fixed.dwFileOS = VOS__WINDOWS32;
  fixed.dwFileType = VFT_DLL;
  return fixed;
}

}  // namespace

TEST(FileVersionInfo, ReadsTheProgramsFixedInformation) {
  CFileVersionInfo info;
  ASSERT_TRUE(info.ReadFromFile(kProgram.c_str()));
  ExpectProgramVersion(info);
  const VS_FIXEDFILEINFO& fixed = info.FixedInfo();
  EXPECT_EQ(fixed.dwProductVersionMS, 0x00000001u);
  EXPECT_EQ(fixed.dwProductVersionLS, 0x00020008u);
  EXPECT_EQ(fixed.dwFileFlagsMask, 0x17u);
  EXPECT_EQ(fixed.dwFileFlags, 0u);
  EXPECT_EQ(fixed.dwFileOS, static_cast<DWORD>(VOS__WINDOWS32));
  EXPECT_EQ(fixed.dwFileType, static_cast<DWORD>(VFT_APP));
  EXPECT_EQ(fixed.dwFileSubtype, 0u);
}

TEST(FileVersionInfo, TheProgramHasOneNeutralUnicodeTranslationWithItsStrings) {
  DWORD ignored = 0;
  std::vector<BYTE> data(::GetFileVersionInfoSizeW(kProgram.c_str(), &ignored));
  ASSERT_FALSE(data.empty());
  ASSERT_TRUE(
      ::GetFileVersionInfoW(kProgram.c_str(), 0, static_cast<DWORD>(data.size()), data.data()));
  void* value = nullptr;
  UINT length = 0;
  ASSERT_TRUE(::VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", &value, &length));
  ASSERT_EQ(length, 4u);
  EXPECT_EQ(*static_cast<DWORD*>(value), 0x04B00000u);
  for (const wchar_t* name : {L"FileVersion", L"ProductVersion"}) {
    const std::wstring block = std::wstring(L"\\StringFileInfo\\000004b0\\") + name;
    ASSERT_TRUE(::VerQueryValueW(data.data(), block.c_str(), &value, &length)) << name;
    EXPECT_STREQ(static_cast<wchar_t*>(value), L"0, 1, 2, 8") << name;
  }
  for (const wchar_t* name :
       {L"Comments", L"CompanyName", L"FileDescription", L"InternalName", L"LegalCopyright",
        L"LegalTrademarks", L"OriginalFilename", L"ProductName"}) {
    const std::wstring block = std::wstring(L"\\StringFileInfo\\000004b0\\") + name;
    EXPECT_TRUE(::VerQueryValueW(data.data(), block.c_str(), &value, &length)) << name;
  }
}

TEST(FileVersionInfo, FilesWithoutAVersionResourceLeaveItEmpty) {
  const std::wstring text = TempPath(L"movrane-version-test.txt");
  const HANDLE file = ::CreateFileW(text.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  ::WriteFile(file, "no version here", 15, &written, nullptr);
  ::CloseHandle(file);

  for (const std::wstring& path :
       {text, BuildOutputPath(L"link_recorder.exe"), TempPath(L"movrane-no-such-file.exe")}) {
    CFileVersionInfo info;
    ASSERT_TRUE(info.ReadFromFile(kProgram.c_str()));
    EXPECT_FALSE(info.ReadFromFile(path.c_str()));
    EXPECT_TRUE(IsEmpty(info));
  }
  ::DeleteFileW(text.c_str());
}

TEST(FileVersionInfo, AResourceWithoutTranslationTableFails) {
  DWORD ignored = 0;
  ASSERT_NE(::GetFileVersionInfoSizeW(kNoTranslation.c_str(), &ignored), 0u);
  CFileVersionInfo info;
  ASSERT_TRUE(info.ReadFromFile(kProgram.c_str()));
  EXPECT_FALSE(info.ReadFromFile(kNoTranslation.c_str()));
  EXPECT_TRUE(IsEmpty(info));
}

TEST(FileVersionInfo, ARootValueShorterThanTheFixedRecordFails) {
  const VS_FIXEDFILEINFO fixed = FixedRecord(0x00030004, 0x00050006);
  const std::wstring whole =
      CopyWithVersionBlock(L"movrane-version-whole.dll", {fixed, sizeof(fixed)});
  const std::wstring shortened = CopyWithVersionBlock(L"movrane-version-short.dll", {fixed, 40});
  ASSERT_FALSE(whole.empty());
  ASSERT_FALSE(shortened.empty());

  CFileVersionInfo info;
  EXPECT_TRUE(info.ReadFromFile(whole.c_str()));
  EXPECT_FALSE(info.ReadFromFile(shortened.c_str()));
  EXPECT_TRUE(IsEmpty(info));
  ::DeleteFileW(whole.c_str());
  ::DeleteFileW(shortened.c_str());
}

TEST(FileVersionInfo, ASecondReadReplacesTheFirstAndANullPathChangesNothing) {
  const std::wstring other =
      CopyWithVersionBlock(L"movrane-version-other.dll",
                           {FixedRecord(0x00030004, 0x00050006), sizeof(VS_FIXEDFILEINFO)});
  ASSERT_FALSE(other.empty());

  CFileVersionInfo info;
  ASSERT_TRUE(info.ReadFromFile(kProgram.c_str()));
  ASSERT_TRUE(info.ReadFromFile(other.c_str()));
  EXPECT_EQ(info.FixedInfo().dwFileVersionMS, 0x00030004u);
  EXPECT_EQ(info.FixedInfo().dwFileVersionLS, 0x00050006u);
  EXPECT_EQ(info.FixedInfo().dwFileType, static_cast<DWORD>(VFT_DLL));

  ASSERT_TRUE(info.ReadFromFile(kProgram.c_str()));
  EXPECT_FALSE(info.ReadFromFile(nullptr));
  ExpectProgramVersion(info);

  info.Clear();
  EXPECT_TRUE(IsEmpty(info));
  ::DeleteFileW(other.c_str());
}
