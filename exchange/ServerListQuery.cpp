#include "exchange/ServerListQuery.h"

#include <algorithm>
#include <atomic>
#include <optional>

#include "framework/WinThread.h"

namespace {

using Answer = CServerListQuery::Answer;

// The servers of one compare that are to be asked, shared by the queries
// that ask them: each takes the next entry no query has taken yet until
// none is left.
struct ServerTurns {
  const ServerSettings& settings;
  const std::vector<size_t>& entries;
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
  for (size_t turn = turns.next++; turn < turns.entries.size(); turn = turns.next++) {
    const size_t i = turns.entries[turn];
    turns.answers[i] = asker.query->Run(turns.settings.servers[i], turns.settings.nts, turns.sessions[i], turns.budget);
  }
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
  const std::vector<size_t> entries = EntriesToAsk(servers, answers);
  Ask(settings, entries, sessions, answers);

  ServerPoll poll;
  poll.minAgree = settings.minAgree;
  for (size_t i = 0; i < servers.size(); ++i) {
    if (answers[i] && !*answers[i] && AsksToBeLeftAlone(answers[i]->Error())) m_leftAlone.emplace(i, answers[i]->Error());
    poll.answers.push_back({servers[i], std::move(*answers[i])});
  }
  SelectAmongAnswers(poll);
  return poll;
}

// Every entry but those that repeat an earlier one's name, whose answer is
// that they are the same server, and those whose server asked to be left
// alone earlier in the run, whose answer is its kiss again.
std::vector<size_t> CServerListQuery::EntriesToAsk(const std::vector<std::wstring>& servers,
                                                   std::vector<Answer>& answers) const {
  std::vector<size_t> entries;
  for (size_t i = 0; i < servers.size(); ++i) {
    const auto leftAlone = m_leftAlone.find(i);
    if (const std::optional<size_t> earlier = EarlierEntryForTheSameName(servers, i))
      answers[i] = SameServerAs(servers[*earlier]);
    else if (leftAlone != m_leftAlone.end())
      answers[i] = leftAlone->second;
    else
      entries.push_back(i);
  }
  return entries;
}

// The first query asks on this thread; a thread that cannot be made leaves
// its servers to the others.
void CServerListQuery::Ask(const ServerSettings& settings, const std::vector<size_t>& entries, NtsSessions& sessions,
                           std::vector<Answer>& answers) {
  ServerTurns turns{settings, entries, sessions, answers};
  std::vector<Asker> askers;
  for (size_t k = 0; k < std::max<size_t>(1, std::min(entries.size(), kServersAtOnce)); ++k)
    askers.push_back({&turns, m_queries[k].get()});
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
}
