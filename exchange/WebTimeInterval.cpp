#include "exchange/WebTimeInterval.h"

namespace {
// A Date field counts whole seconds.
constexpr double kHalfResolution = 0.5;
}  // namespace

SntpExchangeResult WebTimeInterval(const std::wstring& server, const CNtpTimestamp& date, const CNtpTimestamp& sent,
                                   double roundTrip) {
  SntpExchangeResult result;
  result.m_OriginateTime = sent;
  result.m_DestinationTime = sent.AddSeconds(roundTrip);
  result.m_ReceiveTime = date.AddSeconds(kHalfResolution);
  result.m_TransmitTime = result.m_ReceiveTime;
  result.m_dRoundTripDelay = roundTrip;
  result.m_dClockOffset = result.m_ReceiveTime.SecondsSince(sent) - roundTrip / 2;
  result.m_dErrorBound = kHalfResolution + roundTrip / 2;
  result.m_strServerAddress = server;
  return result;
}
