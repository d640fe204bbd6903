#include "exchange/HttpDate.h"
#include "exchange/WebTimeInterval.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

namespace {

TEST(HttpDate, ReadsOnlyAnImfFixdateThatCanBeTrue) {
  struct Case {
    const char* text;
    const char* calendar;  // what it reads as, or null when refused
  };
  const Case cases[] = {
      {"Sun, 06 Nov 1994 08:49:37 GMT", "1994-11-06 08:49:37"},
      {"Tue, 29 Feb 2028 23:59:59 GMT", "2028-02-29 23:59:59"},
      {"Sat, 31 Dec 2016 23:59:60 GMT", "2017-01-01 00:00:00"},  // a leap second: the next second's start
      {"Wed, 08 Feb 2040 00:00:00 GMT", "2040-02-08 00:00:00"},  // beyond the first NTP era
      {"Sunday, 06-Nov-94 08:49:37 GMT", nullptr},                // RFC 850
      {"Sun Nov  6 08:49:37 1994", nullptr},                      // asctime
      {"Mon, 06 Nov 1994 08:49:37 GMT", nullptr},                 // not that day's name
      {"sun, 06 Nov 1994 08:49:37 GMT", nullptr},
      {"Sun, 06 nov 1994 08:49:37 GMT", nullptr},
      {"Sun, 06 Nov 1994 08:49:37 UTC", nullptr},
      {"Sun, 06 Nov 1994 08:49:37 GMT ", nullptr},
      {"Sun,  6 Nov 1994 08:49:37 GMT", nullptr},
      {"Sun, 06 Nov 1994 8:49:37 GMT", nullptr},
      {"Thu, 29 Feb 2029 00:00:00 GMT", nullptr},
      {"Tue, 31 Apr 2029 00:00:00 GMT", nullptr},
      {"Sun, 00 Nov 1994 08:49:37 GMT", nullptr},
      {"Sun, 06 Nov 1994 24:00:00 GMT", nullptr},
      {"Sun, 06 Nov 1994 08:60:00 GMT", nullptr},
      {"Sun, 06 Nov 1994 08:49:61 GMT", nullptr},
      {"Sun, 06 Nov 1994 08:4-:37 GMT", nullptr},
      {"Mon, 01 Jan 1900 00:00:00 GMT", "1900-01-01 00:00:00"},
      {"Sun, 31 Dec 1899 23:59:59 GMT", nullptr},
      {"", nullptr},
  };
  for (const Case& test : cases) {
    const std::optional<CNtpTimestamp> date = ParseHttpDate(test.text);
    if (!test.calendar) {
      EXPECT_FALSE(date) << test.text;
      continue;
    }
    ASSERT_TRUE(date) << test.text;
    SYSTEMTIME expected{};
    ASSERT_EQ(sscanf(test.calendar, "%hu-%hu-%hu %hu:%hu:%hu", &expected.wYear, &expected.wMonth, &expected.wDay,
                     &expected.wHour, &expected.wMinute, &expected.wSecond),
              6);
    EXPECT_EQ(date->Value(), CNtpTimestamp::FromCalendar(expected).Value()) << test.text;
  }
}

TEST(WebTimeInterval, HoldsEveryMomentTheServerCouldHaveStampedIt) {
  const CNtpTimestamp sent(static_cast<uint64_t>(3'900'000'000u) << 32);
  struct Case {
    double dateAfterSend;  // the Date field, in seconds after the send on the local clock
    double roundTrip;
    double offset, bound;
  };
  const Case cases[] = {
      {0, 0, 0.5, 0.5}, {0, 0.2, 0.4, 0.6}, {-1, 0.2, -0.6, 0.6}, {3600, 1.0, 3600.0, 1.0}, {-7200, 0.4, -7199.7, 0.7},
  };
  for (const Case& test : cases) {
    const SntpExchangeResult answer = WebTimeInterval(L"web.example", sent.AddSeconds(test.dateAfterSend), sent, test.roundTrip);
    EXPECT_NEAR(answer.m_dClockOffset, test.offset, 1e-6) << test.dateAfterSend << " " << test.roundTrip;
    EXPECT_NEAR(answer.m_dErrorBound, test.bound, 1e-6);
    EXPECT_FALSE(answer.m_bAuthenticated);
    EXPECT_EQ(answer.m_strServerAddress, L"web.example");
    // Every true server time at any local moment of the exchange lies inside.
    for (double local : {0.0, test.roundTrip}) {
      for (double stamped : {test.dateAfterSend, test.dateAfterSend + 0.999}) {
        const double trueOffset = stamped - local;
        EXPECT_LE(std::abs(trueOffset - answer.m_dClockOffset), answer.m_dErrorBound + 1e-6);
      }
    }
  }
}

}  // namespace
