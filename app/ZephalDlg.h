#pragma once
#include <atomic>
#include <memory>
#include <optional>

#include "exchange/CompareLog.h"
#include "app/SecondTick.h"
#include "exchange/ServerListQuery.h"
#include "exchange/ServerPoll.h"
#include "exchange/ServerSettings.h"
#include "app/WorkerLink.h"
#include "controls/ClockST.h"
#include "controls/NamedControl.h"
#include "framework/Dialog.h"
#include "framework/WinThread.h"
#include "nts/NtsSession.h"
#include "sntp/SntpExchangeResult.h"

// The main window: the local and the server clock, the log box and the
// compare, synchronize and about buttons.
class CZephalDlg : public CDialog {
public:
  explicit CZephalDlg(CWnd* pParent);

protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;

  void OnTimer(UINT_PTR nIDEvent);
  void OnDestroy();
  void OnCompare();
  void OnSynchronize();
  void OnCancel() override;
  LRESULT OnRestartTick(WPARAM, LPARAM);
  LRESULT OnConfirmStep(WPARAM, LPARAM);
  LRESULT OnDpiChanged(WPARAM wParam, LPARAM lParam);
  void OnAbout();
  DECLARE_MESSAGE_MAP()

private:
  // Worker entry points; the parameter is the worker's CWorkerLink.
  static UINT CompareThreadProc(LPVOID pParam);
  static UINT SynchronizeThreadProc(LPVOID pParam);
  static std::optional<ServerPoll> QueryDialogServers(CWorkerLink& link, CServerListQuery& query);
  static bool MeasureAgreedStep(CWorkerLink& link, CServerListQuery& query, ServerPoll& poll);
  static bool ConfirmStep(CWorkerLink& link, LogMessage why, const SntpExchangeResult& result);
  template <class Show>
  static void Finish(CWorkerLink& link, Show show);

  void StartWorker(AFX_THREADPROC pfnThreadProc);
  // The text in the log box, after it why nothing is kept once.
  void ShowLog(const CString& text);
  CString WhyNothingIsKeptOnce();
  void ShowPoll(const ServerPoll& poll);
  // The server line, which clock is ahead and by how much, how many servers
  // agree when there are several, and the local time now.
  CString PollLog(const ServerPoll& poll) const;
  void ShowPollFailure(const ServerPoll& poll, bool synchronizing);
  void ShowDeclinedStep(const ServerPoll& poll);
  void SetServerClock(CTickSpan offset);

  void LoadControlLabels();
  void NameForScreenReaders();
  void CenterOnDesktop();
  void FocusCompare();
  void StartSecondTick();
  void PostTick();

  CClockST m_clockLocal;
  CClockST m_clockServer;
  CNamedControl m_log;
  ServerSettings m_serverSettings;
  // The NTS keys and cookies of each server, for the run; its workers use
  // them one at a time, and the last of them lets them go.
  std::shared_ptr<NtsSessions> m_ntsSessions = std::make_shared<NtsSessions>();
  std::atomic<bool> m_bServerTimeKnown{false};
  bool m_bToldWhyNothingIsKept = false;
  // Busy marker: the running worker, set before it runs, cleared by it
  // when it ends (Finish), or by the dialog when it closes.
  std::atomic<CWinThread*> m_pWorker{nullptr};
  std::shared_ptr<CWorkerLink> m_workerLink;
  CSecondTick m_tick;
  CStringArray m_arrMessages;
};
