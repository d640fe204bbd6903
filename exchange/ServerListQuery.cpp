#include "exchange/ServerListQuery.h"

#include <algorithm>
#include <atomic>
#include <optional>

#include "exchange/WebTimeQuery.h"
#include "framework/WinThread.h"

namespace {

using Answer = CServerListQuery::Answer;

// The servers of one poll that are to be asked, shared by the queries that
// ask them: each takes the next entry no query has taken yet until none is
// left, all within one budget.
struct ServerTurns {
  const std::vector<std::wstring>& servers;
  bool nts;
  const std::vector<size_t>& entries;
  NtsSessions& sessions;
  std::vector<Answer>& answers;
  const CTimeLimit& budget;
  std::atomic<size_t> next{0};
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
    turns.answers[i] = asker.query->Run(turns.servers[i], turns.nts, turns.sessions[i], turns.budget);
  }
  return 0;
}

// The entries that have no answer yet.
std::vector<size_t> Unanswered(const std::vector<Answer>& answers) {
  std::vector<size_t> entries;
  for (size_t i = 0; i < answers.size(); ++i)
    if (!answers[i]) entries.push_back(i);
  return entries;
}

}  // namespace

CServerListQuery::CServerListQuery(HANDLE stopEvent) : m_stopEvent(stopEvent) {
  for (size_t i = 0; i < kServersAtOnce; ++i) m_queries.push_back(std::make_unique<CServerQuery>(stopEvent));
}

// With NTS first, as the settings say; when NTS gave no time because the
// network's path blocks it, and no server failed a test of trust, the same
// servers by plain SNTP, told as not authenticated and why; when still no
// time server answered, the web servers' Date fields.
ServerPoll CServerListQuery::Run(const ServerSettings& settings, NtsSessions& sessions) {
  const CTimeLimit compare(kCompareTimeout);
  if (sessions.size() < settings.servers.size()) sessions.resize(settings.servers.size());
  std::vector<Answer> answers = FirstAnswers(settings.servers);
  Ask(settings.servers, settings.nts, sessions, answers, compare);
  ServerPoll poll = Judged(settings, answers);
  if (!settings.nts) poll.downgrade = Downgrade::NtsOff;
  const std::optional<Downgrade> pathBlocksNts = settings.nts ? PlainFallback(poll) : std::nullopt;
  if (pathBlocksNts) {
    for (size_t i = 0; i < answers.size(); ++i)
      if (!*answers[i] && PathDowngradeOf(answers[i]->Error())) answers[i].reset();
    Ask(settings.servers, false, sessions, answers, compare);
    ServerPoll plain = Judged(settings, answers);
    plain.downgrade = *pathBlocksNts;
    // Where plain SNTP brings nothing either, NTS's failures say more.
    if (plain.Answered() > 0 || plain.Stopped()) poll = std::move(plain);
  }
  if (!settings.webServers.empty() && MayFallBack(poll)) return WithWebTime(settings, std::move(poll), compare);
  return poll;
}

// The web servers' time, when they give one; else the time servers' poll
// with the web servers' failures after theirs.
ServerPoll CServerListQuery::WithWebTime(const ServerSettings& settings, ServerPoll poll, const CTimeLimit& compare) {
  ServerPoll web = CWebTimeQuery(m_stopEvent).Run(settings.webServers, settings.minAgree,
                                                  CTimeLimit(CServerQuery::kPollTimeout, compare));
  if (web.chosen || web.Stopped()) {
    web.webTime = true;
    web.downgrade = Downgrade::TimeProtocolsBlocked;
    web.trustFloor = settings.TrustFloor();
    return web;
  }
  poll.answers.insert(poll.answers.end(), web.answers.begin(), web.answers.end());
  SelectAmongAnswers(poll);
  return poll;
}

// Of every entry that repeats an earlier one's name, that it is the same
// server; of every entry whose server asked to be left alone earlier in the
// run, its kiss again. The others are to be asked.
std::vector<Answer> CServerListQuery::FirstAnswers(const std::vector<std::wstring>& servers) const {
  std::vector<Answer> answers(servers.size());
  for (size_t i = 0; i < servers.size(); ++i) {
    const auto leftAlone = m_leftAlone.find(i);
    if (const std::optional<size_t> earlier = EarlierEntryForTheSameName(servers, i))
      answers[i] = SameServerAs(servers[*earlier]);
    else if (leftAlone != m_leftAlone.end())
      answers[i] = leftAlone->second;
  }
  return answers;
}

// Asks every entry without an answer, within one poll's budget inside the
// compare's. The first query asks on this thread; a thread that cannot be
// made leaves its servers to the others.
void CServerListQuery::Ask(const std::vector<std::wstring>& servers, bool nts, NtsSessions& sessions,
                           std::vector<Answer>& answers, const CTimeLimit& compare) {
  const std::vector<size_t> entries = Unanswered(answers);
  const CTimeLimit budget(CServerQuery::kPollTimeout, compare);
  ServerTurns turns{servers, nts, entries, sessions, answers, budget};
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

// The answers judged together; a server that asked to be left alone is
// noted for the rest of the run.
ServerPoll CServerListQuery::Judged(const ServerSettings& settings, const std::vector<Answer>& answers) {
  ServerPoll poll;
  poll.minAgree = settings.minAgree;
  poll.trustFloor = settings.TrustFloor();
  for (size_t i = 0; i < settings.servers.size(); ++i) {
    if (!*answers[i] && AsksToBeLeftAlone(answers[i]->Error())) m_leftAlone.emplace(i, answers[i]->Error());
    poll.answers.push_back({settings.servers[i], *answers[i]});
  }
  SelectAmongAnswers(poll);
  return poll;
}
