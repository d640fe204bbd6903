// The process's first instructions of its own: a TLS callback, which the
// loader calls as soon as the imports are bound, before the C runtime's
// start-up, the constructors and the libraries' initialisers. From here on
// no DLL comes from the program's folder or the current directory; on a
// system that cannot promise that, the program does not start.
#include <windows.h>
#include <cpuid.h>

#include <cstdint>

#include "framework/SystemFunction.h"

// The stack protector's guard. Its own set-up (libssp, a constructor)
// keeps a guard that is already set; otherwise it asks the system's crypto
// provider for one, whose DLLs would be loaded before anything could
// restrict where from.
extern "C" uintptr_t __stack_chk_guard;

namespace {

using DefaultDllDirectoriesSetter = BOOL(WINAPI*)(DWORD);

const wchar_t kCaption[] = L"Movrane";
const wchar_t kNoLockDown[] =
    L"Movrane cannot start on this system: it would load DLLs from its own folder, where anyone may "
    L"have put one, and run them as administrator.\n\n"
    L"Windows 7 and Vista need the update KB2533623 to prevent that. Install it from Windows Update "
    L"and start Movrane again.";

// RDRAND may fail for a moment under load; Intel advises 10 tries.
constexpr int kHardwareRandomTries = 10;
// The finaliser of SplitMix64: each input bit reaches every output bit.
constexpr uint64_t kGoldenGamma = 0x9E3779B97F4A7C15;
constexpr uint64_t kMixMultiplier1 = 0xBF58476D1CE4E5B9;
constexpr uint64_t kMixMultiplier2 = 0x94D049BB133111EB;
constexpr int kDwordBits = 32;

// A DLL loaded by name, and every DLL it depends on, comes from the system
// directory only. False on systems without SetDefaultDllDirectories
// (Windows 7 and Vista without KB2533623), where SetDllDirectoryW would
// leave the program's folder first in the search.
bool LoadDllsFromTheSystemOnly() {
  const auto setDefaultDirectories =
      SystemFunction<DefaultDllDirectoriesSetter>(L"kernel32.dll", "SetDefaultDllDirectories");
  return setDefaultDirectories && setDefaultDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

// Says why and ends the process before any other code runs. The box is a
// service notification, which the system draws in its own process: a box
// of this process's own would load the theme and window DLLs from its
// folder.
[[noreturn]] void RefuseToStart() {
  ::MessageBoxW(nullptr, kNoLockDown, kCaption, MB_OK | MB_ICONERROR | MB_SERVICE_NOTIFICATION);
  ::TerminateProcess(::GetCurrentProcess(), ERROR_OLD_WIN_VERSION);
  __builtin_unreachable();
}

uint64_t Mixed(uint64_t state, uint64_t value) {
  uint64_t z = state + value + kGoldenGamma;
  z = (z ^ (z >> 30)) * kMixMultiplier1;
  z = (z ^ (z >> 27)) * kMixMultiplier2;
  return z ^ (z >> 31);
}

bool HasHardwareRandom() {
  unsigned int eax = 0, ebx = 0, ecx = 0, edx = 0;
  return __get_cpuid(1, &eax, &ebx, &ecx, &edx) && (ecx & bit_RDRND) != 0;
}

// 64 bits from the processor's generator; 0 when it gave none.
__attribute__((target("rdrnd"))) uint64_t HardwareRandom() {
  unsigned long long value = 0;
  for (int tries = 0; tries < kHardwareRandomTries; ++tries) {
    if (__builtin_ia32_rdrand64_step(&value)) return value;
  }
  return 0;
}

uint64_t PerformanceCount() {
  LARGE_INTEGER count{};
  ::QueryPerformanceCounter(&count);
  return static_cast<uint64_t>(count.QuadPart);
}

uint64_t FileTimeNow() {
  FILETIME now{};
  ::GetSystemTimeAsFileTime(&now);
  return static_cast<uint64_t>(now.dwHighDateTime) << kDwordBits | now.dwLowDateTime;
}

// Without any DLL: the processor's generator where it has one, mixed with
// what the C runtimes' own cookie set-up uses (the performance counter,
// the time, the process and thread ids, and the addresses ASLR chose for
// the stack, the image and the heap). Never 0, which libssp would replace.
// Not protected itself: the guard changes under its frame.
__attribute__((no_stack_protector)) void SetStackGuard() {
  const uint64_t stackAddress = reinterpret_cast<uintptr_t>(__builtin_frame_address(0));
  uint64_t guard = HasHardwareRandom() ? HardwareRandom() : 0;
  guard = Mixed(guard, PerformanceCount());
  guard = Mixed(guard, FileTimeNow());
  guard = Mixed(guard, uint64_t{::GetCurrentProcessId()} << kDwordBits | ::GetCurrentThreadId());
  guard = Mixed(guard, stackAddress);
  guard = Mixed(guard, reinterpret_cast<uintptr_t>(&__stack_chk_guard));
  guard = Mixed(guard, reinterpret_cast<uintptr_t>(::GetProcessHeap()));
  __stack_chk_guard = static_cast<uintptr_t>(guard != 0 ? guard : kGoldenGamma);
}

__attribute__((no_stack_protector)) void NTAPI LockDown(PVOID, DWORD reason, PVOID) {
  if (reason != DLL_PROCESS_ATTACH) return;
  if (!LoadDllsFromTheSystemOnly()) RefuseToStart();
  SetStackGuard();
}

}  // namespace

// The loader calls the callbacks from .CRT$XLA to .CRT$XLZ in name order;
// the C runtime's own are in .CRT$XLC and .CRT$XLD.
extern "C" __attribute__((used, section(".CRT$XLB"))) const PIMAGE_TLS_CALLBACK movraneStartupLockDown = LockDown;
