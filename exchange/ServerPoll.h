#pragma once
#include <optional>
#include <string>
#include <vector>

#include "exchange/FailedExchange.h"
#include "exchange/TrustLevel.h"
#include "net/Result.h"
#include "sntp/SntpExchangeResult.h"

// What the selection made of a server's answer.
enum class ServerVerdict {
  LeftOut,      // it gave no time: the failure says why
  Truechimer,   // its time agrees with a majority's
  Falseticker,  // it answered, and its time is outside the majority's
};

struct ServerAnswer {
  std::wstring server;
  Result<SntpExchangeResult, FailedExchange> answer;
  ServerVerdict verdict = ServerVerdict::LeftOut;
};

// What one compare found out from the servers of the settings, in their
// order, and which time it believes.
struct ServerPoll {
  std::vector<ServerAnswer> answers;
  // The truechimer whose time is shown and set: of those whose certificate
  // holds by the local time, if any does, the one whose interval is
  // narrowest. None when no majority agrees, and when the poll was stopped.
  std::optional<size_t> chosen;
  // How many servers must agree before the clock is set to their time.
  size_t minAgree = 1;
  // Whether the answers are web servers' (their Date headers), and why the
  // time is not authenticated.
  bool webTime = false;
  Downgrade downgrade = Downgrade::None;
  // The weakest time the clock is set to without a question.
  TrustLevel trustFloor = TrustLevel::Unauthenticated;

  bool Several() const { return answers.size() > 1; }
  size_t Answered() const;
  size_t Agreeing() const;
  // Whether the user stopped it: then it tells nothing.
  bool Stopped() const;
  // Whether a time was chosen, by as many servers as the clock needs.
  bool CrossChecked() const { return chosen && Agreeing() >= minAgree; }
  // How far the chosen time can be trusted.
  TrustLevel Trust() const;
  // Whether the chosen time is web time within whose bound the local clock
  // already lies: setting the clock to it would not make it better.
  bool WithinWebBound() const;
  const ServerAnswer& Chosen() const { return answers[*chosen]; }
  const SntpExchangeResult& ChosenTime() const { return *Chosen().answer; }
};

// The earlier entry of the list that names the same server as entry i, its
// name compared without regard to case or a trailing dot: one server, one
// vote.
std::optional<size_t> EarlierEntryForTheSameName(const std::vector<std::wstring>& servers, size_t i);

// The failure of an entry that asks the server of an earlier one.
FailedExchange SameServerAs(const std::wstring& earlier);

// Whether the server asked, by its kiss code, to be left alone for the rest
// of the run (RATE, DENY, RSTR: RFC 5905, section 7.4).
bool AsksToBeLeftAlone(const FailedExchange& failure);

// How the network's path, not the server, made an NTS exchange fail: the key
// exchange's port blocked or refused, or the requests after it dropped.
// None for any other failure.
std::optional<Downgrade> PathDowngradeOf(const FailedExchange& failure);

// Whether a poll that chose no time may give way to a weaker kind of time:
// only when no server answered and none failed a test of trust (a
// certificate, an authenticator, a time that cannot be true), which must
// never buy a weaker time.
bool MayFallBack(const ServerPoll& poll);

// Whether an NTS poll may ask its servers again by plain SNTP, and why that
// time would not be authenticated: when it may fall back and some servers
// failed for the path's sake.
std::optional<Downgrade> PlainFallback(const ServerPoll& poll);

// Gives each answer its verdict and chooses the time, from a majority of
// the servers that answered only. An answer from the same address as an
// earlier one's is the same server's: it is left out and does not count.
void SelectAmongAnswers(ServerPoll& poll);

// Why a poll gave no time to set the clock to: Stopped when the user stopped
// it; NoMajority when servers answered and no majority agrees; TooFewAgree
// when fewer agree than the settings need; when all failed, their failure if
// they failed alike, else ServersFailed.
FailedExchange PollFailure(const ServerPoll& poll);
