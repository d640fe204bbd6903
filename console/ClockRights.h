#pragma once
#include <windows.h>

// Whether the token holds the system-time privilege, enabled or not, as
// setting the clock needs: an elevated administrator's and SYSTEM's do, a
// user's and an administrator's without elevation do not. False when the
// token cannot be read.
bool HoldsSystemTimePrivilege(HANDLE token);

// Whether the token counts the Administrators group among its own, as
// an elevated administrator's and SYSTEM's do; an administrator's
// without elevation holds it for denying only. False when the token
// cannot be read.
bool IsAdministrator(HANDLE token);

// The token whose rights decide whether this run may set the clock: the
// process's own, opened for reading and checking membership (test
// builds hand another). Null when
// it cannot be opened; the caller closes it.
HANDLE OpenRunToken();
