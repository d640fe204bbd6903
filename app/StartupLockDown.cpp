// The process's first instructions of its own: a TLS callback, which the
// loader calls as soon as the imports are bound, before the C runtime's
// start-up, the constructors and the libraries' initialisers. From here on
// no DLL comes from the program's folder or the current directory.
#include <windows.h>
#include <ntsecapi.h>

#include <cstdint>

#include "framework/SystemFunction.h"

// The stack protector's guard. Its own set-up (libssp, a constructor)
// keeps a guard that is already set; otherwise it asks the system's crypto
// provider for one, whose DLLs would be loaded before anything could
// restrict where from.
extern "C" uintptr_t __stack_chk_guard;

namespace {

using DefaultDllDirectoriesSetter = BOOL(WINAPI*)(DWORD);

// A DLL loaded by name, and every DLL it depends on, comes from the system
// directory only. Systems without SetDefaultDllDirectories at least lose
// the current directory.
void LoadDllsFromTheSystemOnly() {
  const auto setDefaultDirectories =
      SystemFunction<DefaultDllDirectoriesSetter>(L"kernel32.dll", "SetDefaultDllDirectories");
  if (!setDefaultDirectories || !setDefaultDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32)) {
    ::SetDllDirectoryW(L"");
  }
}

// From the random source the program imports anyway, which loads nothing.
// Not protected itself: the guard changes under its frame.
__attribute__((no_stack_protector)) void SetStackGuard() {
  RtlGenRandom(&__stack_chk_guard, sizeof __stack_chk_guard);
}

__attribute__((no_stack_protector)) void NTAPI LockDown(PVOID, DWORD reason, PVOID) {
  if (reason != DLL_PROCESS_ATTACH) return;
  LoadDllsFromTheSystemOnly();
  SetStackGuard();
}

}  // namespace

// The loader calls the callbacks from .CRT$XLA to .CRT$XLZ in name order;
// the C runtime's own are in .CRT$XLC and .CRT$XLD.
extern "C" __attribute__((used, section(".CRT$XLB"))) const PIMAGE_TLS_CALLBACK movraneStartupLockDown = LockDown;
