#pragma once
#include <optional>
#include <string>

// How a run of /sync ended, as the Event Log is told.
struct SyncOutcome {
  std::wstring servers;  // the server or servers asked, as the report names them
  double offset = 0;     // seconds to add to the local clock
  bool authenticated = false;
  bool clockStepped = false;
  // The failure's text, as written to standard error; none on success.
  std::optional<std::wstring> failure;
  std::wstring trustReason;  // why the time is not authenticated, when it is not
};

// One event of the Application log: a success or a failure, and its text,
// which the event viewer shows whole.
struct SyncEvent {
  bool failed = false;
  std::wstring text;
};

// The event that tells of the outcome: a failure in the words of its log,
// a success with the servers, the offset, whether the time was
// authenticated and whether the clock was stepped.
SyncEvent SyncEventOf(const SyncOutcome& outcome);
