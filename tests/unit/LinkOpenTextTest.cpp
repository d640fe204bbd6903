#include "controls/LinkOpenText.h"

#include <gtest/gtest.h>

namespace {

const std::wstring kPrefix = L"Unable to open hyperlink:\n\n";
const std::wstring kTarget = L"https://example.org/movrane/";
// The target closes every text, for the user to open by hand.
const std::wstring kTargetLine = L"\n\n" + kTarget;

}  // namespace

TEST(LinkOpenText, EveryKnownCodeHasItsOwnMessage) {
  const std::pair<int, std::wstring> known[] = {
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
      {kNoUnelevatedShell, L"There is no desktop shell to open it with your\nnormal rights, and a program "
                           L"running as\nadministrator does not open it itself."},
  };
  for (const auto& [code, message] : known) {
    EXPECT_EQ(LinkOpenErrorText(code, kTarget), kPrefix + message + kTargetLine) << code;
  }
}

TEST(LinkOpenText, OtherCodesAreUnknownErrorsWithTheSignedCode) {
  for (const int code : {1, 4, 6, 7, 9, 10, 12, 25, 33, 42, -3}) {
    EXPECT_EQ(LinkOpenErrorText(code, kTarget),
              kPrefix + L"Unknown Error (" + std::to_wstring(code) + L") occurred." + kTargetLine)
        << code;
  }
  EXPECT_EQ(LinkOpenErrorText(-5, kTarget), kPrefix + L"Unknown Error (-5) occurred." + kTargetLine);
  EXPECT_EQ(LinkOpenErrorText(-2147483647 - 1, kTarget),
            kPrefix + L"Unknown Error (-2147483648) occurred." + kTargetLine);
}
