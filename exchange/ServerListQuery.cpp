#include "exchange/ServerListQuery.h"

#include <algorithm>
#include <atomic>
#include <functional>
#include <optional>
#include <system_error>
#include <thread>

CServerListQuery::CServerListQuery(HANDLE stopEvent) {
  for (size_t i = 0; i < kServersAtOnce; ++i) m_queries.push_back(std::make_unique<CServerQuery>(stopEvent));
}

ServerPoll CServerListQuery::Run(const ServerSettings& settings, NtsSessions& sessions) {
  const std::vector<std::wstring>& servers = settings.servers;
  if (sessions.size() < servers.size()) sessions.resize(servers.size());
  std::vector<std::optional<Result<SntpExchangeResult, FailedExchange>>> answers(servers.size());
  std::atomic<size_t> next{0};
  // Each query takes the next server not yet taken until none is left.
  const auto askInTurn = [&](CServerQuery& query) {
    for (size_t i = next++; i < servers.size(); i = next++) answers[i] = query.Run(servers[i], settings.nts, sessions[i]);
  };

  // A thread that cannot be made leaves its servers to the queries that run.
  std::vector<std::thread> helpers;
  const size_t atOnce = std::min(servers.size(), kServersAtOnce);
  try {
    for (size_t k = 1; k < atOnce; ++k) helpers.emplace_back(askInTurn, std::ref(*m_queries[k]));
  } catch (const std::system_error&) {
  }
  askInTurn(*m_queries.front());
  for (std::thread& helper : helpers) helper.join();

  ServerPoll poll;
  for (size_t i = 0; i < servers.size(); ++i) poll.answers.push_back({servers[i], std::move(*answers[i])});
  SelectAmongAnswers(poll);
  return poll;
}
