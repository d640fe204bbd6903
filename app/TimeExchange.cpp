#include "app/TimeExchange.h"

namespace {
constexpr UINT kNtpPort = 123;
}  // namespace

BOOL QueryTimeServer(CSNTPClient& client, const ServerSettings& settings, SntpExchangeResult& result) {
  return client.QueryServer(settings.server.c_str(), result, kNtpPort);
}
