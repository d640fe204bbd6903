#pragma once
#include <optional>
#include <string>
#include <vector>

#include "exchange/ClockHistory.h"
#include "exchange/CompareLog.h"
#include "exchange/ServerPoll.h"

// Why no history is kept: the log's message and the path it names.
struct HistoryProblem {
  LogMessage message;
  std::wstring path;
};

// The history, or why there is none.
struct HistoryRead {
  std::vector<HistoryRecord> records;
  std::optional<HistoryProblem> problem;
};

// The history of this clock in its file in the program's safe data folder
// (%ProgramData%\Movrane\history), shared by both programs: one opens it at
// a time, never through a link. A folder that is not safe is not used.
class CHistoryFile {
public:
  // Appends the record of a poll that chose a time, made by the local
  // clock when the chosen reply came; the folder is made when absent. The
  // records, the new one last.
  static HistoryRead Keep(const ServerPoll& poll, bool stepped);

  // The records kept; none, and no problem, before the first compare.
  static HistoryRead Read();
};

// The line that tells why no history is kept.
std::wstring HistoryProblemLine(const std::vector<std::wstring>& messages, const HistoryProblem& problem);
