#include "CWinThread.h"

#include <process.h>

namespace
{
thread_local CWinThread* t_pCurrentThread = nullptr;
}

CWinThread::CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam)
    : m_pfnThreadProc(pfnThreadProc), m_pThreadParams(pParam)
{
}

CWinThread::~CWinThread()
{
    if (m_hThread != nullptr)
        ::CloseHandle(m_hThread);
}

DWORD CWinThread::ResumeThread()
{
    return ::ResumeThread(m_hThread);
}

BOOL CWinThread::SetThreadPriority(int nPriority)
{
    return ::SetThreadPriority(m_hThread, nPriority);
}

unsigned __stdcall CWinThread::ThreadEntry(void* pThis)
{
    CWinThread* pThread = static_cast<CWinThread*>(pThis);
    t_pCurrentThread = pThread;
    UINT nResult = 0;
    try
    {
        nResult = pThread->m_pfnThreadProc(pThread->m_pThreadParams);
    }
    catch (...)
    {
        nResult = static_cast<UINT>(-1);
    }
    AfxEndThread(nResult);
}

CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam, int nPriority,
                           UINT nStackSize, DWORD dwCreateFlags,
                           LPSECURITY_ATTRIBUTES lpSecurityAttrs)
{
    CWinThread* pThread = new CWinThread(pfnThreadProc, pParam);
    // Start suspended so that the object is complete before the thread can end and delete it.
    unsigned nThreadID = 0;
    const uintptr_t hThread =
        ::_beginthreadex(lpSecurityAttrs, nStackSize, &CWinThread::ThreadEntry, pThread,
                         CREATE_SUSPENDED, &nThreadID);
    if (hThread == 0)
    {
        delete pThread;
        return nullptr;
    }
    pThread->m_hThread = reinterpret_cast<HANDLE>(hThread);
    pThread->m_nThreadID = nThreadID;
    pThread->SetThreadPriority(nPriority);
    if ((dwCreateFlags & CREATE_SUSPENDED) == 0)
        pThread->ResumeThread();
    return pThread;
}

void AfxEndThread(UINT nExitCode)
{
    CWinThread* pThread = t_pCurrentThread;
    t_pCurrentThread = nullptr;
    if (pThread != nullptr && pThread->m_bAutoDelete)
        delete pThread;
    ::_endthreadex(nExitCode);
    for (;;)
    {
    }
}
