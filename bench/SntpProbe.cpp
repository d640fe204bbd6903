// Runs exchanges against one server, one after another, and prints a line
// for each: the measured clock offset and the exchange's duration, in
// seconds, or "failed" and the error. With --nts, authenticated: the key
// exchange comes with the first exchange and later ones spend its cookies;
// with --nts-fresh, every exchange begins with a key exchange of its own.
// usage: sntp_probe HOST COUNT [--nts|--nts-fresh]
#include <winsock2.h>

#include <chrono>
#include <cstdio>
#include <cwchar>

#include "framework/SocketInit.h"
#include "nts/NtsClient.h"
#include "sntp/SNTPClient.h"

namespace {

constexpr UINT kNtpPort = 123;

enum class Mode { Plain, Nts, NtsFresh };

void Exchange(LPCWSTR host, Mode mode, CNtsSession& session) {
  using Clock = std::chrono::steady_clock;
  CSNTPClient client;
  CNtsClient nts(client, nullptr);
  SntpExchangeResult result;
  if (mode == Mode::NtsFresh) session.Forget();
  const Clock::time_point start = Clock::now();
  const BOOL succeeded =
      mode == Mode::Plain ? client.QueryServer(host, result, kNtpPort) : nts.QueryServer(host, session, result);
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  if (succeeded)
    std::printf("%.6f %.6f\n", result.m_dClockOffset, seconds);
  else
    std::printf("failed %lu\n", GetLastError());
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3 || argc > 4) {
    std::fprintf(stderr, "usage: sntp_probe HOST COUNT [--nts|--nts-fresh]\n");
    return 2;
  }
  const Mode mode = argc < 4                                ? Mode::Plain
                    : std::wcscmp(argv[3], L"--nts") == 0 ? Mode::Nts
                                                            : Mode::NtsFresh;
  if (!AfxSocketInit())
    return 1;
  CNtsSession session;
  for (long i = std::wcstol(argv[2], nullptr, 10); i > 0; --i)
    Exchange(argv[1], mode, session);
  return 0;
}
