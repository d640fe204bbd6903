#pragma once
#include "exchange/CompareLog.h"
#include "nts/NtsFailure.h"
#include "sntp/SntpFailure.h"

// What the user is told of an exchange that failed so: the one place where
// the floors' failures become the log's.
FailedExchange FailedExchangeOf(const SntpFailure& failure);
FailedExchange FailedExchangeOf(const NtsQueryFailure& failure);
