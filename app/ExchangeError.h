#pragma once
#include <windows.h>

#include <optional>

#include "app/CompareLog.h"

// What the user is told of an exchange that failed with this error (and,
// for a refused reply, this refusal); nothing when it was stopped because
// the dialog is closing.
std::optional<FailedExchange> FailedExchangeOf(DWORD error, SntpRefusal refusal);
