#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cwctype>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/wine/BuildOutput.h"
#include "tests/wine/TimeServers.h"
#include "tests/wine/compare/MainDialogRun.h"
#include "tests/wine/ui/Deadline.h"
#include "tests/wine/ui/DialogView.h"
#include "tests/wine/ui/ProcessWindows.h"
#include "tests/wine/ui/RunDirectory.h"
#include "tests/wine/ui/UserInput.h"

namespace {

using Names = std::set<std::wstring>;
using Paths = std::vector<std::wstring>;

constexpr DWORD kWaitMs = 5000;
// Wine's loader traces every module a process loads, the process's id in
// front, to the standard error that with-loader-trace keeps in this file.
const wchar_t kTraceFileVariable[] = L"MOVRANE_LOADER_TRACE";
const wchar_t kLoaderTrace[] = L"+pid,+loaddll";
const char kLoadedLine[] = ":trace:loaddll:build_module Loaded L\"";
// scripts/wine-run's overrides, which every run keeps.
const std::wstring kRunOverrides = L"mscoree,mshtml=";
const wchar_t kNativeFirst[] = L"=n,b";
// The DLL the load probes ask for by its bare name (tests/wine/LoadProbe.cpp).
const wchar_t kProbedLibrary[] = L"movrane_lockdown_probe.dll";

// The paths of the DLLs the loader traced for one process: its image, the
// one .exe among them, aside. Wine writes each backslash twice.
Paths LoadedDlls(DWORD processId) {
  wchar_t traceFile[MAX_PATH] = {};
  ::GetEnvironmentVariableW(kTraceFileVariable, traceFile, MAX_PATH);
  std::ifstream trace{std::filesystem::path(traceFile)};
  char process[16] = {};
  std::snprintf(process, sizeof process, "%04lx:", processId);
  Paths paths;
  for (std::string line; std::getline(trace, line);) {
    const size_t loaded = line.find(kLoadedLine);
    if (line.rfind(process, 0) != 0 || loaded == std::string::npos) continue;
    const size_t start = loaded + sizeof kLoadedLine - 1;
    std::wstring path;
    for (size_t at = start; at < line.size() && line[at] != '"'; ++at) {
      if (line[at] == '\\') ++at;
      path += static_cast<wchar_t>(line[at]);
    }
    if (std::filesystem::path(path).extension() != L".exe") paths.push_back(path);
  }
  return paths;
}

std::wstring NameOf(const std::wstring& path) {
  std::wstring name = std::filesystem::path(path).filename().wstring();
  std::transform(name.begin(), name.end(), name.begin(), ::towlower);
  return name;
}

Names NamesOf(const Paths& paths) {
  Names names;
  for (const std::wstring& path : paths) names.insert(NameOf(path));
  return names;
}

// The DLLs the idle Movrane loads, which is the program with none of its
// own code run, its dialogs drawn by the system alone: what Wine loads of
// its own accord.
Names LoadedByWine() {
  std::wstring commandLine = L"\"" + BuildOutputPath(L"idle_movrane.exe") + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
    ADD_FAILURE() << "the idle Movrane did not start";
    return {};
  }
  EXPECT_EQ(::WaitForSingleObject(process.hProcess, kWaitMs), WAIT_OBJECT_0);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  return NamesOf(LoadedDlls(process.dwProcessId));
}

// Hovers over the start of a link of the about box, which its tooltip tool
// covers, until the tooltip shows; and closes the box again. The pointer
// moves on a pixel each second, should the link have missed its arrival.
void HoverOverALink(DWORD processId, HWND mainDialog) {
  constexpr DWORD kNudgeMs = 1000;
  UserInput::ClickWindow(CDialogView(mainDialog).Control(IDC_ABOUT));
  const HWND box = CProcessWindows(processId).WaitFor(L"About...", IDC_VERSION, kWaitMs);
  ASSERT_NE(box, nullptr) << "no about box";
  const RECT link = CDialogView(box).ControlRect(IDC_LINK_AUTHOR_PAGE);
  const auto tooltipShows = [processId] {
    for (const HWND window : CProcessWindows(processId).All()) {
      wchar_t name[64] = {};
      ::GetClassNameW(window, name, 64);
      if (::lstrcmpiW(name, TOOLTIPS_CLASSW) == 0) return true;
    }
    return false;
  };
  const CDeadline deadline(kWaitMs);
  bool shown = false;
  for (LONG x = link.left + 3; !shown && !deadline.Expired(); ++x) {
    UserInput::MoveTo({x, (link.top + link.bottom) / 2});
    shown = CDeadline::Await(tooltipShows, kNudgeMs);
  }
  EXPECT_TRUE(shown) << "no tooltip";
  UserInput::ClickWindow(CDialogView(box).Control(IDOK));
}

// The DLLs the program loads through all that a person does with it:
// start-up with its compare, a compare, a synchronize, the about box and a
// hover over one of its links.
Paths LoadedThroughARun(const std::wstring& overrides = L"",
                        const CMainDialogRun::FolderPreparation& prepare = {},
                        const std::filesystem::path& current = {}) {
  ::SetEnvironmentVariableW(L"WINEDLLOVERRIDES", (kRunOverrides + overrides).c_str());
  CMainDialogRun run(TimeServers::kSynchronised, "", prepare, current);
  if (!run.Dialog()) {
    ADD_FAILURE() << "the dialog did not show";
    return {};
  }
  const std::wstring started = run.AwaitLogOtherThan(L"", kWaitMs);
  const std::wstring compared = run.ClickUntilLogged(IDC_COMPARE, started, kWaitMs);
  EXPECT_NE(compared, started) << "no compare";
  EXPECT_NE(run.ClickUntilLogged(IDC_SYNCHRONIZE, compared, kWaitMs), compared) << "no synchronize";
  HoverOverALink(run.Program().ProcessId(), run.Dialog());
  run.Program().PressEscape();
  EXPECT_TRUE(run.Program().WaitForExit(kWaitMs));
  return LoadedDlls(run.Program().ProcessId());
}

// A stand-in under each name.
void Plant(const std::filesystem::path& directory, const Names& names) {
  for (const std::wstring& name : names) {
    std::filesystem::copy_file(BuildOutputPath(L"planted_library.dll"), directory / name);
  }
}

// Wine takes these from the search path as Windows would, native first.
std::wstring NativeFirst(const Names& names) {
  std::wstring overrides;
  for (const std::wstring& name : names) {
    const std::filesystem::path path(name);
    overrides += L";" + (path.extension() == L".dll" ? path.stem().wstring() : name) + kNativeFirst;
  }
  return overrides;
}

// The exit code of a load probe run from a folder of its own, with a DLL
// of the name it loads beside it and the folder as its current directory:
// 0 when it loaded that DLL.
DWORD ProbeInAPlantedFolder(const wchar_t* probe) {
  const CRunDirectory folder;
  const std::filesystem::path program = folder.Path() / probe;
  std::filesystem::copy_file(BuildOutputPath(probe), program);
  std::filesystem::copy_file(BuildOutputPath(L"planted_library.dll"), folder.Path() / kProbedLibrary);
  std::wstring commandLine = L"\"" + program.wstring() + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.Path().c_str(), &startup, &process)) {
    ADD_FAILURE() << "the probe did not start";
    return ERROR_SUCCESS;
  }
  DWORD exitCode = STILL_ACTIVE;
  EXPECT_EQ(::WaitForSingleObject(process.hProcess, kWaitMs), WAIT_OBJECT_0);
  ::GetExitCodeProcess(process.hProcess, &exitCode);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  return exitCode;
}

bool FromTheSystem(const std::wstring& path) {
  wchar_t windows[MAX_PATH] = {};
  ::GetWindowsDirectoryW(windows, MAX_PATH);
  const std::wstring system = std::wstring(windows) + L"\\";
  return ::_wcsnicmp(path.c_str(), system.c_str(), system.size()) == 0;
}

}  // namespace

// A run of the program lists the DLLs it loads; stand-ins under all their
// names (its static imports among them, which the loader loads at start)
// lie beside it and in its current directory, preferred as native DLLs
// unless Wine loads them of its own accord, as for the idle Movrane. The
// program takes every one of them from the system all the same.
TEST(DllPlanting, NothingIsLoadedFromTheProgramsFolderOrTheCurrentDirectory) {
  // For the programs this test starts.
  ::SetEnvironmentVariableW(L"WINEDEBUG", kLoaderTrace);
  const Names byWine = LoadedByWine();
  const Names loaded = NamesOf(LoadedThroughARun());
  ASSERT_FALSE(byWine.empty()) << "no loader trace";
  std::wstring list;
  for (const std::wstring& name : loaded) list += L" " + name + (byWine.count(name) ? L"" : L"*");
  std::printf("loaded (* by the program's own doing):%ls\n", list.c_str());
  // The start-up lock-down sets the stack guard, which libssp then keeps
  // instead of asking a crypto provider for one.
  EXPECT_EQ(loaded.count(L"rsaenh.dll"), 0u) << "the stack guard came from a crypto provider";

  Names ownDoing;
  std::set_difference(loaded.begin(), loaded.end(), byWine.begin(), byWine.end(),
                      std::inserter(ownDoing, ownDoing.end()));
  const CRunDirectory current;
  Plant(current.Path(), loaded);
  const Paths planted = LoadedThroughARun(
      NativeFirst(ownDoing), [&](const std::filesystem::path& folder) { Plant(folder, loaded); }, current.Path());

  Paths notFromTheSystem;
  for (const std::wstring& path : planted) {
    if (!FromTheSystem(path) && !byWine.count(NameOf(path))) notFromTheSystem.push_back(path);
  }
  EXPECT_FALSE(planted.empty());
  EXPECT_EQ(notFromTheSystem, Paths{});
}

// The lock-down itself, apart from the names Wine's loader resolves on its
// own: without it a DLL beside the program loads by its bare name; with
// it, the search finds none.
TEST(DllPlanting, ALibraryBesideTheProgramLoadsOnlyWithoutTheLockDown) {
  EXPECT_EQ(ProbeInAPlantedFolder(L"unlocked_probe.exe"), static_cast<DWORD>(ERROR_SUCCESS))
      << "the planted DLL did not load even without the lock-down";
  EXPECT_EQ(ProbeInAPlantedFolder(L"lockdown_probe.exe"), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
}
