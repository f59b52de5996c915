#pragma once

#include <windows.h>

#include <atomic>

// The handshake between the full-screen saver window (main thread) and its render thread.
// One saver window runs at a time in a process. Each flag has one writer at a time, and each
// side stores its own flag before reading the other's, so the order must be sequentially
// consistent.
extern std::atomic<int> g_bStopRendering;       // main thread: leave the loop before the next frame
extern std::atomic<int> g_bRenderThreadRunning; // render thread: 1 until it has left its loop
extern std::atomic<int> g_bPauseRendering;      // main thread: hold after the current frame
extern std::atomic<int> g_bRenderingPaused;     // render thread: 1 while it holds

// The render thread's procedure; its parameter is the CVulkaraWnd it draws for.
UINT __cdecl RenderThreadProc(LPVOID pParam);
