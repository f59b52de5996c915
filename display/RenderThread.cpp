#include "RenderThread.h"

#include "Afx.h"
#include "CVulkaraWnd.h"

#include <ctime>

std::atomic<int> g_bStopRendering(0);
std::atomic<int> g_bRenderThreadRunning(0);
std::atomic<int> g_bPauseRendering(0);
std::atomic<int> g_bRenderingPaused(0);

namespace
{
// 40 frames per second at most.
constexpr long FRAME_MILLISECONDS = 25;
constexpr DWORD HOLD_POLL_MILLISECONDS = 10;
} // namespace

UINT __cdecl RenderThreadProc(LPVOID pParam)
{
    CVulkaraWnd* pWnd = static_cast<CVulkaraWnd*>(pParam);
    // The window cleared the pause pair and raised the running flag before starting us, so
    // that a close or a pause requested before this thread gets going is not lost.
    g_bRenderThreadRunning = 1;
    while (!g_bStopRendering)
    {
        const clock_t tStart = std::clock();
        pWnd->DrawFrame();
        if (g_bPauseRendering)
        {
            g_bRenderingPaused = 1;
            while (g_bPauseRendering)
                ::Sleep(HOLD_POLL_MILLISECONDS);
            g_bRenderingPaused = 0;
        }
        const long lLeft =
            static_cast<long>(tStart) + FRAME_MILLISECONDS - static_cast<long>(std::clock());
        if (lLeft > 0)
            ::Sleep(static_cast<DWORD>(lLeft));
    }
    g_bRenderThreadRunning = 0;
    AfxEndThread(0);
}
