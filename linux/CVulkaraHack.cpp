#include "CVulkaraHack.h"

#include "CSaverSettings.h"
#include "EngineGlobals.h"
#include "FireSize.h"
#include "Random.h"
#include "RootSnapshot.h"
#include "ShowEngineFrame.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace
{
constexpr long long NS_PER_US = 1000;
constexpr long long NS_PER_MS = 1000 * 1000;
constexpr long long NS_PER_S = 1000 * NS_PER_MS;

// Set by the signal handler; the signals are blocked except while the loop waits, so that
// one arriving during a frame ends the next wait at once.
volatile std::sig_atomic_t g_bStopRequested = 0;
sigset_t g_waitMask; // the mask the wait lets them through with

// The window drawn on, and whether the server has said it is gone: X reports requests on a
// destroyed window as errors, which the default handler would end the program for.
Window g_window = 0;
volatile bool g_bWindowLost = false;

void OnStopSignal(int)
{
    g_bStopRequested = 1;
}

int OnXError(Display*, XErrorEvent* pError)
{
    if ((pError->error_code == BadWindow || pError->error_code == BadDrawable) && g_window != 0 &&
        pError->resourceid == g_window)
        g_bWindowLost = true;
    return 0;
}

long long MonotonicNs()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * NS_PER_S + now.tv_nsec;
}

// What the settings record holds for the options, at an engine size.
void FillSettings(const HackOptions& options, FrameSize size, CSaverSettings& settings)
{
    for (const HackOptionRow& row : HACK_OPTIONS)
    {
        if (row.nSetting != NO_SETTING)
            settings.SetInt(row.nSetting,
                            options.SettingValue(static_cast<SettingIndex>(row.nSetting)));
    }
    settings.SetInt(SETTING_XRES, size.nWidth);
    settings.SetInt(SETTING_YRES, size.nHeight);
    settings.SetInt(SETTING_BACKGROUND_SOUND, 0); // hacks are silent
}
} // namespace

void CVulkaraHack::CatchSignals()
{
    struct sigaction action = {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    sigprocmask(SIG_BLOCK, &stopSignals, &g_waitMask);
    sigdelset(&g_waitMask, SIGTERM);
    sigdelset(&g_waitMask, SIGINT);
}

CVulkaraHack::~CVulkaraHack()
{
    m_pOutput.reset();
    m_pEngine.reset();
    if (m_pDisplay == nullptr)
        return;
    if (!g_bWindowLost)
    {
        // The root keeps no picture of its own: give it its background back.
        if (m_bRealRoot)
            XClearArea(m_pDisplay, m_window, 0, 0, 0, 0, True);
        if (m_bOwnWindow)
            XDestroyWindow(m_pDisplay, m_window);
    }
    XCloseDisplay(m_pDisplay);
    g_window = 0;
}

int CVulkaraHack::Run()
{
    m_pDisplay =
        XOpenDisplay(m_options.strDisplay.empty() ? nullptr : m_options.strDisplay.c_str());
    if (m_pDisplay == nullptr)
    {
        std::fprintf(stderr, "vulkara: cannot open display %s\n",
                     XDisplayName(m_options.strDisplay.c_str()));
        return EXIT_FAILED;
    }
    XSetErrorHandler(OnXError);
    std::string strError;
    int nStatus = EXIT_FAILED;
    if (!FindWindow(strError, nStatus) || !Restart(strError))
    {
        std::fprintf(stderr, "vulkara: %s\n", strError.c_str());
        return nStatus;
    }
    SeedRandom(static_cast<unsigned>(std::time(nullptr)) ^ static_cast<unsigned>(getpid()));

    const long long nDelayNs = m_options.ValueOf("delay") * NS_PER_US;
    long long nDueNs = MonotonicNs();
    m_nFpsStartNs = nDueNs;
    while (!g_bStopRequested && !g_bWindowLost && !m_bClosed)
    {
        if (m_bResized && !Restart(strError))
        {
            std::fprintf(stderr, "vulkara: %s\n", strError.c_str());
            return EXIT_FAILED;
        }
        DrawFrame();
        // Frames are due on a fixed schedule, so that a wait that ends late does not lower the
        // rate; a frame that took longer than its period starts the schedule again.
        const long long nNowNs = MonotonicNs();
        if (m_options.ValueOf("fps") != 0)
            ReportFrameRate(nNowNs);
        nDueNs += nDelayNs;
        if (nDueNs < nNowNs)
            nDueNs = nNowNs;
        WaitUntil(nDueNs);
    }
    return EXIT_OK;
}

bool CVulkaraHack::FindWindow(std::string& strError, int& nStatus)
{
    const int nScreen = DefaultScreen(m_pDisplay);
    Window window = 0;
    if (m_options.target == HackOptions::Target::OwnWindow)
        return CreateOwnWindow(strError);
    if (m_options.target == HackOptions::Target::WindowId)
        window = m_options.nWindowId;
    else if (const char* pszHanded = std::getenv("XSCREENSAVER_WINDOW");
             pszHanded != nullptr && *pszHanded != '\0')
    {
        // How XScreenSaver and the lockers that run hacks hand one its window.
        if (!ParseWindowId(pszHanded, window))
        {
            strError = std::string("bad value for XSCREENSAVER_WINDOW: ") + pszHanded;
            nStatus = EXIT_USAGE;
            return false;
        }
    }
    else
    {
        window = RootWindow(m_pDisplay, nScreen);
        m_bRealRoot = true;
    }

    XWindowAttributes attributes;
    if (XGetWindowAttributes(m_pDisplay, window, &attributes) == 0)
    {
        char szId[32];
        std::snprintf(szId, sizeof(szId), "0x%lx", window);
        strError = std::string("no window ") + szId;
        return false;
    }
    m_window = window;
    g_window = window;
    m_pVisual = attributes.visual;
    m_nDepth = attributes.depth;
    m_nWidth = attributes.width;
    m_nHeight = attributes.height;
    // Another client's window: only its size, its end and what uncovers it matter here.
    XSelectInput(m_pDisplay, window, StructureNotifyMask | ExposureMask);
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(m_pDisplay, window, RootWindow(m_pDisplay, nScreen), 0, 0, &x, &y,
                          &child);
    TakeSnapshot(x, y);
    return true;
}

bool CVulkaraHack::CreateOwnWindow(std::string& strError)
{
    const int nScreen = DefaultScreen(m_pDisplay);
    m_nWidth = m_options.nWidth;
    m_nHeight = m_options.nHeight;
    // Before the window covers it.
    TakeSnapshot(m_options.nX, m_options.nY);

    XSetWindowAttributes attributes = {};
    attributes.background_pixel = BlackPixel(m_pDisplay, nScreen);
    attributes.event_mask = StructureNotifyMask | ExposureMask;
    m_window = XCreateWindow(m_pDisplay, RootWindow(m_pDisplay, nScreen), m_options.nX,
                             m_options.nY, static_cast<unsigned>(m_nWidth),
                             static_cast<unsigned>(m_nHeight), 0, CopyFromParent, InputOutput,
                             CopyFromParent, CWBackPixel | CWEventMask, &attributes);
    if (m_window == 0)
    {
        strError = "cannot create a window";
        return false;
    }
    g_window = m_window;
    m_bOwnWindow = true;
    m_pVisual = DefaultVisual(m_pDisplay, nScreen);
    m_nDepth = DefaultDepth(m_pDisplay, nScreen);

    XStoreName(m_pDisplay, m_window, "Vulkara");
    XClassHint classHint = {const_cast<char*>("vulkara"), const_cast<char*>("Vulkara")};
    XSetClassHint(m_pDisplay, m_window, &classHint);
    XSizeHints sizeHints = {};
    sizeHints.flags = m_options.bPosition ? USPosition | USSize : PSize;
    sizeHints.x = m_options.nX;
    sizeHints.y = m_options.nY;
    sizeHints.width = m_nWidth;
    sizeHints.height = m_nHeight;
    XSetWMNormalHints(m_pDisplay, m_window, &sizeHints);
    m_wmDeleteWindow = XInternAtom(m_pDisplay, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(m_pDisplay, m_window, &m_wmDeleteWindow, 1);
    XMapWindow(m_pDisplay, m_window);
    return true;
}

void CVulkaraHack::TakeSnapshot(int x, int y)
{
    if (m_options.SettingValue(SETTING_FADE_SCREEN) == 0)
        return;
    CBitmap24 snapshot;
    if (TakeRootSnapshot(m_pDisplay, x, y, m_nWidth, m_nHeight, snapshot))
        m_platform.SetScreen(snapshot);
}

bool CVulkaraHack::Restart(std::string& strError)
{
    m_bResized = false;
    m_pOutput.reset();
    m_pEngine.reset();
    const FrameSize size = EngineSizeFor(
        FireSizeFromValue(m_options.SettingValue(SETTING_FIRE_SIZE)), m_nWidth, m_nHeight);
    // A window too small for the fire shows nothing until it grows.
    if (size.nWidth < CVulkara::MIN_FRAME_SIZE || size.nHeight < CVulkara::MIN_FRAME_SIZE)
        return true;

    CSaverSettings settings;
    FillSettings(m_options, size, settings);
    ResetEngineGlobals();
    auto pEngine = std::make_unique<CVulkara>(m_platform);
    PaletteEntry aPalette[PALETTE_SIZE];
    if (!pEngine->Init(settings) || !pEngine->LoadPalette(aPalette))
    {
        strError = "the fire cannot run at " + std::to_string(size.nWidth) + "x" +
                   std::to_string(size.nHeight);
        return false;
    }
    auto pOutput = std::make_unique<CXImageOutput>();
    if (!pOutput->Create(m_pDisplay, m_window, m_pVisual, m_nDepth, m_nWidth, m_nHeight,
                         size.nWidth, size.nHeight, aPalette, strError))
        return false;
    m_pEngine = std::move(pEngine);
    m_pOutput = std::move(pOutput);
    return true;
}

void CVulkaraHack::HandleEvent(const XEvent& event)
{
    switch (event.type)
    {
    case ConfigureNotify:
        if (event.xconfigure.window == m_window &&
            (event.xconfigure.width != m_nWidth || event.xconfigure.height != m_nHeight))
        {
            m_nWidth = event.xconfigure.width;
            m_nHeight = event.xconfigure.height;
            m_bResized = true;
        }
        break;
    case Expose:
        if (m_pOutput)
            m_pOutput->InvalidateAll();
        break;
    case DestroyNotify:
        if (event.xdestroywindow.window == m_window)
            g_bWindowLost = true;
        break;
    case ClientMessage:
        // The window manager's close.
        if (m_bOwnWindow && static_cast<Atom>(event.xclient.data.l[0]) == m_wmDeleteWindow)
            m_bClosed = true;
        break;
    default:
        break;
    }
}

void CVulkaraHack::DrawFrame()
{
    // A frame whose step fails is not drawn: the engine then has nothing consistent to show.
    if (!m_pEngine || !m_pEngine->Step())
        return;
    ShowEngineFrame(*m_pEngine, *m_pOutput, m_warmRows);
    ++m_nFpsFrames;
}

void CVulkaraHack::WaitUntil(long long nDueNs)
{
    const int nConnection = ConnectionNumber(m_pDisplay);
    for (;;)
    {
        while (XPending(m_pDisplay) > 0)
        {
            XEvent event;
            XNextEvent(m_pDisplay, &event);
            HandleEvent(event);
        }
        const long long nNowNs = MonotonicNs();
        if (g_bStopRequested || g_bWindowLost || m_bClosed || nNowNs >= nDueNs)
            return;
        pollfd connection = {nConnection, POLLIN, 0};
        const timespec timeout = {static_cast<time_t>((nDueNs - nNowNs) / NS_PER_S),
                                  static_cast<long>((nDueNs - nNowNs) % NS_PER_S)};
        ppoll(&connection, 1, &timeout, &g_waitMask);
    }
}

void CVulkaraHack::ReportFrameRate(long long nNowNs)
{
    const long long nElapsedNs = nNowNs - m_nFpsStartNs;
    if (nElapsedNs < NS_PER_S)
        return;
    std::fprintf(stderr, "vulkara: %.1f frames a second\n",
                 static_cast<double>(m_nFpsFrames) * NS_PER_S / static_cast<double>(nElapsedNs));
    m_nFpsStartNs = nNowNs;
    m_nFpsFrames = 0;
}
