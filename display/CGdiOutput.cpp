#include "CGdiOutput.h"

#include "FrameRows.h"

#include <algorithm>
#include <new>

namespace
{
// Unchanged chunks between two runs of changed ones that are sent along rather than cut. In
// the running saver a call to the screen costs more than the pixels of a row of chunks: timed
// there, one span per band from its first changed chunk to its last took Wine less time than
// runs cut at gaps of two chunks, though it sends more pixels.
constexpr int GAP_CHUNKS = 16;
// Rows sent at most in one call: a band of the changed rows, with the union of their changed
// chunks. The frame is not compared with the one the screen shows: in the running saver a pass
// over the frame for it cost more than sending the flagged chunks that did not change.
constexpr int BAND_ROWS = 32;
} // namespace

CGdiOutput::~CGdiOutput()
{
    RestoreDisplay();
}

BOOL CGdiOutput::Create(HWND hWnd, int nWidth, int nHeight, const PALETTEENTRY* pScene,
                        bool bSetMode)
{
    m_hWnd = hWnd;
    m_nWidth = nWidth;
    m_nHeight = nHeight;
    m_devModeSaved = {};
    m_devModeSaved.dmSize = sizeof(m_devModeSaved);
    ::EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &m_devModeSaved);
    if (bSetMode && (static_cast<int>(m_devModeSaved.dmPelsWidth) != nWidth ||
                     static_cast<int>(m_devModeSaved.dmPelsHeight) != nHeight))
    {
        // Only the resolution changes; the colour depth stays the desktop's.
        DEVMODEA devMode = m_devModeSaved;
        devMode.dmSize = sizeof(devMode);
        devMode.dmPelsWidth = static_cast<DWORD>(nWidth);
        devMode.dmPelsHeight = static_cast<DWORD>(nHeight);
        devMode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
        if (::ChangeDisplaySettingsA(&devMode, CDS_FULLSCREEN) != DISP_CHANGE_SUCCESSFUL)
            return FALSE;
        m_bDisplayChanged = TRUE;
    }
    if (!CreateBitmap(pScene))
    {
        RestoreDisplay();
        return FALSE;
    }
    return TRUE;
}

BOOL CGdiOutput::CreateStretched(HWND hWnd, int nFrameWidth, int nFrameHeight, int nWidth,
                                 int nHeight, const PALETTEENTRY* pScene)
{
    m_hWnd = hWnd;
    m_nWidth = nWidth;
    m_nHeight = nHeight;
    try
    {
        if (!m_scaler.Configure(nFrameWidth, nFrameHeight, nWidth, nHeight))
            return FALSE;
        m_frame.assign(static_cast<size_t>(nFrameWidth) * static_cast<size_t>(nFrameHeight), 0);
        m_warmRows.assign(static_cast<size_t>(nHeight), 0);
    }
    catch (const std::bad_alloc&)
    {
        return FALSE;
    }
    return CreateBitmap(pScene);
}

BOOL CGdiOutput::CreateBitmap(const PALETTEENTRY* pScene)
{
    const int nWidth = m_nWidth;
    const int nHeight = m_nHeight;
    m_nBandRows = GdiBandRows(nWidth);
    m_nSendRows = std::min(BAND_ROWS, m_nBandRows);
    try
    {
        MakeScreenColours(m_colours, pScene);
        m_bits.assign(static_cast<size_t>(nWidth) * static_cast<size_t>(nHeight), 0);
        m_scratch.assign(static_cast<size_t>(m_nBandRows) * static_cast<size_t>(nWidth), 0);
    }
    catch (const std::bad_alloc&)
    {
        return FALSE;
    }
    m_changed.Reset(nWidth, nHeight);
    return TRUE;
}

void CGdiOutput::OnThreadEnd()
{
    ReleaseDC();
}

void CGdiOutput::ReleaseDC()
{
    if (m_hDC != nullptr)
        ::ReleaseDC(m_hWnd, m_hDC);
    m_hDC = nullptr;
}

bool CGdiOutput::TakeDC()
{
    // Not before the window is shown: a device context taken earlier may go on drawing
    // nowhere. One per frame costs Wine more than the copy, so it is kept, and taken anew
    // with every whole frame.
    if (m_hDC == nullptr && ::IsWindowVisible(m_hWnd))
        m_hDC = ::GetWindowDC(m_hWnd);
    return m_hDC != nullptr;
}

bool CGdiOutput::NoteFrame(const uint8_t* pWarmRows, const uint64_t* pHotChunks)
{
    if (--m_nFramesToFull <= 0)
    {
        m_changed.InvalidateAll();
        m_nFramesToFull = FULL_FRAME_INTERVAL;
        ReleaseDC();
    }
    m_lastRects.clear();
    return pHotChunks != nullptr ? m_changed.UpdateChunks(pHotChunks) : m_changed.Update(pWarmRows);
}

uint8_t* CGdiOutput::BeginFrame(const uint8_t* pWarmRows, const uint64_t* pHotChunks)
{
    if (!m_scaler.IsConfigured())
        return NoteFrame(pWarmRows, pHotChunks) ? m_bits.data() : nullptr;
    // A row of the bitmap shows one row of the engine's frame, and is warm with it. The
    // engine's chunks are not the screen's, so stretched frames go by whole rows.
    for (int y = 0; y < m_nHeight; ++y)
        m_warmRows[static_cast<size_t>(y)] = pWarmRows[m_scaler.GetSourceRow(y)];
    return NoteFrame(m_warmRows.data(), nullptr) ? m_frame.data() : nullptr;
}

bool CGdiOutput::EndFrame(bool bRendered)
{
    if (!bRendered)
    {
        m_changed.InvalidateAll();
        return false;
    }
    if (m_scaler.IsConfigured())
        m_scaler.Scale(m_frame.data(), m_bits.data(), m_nWidth);
    return Send(m_bits.data());
}

bool CGdiOutput::ShowInPlace(const uint8_t* pFrame, const uint8_t* pWarmRows,
                             const uint64_t* pHotChunks)
{
    return NoteFrame(pWarmRows, pHotChunks) && Send(pFrame);
}

bool CGdiOutput::Send(const uint8_t* pFrame)
{
    if (!TakeDC())
    {
        m_changed.InvalidateAll();
        return false;
    }
    bool bCopied = true;
    m_changed.ForEachRect(m_nSendRows, GAP_CHUNKS,
                          [&](int x, int nTop, int nWidth, int nRows)
                          {
                              m_lastRects.push_back(RECT{x, nTop, x + nWidth, nTop + nRows});
                              bCopied =
                                  SetScreenPixelsRect(m_hDC, x, nTop, nWidth, nRows, pFrame,
                                                      m_nWidth, m_colours, m_scratch.data()) &&
                                  bCopied;
                          });
    if (!bCopied)
        m_changed.InvalidateAll();
    return bCopied;
}

void CGdiOutput::RestoreDisplay()
{
    if (!m_bDisplayChanged)
        return;
    DEVMODEA devMode = m_devModeSaved;
    devMode.dmSize = sizeof(devMode);
    devMode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
    ::ChangeDisplaySettingsA(&devMode, CDS_FULLSCREEN);
    m_bDisplayChanged = FALSE;
}
