#include "exchange/ServerQuery.h"

#include "exchange/ExchangeError.h"

CServerQuery::CServerQuery(HANDLE stopEvent) : m_nts(m_client, stopEvent) {
  m_client.SetStopEvent(stopEvent);
}

BOOL CServerQuery::Run(const ServerSettings& settings, CNtsSession& session, SntpExchangeResult& result) {
  if (settings.nts) return m_nts.QueryServer(settings.server.c_str(), session, result);
  return m_client.QueryServer(settings.server.c_str(), result, kNtpPort);
}

std::optional<FailedExchange> CServerQuery::Failure(DWORD error) const {
  return FailedExchangeOf(error, m_client.Refusal(), m_nts.Failure(), m_nts.Code());
}
