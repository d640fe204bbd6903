#pragma once
#include <windows.h>

#include "net/NetFailure.h"
#include "net/Result.h"

// One address's part in a race over a server's addresses (CAddressRace): a
// request sent there, or a connection begun, and what comes back.
class CRaceEntrant {
public:
  // What the entrant made of what came since it last looked.
  enum class Turn {
    Waiting,  // nothing more has come: the race may wait on its event
    Again,    // it took something that did not end the race: look again
    Won,      // it ends the race: the caller takes what it holds
    Out,      // its address failed for good: Failure() says why
  };

  virtual ~CRaceEntrant() = default;

  // Begins its part: sends its request, or starts its connection.
  virtual Result<Done, NetFailure> Begin() = 0;
  // Asks once more, where a race repeats its requests (see CAddressRace):
  // a request anew, the earlier ones still answerable.
  virtual Result<Done, NetFailure> Repeat() = 0;
  // Signalled when something may have come.
  virtual HANDLE Event() const = 0;
  virtual Turn Look() = 0;
  // Why it is out; only after Look said Out.
  virtual NetFailure Failure() const = 0;
};
