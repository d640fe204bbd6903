#pragma once
#include <optional>
#include <string_view>

#include "sntp/NtpTimestamp.h"

// The moment an HTTP Date field names (RFC 9110, section 5.6.7), to the
// second, read from untrusted bytes: only the preferred form, IMF-fixdate
// ("Sun, 06 Nov 1994 08:49:37 GMT"), exactly as its grammar writes it, with
// every field in its range, the day in its month and the day name the
// date's own. The two obsolete forms are refused: their two-digit years
// and loose spacing say too little for a clock to be set from.
std::optional<CNtpTimestamp> ParseHttpDate(std::string_view text);
