#pragma once
#include <windows.h>

#include <optional>

#include "exchange/CompareLog.h"
#include "exchange/SettingsFile.h"
#include "nts/NtsClient.h"
#include "nts/NtsSession.h"
#include "sntp/SNTPClient.h"

// One exchange with the configured server, as the program makes it: with
// NTS when the settings ask for it, the keys and cookies kept in the run's
// session; plain SNTP otherwise. It ends at once when stopEvent is signalled.
class CServerQuery {
public:
  explicit CServerQuery(HANDLE stopEvent);

  // FALSE with the cause in GetLastError (see Failure).
  BOOL Run(const ServerSettings& settings, CNtsSession& session, SntpExchangeResult& result);
  // What the user is told of the last run, which failed with error; nothing
  // when it was stopped.
  std::optional<FailedExchange> Failure(DWORD error) const;

  // Sets the clock, see CSNTPClient::SetSystemClock.
  CSNTPClient& Client() { return m_client; }

private:
  static constexpr UINT kNtpPort = 123;

  CSNTPClient m_client;
  CNtsClient m_nts;
};
