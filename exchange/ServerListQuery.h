#pragma once
#include <windows.h>

#include <memory>
#include <vector>

#include "exchange/ServerPoll.h"
#include "exchange/ServerQuery.h"
#include "exchange/ServerSettings.h"
#include "nts/NtsSession.h"

// A run's NTS sessions: one for each server of the list, in its order.
using NtsSessions = std::vector<CNtsSession>;

// One compare of the servers of the settings: each asked as CServerQuery
// asks one, within its own budget, at most four at once (a server starts as
// soon as one before it has ended), and their answers judged together
// (SelectAmongAnswers). The first query runs on the calling thread, the
// others on threads of their own (CWinThread): a list of one is asked as
// the one query asks it. The stop event ends every exchange at once.
class CServerListQuery {
public:
  explicit CServerListQuery(HANDLE stopEvent);

  ServerPoll Run(const ServerSettings& settings, NtsSessions& sessions);

  // Sets the clock, see CSNTPClient::SetSystemClock.
  CSNTPClient& Client() { return m_queries.front()->Client(); }

private:
  static constexpr size_t kServersAtOnce = 4;

  // One query for each server asked at once; the first on the calling thread.
  std::vector<std::unique_ptr<CServerQuery>> m_queries;
};
