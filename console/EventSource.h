#pragma once
#include <windows.h>

#include <string>

// The Application log's event source of Movrane.com, as /schedule
// registers it where no installer has: HKLM's key of the source, naming
// the program as its message file, so that Event Viewer shows each event's
// text. A source this program made is marked so; one the installer made is
// never changed or removed here.
class CEventSource {
public:
  // Makes the source for the program (its full path) when none is
  // registered, or points one this program made at it: made tells whether
  // it did. ERROR_SUCCESS, or why the registry refused.
  static LSTATUS Register(const std::wstring& programPath, bool& made);

  // Removes the source when this program made it for the program: removed
  // tells whether it did. ERROR_SUCCESS, or why the registry refused.
  static LSTATUS RemoveOwn(const std::wstring& programPath, bool& removed);

  // The source's key under HKEY_LOCAL_MACHINE.
  static std::wstring KeyPath();
  // The value that marks a source as this program's own, and its data.
  static constexpr wchar_t kMarkName[] = L"RegisteredBy";
  static constexpr wchar_t kMark[] = L"Movrane.com /schedule";
};
