#include "exchange/ServerQuery.h"

#include "exchange/ExchangeError.h"
#include "sntp/BuildTime.h"
#include "sntp/PreciseTime.h"

namespace {

// The measurement, or the failure as the user is told it.
template <class Failure>
Result<SntpExchangeResult, FailedExchange> Told(const Result<SntpExchangeResult, Failure>& answer) {
  if (!answer) return FailedExchangeOf(answer.Error());
  return *answer;
}

// No genuine time is older than the program, authenticated or not.
Result<SntpExchangeResult, FailedExchange> NoEarlierThanTheBuild(Result<SntpExchangeResult, FailedExchange> answer) {
  if (answer && PredatesBuild(answer->m_TransmitTime, PreciseFileTimeNow()))
    return FailedExchange{ExchangeFailure::PredatesProgram};
  return answer;
}

}  // namespace

CServerQuery::CServerQuery(HANDLE stopEvent) : m_nts(m_client, stopEvent) {
  m_client.SetStopEvent(stopEvent);
}

Result<SntpExchangeResult, FailedExchange> CServerQuery::Run(const std::wstring& server, bool nts,
                                                            CNtsSession& session, const CTimeLimit& budget) {
  if (budget.MillisecondsLeft() == 0) return FailedExchangeOf(SntpFailure(NetFailure{NetFailure::Kind::TimedOut}));
  if (nts) return Told(m_nts.Query(server.c_str(), session, budget));
  return NoEarlierThanTheBuild(Told(m_client.Query(server.c_str(), kNtpPort, budget)));
}
