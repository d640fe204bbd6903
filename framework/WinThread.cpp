#include "framework/WinThread.h"

#include <process.h>

CWinThread::CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam)
    : m_pfnThreadProc(pfnThreadProc), m_pThreadParams(pParam) {}

CWinThread::~CWinThread() {
  if (m_hThread) ::CloseHandle(m_hThread);
}

unsigned __stdcall CWinThread::Start(void* parameter) {
  auto* thread = static_cast<CWinThread*>(parameter);
  // Settled before the thread was resumed; an owner may delete a thread
  // object that does not delete itself as soon as the function returns.
  const bool autoDelete = thread->m_bAutoDelete;
  const UINT exitCode = thread->m_pfnThreadProc(thread->m_pThreadParams);
  if (autoDelete) delete thread;
  return exitCode;
}

CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam, int nPriority,
                           UINT nStackSize, DWORD dwCreateFlags,
                           LPSECURITY_ATTRIBUTES lpSecurityAttrs) {
  auto* thread = new CWinThread(pfnThreadProc, pParam);
  thread->m_hThread = reinterpret_cast<HANDLE>(_beginthreadex(
      lpSecurityAttrs, nStackSize, &CWinThread::Start, thread, CREATE_SUSPENDED, nullptr));
  if (!thread->m_hThread) {
    delete thread;
    return nullptr;
  }
  ::SetThreadPriority(thread->m_hThread, nPriority);
  if (!(dwCreateFlags & CREATE_SUSPENDED)) thread->ResumeThread();
  return thread;
}
