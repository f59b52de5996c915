#pragma once

#include "CBitmap24.h"
#include "CNativeEnginePlatform.h"
#include "CVulkara.h"
#include "CXImageOutput.h"
#include "HackOptions.h"

#include <X11/Xlib.h>

#include <memory>
#include <string>
#include <vector>

// The fire as an X11 screen hack: finds or makes its window, runs the engine at the window's
// size (again after every resize), draws a frame every -delay microseconds by a monotonic
// clock, and ends on SIGTERM or SIGINT, on the window manager's close and quietly when its
// window is destroyed. One thread does it all; between frames it waits on the X connection.
class CVulkaraHack
{
public:
    // Exit statuses.
    static constexpr int EXIT_OK = 0;
    static constexpr int EXIT_FAILED = 1;
    static constexpr int EXIT_USAGE = 2;

    explicit CVulkaraHack(const HackOptions& options) : m_options(options) {}
    ~CVulkaraHack();
    CVulkaraHack(const CVulkaraHack&) = delete;
    CVulkaraHack& operator=(const CVulkaraHack&) = delete;

    // Runs until asked to end; the exit status, with a line on stderr for a failure.
    int Run();

    // Makes SIGTERM and SIGINT end Run within a frame; before Run, once per process.
    static void CatchSignals();

private:
    // The window to draw on, by the options; false (with strError) when there is none.
    bool FindWindow(std::string& strError, int& nStatus);
    bool CreateOwnWindow(std::string& strError);
    // Takes the snapshot beneath the window, when the overlay needs it.
    void TakeSnapshot(int x, int y);
    // Starts the engine and the output again at the window's size.
    bool Restart(std::string& strError);
    void HandleEvent(const XEvent& event);
    void DrawFrame();
    // Waits until the monotonic clock reaches nDueNs, handling events meanwhile.
    void WaitUntil(long long nDueNs);
    void ReportFrameRate(long long nNowNs);

    const HackOptions m_options;
    Display* m_pDisplay = nullptr;
    Window m_window = 0;
    bool m_bOwnWindow = false;
    bool m_bRealRoot = false;
    Visual* m_pVisual = nullptr;
    int m_nDepth = 0;
    int m_nWidth = 0;
    int m_nHeight = 0;
    bool m_bResized = false;
    bool m_bClosed = false;
    Atom m_wmDeleteWindow = 0;

    CNativeEnginePlatform m_platform;
    std::unique_ptr<CVulkara> m_pEngine;
    std::unique_ptr<CXImageOutput> m_pOutput;
    std::vector<uint8_t> m_warmRows;

    long long m_nFpsStartNs = 0;
    int m_nFpsFrames = 0;
};
