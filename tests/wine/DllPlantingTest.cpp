#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/wine/BuildOutput.h"
#include "tests/wine/ui/DialogView.h"
#include "tests/wine/ui/ProcessWindows.h"
#include "tests/wine/ui/ProgramRun.h"
#include "tests/wine/ui/SilentServer.h"
#include "tests/wine/ui/UserInput.h"

namespace {

// The DLLs the program may import, and the version library it loads. Of
// them, the test runs with comctl32 and version preferred as native DLLs
// (WINEDLLOVERRIDES), as Windows takes them from the search path.
const wchar_t* const kSystemDlls[] = {L"kernel32", L"user32",   L"gdi32",   L"advapi32", L"shell32",
                                      L"ws2_32",   L"msvcrt",   L"comctl32", L"version"};
// Wine's own user32 imports the version library, so Wine loads that one
// from the program's folder, as Windows' user32 (a known DLL, which imports
// only known DLLs) never would.
const wchar_t kLoadedByWinesUser32[] = L"version.dll.loaded";
constexpr DWORD kShowUpMs = 5000;

// A stand-in under the name of every one of them.
void Plant(const std::filesystem::path& directory) {
  for (const wchar_t* name : kSystemDlls) {
    std::filesystem::copy_file(BuildOutputPath(L"planted_library.dll"),
                               directory / (std::wstring(name) + L".dll"));
  }
}

// The stand-ins that were loaded, but for the one Wine itself loads.
std::vector<std::wstring> Loaded(const std::filesystem::path& directory) {
  std::vector<std::wstring> loaded;
  for (const auto& entry : std::filesystem::directory_iterator(directory)) {
    const std::wstring name = entry.path().filename().wstring();
    if (entry.path().extension() == L".loaded" && name != kLoadedByWinesUser32) loaded.push_back(name);
  }
  return loaded;
}

// The version label of the about box, opened and closed as a person does.
std::wstring AboutVersion(CProgramRun& run) {
  UserInput::ClickWindow(CDialogView(run.MainWindow()).Control(IDC_ABOUT));
  const HWND box = CProcessWindows(run.ProcessId()).WaitFor(L"About...", IDC_VERSION, kShowUpMs);
  if (!box) return L"(no about box)";
  const std::wstring version = CDialogView(box).Text(IDC_VERSION);
  UserInput::ClickWindow(CDialogView(box).Control(IDOK));
  return version;
}

}  // namespace

// Whatever lies beside the program or in its current directory, it loads
// its DLLs from the system only, and reads its version through the
// system's library: the stand-in's would read 6.6.6.6.
TEST(DllPlanting, NothingIsLoadedFromTheProgramsFolderOrTheCurrentDirectory) {
  const CRunDirectory beside;
  beside.WriteSettings(kSilentServerSettings);
  Plant(beside.Path());
  const CRunDirectory current;
  Plant(current.Path());

  CProgramRun run(beside, current.Path());
  ASSERT_NE(run.MainWindow(), nullptr) << "the dialog did not show";
  EXPECT_EQ(AboutVersion(run), L"ver. 0.1.2.8");
  EXPECT_EQ(Loaded(beside.Path()), std::vector<std::wstring>{}) << "from the program's folder";
  EXPECT_EQ(Loaded(current.Path()), std::vector<std::wstring>{}) << "from the current directory";
}
