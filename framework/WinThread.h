#pragma once
#include <windows.h>

#include "framework/Object.h"

using AFX_THREADPROC = UINT (*)(LPVOID);

// A worker thread. Unless m_bAutoDelete is cleared before the thread runs,
// the object deletes itself when the thread's function has returned.
class CWinThread : public CObject {
public:
  CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam);
  CWinThread(const CWinThread&) = delete;
  CWinThread& operator=(const CWinThread&) = delete;
  ~CWinThread() override;

  DWORD ResumeThread() { return ::ResumeThread(m_hThread); }

  HANDLE m_hThread = nullptr;
  BOOL m_bAutoDelete = TRUE;

private:
  friend CWinThread* AfxBeginThread(AFX_THREADPROC, LPVOID, int, UINT, DWORD,
                                    LPSECURITY_ATTRIBUTES);
  static unsigned __stdcall Start(void* thread);

  AFX_THREADPROC m_pfnThreadProc;
  LPVOID m_pThreadParams;
};

// Starts pfnThreadProc(pParam) on a new thread; with CREATE_SUSPENDED it
// waits for ResumeThread. Returns null when no thread could be made.
CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam,
                           int nPriority = THREAD_PRIORITY_NORMAL, UINT nStackSize = 0,
                           DWORD dwCreateFlags = 0, LPSECURITY_ATTRIBUTES lpSecurityAttrs = nullptr);
