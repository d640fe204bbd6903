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
// all within one poll's budget, and their answers judged together
// (SelectAmongAnswers). A name the list repeats is asked once, and a server
// that asked by its kiss code to be left alone is not asked again in the
// run. When the network's path blocks NTS, the servers it blocked are asked
// again by plain SNTP, and when no time server answers at all, the web
// servers (CWebTimeQuery), all within the compare's one time limit; the
// poll says why its time is not authenticated. The first query runs on the
// calling thread, the others on threads of their own (CWinThread): a list
// of one is asked as the one query asks it. The stop event ends every
// exchange at once.
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
  // The time of a whole compare: NTS's poll, then plain SNTP's when the path
  // blocked NTS, then the web servers' when no time server answered.
  static constexpr uint32_t kCompareTimeout = 20000;

  std::vector<Answer> FirstAnswers(const std::vector<std::wstring>& servers) const;
  void Ask(const std::vector<std::wstring>& servers, bool nts, NtsSessions& sessions, std::vector<Answer>& answers,
           const CTimeLimit& compare);
  ServerPoll Judged(const ServerSettings& settings, const std::vector<Answer>& answers);
  ServerPoll WithWebTime(const ServerSettings& settings, ServerPoll poll, const CTimeLimit& compare);

  HANDLE m_stopEvent;

  // One query for each server asked at once; the first on the calling thread.
  std::vector<std::unique_ptr<CServerQuery>> m_queries;
  // The entries whose servers asked to be left alone, with their kiss.
  std::map<size_t, FailedExchange> m_leftAlone;
};
