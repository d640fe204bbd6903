#pragma once
#include <string>

#include "sntp/NtpTimestamp.h"
#include "sntp/SntpExchangeResult.h"

// What a web server's Date field tells of the local clock. The server
// stamped it at some moment between the request's send (sent, on the local
// clock) and the response's arrival (roundTrip seconds later, on the
// monotonic clock), to the whole second: its true time then lay in
// [date, date + 1). So the offset is date + 0.5 - (T1 + T4) / 2, and it may
// be off by half a second plus half the round trip either way. The answer
// is unauthenticated; its server and transmit times are the date's middle.
SntpExchangeResult WebTimeInterval(const std::wstring& server, const CNtpTimestamp& date, const CNtpTimestamp& sent,
                                   double roundTrip);
