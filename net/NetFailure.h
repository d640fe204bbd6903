#pragma once

// Why the network did not carry an exchange to its end.
struct NetFailure {
  enum class Kind {
    Stopped,            // the stop event was signalled
    TimedOut,           // the deadline passed, or the system gave up waiting
    NameNotFound,       // the name has no address
    NameServiceSilent,  // the name service did not answer in time
    Refused,            // the peer refused the connection
    System,             // a call of the system failed
    NothingToSend,      // no further request could be made (its credentials spent)
  };

  Kind kind;
  unsigned long error = 0;  // the system's error code, when a call failed
};

// The failure of a system call that failed with error: refused and timed
// out as such, anything else as System.
NetFailure SystemCallFailure(unsigned long error);
