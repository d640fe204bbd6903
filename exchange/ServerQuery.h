#pragma once
#include <windows.h>

#include <string>

#include "exchange/FailedExchange.h"
#include "net/Result.h"
#include "net/TimeLimit.h"
#include "nts/NtsClient.h"
#include "nts/NtsSession.h"
#include "sntp/SNTPClient.h"

// One exchange with one server of the settings, as the program makes it:
// with NTS when the settings ask for it, the keys and cookies kept in the
// server's session for the run; plain SNTP otherwise. It ends at once when
// stopEvent is signalled, and within the budget of the whole poll.
class CServerQuery {
public:
  // The time of a whole poll, every server's turn within it: one server's
  // own, 10 s with NTS, and 5 s with its lookup's 5 s without.
  static constexpr uint32_t kPollTimeout = 10000;

  explicit CServerQuery(HANDLE stopEvent);

  // The measurement, or what the user is told of the failure (Stopped when
  // the stop event ended it, no answer when the budget had ended before).
  Result<SntpExchangeResult, FailedExchange> Run(const std::wstring& server, bool nts, CNtsSession& session,
                                                 const CTimeLimit& budget);

  // Sets the clock, see CSNTPClient::SetSystemClock.
  CSNTPClient& Client() { return m_client; }

private:
  static constexpr UINT kNtpPort = 123;

  CSNTPClient m_client;
  CNtsClient m_nts;
};
