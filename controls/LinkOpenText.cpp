#include "controls/LinkOpenText.h"

namespace {

const wchar_t kErrorPrefix[] = L"Unable to open hyperlink:\n\n";
const wchar_t kTargetSeparator[] = L"\n\n";

struct ErrorMessage {
  int code;
  const wchar_t* text;
};

const ErrorMessage kErrorMessages[] = {
    {0, L"The operating system is out\nof memory or resources."},
    {2, L"The specified file was not found."},
    {3, L"The specified path was not found."},
    {5, L"The operating system denied\naccess to the specified file."},
    {8, L"There was not enough memory to complete the operation."},
    {11, L"The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image)."},
    {26, L"A sharing violation occurred. "},
    {27, L"The filename association is\nincomplete or invalid."},
    {28, L"The DDE transaction could not\nbe completed because the request timed out."},
    {29, L"The DDE transaction failed."},
    {30, L"The DDE transaction could not\nbe completed because other DDE transactions\n"
         L"were being processed."},
    {31, L"There is no application associated\nwith the given filename extension."},
    {32, L"The specified dynamic-link library was not found."},
    {kDesktopShellFailed, L"The desktop shell could not open it."},
    {kNoUnelevatedShell, L"There is no desktop shell to open it with your\nnormal rights, and a program running as\n"
                         L"administrator does not open it itself."},
};

std::wstring ErrorMessageFor(int code) {
  for (const ErrorMessage& message : kErrorMessages) {
    if (message.code == code) return message.text;
  }
  return L"Unknown Error (" + std::to_wstring(code) + L") occurred.";
}

}  // namespace

std::wstring LinkOpenErrorText(int code, const std::wstring& target) {
  return kErrorPrefix + ErrorMessageFor(code) + kTargetSeparator + target;
}
