#pragma once
#include <optional>
#include <string>
#include <vector>

#include "exchange/TrustLevel.h"

// The time servers both programs ask, from the [sntp] section of the
// settings file: their names (server1 to server8, in that order), whether
// the exchanges are to be authenticated with Network Time Security (nts),
// which holds for every server of the list, how many of the servers must
// agree on a time before the clock is set to it (minagree), the weakest
// time the clock is set to without a question (trust), and the web servers
// whose Date field gives a time when no time server answers (web1 to web3).
struct ServerSettings {
  std::vector<std::wstring> servers;
  bool nts = false;
  size_t minAgree = 1;
  std::optional<TrustLevel> trust = std::nullopt;  // as given; else TrustFloor's default
  std::vector<std::wstring> webServers = {};

  // The weakest time the clock is set to without a question: as given, else
  // an authenticated one where NTS is on and an unauthenticated one where
  // it is off.
  TrustLevel TrustFloor() const;
};

// The keys server1 to server8.
constexpr size_t kMostServers = 8;

// The servers asked when the settings file names none: public NTS servers
// of four operators, which anyone may use, each on a public certificate
// authority.
constexpr size_t kDefaultServerCount = 4;
constexpr const wchar_t* kDefaultServers[kDefaultServerCount] = {
    L"time.cloudflare.com", L"nts.netnod.se", L"ptbtime1.ptb.de", L"nts.time.nl"};

// The keys web1 to web3.
constexpr size_t kMostWebServers = 3;

// The web servers asked when the settings file names none: HTTPS servers of
// three operators that keep their clocks well (each also runs public time
// servers), reached through any proxy.
constexpr const wchar_t* kDefaultWebServers[kMostWebServers] = {L"www.cloudflare.com", L"www.google.com",
                                                                 L"www.apple.com"};

// The settings from the values of server1 to server8, nts and minagree as
// the file has them, nothing for a key it lacks. Every server key the file
// has is a server of the list, as it is written. Without any, the built-in
// servers are asked with NTS; servers of the user's own are asked without,
// unless nts says otherwise. nts is 1 (on) or 0 (off); any other value
// leaves the default. minagree is a number from 1 to 8; any other value
// leaves the default: 2 when the list has two entries or more, so that no
// one server alone sets the clock, else 1. trust is authenticated,
// unauthenticated or web; any other value leaves the default (TrustFloor).
// The web servers are those of the web keys the file has, as written, else
// the built-in three with the built-in time servers, and none with servers
// of the user's own: a network of one's own time servers is not left for
// the internet's web servers unless the settings name them.
ServerSettings ServerSettingsFrom(const std::vector<std::optional<std::wstring>>& serverKeys,
                                  const std::optional<std::wstring>& nts,
                                  const std::optional<std::wstring>& minAgree = std::nullopt,
                                  const std::optional<std::wstring>& trust = std::nullopt,
                                  const std::vector<std::optional<std::wstring>>& webKeys = {});

// The number of agreeing servers a minagree value gives, from 1 to 8;
// none for any other text.
std::optional<size_t> MinAgreeOf(const std::wstring& text);
