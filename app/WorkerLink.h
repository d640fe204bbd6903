#pragma once
#include <windows.h>

#include <atomic>
#include <memory>
#include <string>

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
  bool IsReady() const { return m_hGate && m_hStop && m_hAnswered; }

  // Signalled when the worker is to stop waiting.
  HANDLE StopEvent() const { return m_hStop; }

  // Runs use(dialog) while the dialog is attached, and keeps it attached
  // meanwhile. False when the dialog has gone, and when the gate cannot be
  // entered: then nothing touches the dialog.
  template <class Use>
  bool UseDialog(Use use) {
    if (!Owns(::WaitForSingleObject(m_hGate, INFINITE))) return false;
    CZephalDlg* dialog = m_pDialog;
    if (dialog) use(*dialog);
    ::ReleaseMutex(m_hGate);
    return dialog != nullptr;
  }

  // Ends the worker's waits, and any it begins later.
  void Stop() { ::SetEvent(m_hStop); }

  // On the dialog's thread: stops the worker's waits and detaches the
  // dialog, answering the worker's calls into the window system meanwhile.
  void Detach();

  // A yes-or-no question of the worker's, put to the user on the dialog's
  // thread. The worker sets it before it asks the dialog to put it.
  // A new question forgets the answer to the last.
  void SetQuestion(const std::wstring& question);
  const std::wstring& Question() const { return m_strQuestion; }
  // On the dialog's thread, once the user has answered.
  void Answer(bool yes);
  // On the worker: true for yes; false for no, and once it is to stop.
  bool AwaitAnswer();

private:
  // Whether a wait on the gate ended with this thread holding it (a
  // worker that ended inside it leaves it abandoned, and to the waiter).
  static bool Owns(DWORD waitResult) { return waitResult == WAIT_OBJECT_0 || waitResult == WAIT_ABANDONED_0; }
  bool AwaitGateAnsweringSentMessages();

  HANDLE m_hGate;
  HANDLE m_hStop;
  HANDLE m_hAnswered;
  std::atomic<CZephalDlg*> m_pDialog;
  std::wstring m_strQuestion;
  bool m_bYes = false;
};
