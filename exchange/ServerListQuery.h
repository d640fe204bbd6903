#pragma once
#include <windows.h>

#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "exchange/ServerPoll.h"
#include "exchange/ServerQuery.h"
#include "exchange/ServerSettings.h"
#include "nts/NtsSession.h"

// A run's NTS sessions: one for each server of the list, in its order.
using NtsSessions = std::vector<CNtsSession>;

// The compares of one run (the dialog's synchronize measures twice) of the
// servers of the settings: each server asked as CServerQuery asks one, at
// most four at once (a server starts as soon as one before it has ended),
// and their answers judged together (SelectAmongAnswers). A name the list
// repeats is asked once, and a server that asked by its kiss code to be left
// alone is not asked again in the run. The first query runs on the calling
// thread, the others on threads of their own (CWinThread): a list of one is
// asked as the one query asks it. The stop event ends every exchange at once.
class CServerListQuery {
public:
  // A server's answer, once it has one.
  using Answer = std::optional<Result<SntpExchangeResult, FailedExchange>>;

  explicit CServerListQuery(HANDLE stopEvent);

  ServerPoll Run(const ServerSettings& settings, NtsSessions& sessions);

  // Sets the clock, see CSNTPClient::SetSystemClock.
  CSNTPClient& Client() { return m_queries.front()->Client(); }

private:
  static constexpr size_t kServersAtOnce = 4;

  std::vector<size_t> EntriesToAsk(const std::vector<std::wstring>& servers, std::vector<Answer>& answers) const;
  void Ask(const ServerSettings& settings, const std::vector<size_t>& entries, NtsSessions& sessions,
           std::vector<Answer>& answers);

  // One query for each server asked at once; the first on the calling thread.
  std::vector<std::unique_ptr<CServerQuery>> m_queries;
  // The entries whose servers asked to be left alone, with their kiss.
  std::map<size_t, FailedExchange> m_leftAlone;
};
