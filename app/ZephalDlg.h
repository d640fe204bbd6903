#pragma once
#include <atomic>

#include "controls/ClockST.h"
#include "framework/Dialog.h"
#include "framework/WinThread.h"

// The main window: the local and the server clock, the log box and the
// compare, synchronize and about buttons.
class CZephalDlg : public CDialog {
public:
  explicit CZephalDlg(CWnd* pParent);

protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;

  void OnTimer(UINT_PTR nIDEvent);
  void OnPaint();
  void OnDestroy();
  DECLARE_MESSAGE_MAP()

private:
  void LoadControlLabels();
  void LoadMessages();
  CString ReadMessage(LPCWSTR key) const;
  void CenterOnDesktop();
  void StartSecondTick();

  CClockST m_clockLocal;
  CClockST m_clockServer;
  CString m_strServer;
  std::atomic<bool> m_bServerTimeKnown{false};
  std::atomic<CWinThread*> m_pWorker{nullptr};
  UINT_PTR m_nTickTimer = 0;
  CStringArray m_arrMessages;
};
