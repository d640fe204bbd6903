#include "exchange/StepConsent.h"

#include <gtest/gtest.h>

#include <limits>

// The one rule before the clock is set, in both programs: the dialog asks
// for what it returns, the console refuses it.
TEST(StepConsent, TheCertificateGoesFirstAndTheLimitHoldsEitherWay) {
  constexpr double kYear = 365.0 * 24 * 3600;
  constexpr double kNotANumber = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    double offset;
    bool trustedAtServerTimeOnly;
    double limit;
    StepConsent expected;
  };
  const Case cases[] = {
      {0, false, kLargeStepSeconds, StepConsent::NotNeeded},
      {kLargeStepSeconds, false, kLargeStepSeconds, StepConsent::NotNeeded},
      {-kLargeStepSeconds, false, kLargeStepSeconds, StepConsent::NotNeeded},
      {kLargeStepSeconds + 0.001, false, kLargeStepSeconds, StepConsent::LargeStep},
      {-kLargeStepSeconds - 0.001, false, kLargeStepSeconds, StepConsent::LargeStep},
      // /maxstep: a larger limit lets a larger step go, 0 none at all.
      {7200, false, 10800, StepConsent::NotNeeded},
      {0.001, false, 0, StepConsent::LargeStep},
      {0, false, 0, StepConsent::NotNeeded},
      {kNotANumber, false, kLargeStepSeconds, StepConsent::LargeStep},
      // A certificate that held at the server's time only, whatever the step.
      {0, true, kLargeStepSeconds, StepConsent::CertificateAtServerTimeOnly},
      {-kYear, true, kLargeStepSeconds, StepConsent::CertificateAtServerTimeOnly},
      {kYear, true, 2 * kYear, StepConsent::CertificateAtServerTimeOnly},
  };
  for (const Case& c : cases) {
    SntpExchangeResult measurement;
    measurement.m_dClockOffset = c.offset;
    measurement.m_bTrustedAtServerTimeOnly = c.trustedAtServerTimeOnly;
    EXPECT_EQ(ConsentNeededFor(measurement, c.limit), c.expected)
        << c.offset << " s, trusted at server time only " << c.trustedAtServerTimeOnly << ", limit " << c.limit;
  }
}

// A time weaker than the settings trust goes before anything else; web
// time within its bound of the local clock would not make it better.
TEST(StepConsent, AWeakerTimeThanTrustedComesFirst) {
  ServerPoll poll;
  SntpExchangeResult measured;
  measured.m_dClockOffset = 0.3;
  measured.m_dErrorBound = 0.6;
  measured.m_bTrustedAtServerTimeOnly = true;
  poll.answers = {{L"s", measured, ServerVerdict::Truechimer}};
  poll.chosen = 0;
  poll.trustFloor = TrustLevel::Authenticated;
  EXPECT_EQ(ConsentNeededFor(poll, kLargeStepSeconds), StepConsent::WeakerThanTrusted);
  poll.trustFloor = TrustLevel::Unauthenticated;
  EXPECT_EQ(ConsentNeededFor(poll, kLargeStepSeconds), StepConsent::CertificateAtServerTimeOnly);
  poll.webTime = true;
  EXPECT_EQ(poll.Trust(), TrustLevel::Web);
  EXPECT_EQ(ConsentNeededFor(poll, kLargeStepSeconds), StepConsent::WeakerThanTrusted);
  EXPECT_TRUE(poll.WithinWebBound());
  poll.answers[0].answer->m_dClockOffset = -0.7;
  EXPECT_FALSE(poll.WithinWebBound());
}
