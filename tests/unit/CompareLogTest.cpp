#include "exchange/CompareLog.h"

#include "exchange/TextSettings.h"
#include "tests/unit/CalendarRecord.h"

#include <gtest/gtest.h>

namespace {
const std::vector<std::wstring> kDefaultMessages = [] {
  std::vector<std::wstring> messages;
  for (const MessageSetting& message : kLogMessages) messages.push_back(message.builtInText);
  return messages;
}();

SntpExchangeResult Measured(double clockOffset, const std::wstring& answeringAddress = L"") {
  SntpExchangeResult result;
  result.m_dClockOffset = clockOffset;
  result.m_strAnsweringAddress = answeringAddress;
  return result;
}

}  // namespace

TEST(CompareLog, NamesWhichClockIsAheadAndByHowMuch) {
  const SYSTEMTIME local = CalendarRecord(2007, 11, 5, 14, 3, 27, 123);
  EXPECT_EQ(FormatCompareLog(kDefaultMessages, L"127.0.0.3", Measured(1.5), local),
            L"Time server : 127.0.0.3\r\n"
            L"Local time is slower than Server time (1.500000 sec.)\r\n"
            L"Local time : 2007/11/05, 14:03:27.123\r\n");
  EXPECT_EQ(FormatCompareLog(kDefaultMessages, L"pool.ntp.org", Measured(-2.25), local),
            L"Time server : pool.ntp.org\r\n"
            L"Local time is faster than Server time (-2.250000 sec.)\r\n"
            L"Local time : 2007/11/05, 14:03:27.123\r\n");
  // The address named when it was not the first the name gave; then what
  // NTS proved.
  SntpExchangeResult authenticated = Measured(1.5, L"192.0.2.1");
  authenticated.m_bAuthenticated = true;
  authenticated.m_bTrustedAtServerTimeOnly = true;
  EXPECT_EQ(FormatCompareLog(kDefaultMessages, L"time.example", authenticated, local),
            L"Time server : time.example\r\n"
            L"Answered from : 192.0.2.1\r\n"
            L"The time was authenticated with Network Time Security (NTS)\r\n"
            L"The server's certificate is valid by the server's time only, not by the local time\r\n"
            L"Local time is slower than Server time (1.500000 sec.)\r\n"
            L"Local time : 2007/11/05, 14:03:27.123\r\n");
}

TEST(CompareLog, LeavesOutTheOffsetLineWhenTheClocksAgreeExactly) {
  EXPECT_EQ(FormatCompareLog(kDefaultMessages, L"ntp", Measured(0.0), CalendarRecord(2026, 1, 2, 3, 4, 5, 6)),
            L"Time server : ntp\r\nLocal time : 2026/01/02, 03:04:05.006\r\n");
}

TEST(CompareLog, UsesTheConfiguredMessagesAndKeepsLongTextWhole) {
  std::vector<std::wstring> messages = kDefaultMessages;
  messages[0] = L"Serveur";
  messages[2] = L"En retard";
  messages[3] = L"Heure locale";
  const std::wstring server(2083, L's');
  EXPECT_EQ(FormatCompareLog(messages, server, Measured(0.000001), CalendarRecord(2030, 12, 31, 23, 59, 59, 999)),
            L"Serveur : " + server + L"\r\n" + L"En retard (0.000001 sec.)\r\n" +
                L"Heure locale : 2030/12/31, 23:59:59.999\r\n");
}

// Every refusal has a text of its own: the first and the last map right.
TEST(CompareLog, AFailureLogsTheServerAndWhy) {
  const auto failed = [](ExchangeFailure kind, SntpRefusal refusal, unsigned long error) {
    return FormatFailureLog(kDefaultMessages, L"ntp", FailedExchange{kind, refusal, error}, false);
  };
  EXPECT_EQ(failed(ExchangeFailure::NoAnswer, SntpRefusal::None, 10060),
            L"Time server : ntp\r\nNo answer from the server within 5 seconds\r\n");
  EXPECT_EQ(failed(ExchangeFailure::NameServiceSilent, SntpRefusal::None, 11002),
            L"Time server : ntp\r\nNo answer from the name service\r\n");
  EXPECT_EQ(failed(ExchangeFailure::NameNotFound, SntpRefusal::None, 11001),
            L"Time server : ntp\r\nThe server's name could not be found\r\n");
  EXPECT_EQ(failed(ExchangeFailure::NetworkRefused, SntpRefusal::None, 10051),
            L"Time server : ntp\r\nThe network refused the request (10051)\r\n");
  EXPECT_EQ(failed(ExchangeFailure::ReplyRefused, SntpRefusal::Unsynchronised, 13),
            L"Time server : ntp\r\nThe server's answer was refused : the server's clock is not synchronised\r\n");
  EXPECT_EQ(failed(ExchangeFailure::ReplyRefused, SntpRefusal::ReferenceAfterTransmit, 13),
            L"Time server : ntp\r\nThe server's answer was refused : "
            L"it was sent before the server's clock was last set\r\n");
  EXPECT_EQ(FailureReason(kDefaultMessages, FailedExchange{ExchangeFailure::Kissed, SntpRefusal::NoStratum, 0,
                                                           NtsFailure::None, L"RATE"}),
            L"The server refused to answer (kiss code RATE)");
  EXPECT_EQ(FailureReason(kDefaultMessages, FailedExchange{ExchangeFailure::PredatesProgram}),
            L"The server's answer was refused : the server's time is earlier than this program was built");
  EXPECT_EQ(FailureReason(kDefaultMessages, SameServerAs(L"%2 ntp")), L"the same server as %2 ntp");
  // No failure goes untold, a stop included.
  for (int kind = 0; kind <= static_cast<int>(ExchangeFailure::WebNoDate); ++kind)
    EXPECT_NE(FailureReason(kDefaultMessages, FailedExchange{static_cast<ExchangeFailure>(kind)}), L"") << kind;
  // A synchronize says that the clock was left as it was.
  EXPECT_EQ(FormatFailureLog(kDefaultMessages, L"ntp", FailedExchange{ExchangeFailure::NoAnswer, SntpRefusal::None, 0},
                             true),
            L"Time server : ntp\r\nNo answer from the server within 5 seconds\r\n"
            L"The local time was not changed\r\n");
}

TEST(CompareLog, TheStepQuestionShowsBothTimesAndTheStep) {
  EXPECT_EQ(FormatStepQuestion(kDefaultMessages, kMessageLargeStep, CalendarRecord(2026, 12, 7, 14, 3, 27, 123),
                               CalendarRecord(2029, 12, 7, 14, 3, 28, 623), 94694401.5),
            L"The server's time is more than an hour away from the local time. Set the local time to it?\r\n"
            L"\r\n"
            L"Local time : 2026/12/07, 14:03:27.123\r\n"
            L"New local time : 2029/12/07, 14:03:28.623\r\n"
            L"Step : +94694401.500000 sec.\r\n");
}

// Neither clock is blamed: the question shows both times and the dates
// between which the certificate holds, and leaves the judging to the user.
TEST(CompareLog, TheCertificateQuestionShowsTheServersTimeAndTheCertificatesDates) {
  EXPECT_EQ(FormatCertificateQuestion(kDefaultMessages, CalendarRecord(2027, 3, 2, 9, 0, 0, 0),
                                      CalendarRecord(2026, 3, 1, 8, 59, 58, 500), -31536001.5,
                                      CalendarRecord(2026, 2, 20, 10, 0, 0, 0),
                                      CalendarRecord(2026, 3, 22, 10, 0, 0, 0)),
            L"The server's certificate is valid by the server's time only, not by this computer's: one of the two "
            L"clocks is wrong, or the server is not what it claims. Set the local time to the server's time?\r\n"
            L"\r\n"
            L"Local time : 2027/03/02, 09:00:00.000\r\n"
            L"Server time : 2026/03/01, 08:59:58.500\r\n"
            L"Step : -31536001.500000 sec.\r\n"
            L"The server's certificate is valid from : 2026/02/20, 10:00:00.000\r\n"
            L"The server's certificate is valid until : 2026/03/22, 10:00:00.000\r\n");
}

// Of several servers: the chosen one's lines, how many agree, then one line
// for each other; without a majority, each that answered and each left out.
TEST(CompareLog, SeveralServersAreToldAServerALine) {
  ServerPoll poll;
  SntpExchangeResult liar = Measured(31.5);
  poll.answers = {{L"a.example", Measured(1.5)}, {L"b.example", liar}, {L"c.example", Measured(1.5)},
                  {L"d.example", FailedExchange{ExchangeFailure::NoAnswer}}};
  poll.answers[0].verdict = poll.answers[2].verdict = ServerVerdict::Truechimer;
  poll.answers[1].verdict = ServerVerdict::Falseticker;
  poll.chosen = 2;
  EXPECT_EQ(FormatPollLog(kDefaultMessages, poll, CalendarRecord(2026, 12, 8, 10, 0, 0, 0)),
            L"Time server : c.example\r\n"
            L"Local time is slower than Server time (1.500000 sec.)\r\n"
            L"2 of 3 servers agree\r\n"
            L"Falseticker : b.example (+31.500000 sec.)\r\n"
            L"Left out : d.example: No answer from the server within 5 seconds\r\n"
            L"Local time : 2026/12/08, 10:00:00.000\r\n");
  poll.chosen.reset();
  poll.answers.erase(poll.answers.begin() + 2);
  EXPECT_EQ(FormatPollFailureLog(kDefaultMessages, poll, true),
            L"The servers that answered disagree: no majority of them agrees on the time\r\n"
            L"Time server : a.example (+1.500000 sec.)\r\n"
            L"Time server : b.example (+31.500000 sec.)\r\n"
            L"Left out : d.example: No answer from the server within 5 seconds\r\n"
            L"The local time was not changed\r\n");
  // A time fewer agree on than minagree is shown as not cross-checked; a
  // synchronize says why it leaves the clock.
  poll.answers = {{L"a.example", Measured(1.5)}, {L"b.example", FailedExchange{ExchangeFailure::NoAnswer}}};
  poll.answers[0].verdict = ServerVerdict::Truechimer;
  poll.chosen = 0;
  poll.minAgree = 2;
  EXPECT_EQ(FormatUnchangedLog(kDefaultMessages, poll, CalendarRecord(2026, 12, 8, 10, 0, 0, 0)),
            L"Time server : a.example\r\n"
            L"Local time is slower than Server time (1.500000 sec.)\r\n"
            L"1 of 1 servers agree\r\n"
            L"Left out : b.example: No answer from the server within 5 seconds\r\n"
            L"Not cross-checked: only 1 of 2 servers agree on this time\r\n"
            L"Local time : 2026/12/08, 10:00:00.000\r\n"
            L"The clock is set only to a time that at least 2 servers agree on (minagree)\r\n"
            L"The local time was not changed\r\n");
  poll.chosen.reset();
  poll.answers[0].answer = FailedExchange{ExchangeFailure::NameNotFound};
  poll.answers[0].verdict = ServerVerdict::LeftOut;
  EXPECT_EQ(FormatPollFailureLog(kDefaultMessages, poll, false),
            L"No server gave a time; each server's reason is given with it\r\n"
            L"Left out : a.example: The server's name could not be found\r\n"
            L"Left out : b.example: No answer from the server within 5 seconds\r\n");
  poll.minAgree = 1;
  // A time that NTS's blocked port left plain says so; one the settings
  // asked for plain needs no line.
  poll.answers = {{L"a.example", Measured(1.5)}};
  poll.answers[0].verdict = ServerVerdict::Truechimer;
  poll.chosen = 0;
  poll.downgrade = Downgrade::NtsBlocked;
  EXPECT_EQ(FormatPollLog(kDefaultMessages, poll, CalendarRecord(2026, 12, 8, 10, 0, 0, 0)),
            L"Time server : a.example\r\n"
            L"Local time is slower than Server time (1.500000 sec.)\r\n"
            L"Not authenticated: port 4460 (Network Time Security) is blocked on this network\r\n"
            L"Local time : 2026/12/08, 10:00:00.000\r\n");
  poll.downgrade = Downgrade::NtsOff;
  EXPECT_EQ(FormatPollLog(kDefaultMessages, poll, {}).find(L"Not authenticated"), std::wstring::npos);
  poll.trustFloor = TrustLevel::Authenticated;
  EXPECT_EQ(WeakerTimeRefusal(kDefaultMessages, poll),
            L"The clock is set without a question only to a time that is authenticated (trust); this one is "
            L"unauthenticated");
  // The settings file's text takes the numbers, never a format of its own.
  std::vector<std::wstring> messages = kDefaultMessages;
  messages[kMessageServersAgree] = L"%2 %s %1%% %3";
  poll.answers = {{L"a", Measured(1)}, {L"b", Measured(1)}};
  poll.answers[0].verdict = poll.answers[1].verdict = ServerVerdict::Truechimer;
  poll.chosen = 0;
  EXPECT_NE(FormatPollLog(messages, poll, {}).find(L"\r\n2 %s 2%% %3\r\n"), std::wstring::npos);
}
