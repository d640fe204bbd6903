#include "console/SyncEvent.h"

#include <cwchar>

namespace {
constexpr int kOffsetSize = 32;

std::wstring SignedSeconds(double seconds) {
  wchar_t text[kOffsetSize];
  std::swprintf(text, kOffsetSize, L"%+.6f s", seconds);
  return text;
}
}  // namespace

SyncEvent SyncEventOf(const SyncOutcome& outcome) {
  if (outcome.failure) return SyncEvent{true, *outcome.failure};
  return SyncEvent{false, L"Synchronized with " + outcome.servers + L": offset " + SignedSeconds(outcome.offset) +
                              (outcome.authenticated ? L", authenticated (NTS)" : L", not authenticated") +
                              (outcome.trustReason.empty() ? L"" : L" (" + outcome.trustReason + L")") +
                              (outcome.clockStepped ? L"; the clock was stepped." : L"; the clock was not changed.")};
}
