#include "CVulkaraWnd.h"

#include "CPasswordDlg.h"
#include "CSaverSettings.h"
#include "CVulkara.h"
#include "FrameRows.h"
#include "RenderThread.h"
#include "SettingIndex.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <new>

namespace
{
const char kEngineInitMessage[] = "m_pVulkara initialization's fault.";
const char kPaletteMessage[] = "Can't load palette from resource library.";

// Mouse moves in the first second after the output set-up are ignored: the move that comes
// with the window itself must not end the saver.
constexpr long GRACE_MILLISECONDS = 1000;
// How far the pointer may wander from the first position seen after the grace period.
constexpr int MOUSE_THRESHOLD = 15;
constexpr DWORD STOP_POLL_MILLISECONDS = 10;
constexpr DWORD PAUSE_POLL_MILLISECONDS = 10;
constexpr int RESTORE_RETRIES = 50;
constexpr DWORD RESTORE_RETRY_MILLISECONDS = 333;
constexpr DWORD DIRECTDRAW_BITS_PER_PIXEL = 8;
constexpr int DEFAULT_PALETTE_SIZE = 20;

using DirectDrawCreateProc = HRESULT(WINAPI*)(GUID*, LPDIRECTDRAW*, IUnknown*);

// The system palette. A desktop of more than 8 bits per pixel has none; the dialog drawn
// while the saver holds still needs the system's colours, so take the default palette's
// twenty static colours at both ends of the table and black between them.
void ReadSystemPalette(PALETTEENTRY aSystem[PALETTE_SIZE])
{
    HDC hScreen = ::GetDC(nullptr);
    const UINT nRead =
        hScreen != nullptr ? ::GetSystemPaletteEntries(hScreen, 0, PALETTE_SIZE, aSystem) : 0;
    if (hScreen != nullptr)
        ::ReleaseDC(nullptr, hScreen);
    if (nRead == PALETTE_SIZE)
        return;

    std::memset(aSystem, 0, sizeof(PALETTEENTRY) * PALETTE_SIZE);
    PALETTEENTRY aDefault[DEFAULT_PALETTE_SIZE] = {};
    const UINT nDefault =
        ::GetPaletteEntries(static_cast<HPALETTE>(::GetStockObject(DEFAULT_PALETTE)), 0,
                            DEFAULT_PALETTE_SIZE, aDefault);
    const UINT nHalf = nDefault / 2;
    for (UINT i = 0; i < nHalf; ++i)
    {
        aSystem[i] = aDefault[i];
        aSystem[PALETTE_SIZE - nHalf + i] = aDefault[nDefault - nHalf + i];
    }
    for (int i = 0; i < PALETTE_SIZE; ++i)
        aSystem[i].peFlags = 0;
}
} // namespace

CVulkaraWnd::CVulkaraWnd()
{
    m_pVulkara = new CVulkara();
}

CVulkaraWnd::~CVulkaraWnd()
{
    // A window destroyed without passing the close rule still must not pull the engine or
    // the display from under its render thread.
    StopRenderThread();
    RestoreDisplay();
    delete m_pVulkara;
    delete[] m_pBits;
    std::free(m_pBitmapInfo);
}

BOOL CVulkaraWnd::Create(const RECT& rect, CWnd* pParentWnd)
{
    static LPCSTR s_lpszClassName = nullptr;
    if (s_lpszClassName == nullptr)
        s_lpszClassName = AfxRegisterWndClass(CS_HREDRAW | CS_VREDRAW);
    if (s_lpszClassName == nullptr)
        return FALSE;
    return CreateEx(WS_EX_TOPMOST, s_lpszClassName, nullptr, WS_POPUP | WS_VISIBLE, rect,
                    pParentWnd, 0);
}

void CVulkaraWnd::PostNcDestroy()
{
    ::SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, FALSE, &m_bOldScreenSaverRunning, 0);
    CWnd::PostNcDestroy();
    delete this;
}

void CVulkaraWnd::PostClose()
{
    ::PostMessageA(m_hWnd, WM_CLOSE, 0, 0);
}

LRESULT CVulkaraWnd::OnCreate(UINT, WPARAM, LPARAM, BOOL&)
{
    if (Default() == -1)
        return -1;
    return SetUp() ? 0 : -1;
}

BOOL CVulkaraWnd::SetUp()
{
    CSaverSettings settings;
    settings.Load();
    if (!m_pVulkara->Init(settings))
    {
        AfxMessageBox(kEngineInitMessage, MB_OK);
        return FALSE;
    }
    PALETTEENTRY aScene[PALETTE_SIZE] = {};
    if (!m_pVulkara->LoadPalette(reinterpret_cast<PaletteEntry*>(aScene)))
    {
        AfxMessageBox(kPaletteMessage, MB_OK);
        return FALSE;
    }
    PALETTEENTRY aSystem[PALETTE_SIZE] = {};
    ReadSystemPalette(aSystem);

    int nValue = 0;
    m_bUseDirectX = settings.GetInt(SETTING_USE_DIRECTX, nValue) && nValue != 0;
    settings.GetInt(SETTING_XRES, m_nXRes);
    settings.GetInt(SETTING_YRES, m_nYRes);

    if (!SetUpOutput(aScene, aSystem))
        return FALSE;
    m_nStartClock = static_cast<long>(std::clock());
    ::SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, TRUE, &m_bOldScreenSaverRunning, 0);
    if (!StartRenderThread())
    {
        RestoreDisplay();
        return FALSE;
    }
    return TRUE;
}

LRESULT CVulkaraWnd::OnClose(UINT, WPARAM, LPARAM, BOOL&)
{
    // A password dialog is up: it decides.
    if (g_bPauseRendering)
        return 0;
    CSaverSettings settings;
    settings.Load();
    int bUsePassword = 0;
    settings.GetInt(SETTING_SCREENSAVE_USE_PASSWORD, bUsePassword);
    if (bUsePassword && !VerifyPassword())
    {
        // Only a move away from where the pointer is now asks again.
        ::GetCursorPos(&m_ptMouseRef);
        return 0;
    }
    StopRenderThread();
    RestoreDisplay();
    return Default();
}

LRESULT CVulkaraWnd::OnSysCommand(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    // The low four bits of a system command are the system's own.
    const UINT nCommand = static_cast<UINT>(wParam & 0xFFF0);
    if (nCommand == SC_SCREENSAVE || nCommand == SC_CLOSE)
        return 0;
    return Default();
}

LRESULT CVulkaraWnd::OnSetCursor(UINT, WPARAM, LPARAM, BOOL&)
{
    ::SetCursor(nullptr);
    return Default();
}

LRESULT CVulkaraWnd::OnActivateApp(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    if (!wParam)
        PostClose();
    return Default();
}

LRESULT CVulkaraWnd::OnActivate(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    // Losing the focus to our own password dialog is expected.
    if (LOWORD(wParam) == WA_INACTIVE && !g_bPauseRendering)
        PostClose();
    return Default();
}

LRESULT CVulkaraWnd::OnMouseMove(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    const POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (static_cast<long>(std::clock()) - m_nStartClock <= GRACE_MILLISECONDS)
        return Default();
    if (m_ptMouseRef.x == -1 && m_ptMouseRef.y == -1)
        m_ptMouseRef = pt;
    else if (std::abs(pt.x - m_ptMouseRef.x) > MOUSE_THRESHOLD ||
             std::abs(pt.y - m_ptMouseRef.y) > MOUSE_THRESHOLD)
        PostClose();
    return Default();
}

LRESULT CVulkaraWnd::OnUserInput(UINT, WPARAM, LPARAM, BOOL&)
{
    PostClose();
    return Default();
}

LRESULT CVulkaraWnd::OnNcActivate(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    // Nothing else may take the focus from the saver, except its own dialog.
    if (!wParam && !g_bPauseRendering)
        return FALSE;
    return Default();
}

LRESULT CVulkaraWnd::OnCaptureChanged(UINT, WPARAM, LPARAM, BOOL&)
{
    PostClose();
    return Default();
}

LRESULT CVulkaraWnd::OnCancelMode(UINT, WPARAM, LPARAM, BOOL&)
{
    PostClose();
    return Default();
}

LRESULT CVulkaraWnd::OnPowerBroadcast(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    if (wParam == PBT_APMQUERYSUSPEND)
        return BROADCAST_QUERY_DENY;
    return Default();
}

BOOL CVulkaraWnd::SetUpOutput(const PALETTEENTRY* pScene, const PALETTEENTRY* pSystem)
{
    if (m_bUseDirectX && !SetUpDirectDraw(pScene, pSystem))
        m_bUseDirectX = FALSE;
    if (m_bUseDirectX)
        return TRUE;
    return SetUpGdi(pScene);
}

BOOL CVulkaraWnd::SetUpDirectDraw(const PALETTEENTRY* pScene, const PALETTEENTRY* pSystem)
{
    // Loaded at run time, so that a system without DirectDraw still runs the GDI path.
    m_hDirectDraw = ::LoadLibraryA("ddraw.dll");
    const DirectDrawCreateProc pfnCreate =
        m_hDirectDraw != nullptr ? reinterpret_cast<DirectDrawCreateProc>(reinterpret_cast<void*>(
                                       ::GetProcAddress(m_hDirectDraw, "DirectDrawCreate")))
                                 : nullptr;
    if (pfnCreate == nullptr)
    {
        ReleaseDirectDraw();
        return FALSE;
    }
    try
    {
        m_frame.assign(static_cast<size_t>(m_nXRes) * static_cast<size_t>(m_nYRes), 0);
    }
    catch (const std::bad_alloc&)
    {
        ReleaseDirectDraw();
        return FALSE;
    }

    PALETTEENTRY aScene[PALETTE_SIZE];
    PALETTEENTRY aSystem[PALETTE_SIZE];
    std::copy(pScene, pScene + PALETTE_SIZE, aScene);
    std::copy(pSystem, pSystem + PALETTE_SIZE, aSystem);
    DDSURFACEDESC ddsd = {};
    ddsd.dwSize = sizeof(ddsd);
    ddsd.dwFlags = DDSD_CAPS;
    ddsd.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_VIDEOMEMORY;

    HRESULT hr = pfnCreate(nullptr, &m_lpDD, nullptr);
    if (hr == DD_OK)
        hr = m_lpDD->SetCooperativeLevel(m_hWnd, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN);
    if (hr == DD_OK)
    {
        hr = m_lpDD->SetDisplayMode(static_cast<DWORD>(m_nXRes), static_cast<DWORD>(m_nYRes),
                                    DIRECTDRAW_BITS_PER_PIXEL);
        m_bDisplayChanged = hr == DD_OK;
    }
    if (hr == DD_OK)
        hr = m_lpDD->CreateSurface(&ddsd, &m_lpDDSPrimary, nullptr);
    if (hr == DD_OK)
        hr =
            m_lpDD->CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256, aScene, &m_lpDDPalette, nullptr);
    if (hr == DD_OK)
        hr = m_lpDD->CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256, aSystem, &m_lpDDPaletteSystem,
                                   nullptr);
    if (hr == DD_OK)
        hr = m_lpDDSPrimary->SetPalette(m_lpDDPalette);
    if (hr == DD_OK)
        return TRUE;

    if (m_bDisplayChanged)
        m_lpDD->RestoreDisplayMode();
    m_bDisplayChanged = FALSE;
    ReleaseDirectDraw();
    return FALSE;
}

BOOL CVulkaraWnd::SetUpGdi(const PALETTEENTRY* pScene)
{
    m_devModeSaved = {};
    m_devModeSaved.dmSize = sizeof(m_devModeSaved);
    ::EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &m_devModeSaved);
    if (static_cast<int>(m_devModeSaved.dmPelsWidth) != m_nXRes ||
        static_cast<int>(m_devModeSaved.dmPelsHeight) != m_nYRes)
    {
        // Only the resolution changes; the colour depth stays the desktop's.
        DEVMODEA devMode = m_devModeSaved;
        devMode.dmSize = sizeof(devMode);
        devMode.dmPelsWidth = static_cast<DWORD>(m_nXRes);
        devMode.dmPelsHeight = static_cast<DWORD>(m_nYRes);
        devMode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
        if (::ChangeDisplaySettingsA(&devMode, CDS_FULLSCREEN) != DISP_CHANGE_SUCCESSFUL)
            return FALSE;
        m_bDisplayChanged = TRUE;
    }

    m_nDibStride = DibRowBytes(m_nXRes);
    m_pBitmapInfo = static_cast<BITMAPINFO*>(
        std::calloc(1, sizeof(BITMAPINFOHEADER) + PALETTE_SIZE * sizeof(RGBQUAD)));
    m_pBits = new (std::nothrow)
        uint8_t[static_cast<size_t>(m_nDibStride) * static_cast<size_t>(m_nYRes)];
    if (m_pBitmapInfo == nullptr || m_pBits == nullptr)
    {
        std::free(m_pBitmapInfo);
        delete[] m_pBits;
        m_pBitmapInfo = nullptr;
        m_pBits = nullptr;
        RestoreDisplay();
        return FALSE;
    }

    BITMAPINFOHEADER& header = m_pBitmapInfo->bmiHeader;
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = m_nXRes;
    header.biHeight = -m_nYRes; // top row first, as the engine writes
    header.biPlanes = 1;
    header.biBitCount = 8;
    header.biCompression = BI_RGB;
    for (int i = 0; i < PALETTE_SIZE; ++i)
    {
        RGBQUAD& colour = m_pBitmapInfo->bmiColors[i];
        colour.rgbRed = pScene[i].peRed;
        colour.rgbGreen = pScene[i].peGreen;
        colour.rgbBlue = pScene[i].peBlue;
        colour.rgbReserved = 0;
    }
    return TRUE;
}

BOOL CVulkaraWnd::StartRenderThread()
{
    // Everything the thread reads is in place before it runs; a window that comes after an
    // earlier one in the same process starts from a clean handshake.
    g_bStopRendering = 0;
    g_bPauseRendering = 0;
    g_bRenderingPaused = 0;
    g_bRenderThreadRunning = 1;
    m_pRenderThread = AfxBeginThread(&RenderThreadProc, this, THREAD_PRIORITY_NORMAL);
    if (m_pRenderThread == nullptr)
    {
        g_bRenderThreadRunning = 0;
        return FALSE;
    }
    return TRUE;
}

void CVulkaraWnd::StopRenderThread()
{
    if (m_pRenderThread == nullptr)
        return;
    g_bStopRendering = 1;
    while (g_bRenderThreadRunning)
        ::Sleep(STOP_POLL_MILLISECONDS);
    // The framework deletes the thread object as the thread ends.
    m_pRenderThread = nullptr;
    if (m_hRenderDC != nullptr)
        ::ReleaseDC(m_hWnd, m_hRenderDC);
    m_hRenderDC = nullptr;
}

void CVulkaraWnd::RestoreDisplay()
{
    if (m_bUseDirectX)
    {
        if (m_lpDD != nullptr && m_bDisplayChanged)
        {
            HRESULT hr = m_lpDD->RestoreDisplayMode();
            for (int nRetry = 0; hr != DD_OK && nRetry < RESTORE_RETRIES; ++nRetry)
            {
                ::Sleep(RESTORE_RETRY_MILLISECONDS);
                hr = m_lpDD->RestoreDisplayMode();
            }
        }
        m_bDisplayChanged = FALSE;
        ReleaseDirectDraw();
        return;
    }
    if (!m_bDisplayChanged)
        return;
    DEVMODEA devMode = m_devModeSaved;
    devMode.dmSize = sizeof(devMode);
    devMode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
    ::ChangeDisplaySettingsA(&devMode, CDS_FULLSCREEN);
    m_bDisplayChanged = FALSE;
}

void CVulkaraWnd::ReleaseDirectDraw()
{
    if (m_lpDDPaletteSystem != nullptr)
        m_lpDDPaletteSystem->Release();
    if (m_lpDDPalette != nullptr)
        m_lpDDPalette->Release();
    if (m_lpDDSPrimary != nullptr)
        m_lpDDSPrimary->Release();
    if (m_lpDD != nullptr)
    {
        m_lpDD->SetCooperativeLevel(m_hWnd, DDSCL_NORMAL);
        m_lpDD->Release();
    }
    m_lpDDPaletteSystem = nullptr;
    m_lpDDPalette = nullptr;
    m_lpDDSPrimary = nullptr;
    m_lpDD = nullptr;
    if (m_hDirectDraw != nullptr)
        ::FreeLibrary(m_hDirectDraw);
    m_hDirectDraw = nullptr;
    std::vector<uint8_t>().swap(m_frame);
}

BOOL CVulkaraWnd::DrawFrame()
{
    if (!m_pVulkara->Step())
        return FALSE;
    return m_bUseDirectX ? DrawFrameDirectDraw() : DrawFrameGdi();
}

BOOL CVulkaraWnd::DrawFrameDirectDraw()
{
    DDSURFACEDESC ddsd = {};
    ddsd.dwSize = sizeof(ddsd);
    if (m_lpDDSPrimary->Lock(nullptr, &ddsd, DDLOCK_WAIT, nullptr) != DD_OK)
        return FALSE;
    uint8_t* pSurface = static_cast<uint8_t*>(ddsd.lpSurface);
    const long lPitch = ddsd.lPitch;
    BOOL bRendered = TRUE;
    if (g_bPauseRendering)
    {
        // The last frame before a dialog: a clear screen in palette colour 0.
        FillRows(pSurface, lPitch, m_nXRes, m_nYRes, 0);
    }
    else if (lPitch == m_nXRes)
    {
        bRendered = m_pVulkara->Render(pSurface);
    }
    else
    {
        bRendered = m_pVulkara->Render(m_frame.data());
        if (bRendered)
            CopyRows(pSurface, lPitch, m_frame.data(), m_nXRes, m_nYRes);
    }
    const HRESULT hrUnlock = m_lpDDSPrimary->Unlock(ddsd.lpSurface);
    return bRendered && hrUnlock == DD_OK;
}

BOOL CVulkaraWnd::DrawFrameGdi()
{
    if (!m_pVulkara->Render(m_pBits))
        return FALSE;
    SpreadRows(m_pBits, m_nXRes, m_nYRes, m_nDibStride);
    if (m_hRenderDC == nullptr)
        m_hRenderDC = ::GetWindowDC(m_hWnd);
    if (m_hRenderDC == nullptr)
        return FALSE;
    return SetDIBitsInBands(m_hRenderDC, m_nXRes, m_nYRes, m_pBits, m_nDibStride, m_pBitmapInfo,
                            GdiBandRows(m_nXRes));
}

BOOL CVulkaraWnd::VerifyPassword()
{
    PauseRendering();
    CPasswordDlg dlg(this);
    const INT_PTR nResult = dlg.DoModal();
    ResumeRendering();
    return nResult == IDOK;
}

void CVulkaraWnd::PauseRendering()
{
    if (g_bPauseRendering || !g_bRenderThreadRunning)
        return;
    g_bPauseRendering = 1;
    while (!g_bRenderingPaused)
        ::Sleep(PAUSE_POLL_MILLISECONDS);
    if (m_bUseDirectX)
        m_lpDDSPrimary->SetPalette(m_lpDDPaletteSystem);
}

void CVulkaraWnd::ResumeRendering()
{
    if (!g_bPauseRendering || !g_bRenderThreadRunning)
        return;
    if (m_bUseDirectX)
        m_lpDDSPrimary->SetPalette(m_lpDDPalette);
    g_bPauseRendering = 0;
}
