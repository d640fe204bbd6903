// Stands in for a system DLL that someone put beside a program or in its
// current directory. When it is loaded, it leaves a marker file named after
// itself, "<its path>.loaded". It also offers the three calls of the
// version library, answered by the system's own but with every file
// version read as 6.6.6.6, so that a program that reads its version
// through the stand-in shows it.
#include <windows.h>

namespace {

constexpr DWORD kPlantedVersion = 0x00060006;

HMODULE SystemVersionLibrary() {
  wchar_t path[MAX_PATH] = {};
  const UINT length = ::GetSystemDirectoryW(path, MAX_PATH);
  ::lstrcpyW(path + length, L"\\version.dll");
  static const HMODULE library = ::LoadLibraryW(path);
  return library;
}

template <class Function>
Function SystemCall(const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(SystemVersionLibrary(), name)));
}

}  // namespace

extern "C" {

DWORD WINAPI PlantedGetFileVersionInfoSizeW(LPCWSTR path, LPDWORD handle) {
  return SystemCall<DWORD(WINAPI*)(LPCWSTR, LPDWORD)>("GetFileVersionInfoSizeW")(path, handle);
}

BOOL WINAPI PlantedGetFileVersionInfoW(LPCWSTR path, DWORD handle, DWORD size,
                                                             LPVOID data) {
  return SystemCall<BOOL(WINAPI*)(LPCWSTR, DWORD, DWORD, LPVOID)>("GetFileVersionInfoW")(path, handle, size,
                                                                                       data);
}

BOOL WINAPI PlantedVerQueryValueW(LPCVOID block, LPCWSTR subBlock, LPVOID* buffer,
                                                        PUINT length) {
  const BOOL found =
      SystemCall<BOOL(WINAPI*)(LPCVOID, LPCWSTR, LPVOID*, PUINT)>("VerQueryValueW")(block, subBlock, buffer, length);
  if (found && subBlock[0] == L'\\' && subBlock[1] == 0) {
    auto* fixed = static_cast<VS_FIXEDFILEINFO*>(*buffer);
    fixed->dwFileVersionMS = fixed->dwFileVersionLS = kPlantedVersion;
  }
  return found;
}

}  // extern "C"

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  wchar_t path[MAX_PATH + 8] = {};
  const DWORD length = ::GetModuleFileNameW(self, path, MAX_PATH);
  ::lstrcpyW(path + length, L".loaded");
  ::CloseHandle(::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  return TRUE;
}
