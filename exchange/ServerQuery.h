#pragma once
#include <windows.h>

#include <string>

#include "exchange/FailedExchange.h"
#include "net/Result.h"
#include "nts/NtsClient.h"
#include "nts/NtsSession.h"
#include "sntp/SNTPClient.h"

// One exchange with one server of the settings, as the program makes it:
// with NTS when the settings ask for it, the keys and cookies kept in the
// server's session for the run; plain SNTP otherwise. It ends at once when
// stopEvent is signalled.
class CServerQuery {
public:
  explicit CServerQuery(HANDLE stopEvent);

  // The measurement, or what the user is told of the failure (Stopped when
  // the stop event ended it).
  Result<SntpExchangeResult, FailedExchange> Run(const std::wstring& server, bool nts, CNtsSession& session);

  // Sets the clock, see CSNTPClient::SetSystemClock.
  CSNTPClient& Client() { return m_client; }

private:
  static constexpr UINT kNtpPort = 123;

  CSNTPClient m_client;
  CNtsClient m_nts;
};
