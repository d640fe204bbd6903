#pragma once
#include <windows.h>

#include <memory>

class CZephalDlg;

// What a compare or synchronize worker shares with the dialog that started
// it. When the dialog closes it detaches: the worker's waits end at once and
// from then on the worker leaves the dialog alone, wherever it was.
class CWorkerLink {
public:
  explicit CWorkerLink(CZephalDlg* dialog);
  ~CWorkerLink();
  CWorkerLink(const CWorkerLink&) = delete;
  CWorkerLink& operator=(const CWorkerLink&) = delete;

  // A thread parameter that carries one more owner of the link, and the
  // thread's side of it.
  static LPVOID HandOver(const std::shared_ptr<CWorkerLink>& link);
  static std::shared_ptr<CWorkerLink> Adopt(LPVOID handedOver);

  // Whether its gate and stop event could be made; no worker may use a link
  // without them.
  bool IsReady() const { return m_hGate && m_hStop; }

  // Signalled when the worker is to stop waiting.
  HANDLE StopEvent() const { return m_hStop; }

  // Runs use(dialog) while the dialog is attached, and keeps it attached
  // meanwhile. False when the dialog has gone.
  template <class Use>
  bool UseDialog(Use use) {
    ::WaitForSingleObject(m_hGate, INFINITE);
    CZephalDlg* dialog = m_pDialog;
    if (dialog) use(*dialog);
    ::ReleaseMutex(m_hGate);
    return dialog != nullptr;
  }

  // On the dialog's thread: stops the worker's waits and detaches the
  // dialog, answering the worker's calls into the window system meanwhile.
  void Detach();

private:
  HANDLE m_hGate;
  HANDLE m_hStop;
  CZephalDlg* m_pDialog;
};
