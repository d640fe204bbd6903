#pragma once
#include "exchange/ServerPoll.h"
#include "sntp/SntpExchangeResult.h"

// The step of the clock beyond which a synchronize does not go by itself:
// the dialog asks first, the console refuses unless told a larger limit.
constexpr double kLargeStepSeconds = 3600;

// Why the clock may be set to a measured time only with the user's consent:
// the dialog asks for it, the console, which never asks, refuses.
enum class StepConsent {
  NotNeeded,
  // The time is weaker than the settings' trust: unauthenticated, when NTS
  // was blocked, or web time. It goes first: whoever could send it could
  // send any step.
  WeakerThanTrusted,
  // The server's certificate held at the server's time only: the local
  // clock may be far off, or the server may lie about the time to make an
  // old certificate pass. It goes first: a step such a server brings says
  // nothing on its own.
  CertificateAtServerTimeOnly,
  // The step goes beyond the limit, either way; a step that cannot be
  // compared with it counts as beyond.
  LargeStep,
};

// The one rule both programs follow before they set the clock from
// measurement, with limit seconds as the largest step taken unasked.
StepConsent ConsentNeededFor(const SntpExchangeResult& measurement, double limit);

// The same for the time a poll chose, weighed first against its trust.
StepConsent ConsentNeededFor(const ServerPoll& poll, double limit);
