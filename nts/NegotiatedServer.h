#pragma once
#include <optional>
#include <string>

// The NTP server that a key exchange's Server record names, as it is to be
// asked (RFC 8915 section 4.1.7): an IP address as written, or a name of
// two labels or more made fully qualified (a trailing dot), so that no
// search suffix or local name service turns it into another. Nothing for a
// zone id, brackets, or a single label.
std::optional<std::string> NegotiatedServerToAsk(const std::string& named);
