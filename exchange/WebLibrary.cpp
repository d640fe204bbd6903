#include "exchange/WebLibrary.h"

#include "framework/SystemFunction.h"

const CWebLibrary* CWebLibrary::Get() {
  static const CWebLibrary library;
  return library.Loaded() ? &library : nullptr;
}

CWebLibrary::CWebLibrary() {
  const HMODULE winhttp = LoadFromSystemDirectory(L"winhttp.dll");
  if (!winhttp) return;
  WinHttpOpen = SystemFunction<decltype(WinHttpOpen)>(winhttp, "WinHttpOpen");
  WinHttpSetOption = SystemFunction<decltype(WinHttpSetOption)>(winhttp, "WinHttpSetOption");
  WinHttpGetDefaultProxyConfiguration =
      SystemFunction<decltype(WinHttpGetDefaultProxyConfiguration)>(winhttp, "WinHttpGetDefaultProxyConfiguration");
  WinHttpGetIEProxyConfigForCurrentUser =
      SystemFunction<decltype(WinHttpGetIEProxyConfigForCurrentUser)>(winhttp, "WinHttpGetIEProxyConfigForCurrentUser");
  WinHttpConnect = SystemFunction<decltype(WinHttpConnect)>(winhttp, "WinHttpConnect");
  WinHttpOpenRequest = SystemFunction<decltype(WinHttpOpenRequest)>(winhttp, "WinHttpOpenRequest");
  WinHttpSetTimeouts = SystemFunction<decltype(WinHttpSetTimeouts)>(winhttp, "WinHttpSetTimeouts");
  WinHttpSendRequest = SystemFunction<decltype(WinHttpSendRequest)>(winhttp, "WinHttpSendRequest");
  WinHttpReceiveResponse = SystemFunction<decltype(WinHttpReceiveResponse)>(winhttp, "WinHttpReceiveResponse");
  WinHttpQueryHeaders = SystemFunction<decltype(WinHttpQueryHeaders)>(winhttp, "WinHttpQueryHeaders");
  WinHttpCloseHandle = SystemFunction<decltype(WinHttpCloseHandle)>(winhttp, "WinHttpCloseHandle");
}

bool CWebLibrary::Loaded() const {
  return WinHttpOpen && WinHttpSetOption && WinHttpGetDefaultProxyConfiguration &&
         WinHttpGetIEProxyConfigForCurrentUser && WinHttpConnect && WinHttpOpenRequest && WinHttpSetTimeouts &&
         WinHttpSendRequest && WinHttpReceiveResponse && WinHttpQueryHeaders && WinHttpCloseHandle;
}
