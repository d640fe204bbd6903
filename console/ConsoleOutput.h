#pragma once
#include <windows.h>

#include <string>

// Standard output or standard error: UTF-16 through the console when it
// is one, UTF-8 bytes when it is redirected to a file or a pipe.
class CConsoleOutput {
public:
  explicit CConsoleOutput(DWORD standardHandle);

  void Write(const std::wstring& text) const;
  // The text as a line of its own, ended by CR LF.
  void WriteLine(const std::wstring& text) const;

private:
  HANDLE m_hOutput;
  bool m_bConsole;
};
