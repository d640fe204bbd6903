#include "exchange/ServerListQuery.h"

#include <algorithm>
#include <atomic>
#include <optional>

#include "framework/WinThread.h"

namespace {

using Answer = std::optional<Result<SntpExchangeResult, FailedExchange>>;

// The servers of one compare, shared by the queries that ask them: each
// takes the next server no query has taken yet until none is left.
struct ServerTurns {
  const ServerSettings& settings;
  NtsSessions& sessions;
  std::vector<Answer>& answers;
  std::atomic<size_t> next{0};
  const CTimeLimit budget{CServerQuery::kPollTimeout};
};

struct Asker {
  ServerTurns* turns;
  CServerQuery* query;
};

UINT AskInTurn(LPVOID parameter) {
  const Asker& asker = *static_cast<Asker*>(parameter);
  ServerTurns& turns = *asker.turns;
  const std::vector<std::wstring>& servers = turns.settings.servers;
  for (size_t i = turns.next++; i < servers.size(); i = turns.next++)
    turns.answers[i] = asker.query->Run(servers[i], turns.settings.nts, turns.sessions[i], turns.budget);
  return 0;
}

}  // namespace

CServerListQuery::CServerListQuery(HANDLE stopEvent) {
  for (size_t i = 0; i < kServersAtOnce; ++i) m_queries.push_back(std::make_unique<CServerQuery>(stopEvent));
}

ServerPoll CServerListQuery::Run(const ServerSettings& settings, NtsSessions& sessions) {
  const std::vector<std::wstring>& servers = settings.servers;
  if (sessions.size() < servers.size()) sessions.resize(servers.size());
  std::vector<Answer> answers(servers.size());
  ServerTurns turns{settings, sessions, answers};
  std::vector<Asker> askers;
  for (size_t k = 0; k < std::min(servers.size(), kServersAtOnce); ++k) askers.push_back({&turns, m_queries[k].get()});

  // The first asks on this thread; a thread that cannot be made leaves its
  // servers to the others.
  std::vector<std::unique_ptr<CWinThread>> helpers;
  for (size_t k = 1; k < askers.size(); ++k) {
    std::unique_ptr<CWinThread> helper(AfxBeginThread(AskInTurn, &askers[k], THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED));
    if (!helper) break;
    helper->m_bAutoDelete = FALSE;
    helper->ResumeThread();
    helpers.push_back(std::move(helper));
  }
  AskInTurn(&askers.front());
  for (const std::unique_ptr<CWinThread>& helper : helpers) ::WaitForSingleObject(helper->m_hThread, INFINITE);

  ServerPoll poll;
  for (size_t i = 0; i < servers.size(); ++i) poll.answers.push_back({servers[i], std::move(*answers[i])});
  SelectAmongAnswers(poll);
  return poll;
}
