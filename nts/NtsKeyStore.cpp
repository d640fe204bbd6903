#include "nts/NtsKeyStore.h"

#include <mbedtls/sha256.h>

#include "framework/DataFile.h"
#include "nts/CertificateLibrary.h"
#include "ticktime/TickUnits.h"

namespace {
const wchar_t kFolderName[] = L"nts";
const wchar_t kFileExtension[] = L".key";
const wchar_t kUnfinishedExtension[] = L".new";
// Far more than the largest record (two names, keys and eight cookies)
// sealed: anything longer is no file of this store.
constexpr DWORD kLongestFile = 16384;
// The file's name: the first bytes of the SHA-256 of the server's name.
constexpr size_t kSha256Size = 32;
constexpr size_t kNameHashBytes = 16;

// The file's bytes, opened without following a link and only when it is a
// plain file no longer than any of the store's; empty otherwise.
KeptBytes ReadPlainFile(const std::wstring& path) {
  const CDataFile file(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, OPEN_EXISTING);
  if (!file.Open() || file.Size() > kLongestFile) return {};
  KeptBytes bytes(static_cast<size_t>(file.Size()));
  DWORD read = 0;
  if (!::ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) || read != bytes.size())
    return {};
  return bytes;
}

bool WritePlainFile(const std::wstring& path, const BYTE* bytes, DWORD size) {
  const CDataFile file(path, GENERIC_WRITE, 0, CREATE_ALWAYS);
  DWORD written = 0;
  return file.Open() && ::WriteFile(file.Get(), bytes, size, &written, nullptr) && written == size;
}

// DPAPI's bytes for this machine: they unseal in any account on it.
KeptBytes Sealed(const CCertificateLibrary& library, const KeptBytes& plain) {
  DATA_BLOB in{static_cast<DWORD>(plain.size()), const_cast<BYTE*>(plain.data())};
  DATA_BLOB out{};
  if (!library.CryptProtectData(&in, nullptr, nullptr, nullptr, nullptr,
                                CRYPTPROTECT_LOCAL_MACHINE | CRYPTPROTECT_UI_FORBIDDEN, &out))
    return {};
  KeptBytes sealed(out.pbData, out.pbData + out.cbData);
  ::LocalFree(out.pbData);
  return sealed;
}

KeptBytes Unsealed(const CCertificateLibrary& library, const KeptBytes& sealed) {
  DATA_BLOB in{static_cast<DWORD>(sealed.size()), const_cast<BYTE*>(sealed.data())};
  DATA_BLOB out{};
  if (!library.CryptUnprotectData(&in, nullptr, nullptr, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN, &out))
    return {};
  KeptBytes plain(out.pbData, out.pbData + out.cbData);
  ::SecureZeroMemory(out.pbData, out.cbData);
  ::LocalFree(out.pbData);
  return plain;
}

std::wstring HexOf(const uint8_t* bytes, size_t size) {
  static const wchar_t kDigits[] = L"0123456789abcdef";
  std::wstring text;
  for (size_t i = 0; i < size; ++i) {
    text += kDigits[bytes[i] >> 4];
    text += kDigits[bytes[i] & 0xF];
  }
  return text;
}
}  // namespace

CNtsKeyStore& CNtsKeyStore::Get() {
  static CNtsKeyStore store;
  return store;
}

CNtsKeyStore::CNtsKeyStore() : m_folder(OpenSafeDataFolder(kFolderName, true)) {}

// The folder checked again, as before each use; the file's path without
// its extension, empty when the folder is not safe now.
std::wstring CNtsKeyStore::FileOf(const std::string& server) const {
  if (m_folder.problem != DataFolderProblem::None) return {};
  const SafeDataFolder folder = OpenSafeDataFolder(kFolderName, false);
  if (folder.problem != DataFolderProblem::None) return {};
  uint8_t hash[kSha256Size];
  mbedtls_sha256(reinterpret_cast<const unsigned char*>(server.data()), server.size(), hash, 0);
  return folder.path + L'\\' + HexOf(hash, kNameHashBytes);
}

// Taken: the file goes at once, so that no cookie in it is spent twice,
// and what the run leaves is kept again after its query.
std::optional<KeptAssociation> CNtsKeyStore::Take(const std::string& server) const {
  const CCertificateLibrary* library = CCertificateLibrary::Get();
  const std::wstring file = FileOf(server);
  if (file.empty() || !library) return std::nullopt;
  const KeptBytes sealed = ReadPlainFile(file + kFileExtension);
  ::DeleteFileW((file + kFileExtension).c_str());
  if (sealed.empty()) return std::nullopt;
  std::optional<KeptAssociation> kept = ReadKeptAssociation(Unsealed(*library, sealed));
  if (!kept || kept->server != server || !StillFresh(*kept, Now())) return std::nullopt;
  return kept;
}

void CNtsKeyStore::Keep(const KeptAssociation& kept) const {
  const CCertificateLibrary* library = CCertificateLibrary::Get();
  const std::wstring file = FileOf(kept.server);
  if (file.empty() || !library) return;
  const KeptBytes sealed = Sealed(*library, WriteKeptAssociation(kept));
  if (sealed.empty()) return;
  const std::wstring unfinished = file + kUnfinishedExtension;
  if (WritePlainFile(unfinished, sealed.data(), static_cast<DWORD>(sealed.size())))
    ::MoveFileExW(unfinished.c_str(), (file + kFileExtension).c_str(), MOVEFILE_REPLACE_EXISTING);
  ::DeleteFileW(unfinished.c_str());
}

bool CNtsKeyStore::Forget() {
  return RemoveSafeDataFolder(kFolderName);
}

uint64_t CNtsKeyStore::Now() {
  FILETIME now{};
  ::GetSystemTimeAsFileTime(&now);
  const uint64_t ticks = (static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
  return ticks / kTicksPerSecond;
}
