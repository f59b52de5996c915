#include "CGdiOutput.h"

#include "FrameRows.h"

#include <emmintrin.h>

#include <algorithm>
#include <new>

namespace
{
// Unchanged chunks between two runs of changed ones that are sent along rather than cut. In
// the running saver a call to the screen costs more than the pixels of a row of chunks: timed
// there, one span per band from its first changed chunk to its last took Wine less time than
// runs cut at gaps of two chunks, though it sends more pixels.
constexpr int GAP_CHUNKS = 16;
// Rows compared with the shown frame at a time, in 64-pixel chunks. With the default fireworks
// about the screen, the chunks that really changed are about three quarters of the screen in
// a frame, where the chunks the engine flags are nearly all of it. Bands of 32 rows send a
// little more than bands of 16, in half as many calls: the saver's output took about a tenth
// less time, and the machine about 5 % less per frame in tools/measure-cpu.sh against the build
// with 16 (median of five rounds).
constexpr int COMPARE_ROWS = 32;
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
    m_nStride = DibRowBytes(nWidth);
    m_nBandRows = GdiBandRows(nWidth);
    try
    {
        MakeScreenColours(m_colours, pScene);
        m_bits.assign(static_cast<size_t>(m_nStride) * static_cast<size_t>(nHeight), 0);
        m_shown.assign(m_bits.size(), 0);
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

uint8_t* CGdiOutput::BeginFrame(const uint8_t* pWarmRows, const uint64_t* pHotChunks)
{
    if (--m_nFramesToFull <= 0)
    {
        m_changed.InvalidateAll();
        m_nFramesToFull = FULL_FRAME_INTERVAL;
        ReleaseDC();
    }
    m_lastRects.clear();
    if (!m_scaler.IsConfigured())
    {
        const bool bAny = pHotChunks != nullptr ? m_changed.UpdateChunks(pHotChunks)
                                                : m_changed.Update(pWarmRows);
        return bAny ? m_bits.data() : nullptr;
    }
    // A row of the bitmap shows one row of the engine's frame, and is warm with it. The
    // engine's chunks are not the screen's, so stretched frames go by whole rows.
    for (int y = 0; y < m_nHeight; ++y)
        m_warmRows[static_cast<size_t>(y)] = pWarmRows[m_scaler.GetSourceRow(y)];
    return m_changed.Update(m_warmRows.data()) ? m_frame.data() : nullptr;
}

bool CGdiOutput::EndFrame(bool bRendered)
{
    if (!bRendered || !TakeDC())
    {
        m_changed.InvalidateAll();
        return false;
    }
    if (m_scaler.IsConfigured())
        m_scaler.Scale(m_frame.data(), m_bits.data(), m_nStride);
    else
        SpreadRows(m_bits.data(), m_nWidth, m_nHeight, m_nStride);
    // A whole frame goes as it is, in bands; otherwise only the chunks whose pixels differ from
    // the frame the screen shows.
    const bool bWhole = m_changed.WasWhole();
    bool bCopied = true;
    m_changed.ForEachRect(
        bWhole ? m_nBandRows : std::min(COMPARE_ROWS, m_nBandRows), GAP_CHUNKS,
        [&](int x, int nTop, int nWidth, int nRows)
        {
            m_lastRects.push_back(RECT{x, nTop, x + nWidth, nTop + nRows});
            bCopied = SetScreenPixelsRect(m_hDC, x, nTop, nWidth, nRows, m_bits.data(), m_nStride,
                                          m_colours, m_scratch.data()) &&
                      bCopied;
        },
        [&](int nChunk, int nTop, int nRows)
        { return bWhole || IsChunkDifferent(nChunk, nTop, nRows); });
    if (!bCopied)
    {
        m_changed.InvalidateAll();
        return false;
    }
    // The engine writes every pixel of a frame, so the older bitmap takes the next one, and
    // this one is what the screen shows: what was not sent did not differ.
    m_bits.swap(m_shown);
    return true;
}

bool CGdiOutput::IsChunkDifferent(int nChunk, int nTop, int nRows) const
{
    // Sixteen bytes at a time, inline: this runs over most of the screen in every frame, and a
    // call to the runtime's memcmp for each row of a chunk showed in the saver's profile.
    constexpr int VECTOR = 16;
    const int x = nChunk * FLAME_CHUNK;
    const int nBytes = std::min(FLAME_CHUNK, m_nWidth - x);
    const int nWhole = nBytes / VECTOR * VECTOR;
    for (int y = nTop; y < nTop + nRows; ++y)
    {
        const size_t nAt = static_cast<size_t>(y) * m_nStride + x;
        const uint8_t* pNow = m_bits.data() + nAt;
        const uint8_t* pShown = m_shown.data() + nAt;
        __m128i differ = _mm_setzero_si128();
        for (int i = 0; i < nWhole; i += VECTOR)
            differ = _mm_or_si128(
                differ,
                _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(pNow + i)),
                              _mm_loadu_si128(reinterpret_cast<const __m128i*>(pShown + i))));
        if (_mm_movemask_epi8(_mm_cmpeq_epi8(differ, _mm_setzero_si128())) != 0xffff)
            return true;
        for (int i = nWhole; i < nBytes; ++i)
            if (pNow[i] != pShown[i])
                return true;
    }
    return false;
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
