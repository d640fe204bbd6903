#include "exchange/ServerQuery.h"

#include "exchange/ExchangeError.h"

namespace {

// The measurement, or the failure as the user is told it.
template <class Failure>
Result<SntpExchangeResult, FailedExchange> Told(const Result<SntpExchangeResult, Failure>& answer) {
  if (!answer) return FailedExchangeOf(answer.Error());
  return *answer;
}

}  // namespace

CServerQuery::CServerQuery(HANDLE stopEvent) : m_nts(m_client, stopEvent) {
  m_client.SetStopEvent(stopEvent);
}

Result<SntpExchangeResult, FailedExchange> CServerQuery::Run(const std::wstring& server, bool nts,
                                                            CNtsSession& session, const CTimeLimit& budget) {
  if (budget.MillisecondsLeft() == 0) return FailedExchangeOf(SntpFailure(NetFailure{NetFailure::Kind::TimedOut}));
  if (nts) return Told(m_nts.Query(server.c_str(), session, budget));
  return Told(m_client.Query(server.c_str(), kNtpPort, budget));
}
