#include "exchange/ExchangeError.h"

namespace {

FailedExchange FailedNetworkExchange(const NetFailure& failure) {
  switch (failure.kind) {
    case NetFailure::Kind::Stopped:
      return {ExchangeFailure::Stopped};
    case NetFailure::Kind::TimedOut:
    case NetFailure::Kind::NothingToSend:
      return {ExchangeFailure::NoAnswer, SntpRefusal::None, failure.error};
    case NetFailure::Kind::NameServiceSilent:
      return {ExchangeFailure::NameServiceSilent, SntpRefusal::None, failure.error};
    case NetFailure::Kind::NameNotFound:
      return {ExchangeFailure::NameNotFound, SntpRefusal::None, failure.error};
    case NetFailure::Kind::Refused:
    case NetFailure::Kind::System:
      break;
  }
  return {ExchangeFailure::NetworkRefused, SntpRefusal::None, failure.error};
}

FailedExchange FailedNtsExchange(NtsFailure reason, unsigned code = 0) {
  return {ExchangeFailure::NtsFailed, SntpRefusal::None, code, reason};
}

}  // namespace

FailedExchange FailedExchangeOf(const SntpFailure& failure) {
  switch (failure.kind) {
    case SntpFailure::Kind::Network:
      return FailedNetworkExchange(failure.network);
    case SntpFailure::Kind::ReplyRefused:
      if (!failure.kissCode.empty()) return {ExchangeFailure::Kissed, failure.refusal, 0, NtsFailure::None, failure.kissCode};
      return {ExchangeFailure::ReplyRefused, failure.refusal};
    case SntpFailure::Kind::NotAuthenticated:
      return FailedNtsExchange(NtsFailure::NotAuthenticated);
    // Every cookie went into a request, and not one of them was answered.
    case SntpFailure::Kind::NoCredentialsLeft:
      return FailedNtsExchange(NtsFailure::RequestsUnanswered);
    case SntpFailure::Kind::CredentialsRefused:
      break;
  }
  return FailedNtsExchange(NtsFailure::CookieRefused);
}

FailedExchange FailedExchangeOf(const NtsQueryFailure& failure) {
  if (failure.reason == NtsFailure::None) return FailedExchangeOf(failure.exchange);
  return FailedNtsExchange(failure.reason, failure.code);
}
