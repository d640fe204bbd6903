// Runs exchanges against one server, one after another, and prints a line
// for each: the measured clock offset and the exchange's duration, in
// seconds, or "failed" and the kind of failure. With --nts, authenticated: the key
// exchange comes with the first exchange and later ones spend its cookies;
// with --nts-fresh, every exchange begins with a key exchange of its own.
// usage: sntp_probe HOST COUNT [--nts|--nts-fresh]
#include <winsock2.h>

#include <chrono>
#include <cstdio>
#include <cwchar>

#include "exchange/ServerQuery.h"
#include "framework/SocketInit.h"

namespace {

enum class Mode { Plain, Nts, NtsFresh };

void Exchange(LPCWSTR host, Mode mode, CNtsSession& session) {
  using Clock = std::chrono::steady_clock;
  CServerQuery query(nullptr);
  if (mode == Mode::NtsFresh) session.Forget();
  const Clock::time_point start = Clock::now();
  const Result<SntpExchangeResult, FailedExchange> answer = query.Run(host, mode != Mode::Plain, session,
                                                                    CTimeLimit(CServerQuery::kPollTimeout));
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  if (answer)
    std::printf("%.6f %.6f\n", answer->m_dClockOffset, seconds);
  else
    std::printf("failed %d\n", static_cast<int>(answer.Error().kind));
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
