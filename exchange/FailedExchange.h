#pragma once
#include "nts/NtsFailure.h"
#include "sntp/SntpPacket.h"

// Why an exchange that the user started failed.
enum class ExchangeFailure {
  NoAnswer,
  NameServiceSilent,
  NameNotFound,
  NetworkRefused,
  ReplyRefused,
  NtsFailed,
  NoMajority,  // several servers answered, and no majority of them agree
  Stopped,     // the user stopped it: nothing to tell in the log
};

struct FailedExchange {
  ExchangeFailure kind;
  SntpRefusal refusal = SntpRefusal::None;  // for ReplyRefused
  // The system's error code, told for NetworkRefused; the server's record's
  // code for NtsFailed with ServerError or ServerWarning.
  unsigned long error = 0;
  NtsFailure nts = NtsFailure::None;  // for NtsFailed
};
