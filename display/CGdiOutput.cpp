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
// chunks.
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
    m_savedMode.Save();
    if (bSetMode && !m_savedMode.IsSize(nWidth, nHeight))
    {
        if (!m_savedMode.SetSize(nWidth, nHeight))
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
    // A frame of the window's own size is shown as it is, read where the engine keeps it.
    if (nFrameWidth == nWidth && nFrameHeight == nHeight)
        return Create(hWnd, nWidth, nHeight, pScene, false);
    m_hWnd = hWnd;
    m_nWidth = nWidth;
    m_nHeight = nHeight;
    try
    {
        if (!m_scaler.Configure(nFrameWidth, nFrameHeight, nWidth, nHeight))
            return FALSE;
    }
    catch (const std::bad_alloc&)
    {
        return FALSE;
    }
    return CreateBitmap(pScene);
}

BOOL CGdiOutput::CreateBitmap(const PALETTEENTRY* pScene)
{
    const bool bStretched = m_scaler.IsConfigured();
    const int nFrameWidth = bStretched ? m_scaler.GetSourceWidth() : m_nWidth;
    const int nFrameHeight = bStretched ? m_scaler.GetSourceHeight() : m_nHeight;
    // The screen's rows one row of the frame covers at most.
    const int nRepeat = bStretched ? std::max(m_scaler.GetRowRepeat(), 1) : 1;
    m_nSendRows = std::clamp(GdiBandRows(m_nWidth) / nRepeat, 1, BAND_ROWS);
    try
    {
        MakeScreenColours(m_colours, pScene);
        m_bits.assign(static_cast<size_t>(nFrameWidth) * static_cast<size_t>(nFrameHeight), 0);
        m_shown.assign(bStretched ? m_bits.size() : 0, 0);
        m_scratch.assign(static_cast<size_t>(m_nSendRows) * static_cast<size_t>(nRepeat) *
                             static_cast<size_t>(m_nWidth),
                         0);
    }
    catch (const std::bad_alloc&)
    {
        return FALSE;
    }
    m_changed.Reset(nFrameWidth, nFrameHeight);
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
    return pHotChunks != nullptr ? m_changed.UpdateChunks(pHotChunks) : m_changed.Update(pWarmRows);
}

uint8_t* CGdiOutput::BeginFrame(const uint8_t* pWarmRows, const uint64_t* pHotChunks)
{
    return NoteFrame(pWarmRows, pHotChunks) ? m_bits.data() : nullptr;
}

bool CGdiOutput::EndFrame(bool bRendered)
{
    if (!bRendered)
    {
        m_changed.InvalidateAll();
        return false;
    }
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
    // Stretched, a pixel of the frame that is sent for nothing costs many of the screen's.
    if (m_scaler.IsConfigured())
        m_changed.KeepDiffering(pFrame, m_shown.data());
    bool bCopied = true;
    m_changed.ForEachRect(m_nSendRows, GAP_CHUNKS,
                          [&](int x, int nTop, int nWidth, int nRows)
                          { bCopied = SendRect(pFrame, x, nTop, nWidth, nRows) && bCopied; });
    if (!bCopied)
        m_changed.InvalidateAll();
    return bCopied;
}

bool CGdiOutput::SendRect(const uint8_t* pFrame, int x, int nTop, int nWidth, int nRows)
{
    if (!m_scaler.IsConfigured())
    {
        return SetScreenPixelsRect(m_hDC, x, nTop, nWidth, nRows, pFrame, m_nWidth, m_colours,
                                   m_scratch.data());
    }
    // Stretched: the frame's pixels are looked up once each, then repeated on the screen.
    const RECT rc = {m_scaler.GetDestColumn(x), m_scaler.GetDestRow(nTop),
                     m_scaler.GetDestColumn(x + nWidth), m_scaler.GetDestRow(nTop + nRows)};
    if (rc.left == rc.right || rc.top == rc.bottom)
        return true; // shrunk away
    m_scaler.ScaleColours(pFrame, x, nTop, x + nWidth, nTop + nRows, m_colours, m_scratch.data(),
                          rc.right - rc.left);
    return SetScreenPixels(m_hDC, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                           m_scratch.data());
}

void CGdiOutput::RestoreDisplay()
{
    if (m_bDisplayChanged)
        m_savedMode.Restore();
    m_bDisplayChanged = FALSE;
}
