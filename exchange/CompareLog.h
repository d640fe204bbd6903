#pragma once
#include <string>
#include <vector>

#include "exchange/FailedExchange.h"
#include "exchange/ServerPoll.h"
#include "framework/SystemTime.h"
#include "nts/NtsFailure.h"
#include "sntp/SntpExchangeResult.h"
#include "sntp/SntpPacket.h"

// Indexes of the log messages read from the settings file.
enum LogMessage {
  kMessageTimeServer = 0,
  kMessageLocalFaster = 1,
  kMessageLocalSlower = 2,
  kMessageLocalTime = 3,
  kMessageFailedToSet = 5,
  kMessageNoAnswer = 6,
  kMessageNameNotFound = 7,
  kMessageNetworkRefused = 8,
  kMessageReplyRefused = 9,
  kMessageClockUnchanged = 10,
  kMessageLargeStep = 11,
  kMessageNewLocalTime = 12,
  kMessageStep = 13,
  // Then one text for each refusal after None, in the order of SntpRefusal
  // (keys 15 to 24).
  kMessageFirstRefusal = 14,
  // Then the texts that came later.
  kMessageNameServiceSilent = kMessageFirstRefusal + static_cast<int>(kLastSntpRefusal),
  kMessageAnsweredFrom,
  kMessageAuthenticated,
  kMessageTrustedAtServerTime,
  kMessageCertificateQuestion,
  kMessageNtsFailed,
  // Then one text for each NTS failure after None, in the order of NtsFailure.
  kMessageFirstNtsFailure,
  // Then the labels of the question before setting the clock to a time
  // whose server's certificate holds at the server's time only (keys 49 to
  // 51).
  kMessageServerTime = kMessageFirstNtsFailure + static_cast<int>(kLastNtsFailure),
  kMessageCertificateValidFrom,
  kMessageCertificateValidUntil,
  // Then the texts of a compare of several servers (keys 52 to 55).
  kMessageServersAgree,
  kMessageFalseticker,
  kMessageLeftOut,
  kMessageNoMajority,
  // Then the texts of the second pass over several servers (keys 56 to 61).
  kMessageNotCrossChecked,
  kMessageTooFewAgree,
  kMessageSameServer,
  kMessageKissed,
  kMessageStoppedBeforeAnswer,
  kMessageServersFailed,
  // Then why a time is not authenticated: the settings, a blocked port
  // (keys 62 and 63).
  kMessageNtsOff,
  kMessageNtsBlocked,
  // Why the NTS key-exchange results are not kept between runs, told once
  // (keys 64 and 65).
  kMessageKeptResultsUnsafe,
  kMessageKeptResultsOwner,
  // Then who else may set this clock, after a synchronize that set it, and
  // what its history says (keys 66 to 77).
  kMessageWindowsTimeDomain,
  kMessageWindowsTimeServers,
  kMessageWindowsTimeDomainOrServers,
  kMessageHyperV,
  kMessageVmwareTools,
  kMessageVirtualBox,
  kMessageSecureTimeSeeding,
  kMessageClockLoses,
  kMessageClockGains,
  kMessageMovedByOther,
  kMessageHistoryFolderUnsafe,
  kMessageHistoryNotWritten,
  // Then the rest of why a time is not authenticated (keys 86 to 91):
  // dropped requests, web time; the questions before the clock is set to an
  // unauthenticated time and to web time; the refusal of a time weaker than
  // the settings trust; and web time that would not make the clock better.
  kMessageNtsDropped,
  kMessageWebTime,
  kMessageUnauthenticatedQuestion,
  kMessageWebQuestion,
  kMessageWeakerRefused,
  kMessageWithinWebBound,
  // Then the texts of web time (keys 80 to 82): why a web server gave no time.
  kMessageWebUnavailable,
  kMessageWebCertificateRefused,
  kMessageWebNoDate,
  kMessageCount,
};

// The log of a compare or synchronize that reached the server: the server
// line; the answering address's line when it was not the first address; a
// line saying the time was authenticated (NTS), and one when the server's
// certificate held at the server's time only; the offset line unless the
// offset is exactly 0; and the local time line, each ending in CR LF.
std::wstring FormatCompareLog(const std::vector<std::wstring>& messages, const std::wstring& server,
                              const SntpExchangeResult& result, const SYSTEMTIME& localTime);

// The log of an exchange that failed: the server line and why, and for a
// synchronize that the clock was left as it was.
std::wstring FormatFailureLog(const std::vector<std::wstring>& messages, const std::wstring& server,
                              const FailedExchange& failure, bool synchronizing);

// The log of a poll that chose a time. Of one server, the compare log of
// its answer. Of several, the compare log of the chosen server, with, before
// the local time, how many of those that answered agree, each falseticker
// with its offset and each server left out with why. A time that fewer
// servers agree on than the poll needs is said to be not cross-checked.
std::wstring FormatPollLog(const std::vector<std::wstring>& messages, const ServerPoll& poll,
                           const SYSTEMTIME& localTime);

// The log of a synchronize that left the clock as it was after a poll that
// chose a time: the poll's log, why when too few servers agree on the time
// or web time would not make it better, and that the clock was not changed.
std::wstring FormatUnchangedLog(const std::vector<std::wstring>& messages, const ServerPoll& poll,
                                const SYSTEMTIME& localTime);

// The log of a poll that chose no time. Of one server, its failure log. Of
// several, that no majority agrees when some answered, else that none gave
// a time; each that answered with its offset, each server left out with
// why, and for a synchronize that the clock was left as it was.
std::wstring FormatPollFailureLog(const std::vector<std::wstring>& messages, const ServerPoll& poll,
                                  bool synchronizing);

// Why the clock is not set, unasked, to the poll's time: it is weaker than
// the settings trust.
std::wstring WeakerTimeRefusal(const std::vector<std::wstring>& messages, const ServerPoll& poll);

// Why the chosen time is not authenticated, without the line's end; empty
// when it is.
std::wstring DowngradeReason(const std::vector<std::wstring>& messages, const ServerPoll& poll);

// Why the exchange failed, as the failure log's line after the server's
// says it, without the line's end.
std::wstring FailureReason(const std::vector<std::wstring>& messages, const FailedExchange& failure);

// The text with %1, %2 ... replaced by the values: the settings file's text
// is never a format of its own, and a value is never read as one.
std::wstring WithValues(const std::wstring& text, const std::vector<std::wstring>& values);

// One message as a line of its own.
std::wstring MessageLine(const std::vector<std::wstring>& messages, LogMessage message);

// The question before the clock is stepped by more than an hour: why it is
// asked, the local time now, the time it would be set to, and the step in
// seconds.
std::wstring FormatStepQuestion(const std::vector<std::wstring>& messages, LogMessage why,
                                const SYSTEMTIME& localTime, const SYSTEMTIME& newLocalTime, double step);

// The question before the clock is set to a time whose server's certificate
// holds at the server's time only: why it is asked, the local time now, the
// server's time, the step in seconds, and the dates between which the
// certificate is valid, all in the local time zone.
std::wstring FormatCertificateQuestion(const std::vector<std::wstring>& messages, const SYSTEMTIME& localTime,
                                       const SYSTEMTIME& serverTime, double step, const SYSTEMTIME& validFrom,
                                       const SYSTEMTIME& validUntil);
