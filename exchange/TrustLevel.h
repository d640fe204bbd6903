#pragma once
#include <optional>
#include <string>

// How far a time can be trusted, weakest first: the Date header of HTTPS
// servers (to about a second, from servers whose clocks are no time
// servers'), a plain SNTP answer (anyone on the network path could have
// sent it), an NTS answer (authenticated with keys from a TLS session
// whose certificate Windows trusts for the server's name).
enum class TrustLevel { Web, Unauthenticated, Authenticated };

// Why a time is not authenticated.
enum class Downgrade {
  None,                  // it is
  NtsOff,                // the settings ask for plain SNTP
  NtsBlocked,            // NTS's key exchange port accepted or refused no connection
  NtsDropped,            // no NTS request was answered after a key exchange
  TimeProtocolsBlocked,  // no time server answered at all: web time
};

// The level a trust= value or a /trust: option names: authenticated,
// unauthenticated or web, in any case; none for any other text.
std::optional<TrustLevel> TrustLevelOf(const std::wstring& text);

// The level's name as trust= takes it.
const wchar_t* TrustLevelName(TrustLevel level);
