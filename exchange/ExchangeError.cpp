#include "exchange/ExchangeError.h"

#include <winsock2.h>

std::optional<FailedExchange> FailedExchangeOf(DWORD error, SntpRefusal refusal, NtsFailure nts, unsigned ntsCode) {
  switch (error) {
    case kErrorNtsFailed:
      return FailedExchange{ExchangeFailure::NtsFailed, SntpRefusal::None, ntsCode, nts};
    case WSAEINTR:
      return std::nullopt;
    case WSAETIMEDOUT:
      return FailedExchange{ExchangeFailure::NoAnswer, SntpRefusal::None, error};
    case WSATRY_AGAIN:
      return FailedExchange{ExchangeFailure::NameServiceSilent, SntpRefusal::None, error};
    case WSAHOST_NOT_FOUND:
      return FailedExchange{ExchangeFailure::NameNotFound, SntpRefusal::None, error};
    case ERROR_INVALID_DATA:
      return FailedExchange{ExchangeFailure::ReplyRefused, refusal, error};
    default:
      return FailedExchange{ExchangeFailure::NetworkRefused, SntpRefusal::None, error};
  }
}
