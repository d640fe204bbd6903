#pragma once
#include <windows.h>

#include "exchange/CompareLog.h"
#include "exchange/ServerSettings.h"
#include "net/Result.h"
#include "nts/NtsClient.h"
#include "nts/NtsSession.h"
#include "sntp/SNTPClient.h"

// One exchange with the configured server, as the program makes it: with
// NTS when the settings ask for it, the keys and cookies kept in the run's
// session; plain SNTP otherwise. It ends at once when stopEvent is signalled.
class CServerQuery {
public:
  explicit CServerQuery(HANDLE stopEvent);

  // The measurement, or what the user is told of the failure (Stopped when
  // the stop event ended it).
  Result<SntpExchangeResult, FailedExchange> Run(const ServerSettings& settings, CNtsSession& session);

  // Sets the clock, see CSNTPClient::SetSystemClock.
  CSNTPClient& Client() { return m_client; }

private:
  static constexpr UINT kNtpPort = 123;

  CSNTPClient m_client;
  CNtsClient m_nts;
};
