#pragma once
#include <optional>
#include <string>
#include <vector>

#include "exchange/FailedExchange.h"
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
  // The truechimer whose time is shown and set: the one whose interval is
  // narrowest, its round trip and its server's own distance from the
  // reference the least. None when no majority agrees.
  std::optional<size_t> chosen;

  bool Several() const { return answers.size() > 1; }
  size_t Answered() const;
  size_t Agreeing() const;
  const ServerAnswer& Chosen() const { return answers[*chosen]; }
  const SntpExchangeResult& ChosenTime() const { return *Chosen().answer; }
};

// Gives each answer its verdict and chooses the time, from a majority of
// the servers that answered only.
void SelectAmongAnswers(ServerPoll& poll);

// Why a poll that chose no time failed: Stopped when the user stopped it,
// NoMajority when servers answered, else why the first server failed.
FailedExchange PollFailure(const ServerPoll& poll);
