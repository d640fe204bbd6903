#include "exchange/HistoryFile.h"

#include <windows.h>

#include <optional>

#include "framework/DataFile.h"
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
// no one while open: while the other program holds it, asked again.
class HistoryHandle {
public:
  HistoryHandle(const std::wstring& path, DWORD access, DWORD disposition) {
    for (int attempt = 0; attempt < kRetries; ++attempt) {
      m_file.emplace(path, access, 0, disposition);
      if (m_file->Open() || ::GetLastError() != ERROR_SHARING_VIOLATION) break;
      ::Sleep(kRetryMilliseconds);
    }
    m_absent = !Open() && ::GetLastError() == ERROR_FILE_NOT_FOUND;
  }

  bool Open() const { return m_file && m_file->Open(); }
  bool Absent() const { return m_absent; }

  // Its first kHistoryFileBytes.
  std::string ReadText() const {
    std::string text(kHistoryFileBytes, '\0');
    DWORD read = 0;
    if (!::ReadFile(m_file->Get(), text.data(), static_cast<DWORD>(text.size()), &read, nullptr)) read = 0;
    text.resize(read);
    return text;
  }

  bool Replace(const std::string& text) const {
    DWORD written = 0;
    return ::SetFilePointer(m_file->Get(), 0, nullptr, FILE_BEGIN) == 0 &&
           ::WriteFile(m_file->Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size() && ::SetEndOfFile(m_file->Get());
  }

private:
  std::optional<CDataFile> m_file;
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
