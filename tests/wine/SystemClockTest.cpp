#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "sntp/SNTPClient.h"
#include "tests/wine/TimeServers.h"

namespace {

const HANDLE kToken = reinterpret_cast<HANDLE>(0x5150);
const LUID kSystemTimeLuid{12, 0};
constexpr DWORD kTokenAccess = 0x28;

// 2024-02-29 23:59:59 and a fraction that rounds to 1000 ms.
constexpr uint64_t kLeapDayLastSecond = 3918239999ULL;
constexpr uint32_t kFractionOf999_6Ms = 4293249309U;
const CNtpTimestamp kTimeToSet((kLeapDayLastSecond << 32) | kFractionOf999_6Ms);
// What SetSystemTime must receive for it: the carry into the next day.
constexpr char kSetCall[] = "set 2024-03-01 (5) 00:00:00.000";

// How the stand-ins answer.
struct Answers {
  BOOL bOpens = TRUE;
  DWORD nOpenError = 0;
  BOOL bLooksUp = TRUE;
  BOOL bEnables = TRUE;
  BOOL bSets = TRUE;
};

Answers answers;
// The calls, in order, with what matters of their arguments.
std::vector<std::string> calls;
DWORD lastErrorAtSet = 0;
int adjustments = 0;

BOOL WINAPI OpenToken(HANDLE process, DWORD access, PHANDLE token) {
  const bool expected = process == ::GetCurrentProcess() && access == kTokenAccess;
  calls.push_back(expected ? "open" : "open with other arguments");
  if (!answers.bOpens) {
    ::SetLastError(answers.nOpenError);
    return FALSE;
  }
  *token = kToken;
  return TRUE;
}

BOOL WINAPI LookUp(LPCWSTR system, LPCWSTR name, PLUID luid) {
  const bool expected = system == nullptr && std::wstring(name) == L"SeSystemtimePrivilege";
  calls.push_back(expected ? "lookup" : "lookup with other arguments");
  if (!answers.bLooksUp) return FALSE;
  *luid = kSystemTimeLuid;
  return TRUE;
}

// Records the attributes that the one privilege entry carries.
BOOL WINAPI Adjust(HANDLE token, BOOL disableAll, PTOKEN_PRIVILEGES state, DWORD length,
                   PTOKEN_PRIVILEGES previous, PDWORD returnLength) {
  const LUID_AND_ATTRIBUTES& entry = state->Privileges[0];
  const bool expected = token == kToken && !disableAll && state->PrivilegeCount == 1 &&
                        entry.Luid.LowPart == kSystemTimeLuid.LowPart &&
                        entry.Luid.HighPart == kSystemTimeLuid.HighPart && length == 0 &&
                        previous == nullptr && returnLength == nullptr;
  calls.push_back(expected ? "adjust " + std::to_string(entry.Attributes)
                           : "adjust with other arguments");
  return ++adjustments == 1 ? answers.bEnables : TRUE;
}

BOOL WINAPI SetTime(const SYSTEMTIME* time) {
  lastErrorAtSet = ::GetLastError();
  char text[40];
  std::snprintf(text, sizeof text, "set %04u-%02u-%02u (%u) %02u:%02u:%02u.%03u", time->wYear,
                time->wMonth, time->wDay, time->wDayOfWeek, time->wHour, time->wMinute,
                time->wSecond, time->wMilliseconds);
  calls.push_back(text);
  if (!answers.bSets) ::SetLastError(ERROR_PRIVILEGE_NOT_HELD);
  return answers.bSets;
}

BOOL WINAPI Close(HANDLE handle) {
  calls.push_back(handle == kToken ? "close" : "close of another handle");
  return TRUE;
}

const SystemClockCalls kStandIns = {OpenToken, LookUp, Adjust, SetTime, Close};

using Calls = std::vector<std::string>;

class ClockSetting : public testing::Test {
protected:
  void SetUp() override {
    answers = Answers{};
    calls.clear();
    adjustments = 0;
    lastErrorAtSet = ~0u;
  }

  // The token cannot be opened: the platform has no security model.
  static void NoSecurityModel() {
    answers.bOpens = FALSE;
    answers.nOpenError = ERROR_CALL_NOT_IMPLEMENTED;
  }

  CSNTPClient m_client{kStandIns};
};

TEST_F(ClockSetting, EnablesTheSystemTimePrivilegeJustForTheSet) {
  EXPECT_TRUE(m_client.SetSystemClock(kTimeToSet));
  EXPECT_EQ(calls, (Calls{"open", "lookup", "adjust 2", kSetCall, "adjust 0", "close"}));
}

TEST_F(ClockSetting, FailedSetStillRestoresThePrivilegeAndKeepsItsError) {
  answers.bSets = FALSE;
  EXPECT_FALSE(m_client.SetSystemClock(kTimeToSet));
  EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_PRIVILEGE_NOT_HELD));
  EXPECT_EQ(calls, (Calls{"open", "lookup", "adjust 2", kSetCall, "adjust 0", "close"}));
}

TEST_F(ClockSetting, FailedEnableLeavesTheClockAndStillRestores) {
  answers.bEnables = FALSE;
  EXPECT_FALSE(m_client.SetSystemClock(kTimeToSet));
  EXPECT_EQ(calls, (Calls{"open", "lookup", "adjust 2", "adjust 0", "close"}));
}

TEST_F(ClockSetting, FailedLookupLeavesClockAndPrivilegeAndClosesTheToken) {
  answers.bLooksUp = FALSE;
  EXPECT_FALSE(m_client.SetSystemClock(kTimeToSet));
  EXPECT_EQ(calls, (Calls{"open", "lookup", "close"}));
}

TEST_F(ClockSetting, UnopenableTokenLeavesEverythingAlone) {
  answers.bOpens = FALSE;
  answers.nOpenError = ERROR_ACCESS_DENIED;
  EXPECT_FALSE(m_client.SetSystemClock(kTimeToSet));
  EXPECT_EQ(calls, (Calls{"open"}));
}

TEST_F(ClockSetting, WithoutSecurityModelTheClockIsSetDirectly) {
  NoSecurityModel();
  EXPECT_TRUE(m_client.SetSystemClock(kTimeToSet));
  EXPECT_EQ(lastErrorAtSet, 0u);
  EXPECT_EQ(calls, (Calls{"open", kSetCall}));

  calls.clear();
  answers.bSets = FALSE;
  EXPECT_FALSE(m_client.SetSystemClock(kTimeToSet));
  EXPECT_EQ(calls, (Calls{"open", kSetCall}));
}

// A synchronize whose dialog is closing: the stop event, set after the
// exchange, leaves the clock and the privilege alone.
TEST_F(ClockSetting, StopEventSetAfterTheExchangeLeavesTheClockAlone) {
  const HANDLE stop = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  m_client.SetStopEvent(stop);
  SntpExchangeResult result;
  ASSERT_TRUE(m_client.QueryServer(TimeServers::kSynchronised, result, TimeServers::kPort));
  ::SetEvent(stop);
  EXPECT_FALSE(m_client.SetSystemClock(result.m_TransmitTime));
  EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_CANCELLED));
  EXPECT_EQ(calls, Calls{});
  ::CloseHandle(stop);
}

// Nothing of one setting carries over into the next.
TEST_F(ClockSetting, EachSettingStartsAfresh) {
  answers.bEnables = FALSE;
  EXPECT_FALSE(m_client.SetSystemClock(kTimeToSet));
  calls.clear();
  NoSecurityModel();
  EXPECT_TRUE(m_client.SetSystemClock(kTimeToSet));
  EXPECT_EQ(calls, (Calls{"open", kSetCall}));
}

}  // namespace
