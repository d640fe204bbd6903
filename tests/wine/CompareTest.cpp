#include <gtest/gtest.h>

#include <cmath>
#include <cwchar>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "res/resource.h"
#include "tests/wine/BuildOutput.h"
#include "tests/wine/ResponderControl.h"
#include "tests/wine/TimeServers.h"
#include "tests/wine/compare/LogReading.h"
#include "tests/wine/compare/MainDialogRun.h"
#include "tests/wine/ui/Deadline.h"
#include "tests/wine/ui/MessageBoxView.h"

namespace {

// From the dialog showing to the start-up compare's log; and from a click
// to the log of an answered exchange. Generous: a busy machine may be slow.
constexpr DWORD kLogMs = 5000;
// The program's wait for a reply.
constexpr DWORD kReplyWaitMs = 5000;
constexpr DWORD kBoxMs = 5000;
// A box that should not come: how long to look for it.
constexpr DWORD kNoBoxMs = 1000;
// Ending the program must not wait for the reply: well under its 5 s.
constexpr DWORD kEndMs = 2500;
// Tells +1.5 s from -2.25 s and catches a sign, unit or halving error, with
// room for a busy machine's delays; how close it comes is for bench/compare.
constexpr double kOffsetTolerance = 0.05;
constexpr double kLoggedTimeTolerance = 2.0;
constexpr double kClockTolerance = 1.0;
constexpr double kHour = 3600.0;
constexpr wchar_t kZeroClock[] = L"0000-00-00 00:00 00";

// The three labels of a log line by line.
struct Labels {
  std::wstring server;
  std::wstring offset;
  std::wstring time;
};

DWORD MillisecondsUntil(ULONGLONG tick) {
  const ULONGLONG now = ::GetTickCount64();
  return tick > now ? static_cast<DWORD>(tick - now) : 0;
}

const Labels kServerAheadLabels{L"Time server", L"Local time is slower than Server time",
                                L"Local time"};

// Exactly three lines: the server, its offset, and the local time now.
void ExpectThreeLineLog(const std::wstring& log, const Labels& labels, const std::wstring& server,
                        double offset) {
  SYSTEMTIME now;
  ::GetLocalTime(&now);
  const auto lines = LinesOf(log);
  ASSERT_TRUE(lines && lines->size() == 3) << "log: " << log;
  EXPECT_EQ((*lines)[0], labels.server + L" : " + server);
  const auto logged = OffsetIn((*lines)[1], labels.offset);
  ASSERT_TRUE(logged) << "offset line: " << (*lines)[1];
  EXPECT_NEAR(*logged, offset, kOffsetTolerance);
  const auto time = TimeIn((*lines)[2], labels.time);
  ASSERT_TRUE(time) << "time line: " << (*lines)[2];
  EXPECT_NEAR(SecondsBetween(*time, now), 0.0, kLoggedTimeTolerance);
}

bool BothShowTimes(const ClockReading& reading) {
  return CClockReader::ShowsItsTime(reading) && ClockTime(reading.server).has_value();
}

void ExpectServerClockAhead(const CMainDialogRun& run, double seconds) {
  const ClockReading reading = run.ReadClocks(BothShowTimes);
  const auto local = ClockTime(reading.local);
  const auto server = ClockTime(reading.server);
  ASSERT_TRUE(local && server) << "clocks: " << reading.local << " and " << reading.server;
  EXPECT_NEAR(SecondsBetween(*local, *server), seconds, kClockTolerance);
}

TEST(ServerAhead, StartUpCompareShowsItAndSynchronizeCannotFollowIt) {
  SYSTEMTIME local;
  SYSTEMTIME utc;
  ::GetLocalTime(&local);
  ::GetSystemTime(&utc);
  ASSERT_GT(std::abs(SecondsBetween(utc, local)), kHour) << "the tests need TZ set to a zone far from UTC";

  CMainDialogRun run(TimeServers::kAhead);
  ASSERT_NE(run.Dialog(), nullptr) << "the dialog did not show";
  const std::wstring compared = run.AwaitLogOtherThan(L"", kLogMs);
  ExpectThreeLineLog(compared, kServerAheadLabels, TimeServers::kAhead, TimeServers::kAheadSeconds);
  ExpectServerClockAhead(run, TimeServers::kAheadSeconds);

  // Wine refuses to move its clock by half a second or more.
  run.Click(IDC_SYNCHRONIZE);
  EXPECT_EQ(run.AwaitLogOtherThan(compared, kLogMs), L"Failed to set the local time");
  ExpectServerClockAhead(run, TimeServers::kAheadSeconds);
}

// Of three servers, two agree 1.5 s ahead and one is 30 s further: the log
// shows the two's time, how many agree and the third by name; synchronize
// goes by the two's time, which Wine refuses to take.
TEST(SeveralServers, TheMajorityIsShownAndTheFalsetickerNamed) {
  CMainDialogRun run(TimeServers::kAhead, "", [](const std::filesystem::path& folder) {
    std::ofstream(folder / "Movrane.ini", std::ios::binary)
        << "[sntp]\r\nserver1=127.0.0.3\r\nserver2=127.0.0.22\r\nserver3=127.0.0.21\r\n";
  });
  ASSERT_NE(run.Dialog(), nullptr) << "the dialog did not show";
  const std::wstring compared = run.AwaitLogOtherThan(L"", kLogMs);
  const auto lines = LinesOf(compared);
  ASSERT_TRUE(lines && lines->size() == 5) << "log: " << compared;
  EXPECT_TRUE((*lines)[0] == std::wstring(L"Time server : ") + TimeServers::kAhead ||
              (*lines)[0] == std::wstring(L"Time server : ") + TimeServers::kAlsoAhead)
      << (*lines)[0];
  const auto offset = OffsetIn((*lines)[1], kServerAheadLabels.offset);
  ASSERT_TRUE(offset) << "offset line: " << (*lines)[1];
  EXPECT_NEAR(*offset, TimeServers::kAheadSeconds, kOffsetTolerance);
  EXPECT_EQ((*lines)[2], L"2 of 3 servers agree");
  const std::wstring falseticker = L"Falseticker : 127.0.0.22 (+";
  ASSERT_EQ((*lines)[3].rfind(falseticker, 0), 0u) << (*lines)[3];
  EXPECT_NEAR(std::wcstod((*lines)[3].c_str() + falseticker.size(), nullptr), TimeServers::kFarAheadSeconds,
              kOffsetTolerance);
  ExpectServerClockAhead(run, TimeServers::kAheadSeconds);

  run.Click(IDC_SYNCHRONIZE);
  EXPECT_EQ(run.AwaitLogOtherThan(compared, kLogMs), L"Failed to set the local time");
  ExpectServerClockAhead(run, TimeServers::kAheadSeconds);
}

// One answer of two is shown, as not cross-checked, and Synchronize says
// why it leaves the clock alone rather than setting it from one server.
TEST(SeveralServers, OneAnswerOfTwoIsNotCrossCheckedAndSetsNoClock) {
  CMainDialogRun run(TimeServers::kAhead, "", [](const std::filesystem::path& folder) {
    std::ofstream(folder / "Movrane.ini", std::ios::binary) << "[sntp]\r\nserver1=127.0.0.3\r\nserver2=127.0.0.9\r\n";
  });
  ASSERT_NE(run.Dialog(), nullptr) << "the dialog did not show";
  const std::wstring compared = run.AwaitLogOtherThan(L"", kReplyWaitMs + kLogMs);
  const auto lines = LinesOf(compared);
  ASSERT_TRUE(lines && lines->size() == 6) << "log: " << compared;
  EXPECT_EQ((*lines)[2], L"1 of 1 servers agree");
  EXPECT_EQ((*lines)[4], L"Not cross-checked: only 1 of 2 servers agree on this time");
  ExpectServerClockAhead(run, TimeServers::kAheadSeconds);

  run.Click(IDC_SYNCHRONIZE);
  const std::wstring refused = run.AwaitLogOtherThan(compared, kReplyWaitMs + kLogMs);
  EXPECT_NE(refused.find(L"\r\nThe clock is set only to a time that at least 2 servers agree on (minagree)\r\n"
                         L"The local time was not changed"),
            std::wstring::npos)
      << refused;
}

struct LogFormat {
  const char* name;
  LPCWSTR server;
  const char* messages;  // lines of the settings' message section
  Labels labels;
  double offset;
};

constexpr char kOwnMessages[] = "1=Serveur\r\n2=En avance\r\n3=En retard\r\n4=Heure locale\r\n";

const LogFormat kLogFormats[] = {
    {"OwnMessagesLocalAhead", TimeServers::kBehind, kOwnMessages,
     {L"Serveur", L"En avance", L"Heure locale"}, TimeServers::kBehindSeconds},
    {"OwnMessagesLocalBehind", TimeServers::kAhead, kOwnMessages,
     {L"Serveur", L"En retard", L"Heure locale"}, TimeServers::kAheadSeconds},
    {"EmptyMessageFallsBack", TimeServers::kBehind, "2=\r\n",
     {L"Time server", L"Local time is faster than Server time", L"Local time"},
     TimeServers::kBehindSeconds},
};

class LogFormats : public testing::TestWithParam<LogFormat> {};

TEST_P(LogFormats, StartUpCompareLogsWithTheSettingsMessages) {
  const LogFormat& format = GetParam();
  CMainDialogRun run(format.server, format.messages);
  ASSERT_NE(run.Dialog(), nullptr) << "the dialog did not show";
  ExpectThreeLineLog(run.AwaitLogOtherThan(L"", kLogMs), format.labels, format.server, format.offset);
}

INSTANTIATE_TEST_SUITE_P(Messages, LogFormats, testing::ValuesIn(kLogFormats),
                         [](const testing::TestParamInfo<LogFormat>& info) { return info.param.name; });

// A reply that must not be trusted fails the exchange at once, and the log
// says why in place of the last result.
TEST(UnsynchronisedServer, CompareLogsWhyAndChangesNothingElse) {
  CMainDialogRun run(TimeServers::kUnsynchronised);
  ASSERT_NE(run.Dialog(), nullptr) << "the dialog did not show";
  const std::wstring refused = run.AwaitLogOtherThan(L"", kLogMs);
  EXPECT_EQ(refused, L"Time server : 127.0.0.5\r\n"
                     L"The server's answer was refused : the server's clock is not synchronised\r\n");
  run.Click(IDC_SYNCHRONIZE);
  EXPECT_EQ(CMessageBoxView::WaitFor(run.Program().ProcessId(), kNoBoxMs), nullptr)
      << "a failed exchange left the dialog busy";
  EXPECT_EQ(run.AwaitLogOtherThan(refused, kLogMs), refused + L"The local time was not changed\r\n");
  EXPECT_EQ(run.ReadClocks().server, kZeroClock);
}

// The responder stays silent until told otherwise.
class SilentServer : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_EQ(m_responder.Command("reset"), "ok");
    Silence();
  }

  void Silence() { ASSERT_EQ(m_responder.Command("reply"), "ok"); }

  CResponderControl m_responder;
};

TEST_F(SilentServer, WaitingCompareTurnsClicksAwayAndEndsWithTheProgram) {
  CMainDialogRun run(TimeServers::kResponder);
  ASSERT_NE(run.Dialog(), nullptr) << "the dialog did not show";
  // The start-up compare sent its request before the dialog showed.
  const ULONGLONG waitEnds = ::GetTickCount64() + kReplyWaitMs;

  run.Click(IDC_COMPARE);
  const HWND box = CMessageBoxView::WaitFor(run.Program().ProcessId(), kBoxMs);
  ASSERT_NE(box, nullptr) << "no message box for a click while busy";
  EXPECT_EQ(CMessageBoxView(box).Text(), L"Under processing...");
  CMessageBoxView(box).Press();
  EXPECT_EQ(m_responder.RequestCount(), 1);

  // The silent worker tells that no answer came, and the clock stays.
  const std::wstring unanswered = L"Time server : 127.0.0.6\r\nNo answer from the server within 5 seconds\r\n";
  EXPECT_EQ(run.AwaitLogOtherThan(L"", MillisecondsUntil(waitEnds) + kLogMs), unanswered);
  EXPECT_EQ(run.ReadClocks().server, kZeroClock);

  ASSERT_EQ(m_responder.Command("reset"), "ok");
  const auto lines = LinesOf(run.ClickUntilLogged(IDC_COMPARE, unanswered, kLogMs));
  ASSERT_TRUE(lines && !lines->empty()) << "no log after the server answered";
  EXPECT_EQ(lines->front(), L"Time server : 127.0.0.6");
  EXPECT_EQ(m_responder.RequestCount(), 1);

  Silence();
  run.Click(IDC_COMPARE);
  ASSERT_TRUE(CDeadline::Await([&] { return m_responder.RequestCount() == 2; }, kLogMs));
  const ULONGLONG endBy = ::GetTickCount64() + kEndMs;
  run.Program().PressEscape();
  EXPECT_TRUE(run.Program().WaitForExit(MillisecondsUntil(endBy)))
      << "closing waited for the server's reply";
}

// The step a question before a large step names, in seconds.
std::optional<double> QuestionStep(HWND box) {
  const auto question = LinesOf(CMessageBoxView(box).Text());
  double step = 0;
  if (!question || question->size() != 5 || std::swscanf((*question)[4].c_str(), L"Step : %lf sec.", &step) != 1)
    return std::nullopt;
  return step;
}

// A synchronize that would step the clock by more than an hour asks first,
// with No as the default; No leaves the clock, Yes tries to set it. A
// question may stay open for minutes: after Yes the step is measured again,
// put anew if it has moved, and taken if it holds.
TEST_F(SilentServer, ALargeStepIsTakenOnlyOnPurpose) {
  constexpr double kTwoHours = 7200;
  constexpr double kThreeHours = 10800;
  ASSERT_EQ(m_responder.Command("reply shifted=7200"), "ok");
  CMainDialogRun run(TimeServers::kResponder);
  ASSERT_NE(run.Dialog(), nullptr) << "the dialog did not show";
  const std::wstring compared = run.AwaitLogOtherThan(L"", kLogMs);

  run.Click(IDC_SYNCHRONIZE);
  HWND box = CMessageBoxView::WaitFor(run.Program().ProcessId(), kBoxMs);
  ASSERT_NE(box, nullptr) << "no question before a step of two hours";
  const auto question = LinesOf(CMessageBoxView(box).Text());
  ASSERT_TRUE(question && question->size() == 5) << "question: " << CMessageBoxView(box).Text();
  EXPECT_EQ((*question)[0], L"The server's time is more than an hour away from the local time. "
                            L"Set the local time to it?");
  const auto now = TimeIn((*question)[2], L"Local time");
  const auto stepped = TimeIn((*question)[3], L"New local time");
  ASSERT_TRUE(now && stepped) << "times: " << (*question)[2] << " and " << (*question)[3];
  EXPECT_NEAR(SecondsBetween(*now, *stepped), kTwoHours, kOffsetTolerance);
  EXPECT_NEAR(QuestionStep(box).value_or(0), kTwoHours, kOffsetTolerance) << (*question)[4];
  EXPECT_EQ(CMessageBoxView(box).DefaultButton(), IDNO);
  CMessageBoxView(box).Press(IDNO);
  const auto declined = LinesOf(run.AwaitLogOtherThan(compared, kLogMs));
  ASSERT_TRUE(declined && declined->size() == 4) << "log after No";
  EXPECT_NEAR(OffsetIn((*declined)[1], L"Local time is slower than Server time").value_or(0), kTwoHours,
              kOffsetTolerance);
  EXPECT_EQ((*declined)[3], L"The local time was not changed");

  // The step moves while the question is open: Yes measures again and puts
  // the new step, and that question waits for its own answer.
  std::wstring before = run.Log();
  run.Click(IDC_SYNCHRONIZE);
  box = CMessageBoxView::WaitFor(run.Program().ProcessId(), kBoxMs);
  ASSERT_NE(box, nullptr) << "no question the second time";
  ASSERT_EQ(m_responder.Command("reply shifted=10800"), "ok");
  CMessageBoxView(box).Press(IDYES);
  HWND askedAgain = nullptr;
  ASSERT_TRUE(CDeadline::Await(
      [&] {
        askedAgain = CMessageBoxView::Find(run.Program().ProcessId());
        return askedAgain && std::abs(QuestionStep(askedAgain).value_or(0) - kThreeHours) < kOffsetTolerance;
      },
      kBoxMs))
      << "a step that moved after the question was not put anew";
  CMessageBoxView(askedAgain).Press(IDNO);
  const auto declinedAgain = LinesOf(run.AwaitLogOtherThan(before, kLogMs));
  ASSERT_TRUE(declinedAgain && declinedAgain->size() == 4) << "log after No to the new step";
  EXPECT_NEAR(OffsetIn((*declinedAgain)[1], L"Local time is slower than Server time").value_or(0), kThreeHours,
              kOffsetTolerance);

  // A step that holds after Yes is taken.
  before = run.Log();
  run.Click(IDC_SYNCHRONIZE);
  box = CMessageBoxView::WaitFor(run.Program().ProcessId(), kBoxMs);
  ASSERT_NE(box, nullptr) << "no question the third time";
  CMessageBoxView(box).Press(IDYES);
  EXPECT_EQ(run.AwaitLogOtherThan(before, kLogMs), L"Failed to set the local time");
  // The start-up compare, one exchange for each synchronize and one more
  // after each Yes.
  EXPECT_EQ(m_responder.RequestCount(), 6);
}

// A question that cannot be put to the user (here every post to the dialog
// fails) ends the synchronize as No does: the worker ends, and the next
// click is not turned away.
TEST_F(SilentServer, AStepQuestionThatCannotBePutEndsTheSynchronize) {
  ASSERT_EQ(m_responder.Command("reply shifted=7200"), "ok");
  CMainDialogRun run(TimeServers::kResponder, "", [](const std::filesystem::path& folder) {
    std::filesystem::copy_file(BuildOutputPath(L"unposted_movrane.exe"), folder / L"Movrane.exe",
                               std::filesystem::copy_options::overwrite_existing);
  });
  ASSERT_NE(run.Dialog(), nullptr) << "the dialog did not show";
  const std::wstring compared = run.AwaitLogOtherThan(L"", kLogMs);

  run.Click(IDC_SYNCHRONIZE);
  const auto declined = LinesOf(run.AwaitLogOtherThan(compared, kLogMs));
  ASSERT_TRUE(declined && declined->size() == 4) << "the synchronize did not end";
  EXPECT_EQ((*declined)[3], L"The local time was not changed");
  run.Click(IDC_COMPARE);
  EXPECT_EQ(CMessageBoxView::WaitFor(run.Program().ProcessId(), kNoBoxMs), nullptr)
      << "the synchronize left the dialog busy";
  EXPECT_TRUE(CDeadline::Await([&] { return m_responder.RequestCount() == 3; }, kLogMs));
}

}  // namespace

// This test, the program and the far-future servers run on a clock faked
// past the end of NTP era 0. A compare dates both clocks in that era; a
// synchronize sets the clock in it (Wine refuses any change of half a
// second or more, so a clock set to 1901 fails).
TEST(AfterTheEraEnds, CompareAndSynchronizeWorkAsBefore) {
  SYSTEMTIME utc;
  ::GetSystemTime(&utc);
  ASSERT_GE(utc.wYear, 2037) << "the clock is not faked past the era's end";

  CMainDialogRun ahead(TimeServers::kFarFutureAhead);
  ASSERT_NE(ahead.Dialog(), nullptr) << "the dialog did not show";
  ExpectThreeLineLog(ahead.AwaitLogOtherThan(L"", kLogMs), kServerAheadLabels, TimeServers::kFarFutureAhead,
                     TimeServers::kAheadSeconds);
  ExpectServerClockAhead(ahead, TimeServers::kAheadSeconds);

  CMainDialogRun agreeing(TimeServers::kFarFutureAgreeing);
  ASSERT_NE(agreeing.Dialog(), nullptr) << "the dialog did not show";
  const std::wstring compared = agreeing.AwaitLogOtherThan(L"", kLogMs);
  agreeing.Click(IDC_SYNCHRONIZE);
  const auto lines = LinesOf(agreeing.AwaitLogOtherThan(compared, kLogMs));
  ASSERT_TRUE(lines && !lines->empty()) << "synchronize logged nothing, or failed to set the clock";
  EXPECT_EQ(lines->front(), std::wstring(L"Time server : ") + TimeServers::kFarFutureAgreeing);
}
