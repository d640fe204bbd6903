#include "tests/wine/console/ConsoleRun.h"

#include <fstream>

#include "tests/wine/ui/Deadline.h"
#include <iterator>
#include <vector>

namespace {
constexpr DWORD kRunMs = 20000;
constexpr DWORD kEndMs = 5000;
constexpr SHORT kScreenLines = 40;

std::string FileBytes(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

HANDLE Inheritable(const std::filesystem::path& path) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  return ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
}

// This test's console, made when it has none; every run shares it.
HANDLE ConsoleScreen() {
  static HANDLE screen = INVALID_HANDLE_VALUE;
  if (screen != INVALID_HANDLE_VALUE) return screen;
  // The test's own output stays where it goes.
  const HANDLE output = ::GetStdHandle(STD_OUTPUT_HANDLE);
  const HANDLE errors = ::GetStdHandle(STD_ERROR_HANDLE);
  ::FreeConsole();
  ::AllocConsole();
  ::SetStdHandle(STD_OUTPUT_HANDLE, output);
  ::SetStdHandle(STD_ERROR_HANDLE, errors);
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  screen = ::CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                         OPEN_EXISTING, 0, nullptr);
  return screen;
}

// Ctrl+C reaches every process of the console: this one takes it as
// handled.
BOOL WINAPI IgnoreControl(DWORD) {
  return TRUE;
}

PROCESS_INFORMATION Start(const CRunDirectory& directory, const std::wstring& arguments, HANDLE output,
                          HANDLE errors) {
  const std::wstring program = directory.ProgramPath().wstring();
  std::wstring commandLine = L"\"" + program + L"\" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = output;
  startup.hStdError = errors;
  PROCESS_INFORMATION process{};
  ::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                   directory.Path().c_str(), &startup, &process);
  return process;
}

// Waits for the end, ending it after kRunMs, and closes the handles.
DWORD Finish(PROCESS_INFORMATION& process) {
  DWORD exitCode = STILL_ACTIVE;
  if (!process.hProcess) return exitCode;
  if (::WaitForSingleObject(process.hProcess, kRunMs) != WAIT_OBJECT_0) {
    ::TerminateProcess(process.hProcess, STILL_ACTIVE);
    ::WaitForSingleObject(process.hProcess, kEndMs);
  }
  ::GetExitCodeProcess(process.hProcess, &exitCode);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  return exitCode;
}

std::wstring CutTrailingBlanks(std::wstring line) {
  line.erase(line.find_last_not_of(L' ') + 1);
  return line;
}
}  // namespace

ConsoleOutcome RunConsoleProgram(const CRunDirectory& directory, const std::wstring& arguments,
                                 const std::function<bool()>& pressCtrlCWhen) {
  const std::filesystem::path outputPath = directory.Path() / L"output.txt";
  const std::filesystem::path errorsPath = directory.Path() / L"errors.txt";
  const HANDLE output = Inheritable(outputPath);
  const HANDLE errors = Inheritable(errorsPath);
  if (pressCtrlCWhen) ConsoleScreen();
  const ULONGLONG start = ::GetTickCount64();
  PROCESS_INFORMATION process = Start(directory, arguments, output, errors);
  ::CloseHandle(output);
  ::CloseHandle(errors);
  std::optional<ULONGLONG> pressed;
  if (pressCtrlCWhen && process.hProcess && CDeadline::Await(pressCtrlCWhen, kRunMs)) {
    ::SetConsoleCtrlHandler(IgnoreControl, TRUE);
    pressed = ::GetTickCount64();
    ::GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0);
  }
  ConsoleOutcome outcome;
  outcome.exitCode = Finish(process);
  const ULONGLONG end = ::GetTickCount64();
  outcome.seconds = (end - start) / 1000.0;
  if (pressed) outcome.secondsAfterCtrlC = (end - *pressed) / 1000.0;
  outcome.output = FileBytes(outputPath);
  outcome.errors = FileBytes(errorsPath);
  return outcome;
}

std::wstring RunOnConsole(const CRunDirectory& directory, const std::wstring& arguments) {
  const HANDLE screen = ConsoleScreen();
  CONSOLE_SCREEN_BUFFER_INFO info{};
  ::GetConsoleScreenBufferInfo(screen, &info);
  const SHORT width = info.dwSize.X;
  const DWORD cells = static_cast<DWORD>(width) * kScreenLines;
  DWORD written = 0;
  ::FillConsoleOutputCharacterW(screen, L' ', cells, COORD{0, 0}, &written);
  ::SetConsoleCursorPosition(screen, COORD{0, 0});
  PROCESS_INFORMATION process = Start(directory, arguments, screen, screen);
  Finish(process);
  std::vector<wchar_t> shown(cells);
  DWORD read = 0;
  ::ReadConsoleOutputCharacterW(screen, shown.data(), cells, COORD{0, 0}, &read);
  std::wstring text;
  for (DWORD line = 0; line + width <= read; line += width) {
    const std::wstring row = CutTrailingBlanks(std::wstring(shown.data() + line, width));
    if (!row.empty()) text += row + L"\n";
  }
  return text;
}

std::wstring FromUtf8(const std::string& bytes) {
  const int length = static_cast<int>(bytes.size());
  const int size = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), length, nullptr, 0);
  std::wstring text(size, L'\0');
  ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), length, text.data(), size);
  return text;
}
