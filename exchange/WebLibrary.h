#pragma once
#include <windows.h>
#include <winhttp.h>

// The calls of Windows' HTTP library (WinHTTP) that ask a web server for
// its time. It is not one of the DLLs the system always takes from its own
// directory, so it is never imported: it is loaded from there by full path
// at the first web query and stays loaded until the process ends.
class CWebLibrary {
public:
  // The library; null when it cannot be loaded.
  static const CWebLibrary* Get();

  decltype(&::WinHttpOpen) WinHttpOpen = nullptr;
  decltype(&::WinHttpSetOption) WinHttpSetOption = nullptr;
  decltype(&::WinHttpGetDefaultProxyConfiguration) WinHttpGetDefaultProxyConfiguration = nullptr;
  decltype(&::WinHttpGetIEProxyConfigForCurrentUser) WinHttpGetIEProxyConfigForCurrentUser = nullptr;
  decltype(&::WinHttpConnect) WinHttpConnect = nullptr;
  decltype(&::WinHttpOpenRequest) WinHttpOpenRequest = nullptr;
  decltype(&::WinHttpSetTimeouts) WinHttpSetTimeouts = nullptr;
  decltype(&::WinHttpSendRequest) WinHttpSendRequest = nullptr;
  decltype(&::WinHttpReceiveResponse) WinHttpReceiveResponse = nullptr;
  decltype(&::WinHttpQueryHeaders) WinHttpQueryHeaders = nullptr;
  decltype(&::WinHttpCloseHandle) WinHttpCloseHandle = nullptr;

private:
  CWebLibrary();
  bool Loaded() const;
};
