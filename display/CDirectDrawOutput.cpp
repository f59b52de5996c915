#include "CDirectDrawOutput.h"

#include "FrameRows.h"

#include <algorithm>
#include <new>

namespace
{
constexpr DWORD DIRECTDRAW_BITS_PER_PIXEL = 8;
constexpr int RESTORE_RETRIES = 50;
constexpr DWORD RESTORE_RETRY_MILLISECONDS = 333;
constexpr int PALETTE_ENTRIES = 256;

using DirectDrawCreateProc = HRESULT(WINAPI*)(GUID*, LPDIRECTDRAW*, IUnknown*);
} // namespace

CDirectDrawOutput::~CDirectDrawOutput()
{
    Release();
}

BOOL CDirectDrawOutput::Create(HWND hWnd, int nWidth, int nHeight, const PALETTEENTRY* pScene,
                               const PALETTEENTRY* pSystem)
{
    m_hWnd = hWnd;
    m_nWidth = nWidth;
    m_nHeight = nHeight;
    m_changed.Reset(nHeight);
    // Loaded at run time, so that a system without DirectDraw still runs the GDI path.
    m_hDirectDraw = ::LoadLibraryA("ddraw.dll");
    const DirectDrawCreateProc pfnCreate =
        m_hDirectDraw != nullptr ? reinterpret_cast<DirectDrawCreateProc>(reinterpret_cast<void*>(
                                       ::GetProcAddress(m_hDirectDraw, "DirectDrawCreate")))
                                 : nullptr;
    if (pfnCreate == nullptr)
    {
        Release();
        return FALSE;
    }

    PALETTEENTRY aScene[PALETTE_ENTRIES];
    PALETTEENTRY aSystem[PALETTE_ENTRIES];
    std::copy(pScene, pScene + PALETTE_ENTRIES, aScene);
    std::copy(pSystem, pSystem + PALETTE_ENTRIES, aSystem);
    DDSURFACEDESC ddsd = {};
    ddsd.dwSize = sizeof(ddsd);
    ddsd.dwFlags = DDSD_CAPS;
    ddsd.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_VIDEOMEMORY;

    m_savedMode.Save();

    HRESULT hr = pfnCreate(nullptr, &m_lpDD, nullptr);
    if (hr == DD_OK)
        hr = m_lpDD->SetCooperativeLevel(hWnd, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN);
    if (hr == DD_OK)
    {
        hr = m_lpDD->SetDisplayMode(static_cast<DWORD>(nWidth), static_cast<DWORD>(nHeight),
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
    Release();
    return FALSE;
}

void CDirectDrawOutput::Attach(LPDIRECTDRAWSURFACE lpSurface, int nWidth, int nHeight)
{
    m_lpDDSPrimary = lpSurface;
    m_nWidth = nWidth;
    m_nHeight = nHeight;
    m_changed.Reset(nHeight);
}

uint8_t* CDirectDrawOutput::Lock()
{
    DDSURFACEDESC ddsd = {};
    ddsd.dwSize = sizeof(ddsd);
    // Every caller writes and none reads, so the surface's contents need not be fetched.
    if (m_lpDDSPrimary->Lock(nullptr, &ddsd, DDLOCK_WAIT | DDLOCK_WRITEONLY, nullptr) != DD_OK)
        return nullptr;
    m_pSurface = static_cast<uint8_t*>(ddsd.lpSurface);
    m_lPitch = ddsd.lPitch;
    return m_pSurface;
}

uint8_t* CDirectDrawOutput::BeginFrame(const uint8_t* pWarmRows, const uint64_t* /*pHotChunks*/)
{
    if (!m_changed.Update(pWarmRows))
        return nullptr; // the screen already shows this frame
    if (Lock() == nullptr)
    {
        m_changed.InvalidateAll();
        return nullptr;
    }
    if (m_lPitch == m_nWidth)
        return m_pSurface;
    try
    {
        m_frame.resize(static_cast<size_t>(m_nWidth) * static_cast<size_t>(m_nHeight));
    }
    catch (const std::bad_alloc&)
    {
        EndFrame(false);
        return nullptr;
    }
    return m_frame.data();
}

bool CDirectDrawOutput::EndFrame(bool bRendered)
{
    if (bRendered && m_lPitch != m_nWidth)
        m_changed.ForEachRun(m_nHeight,
                             [&](int nTop, int nRows)
                             {
                                 CopyRows(m_pSurface + nTop * m_lPitch, m_lPitch,
                                          m_frame.data() + static_cast<size_t>(nTop) * m_nWidth,
                                          m_nWidth, nRows);
                             });
    const bool bShown = m_lpDDSPrimary->Unlock(m_pSurface) == DD_OK && bRendered;
    m_pSurface = nullptr;
    if (!bShown)
        m_changed.InvalidateAll();
    return bShown;
}

void CDirectDrawOutput::ShowHold()
{
    // A clear screen in colour 0 under the dialog.
    if (Lock() == nullptr)
        return;
    FillRows(m_pSurface, m_lPitch, m_nWidth, m_nHeight, 0);
    m_lpDDSPrimary->Unlock(m_pSurface);
    m_pSurface = nullptr;
    m_changed.InvalidateAll();
}

void CDirectDrawOutput::UseSystemColours(bool bSystem)
{
    if (m_lpDDSPrimary != nullptr)
        m_lpDDSPrimary->SetPalette(bSystem ? m_lpDDPaletteSystem : m_lpDDPalette);
}

void CDirectDrawOutput::RestoreDisplay()
{
    const BOOL bChanged = m_lpDD != nullptr && m_bDisplayChanged;
    if (bChanged)
    {
        HRESULT hr = m_lpDD->RestoreDisplayMode();
        for (int nRetry = 0; hr != DD_OK && nRetry < RESTORE_RETRIES; ++nRetry)
        {
            ::Sleep(RESTORE_RETRY_MILLISECONDS);
            hr = m_lpDD->RestoreDisplayMode();
        }
    }
    m_bDisplayChanged = FALSE;
    Release();
    // A restore reported done can still leave the display in the saver's mode (seen under
    // Wine after short runs); the display must come back as it was, so put the saved size
    // back through the display settings when it did not.
    if (bChanged && !m_savedMode.IsCurrent())
        m_savedMode.Restore();
}

void CDirectDrawOutput::Release()
{
    for (IUnknown** ppObject : {reinterpret_cast<IUnknown**>(&m_lpDDPaletteSystem),
                                reinterpret_cast<IUnknown**>(&m_lpDDPalette),
                                reinterpret_cast<IUnknown**>(&m_lpDDSPrimary)})
    {
        if (*ppObject != nullptr)
            (*ppObject)->Release();
        *ppObject = nullptr;
    }
    if (m_lpDD != nullptr)
    {
        m_lpDD->SetCooperativeLevel(m_hWnd, DDSCL_NORMAL);
        m_lpDD->Release();
    }
    m_lpDD = nullptr;
    if (m_hDirectDraw != nullptr)
        ::FreeLibrary(m_hDirectDraw);
    m_hDirectDraw = nullptr;
    std::vector<uint8_t>().swap(m_frame);
}
