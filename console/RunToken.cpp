#include "console/ClockRights.h"

HANDLE OpenRunToken() {
  HANDLE token = nullptr;
  return ::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY | TOKEN_DUPLICATE, &token) ? token : nullptr;
}
