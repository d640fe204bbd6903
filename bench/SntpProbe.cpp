// Runs SNTP exchanges against one server, one after another, and prints a
// line for each: the measured clock offset and the exchange's duration, in
// seconds, or "failed" and the error.
// usage: sntp_probe HOST COUNT
#include <winsock2.h>

#include <chrono>
#include <cstdio>
#include <cwchar>

#include "framework/WinApp.h"
#include "sntp/SNTPClient.h"

namespace {

constexpr UINT kNtpPort = 123;

void Exchange(LPCWSTR host) {
  using Clock = std::chrono::steady_clock;
  CSNTPClient client;
  SntpExchangeResult result;
  const Clock::time_point start = Clock::now();
  const BOOL succeeded = client.QueryServer(host, result, kNtpPort);
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  if (succeeded)
    std::printf("%.6f %.6f\n", result.m_dClockOffset, seconds);
  else
    std::printf("failed %lu\n", GetLastError());
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: sntp_probe HOST COUNT\n");
    return 2;
  }
  if (!AfxSocketInit())
    return 1;
  for (long i = std::wcstol(argv[2], nullptr, 10); i > 0; --i)
    Exchange(argv[1]);
  return 0;
}
