#include "exchange/StepConsent.h"

#include <cmath>

StepConsent ConsentNeededFor(const SntpExchangeResult& measurement, double limit) {
  if (measurement.m_bTrustedAtServerTimeOnly) return StepConsent::CertificateAtServerTimeOnly;
  if (!(std::abs(measurement.m_dClockOffset) <= limit)) return StepConsent::LargeStep;
  return StepConsent::NotNeeded;
}

StepConsent ConsentNeededFor(const ServerPoll& poll, double limit) {
  if (poll.Trust() < poll.trustFloor) return StepConsent::WeakerThanTrusted;
  return ConsentNeededFor(poll.ChosenTime(), limit);
}
