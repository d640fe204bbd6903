#include "exchange/HistoryFile.h"

#include <windows.h>

#include "framework/SafeDataFolder.h"
#include "sntp/PreciseTime.h"

namespace {
const wchar_t kFolderName[] = L"history";
const wchar_t kFolderShown[] = L"%ProgramData%\\Movrane\\history";
const wchar_t kFileName[] = L"\\records.csv";
// While the other program holds the file, it is asked again this often,
// this many times.
constexpr DWORD kRetryMilliseconds = 10;
constexpr int kRetries = 50;

HistoryProblem FolderProblem(DataFolderProblem problem) {
  if (problem == DataFolderProblem::SystemError) return {kMessageHistoryNotWritten, kFolderShown};
  return {kMessageHistoryFolderUnsafe, kFolderShown};
}

// The file itself, never what a link in its place points to; shared by
// no one while open.
class HistoryHandle {
public:
  HistoryHandle(const std::wstring& path, DWORD access, DWORD disposition) {
    for (int attempt = 0; attempt < kRetries; ++attempt) {
      m_file = ::CreateFileW(path.c_str(), access, 0, nullptr, disposition,
                             FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
      if (m_file != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_SHARING_VIOLATION) break;
      ::Sleep(kRetryMilliseconds);
    }
    m_absent = m_file == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_FILE_NOT_FOUND;
    BY_HANDLE_FILE_INFORMATION information{};
    if (m_file != INVALID_HANDLE_VALUE &&
        (!::GetFileInformationByHandle(m_file, &information) ||
         (information.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0)) {
      ::CloseHandle(m_file);
      m_file = INVALID_HANDLE_VALUE;
    }
  }
  ~HistoryHandle() {
    if (Open()) ::CloseHandle(m_file);
  }
  HistoryHandle(const HistoryHandle&) = delete;
  HistoryHandle& operator=(const HistoryHandle&) = delete;

  bool Open() const { return m_file != INVALID_HANDLE_VALUE; }
  bool Absent() const { return m_absent; }

  // Its first kHistoryFileBytes.
  std::string ReadText() const {
    std::string text(kHistoryFileBytes, '\0');
    DWORD read = 0;
    if (!::ReadFile(m_file, text.data(), static_cast<DWORD>(text.size()), &read, nullptr)) read = 0;
    text.resize(read);
    return text;
  }

  bool Replace(const std::string& text) const {
    DWORD written = 0;
    return ::SetFilePointer(m_file, 0, nullptr, FILE_BEGIN) == 0 &&
           ::WriteFile(m_file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size() && ::SetEndOfFile(m_file);
  }

private:
  HANDLE m_file = INVALID_HANDLE_VALUE;
  bool m_absent = false;
};
}  // namespace

HistoryRead CHistoryFile::Keep(const ServerPoll& poll, bool stepped) {
  const SafeDataFolder folder = OpenSafeDataFolder(kFolderName, true);
  if (folder.problem != DataFolderProblem::None) return {{}, FolderProblem(folder.problem)};
  const std::wstring path = folder.path + kFileName;
  const HistoryHandle file(path, GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS);
  if (!file.Open()) return {{}, HistoryProblem{kMessageHistoryNotWritten, path}};
  HistoryRead history{ReadHistoryText(file.ReadText()), std::nullopt};
  const SntpExchangeResult& chosen = poll.ChosenTime();
  history.records.push_back(RecordOfPoll(poll, CalendarNearNow(chosen.m_DestinationTime), stepped));
  if (!file.Replace(HistoryText(history.records))) history.problem = HistoryProblem{kMessageHistoryNotWritten, path};
  return history;
}

HistoryRead CHistoryFile::Read() {
  const SafeDataFolder folder = OpenSafeDataFolder(kFolderName, false);
  if (folder.problem == DataFolderProblem::Absent) return {};
  if (folder.problem != DataFolderProblem::None) return {{}, FolderProblem(folder.problem)};
  const std::wstring path = folder.path + kFileName;
  const HistoryHandle file(path, GENERIC_READ, OPEN_EXISTING);
  if (file.Absent()) return {};
  if (!file.Open()) return {{}, HistoryProblem{kMessageHistoryNotWritten, path}};
  return {ReadHistoryText(file.ReadText()), std::nullopt};
}

std::wstring HistoryProblemLine(const std::vector<std::wstring>& messages, const HistoryProblem& problem) {
  return WithValues(messages[problem.message], {problem.path}) + L"\r\n";
}
