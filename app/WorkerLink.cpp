#include "app/WorkerLink.h"

CWorkerLink::CWorkerLink(CZephalDlg* dialog)
    : m_hGate(::CreateMutexW(nullptr, FALSE, nullptr)),
      m_hStop(::CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      m_hAnswered(::CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      m_pDialog(dialog) {}

CWorkerLink::~CWorkerLink() {
  if (m_hAnswered) ::CloseHandle(m_hAnswered);
  if (m_hStop) ::CloseHandle(m_hStop);
  if (m_hGate) ::CloseHandle(m_hGate);
}

LPVOID CWorkerLink::HandOver(const std::shared_ptr<CWorkerLink>& link) {
  return new std::shared_ptr<CWorkerLink>(link);
}

std::shared_ptr<CWorkerLink> CWorkerLink::Adopt(LPVOID handedOver) {
  const std::unique_ptr<std::shared_ptr<CWorkerLink>> owner(
      static_cast<std::shared_ptr<CWorkerLink>*>(handedOver));
  return *owner;
}

// The dialog goes in any case: a worker must not reach it once it is
// destroyed. The gate is released only when this thread holds it.
void CWorkerLink::Detach() {
  Stop();
  const bool owned = AwaitGateAnsweringSentMessages();
  m_pDialog = nullptr;
  if (owned) ::ReleaseMutex(m_hGate);
}

// The worker may hold the gate while it waits for this thread to handle a
// message it sent (setting the log text): those are handled meanwhile.
// False when the wait failed, the gate not held.
bool CWorkerLink::AwaitGateAnsweringSentMessages() {
  for (;;) {
    const DWORD result = ::MsgWaitForMultipleObjects(1, &m_hGate, FALSE, INFINITE, QS_SENDMESSAGE);
    if (result != WAIT_OBJECT_0 + 1) return Owns(result);
    MSG msg;
    ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
  }
}

void CWorkerLink::SetQuestion(const std::wstring& question) {
  m_strQuestion = question;
  m_bYes = false;
  ::ResetEvent(m_hAnswered);
}

void CWorkerLink::Answer(bool yes) {
  m_bYes = yes;
  ::SetEvent(m_hAnswered);
}

// The stop comes first: an answer given after it does not count.
bool CWorkerLink::AwaitAnswer() {
  const HANDLE events[] = {m_hStop, m_hAnswered};
  return ::WaitForMultipleObjects(2, events, FALSE, INFINITE) == WAIT_OBJECT_0 + 1 && m_bYes;
}
