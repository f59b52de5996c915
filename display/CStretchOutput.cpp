#include "CStretchOutput.h"

#include "FrameRows.h"

#include <new>

namespace
{
constexpr WORD BITS_PER_PIXEL = 8;
} // namespace

BOOL CStretchOutput::Create(HWND hWnd, int nWidth, int nHeight, const PaletteEntry* pScene)
{
    m_hWnd = hWnd;
    m_nWidth = nWidth;
    m_nHeight = nHeight;
    m_nStride = DibRowBytes(nWidth);
    try
    {
        m_info.assign(sizeof(BITMAPINFOHEADER) + PALETTE_SIZE * sizeof(RGBQUAD), 0);
        m_bits.assign(static_cast<size_t>(m_nStride) * static_cast<size_t>(nHeight), 0);
    }
    catch (const std::bad_alloc&)
    {
        return FALSE;
    }
    BITMAPINFO* pInfo = reinterpret_cast<BITMAPINFO*>(m_info.data());
    BITMAPINFOHEADER& header = pInfo->bmiHeader;
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = nWidth;
    header.biHeight = -nHeight; // top row first, as the engine writes
    header.biPlanes = 1;
    header.biBitCount = BITS_PER_PIXEL;
    header.biCompression = BI_RGB;
    for (int i = 0; i < PALETTE_SIZE; ++i)
    {
        RGBQUAD& colour = pInfo->bmiColors[i];
        colour.rgbRed = pScene[i].peRed;
        colour.rgbGreen = pScene[i].peGreen;
        colour.rgbBlue = pScene[i].peBlue;
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
