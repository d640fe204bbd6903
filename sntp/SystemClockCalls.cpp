#include "sntp/SystemClockCalls.h"

const SystemClockCalls kSystemClockCalls = {
    ::OpenProcessToken, ::LookupPrivilegeValueW, ::AdjustTokenPrivileges, ::SetSystemTime,
    ::CloseHandle,
};
