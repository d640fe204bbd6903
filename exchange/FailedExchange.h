#pragma once
#include <string>

#include "nts/NtsFailure.h"
#include "sntp/SntpPacket.h"

// Why an exchange that the user started failed, or why a compare of
// several servers gave no time to set the clock to.
enum class ExchangeFailure {
  NoAnswer,
  NameServiceSilent,
  NameNotFound,
  NetworkRefused,
  ReplyRefused,
  NtsFailed,
  NoMajority,       // several servers answered, and no majority of them agree
  Stopped,          // the user stopped it: nothing to tell in the log
  Kissed,           // the server refused to answer with a kiss code (detail)
  PredatesProgram,  // the server's time is earlier than this program was built
  SameServer,       // the entry asks a server an earlier one (detail) asked
  ServersFailed,    // several servers failed, each in its own way
  TooFewAgree,      // a time was chosen, by fewer servers than the settings need
  WebUnavailable,   // the system's HTTP library (WinHTTP) could not be loaded or used (error)
  WebCertificateRefused,  // no TLS session Windows trusts with the web server (error): a failure of trust
  WebNoDate,        // the web server answered without a Date field that can be read
};

struct FailedExchange {
  ExchangeFailure kind;
  SntpRefusal refusal = SntpRefusal::None;  // for ReplyRefused
  // The system's error code, told for NetworkRefused; the server's record's
  // code for NtsFailed with ServerError or ServerWarning; the servers needed
  // for TooFewAgree.
  unsigned long error = 0;
  NtsFailure nts = NtsFailure::None;  // for NtsFailed
  // The kiss code for Kissed; the earlier entry's name for SameServer.
  std::wstring detail = {};
};

