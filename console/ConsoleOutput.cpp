#include "console/ConsoleOutput.h"

#include <string>

namespace {
bool IsConsole(HANDLE output) {
  DWORD mode = 0;
  return ::GetFileType(output) == FILE_TYPE_CHAR && ::GetConsoleMode(output, &mode);
}

std::string Utf8(const std::wstring& text) {
  const int length = static_cast<int>(text.size());
  const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  std::string bytes(size, '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.data(), length, bytes.data(), size, nullptr, nullptr);
  return bytes;
}
}  // namespace

CConsoleOutput::CConsoleOutput(DWORD standardHandle)
    : m_hOutput(::GetStdHandle(standardHandle)), m_bConsole(IsConsole(m_hOutput)) {}

// Until all is written or the output takes no more.
void CConsoleOutput::Write(const std::wstring& text) const {
  if (!m_hOutput || m_hOutput == INVALID_HANDLE_VALUE) return;
  if (m_bConsole) {
    for (size_t done = 0; done < text.size();) {
      DWORD written = 0;
      const DWORD left = static_cast<DWORD>(text.size() - done);
      if (!::WriteConsoleW(m_hOutput, text.data() + done, left, &written, nullptr) || written == 0) return;
      done += written;
    }
    return;
  }
  const std::string bytes = Utf8(text);
  for (size_t done = 0; done < bytes.size();) {
    DWORD written = 0;
    const DWORD left = static_cast<DWORD>(bytes.size() - done);
    if (!::WriteFile(m_hOutput, bytes.data() + done, left, &written, nullptr) || written == 0) return;
    done += written;
  }
}

void CConsoleOutput::WriteLine(const std::wstring& text) const {
  Write(text + L"\r\n");
}
