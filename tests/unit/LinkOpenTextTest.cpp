#include "controls/LinkOpenText.h"

#include <gtest/gtest.h>

namespace {

const std::wstring kPrefix = L"Unable to open hyperlink:\n\n";

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
  };
  for (const auto& [code, message] : known) {
    EXPECT_EQ(LinkOpenErrorText(code), kPrefix + message) << code;
  }
}

TEST(LinkOpenText, OtherCodesAreUnknownErrorsWithTheSignedCode) {
  for (const int code : {1, 4, 6, 7, 9, 10, 12, 25, 33, 42, -1}) {
    EXPECT_EQ(LinkOpenErrorText(code),
              kPrefix + L"Unknown Error (" + std::to_wstring(code) + L") occurred.")
        << code;
  }
  EXPECT_EQ(LinkOpenErrorText(-5), kPrefix + L"Unknown Error (-5) occurred.");
  EXPECT_EQ(LinkOpenErrorText(-2147483647 - 1),
            kPrefix + L"Unknown Error (-2147483648) occurred.");
}

TEST(LinkOpenText, CommandIsCutAtThePlaceholderAndTheTargetAppendedUnquoted) {
  const std::wstring target = L"https://example.org/movrane/";
  // The quoted placeholder goes with its quotes and all that follows it.
  EXPECT_EQ(BrowserCommandLine(L"\"C:\\Web\\browser.exe\" -nohome \"%1\" -new", target),
            L"\"C:\\Web\\browser.exe\" -nohome  https://example.org/movrane/");
  // The quoted one wins over an earlier bare one.
  EXPECT_EQ(BrowserCommandLine(L"browser %1 -x \"%1\"", target),
            L"browser %1 -x  https://example.org/movrane/");
  EXPECT_EQ(BrowserCommandLine(L"browser.exe -url %1,-x", target),
            L"browser.exe -url  https://example.org/movrane/");
  EXPECT_EQ(BrowserCommandLine(L"browser.exe -url %12", target),
            L"browser.exe -url  https://example.org/movrane/");
  // Without a placeholder the whole command stays.
  EXPECT_EQ(BrowserCommandLine(L"\"C:\\Web\\browser.exe\" -dde", target),
            L"\"C:\\Web\\browser.exe\" -dde https://example.org/movrane/");
  EXPECT_EQ(BrowserCommandLine(L"", L"mailto:movrane@example.org"),
            L" mailto:movrane@example.org");
}

TEST(LinkOpenText, CommandThatWouldOverflowTheBufferIsRefused) {
  const std::wstring command = L"browser.exe \"%1\"";  // becomes "browser.exe  " + target
  const std::size_t room = kBrowserCommandChars - 1 - std::wstring(L"browser.exe  ").size();
  EXPECT_EQ(BrowserCommandLine(command, std::wstring(room, L'x'))->size(),
            kBrowserCommandChars - 1);
  EXPECT_FALSE(BrowserCommandLine(command, std::wstring(room + 1, L'x')));
  EXPECT_FALSE(BrowserCommandLine(std::wstring(260, L'b'), std::wstring(400, L'x')));
}
