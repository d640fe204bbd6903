#pragma once
#include <windows.h>

#include <optional>

#include "exchange/CompareLog.h"

// What the user is told of an exchange that failed with this error (and,
// for a refused reply, this refusal; for a failure of NTS, its reason and
// the server's record's code); nothing when it was stopped because the
// dialog is closing.
std::optional<FailedExchange> FailedExchangeOf(DWORD error, SntpRefusal refusal, NtsFailure nts = NtsFailure::None,
                                               unsigned ntsCode = 0);
