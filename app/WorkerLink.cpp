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

void CWorkerLink::Detach() {
  Stop();
  // The worker may hold the gate while it waits for this thread to handle a
  // message it sent (setting the log text): handle those while waiting.
  while (::MsgWaitForMultipleObjects(1, &m_hGate, FALSE, INFINITE, QS_SENDMESSAGE) ==
         WAIT_OBJECT_0 + 1) {
    MSG msg;
    ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
  }
  m_pDialog = nullptr;
  ::ReleaseMutex(m_hGate);
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
