#include "app/ZephalDlg.h"

#include <cmath>
#include <optional>

#include "about/AboutBox.h"
#include "exchange/CompareLog.h"
#include "exchange/KeptResultsNotice.h"
#include "app/DesktopPlacement.h"
#include "app/DialogPost.h"
#include "exchange/SettingsFile.h"
#include "exchange/StepConsent.h"
#include "framework/RectSize.h"
#include "app/ZephalApp.h"
#include "res/resource.h"
#include "sntp/PreciseTime.h"
#include "sntp/SNTPClient.h"
#include "ticktime/TickTime.h"
#include "ticktime/TickUnits.h"

namespace {
// Asks the dialog's thread to restart the tick on the second that begins now.
constexpr UINT WM_RESTART_TICK = WM_USER + 11;
// Asks the dialog's thread to put the worker's question to the user.
constexpr UINT WM_CONFIRM_STEP = WM_USER + 12;
// After Yes the step is measured again; the clock is set from the new
// measurement only while it stays this close to the step agreed to.
constexpr double kAgreedStepSeconds = 1.0;
const wchar_t kLogName[] = L"Log";

CString DialogItemText(HWND dialog, int id) {
  wchar_t text[kLabelBufferSize] = {};
  ::GetDlgItemTextW(dialog, id, text, kLabelBufferSize);
  return text;
}

// From the request's transmit time on the local clock to the reply's
// transmit time on the server's, at millisecond resolution. Both are dated
// in the NTP era nearest the one reading of the local clock.
CTickSpan ServerClockOffset(const SntpExchangeResult& result) {
  const uint64_t now = PreciseFileTimeNow();
  CTickTime requestSent;
  CTickTime replySent;
  requestSent.FromSystemTime(CalendarNearNow(result.m_OriginateTime, now));
  replySent.FromSystemTime(CalendarNearNow(result.m_TransmitTime, now));
  return replySent - requestSent;
}

// Why the user is asked before the clock is set to the poll's time, if at
// all: the question for the reason the step needs consent.
std::optional<LogMessage> QuestionBefore(const ServerPoll& poll) {
  switch (ConsentNeededFor(poll, kLargeStepSeconds)) {
    case StepConsent::WeakerThanTrusted:
      return poll.Trust() == TrustLevel::Web ? kMessageWebQuestion : kMessageUnauthenticatedQuestion;
    case StepConsent::CertificateAtServerTimeOnly:
      return kMessageCertificateQuestion;
    case StepConsent::LargeStep:
      return kMessageLargeStep;
    case StepConsent::NotNeeded:
      break;
  }
  return std::nullopt;
}

// The local time now and after a step of the clock by seconds.
void LocalTimeAndStepped(double seconds, SYSTEMTIME& now, SYSTEMTIME& stepped) {
  const uint64_t utcNow = PreciseFileTimeNow();
  const auto toLocal = [](uint64_t fileTime, SYSTEMTIME& local) {
    const FILETIME utc{static_cast<DWORD>(fileTime), static_cast<DWORD>(fileTime >> 32)};
    SYSTEMTIME calendar;
    ::FileTimeToSystemTime(&utc, &calendar);
    ::SystemTimeToTzSpecificLocalTime(nullptr, &calendar, &local);
  };
  toLocal(utcNow, now);
  // File times count the same 100 ns ticks as tick times.
  toLocal(utcNow + static_cast<int64_t>(seconds * kTicksPerSecond), stepped);
}

SYSTEMTIME LocalTimeOf(const SYSTEMTIME& utc) {
  SYSTEMTIME local{};
  ::SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local);
  return local;
}

// The question for why, with the certificate's dates when they are why.
std::wstring StepQuestion(const std::vector<std::wstring>& messages, LogMessage why,
                          const SntpExchangeResult& result) {
  SYSTEMTIME now;
  SYSTEMTIME stepped;
  LocalTimeAndStepped(result.m_dClockOffset, now, stepped);
  if (why != kMessageCertificateQuestion)
    return FormatStepQuestion(messages, why, now, stepped, result.m_dClockOffset);
  return FormatCertificateQuestion(messages, now, stepped, result.m_dClockOffset,
                                   LocalTimeOf(result.m_CertificateValidFrom),
                                   LocalTimeOf(result.m_CertificateValidUntil));
}
}  // namespace

CZephalDlg::CZephalDlg(CWnd* pParent) : CDialog(IDD_MAIN, pParent) {}

BEGIN_MESSAGE_MAP(CZephalDlg, CDialog)
  ON_WM_TIMER()
  ON_WM_DESTROY()
  ON_BN_CLICKED(IDC_COMPARE, OnCompare)
  ON_BN_CLICKED(IDC_SYNCHRONIZE, OnSynchronize)
  ON_MESSAGE(WM_RESTART_TICK, OnRestartTick)
  ON_MESSAGE(WM_CONFIRM_STEP, OnConfirmStep)
  ON_MESSAGE(WM_DPICHANGED, OnDpiChanged)
  ON_BN_CLICKED(IDC_ABOUT, OnAbout)
END_MESSAGE_MAP()

void CZephalDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_LOCAL_CLOCK, m_clockLocal);
  DDX_Control(pDX, IDC_SERVER_CLOCK, m_clockServer);
  DDX_Control(pDX, IDC_LOG, m_log);
}

BOOL CZephalDlg::OnInitDialog() {
  m_serverSettings = static_cast<CZephalApp*>(AfxGetApp())->m_serverSettings;
  CDialog::OnInitDialog();
  LoadControlLabels();
  NameForScreenReaders();
  m_arrMessages = ReadLogMessages();

  m_clockLocal.m_bServerClock = FALSE;
  m_clockLocal.LoadClockImages(IDB_LOCAL_FACE, IDB_LOCAL_LARGE_DIGITS, IDB_LOCAL_SMALL_DIGITS, 0);
  m_clockServer.m_bServerClock = TRUE;
  m_clockServer.LoadClockImages(IDB_SERVER_FACE, IDB_SERVER_LARGE_DIGITS, IDB_SERVER_SMALL_DIGITS, 0);

  StartWorker(CompareThreadProc);
  StartSecondTick();
  CenterOnDesktop();
  FocusCompare();
  return FALSE;  // the focus is set
}

// The focus starts on what one comes here for: Tab leads on to
// synchronize, Shift+Tab back to about.
void CZephalDlg::FocusCompare() {
  GotoDlgCtrl(::GetDlgItem(m_hWnd, IDC_COMPARE));
}

void CZephalDlg::LoadControlLabels() {
  for (const LabelSetting& label : kLabels) ::SetDlgItemTextW(m_hWnd, label.controlId, ReadLabel(label).c_str());
}

// Screen readers know each clock by its label; the log box has none.
void CZephalDlg::NameForScreenReaders() {
  m_clockLocal.SetAccessibleName(DialogItemText(m_hWnd, IDC_LOCAL_LABEL));
  m_clockServer.SetAccessibleName(DialogItemText(m_hWnd, IDC_SERVER_LABEL));
  m_log.SetAccessibleName(kLogName);
}

// The tick starts on the next whole second, which is ticked at once: the
// window never shows clocks without a time.
void CZephalDlg::StartSecondTick() {
  m_tick.StartOnNextSecond(m_hWnd);
  PostTick();
}

// Moved to a monitor of another scale: the dialog manager rescales what it
// lays out, the window takes the suggested place, and the clocks take the
// images of the new scale.
LRESULT CZephalDlg::OnDpiChanged(WPARAM wParam, LPARAM lParam) {
  Default();
  const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
  ::SetWindowPos(m_hWnd, nullptr, suggested.left, suggested.top, Width(suggested), Height(suggested),
                 SWP_NOZORDER | SWP_NOACTIVATE);
  m_clockLocal.SetDpi(LOWORD(wParam));
  m_clockServer.SetDpi(LOWORD(wParam));
  return 0;
}

// A synchronize worker has waited for the whole second itself.
LRESULT CZephalDlg::OnRestartTick(WPARAM, LPARAM) {
  m_tick.Restart();
  return 0;
}

void CZephalDlg::OnTimer(UINT_PTR nIDEvent) {
  if (nIDEvent == CSecondTick::kTimerId) PostTick();
  CDialog::OnTimer(nIDEvent);
}

// The local time to the local clock, and to the server clock once it has
// a server time.
void CZephalDlg::PostTick() {
  const auto time = reinterpret_cast<WPARAM>(m_tick.ReadLocalTime());
  if (m_clockLocal.m_hWnd && ::IsWindow(m_clockLocal.m_hWnd)) {
    ::PostMessageW(m_clockLocal.m_hWnd, WM_CLOCK_TICK, time, 0);
  }
  if (m_clockServer.m_hWnd && ::IsWindow(m_clockServer.m_hWnd) && m_bServerTimeKnown) {
    ::PostMessageW(m_clockServer.m_hWnd, WM_CLOCK_TICK, time, 0);
  }
}

void CZephalDlg::CenterOnDesktop() {
  RECT desktop;
  RECT window;
  ::GetWindowRect(::GetDesktopWindow(), &desktop);
  ::GetWindowRect(m_hWnd, &window);
  ::MoveWindow(m_hWnd, CenteredOffset(Width(desktop), Width(window)),
               CenteredOffset(Height(desktop), Height(window)), Width(window), Height(window), TRUE);
}

void CZephalDlg::OnDestroy() {
  m_tick.Stop();
  if (m_workerLink) m_workerLink->Detach();
  m_pWorker = nullptr;
  m_arrMessages.clear();
  CDialog::OnDestroy();
}

// Closing stops a worker's waits at once: an open question is then
// answered no, and the clock is not set.
void CZephalDlg::OnCancel() {
  if (m_workerLink) m_workerLink->Stop();
  CDialog::OnCancel();
}

void CZephalDlg::OnCompare() {
  StartWorker(CompareThreadProc);
}

void CZephalDlg::OnSynchronize() {
  StartWorker(SynchronizeThreadProc);
}

// One worker at a time. The busy marker is in place before the worker runs,
// so that even a worker that ends at once leaves it cleared.
void CZephalDlg::StartWorker(AFX_THREADPROC pfnThreadProc) {
  if (m_pWorker) {
    AfxMessageBox(L"Under processing...", MB_OK);
    return;
  }
  m_workerLink = std::make_shared<CWorkerLink>(this);
  if (!m_workerLink->IsReady()) {
    m_workerLink.reset();
    return;
  }
  const LPVOID handedOver = CWorkerLink::HandOver(m_workerLink);
  CWinThread* worker =
      AfxBeginThread(pfnThreadProc, handedOver, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
  if (!worker) {
    CWorkerLink::Adopt(handedOver);
    return;
  }
  m_pWorker = worker;
  worker->ResumeThread();
}

void CZephalDlg::ShowLog(const CString& text) {
  ::SetDlgItemTextW(m_hWnd, IDC_LOG, (text + WhyNothingIsKeptOnce()).c_str());
}

// Told in the first log of a compare with NTS only.
CString CZephalDlg::WhyNothingIsKeptOnce() {
  if (!m_serverSettings.nts || m_bToldWhyNothingIsKept) return {};
  m_bToldWhyNothingIsKept = true;
  return KeptResultsNotice(m_arrMessages);
}

void CZephalDlg::ShowPoll(const ServerPoll& poll) {
  ShowLog(PollLog(poll));
}

CString CZephalDlg::PollLog(const ServerPoll& poll) const {
  SYSTEMTIME localTime;
  ::GetLocalTime(&localTime);
  return FormatPollLog(m_arrMessages, poll, localTime);
}

// Why no time was chosen; for a synchronize, also that the clock was not
// changed. A stopped poll tells nothing.
void CZephalDlg::ShowPollFailure(const ServerPoll& poll, bool synchronizing) {
  if (poll.Stopped()) return;
  ShowLog(FormatPollFailureLog(m_arrMessages, poll, synchronizing));
}

// What was measured, and that the clock was left as it was.
void CZephalDlg::ShowDeclinedStep(const ServerPoll& poll) {
  SYSTEMTIME localTime;
  ::GetLocalTime(&localTime);
  ShowLog(FormatUnchangedLog(m_arrMessages, poll, localTime));
}

void CZephalDlg::SetServerClock(CTickSpan offset) {
  m_clockServer.SetServerOffset(offset);
  m_bServerTimeKnown = true;
}

// The compare both workers begin with, with the dialog's servers and NTS
// sessions; nothing when the dialog has gone.
std::optional<ServerPoll> CZephalDlg::QueryDialogServers(CWorkerLink& link, CServerListQuery& query) {
  ServerSettings settings;
  std::shared_ptr<NtsSessions> sessions;
  if (!link.UseDialog([&](CZephalDlg& dialog) {
        settings = dialog.m_serverSettings;
        sessions = dialog.m_ntsSessions;
      }))
    return std::nullopt;
  return query.Run(settings, *sessions);
}

// The worker's last turn in the gate: it shows what it has to show and
// clears the busy marker at once, so that no click after the log is turned
// away. Every worker ends through it, unless the dialog has gone.
template <class Show>
void CZephalDlg::Finish(CWorkerLink& link, Show show) {
  link.UseDialog([&](CZephalDlg& dialog) {
    show(dialog);
    dialog.m_pWorker = nullptr;
  });
}

UINT CZephalDlg::CompareThreadProc(LPVOID pParam) {
  const std::shared_ptr<CWorkerLink> link = CWorkerLink::Adopt(pParam);
  CServerListQuery query(link->StopEvent());
  const std::optional<ServerPoll> poll = QueryDialogServers(*link, query);
  if (!poll) return 0;
  Finish(*link, [&](CZephalDlg& dialog) {
    if (poll->chosen) {
      dialog.ShowPoll(*poll);
      dialog.SetServerClock(ServerClockOffset(poll->ChosenTime()));
    } else {
      dialog.ShowPollFailure(*poll, false);
    }
  });
  return 0;
}

UINT CZephalDlg::SynchronizeThreadProc(LPVOID pParam) {
  const std::shared_ptr<CWorkerLink> link = CWorkerLink::Adopt(pParam);
  CServerListQuery query(link->StopEvent());
  ServerPoll poll;
  if (!MeasureAgreedStep(*link, query, poll)) return 0;
  const double step = poll.ChosenTime().m_dClockOffset;
  // The clock is set only while the dialog is there and not closing: the
  // dialog's close signals the stop event and then waits for the gate.
  BOOL clockSet = FALSE;
  if (!link->UseDialog([&](CZephalDlg&) {
        clockSet = query.Client().SetSystemClock(PreciseNtpNow().AddSeconds(step));
      }))
    return 0;
  if (!clockSet) {
    Finish(*link, [](CZephalDlg& dialog) { dialog.ShowLog(dialog.m_arrMessages[kMessageFailedToSet]); });
    return 0;
  }
  if (!link->UseDialog([&](CZephalDlg& dialog) {
        dialog.ShowPoll(poll);
        dialog.SetServerClock(CTickSpan());
      }))
    return 0;

  // The ticks restart on the whole seconds of the clock as it is now.
  ::WaitForSingleObject(link->StopEvent(), CSecondTick::MillisecondsToNextSecond());
  Finish(*link, [](CZephalDlg& dialog) { PostToDialog(dialog.m_hWnd, WM_RESTART_TICK); });
  return 0;
}

// Measures until the step needs no question, or until a fresh measurement
// after Yes confirms the step agreed to: a question may stay open for
// minutes, and the clock is never set from a measurement that old. Only a
// time a majority of the servers that answered agree on is taken. False
// when the synchronize ends here, having said why.
bool CZephalDlg::MeasureAgreedStep(CWorkerLink& link, CServerListQuery& query, ServerPoll& poll) {
  std::optional<double> agreed;
  for (;;) {
    std::optional<ServerPoll> polled = QueryDialogServers(link, query);
    if (!polled) return false;
    poll = std::move(*polled);
    if (!poll.chosen) {
      Finish(link, [&](CZephalDlg& dialog) { dialog.ShowPollFailure(poll, true); });
      return false;
    }
    if (!poll.CrossChecked() || poll.WithinWebBound()) {
      Finish(link, [&](CZephalDlg& dialog) { dialog.ShowDeclinedStep(poll); });
      return false;
    }
    const SntpExchangeResult& result = poll.ChosenTime();
    if (!link.UseDialog([&](CZephalDlg& dialog) { dialog.SetServerClock(ServerClockOffset(result)); }))
      return false;
    const double step = result.m_dClockOffset;
    const std::optional<LogMessage> question = QuestionBefore(poll);
    if (!question || (agreed && std::abs(step - *agreed) <= kAgreedStepSeconds)) return true;
    if (!ConfirmStep(link, *question, result)) {
      Finish(link, [&](CZephalDlg& dialog) { dialog.ShowDeclinedStep(poll); });
      return false;
    }
    agreed = step;
  }
}

// On the worker: puts the question to the user on the dialog's thread and
// waits for the answer; false for no, once the dialog is closing, and when
// the question could not be put.
bool CZephalDlg::ConfirmStep(CWorkerLink& link, LogMessage why, const SntpExchangeResult& result) {
  bool asked = false;
  return link.UseDialog([&](CZephalDlg& dialog) {
    link.SetQuestion(StepQuestion(dialog.m_arrMessages, why, result));
    asked = PostToDialog(dialog.m_hWnd, WM_CONFIRM_STEP);
  }) && asked && link.AwaitAnswer();
}

// No is the default: a step this large is taken only on purpose.
LRESULT CZephalDlg::OnConfirmStep(WPARAM, LPARAM) {
  const std::shared_ptr<CWorkerLink> link = m_workerLink;
  const int choice = AfxMessageBox(link->Question().c_str(), MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2);
  link->Answer(choice == IDYES);
  return 0;
}

void CZephalDlg::OnAbout() {
  CAboutBox box(nullptr);
  box.DoModal();
}
