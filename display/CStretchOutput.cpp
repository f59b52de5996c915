#include "CStretchOutput.h"

#include "FrameRows.h"

#include <new>

BOOL CStretchOutput::Create(HWND hWnd, int nWidth, int nHeight, const PaletteEntry* pScene)
{
    m_hWnd = hWnd;
    m_nWidth = nWidth;
    m_nHeight = nHeight;
    m_nStride = DibRowBytes(nWidth);
    try
    {
        MakeEightBitDibInfo(m_info, nWidth, nHeight, pScene);
        m_bits.assign(static_cast<size_t>(m_nStride) * static_cast<size_t>(nHeight), 0);
    }
    catch (const std::bad_alloc&)
    {
        return FALSE;
    }
    return TRUE;
}

uint8_t* CStretchOutput::BeginFrame(const uint8_t*, const uint64_t*)
{
    return m_bits.data();
}

bool CStretchOutput::EndFrame(bool bRendered)
{
    if (!bRendered)
        return false;
    SpreadRows(m_bits.data(), m_nWidth, m_nHeight, m_nStride);
    // Only the window's own device context: this thread must never need the window's
    // thread, which may be waiting for it to end.
    HDC hDC = ::GetWindowDC(m_hWnd);
    if (hDC == nullptr)
        return false;
    RECT rcWindow = {};
    ::GetWindowRect(m_hWnd, &rcWindow);
    ::SetStretchBltMode(hDC, COLORONCOLOR);
    const int nLines =
        ::StretchDIBits(hDC, 0, 0, rcWindow.right - rcWindow.left, rcWindow.bottom - rcWindow.top,
                        0, 0, m_nWidth, m_nHeight, m_bits.data(),
                        reinterpret_cast<BITMAPINFO*>(m_info.data()), DIB_RGB_COLORS, SRCCOPY);
    ::ReleaseDC(m_hWnd, hDC);
    return nLines > 0;
}
