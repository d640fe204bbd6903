#include "console/EventReport.h"

#include "SyncEvents.h"

namespace {
constexpr WORD kNoCategory = 0;
}  // namespace

bool ReportSyncEvent(const SyncEvent& event, ReportEventCall report) {
  const HANDLE log = ::RegisterEventSourceW(nullptr, kEventSource);
  if (!log) return false;
  const WORD type = event.failed ? EVENTLOG_ERROR_TYPE : EVENTLOG_INFORMATION_TYPE;
  const DWORD id = event.failed ? MSG_SYNC_FAILED : MSG_SYNC_SUCCEEDED;
  LPCWSTR inserts[] = {event.text.c_str()};
  const bool written = report(log, type, kNoCategory, id, nullptr, 1, 0, inserts, nullptr);
  ::DeregisterEventSource(log);
  return written;
}
