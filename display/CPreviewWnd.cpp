#include "CPreviewWnd.h"

#include "CPreviewSettings.h"
#include "CVulkara.h"

#include <climits>
#include <ctime>
#include <new>

std::atomic<int> g_bStopPreview{0};
std::atomic<int> g_bPreviewRunning{0};

namespace
{
// The engine runs at this multiple of the window's size; GDI drops the surplus rows and
// columns on output.
constexpr int FRAME_SCALE = 3;
constexpr int FRAME_PERIOD_MS = 25;
constexpr int IMAGE_BYTES_PER_PIXEL = 4;
constexpr WORD IMAGE_BITS_PER_PIXEL = 32;

int ElapsedMs(clock_t tStart)
{
    return static_cast<int>((clock() - tStart) * 1000 / CLOCKS_PER_SEC);
}
} // namespace

CPreviewWnd::CPreviewWnd(const ISettingsReader* pSettings)
    : m_pVulkara(new CVulkara), m_pSettings(pSettings)
{
}

CPreviewWnd::~CPreviewWnd()
{
    delete[] m_pFrame;
    delete[] m_pImage;
    delete m_pVulkara; // stops the background sound if the engine started it
}

BOOL CPreviewWnd::Create(const RECT& rect, CWnd* pParentWnd)
{
    // A refused creation may or may not have reached the window procedure; either way the
    // object is gone when this returns FALSE.
    bool bDeleted = false;
    m_pbDeleted = &bDeleted;
    LPCSTR lpszClass =
        AfxRegisterWndClass(CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW));
    const BOOL bCreated =
        lpszClass != nullptr &&
        CWnd::Create(lpszClass, "Preview", WS_CHILD | WS_VISIBLE, rect, pParentWnd, 0);
    if (bCreated)
    {
        m_pbDeleted = nullptr;
        return TRUE;
    }
    if (!bDeleted)
        delete this;
    return FALSE;
}

void CPreviewWnd::PostNcDestroy()
{
    if (m_pbDeleted != nullptr)
        *m_pbDeleted = true;
    delete this;
}

LRESULT CPreviewWnd::OnCreate(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    if (Default() == -1)
        return -1;

    const CREATESTRUCTA* pCreate = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    const long long nWidth = static_cast<long long>(pCreate->cx) * FRAME_SCALE;
    const long long nHeight = static_cast<long long>(pCreate->cy) * FRAME_SCALE;
    if (nWidth <= 0 || nHeight <= 0 || nWidth > INT_MAX || nHeight > INT_MAX)
        return -1;
    m_nWidth = static_cast<int>(nWidth);
    m_nHeight = static_cast<int>(nHeight);

    // The engine refuses frames it cannot work on, too small or too large for it.
    const CPreviewSettings settings(m_pSettings, m_nWidth, m_nHeight);
    if (!m_pVulkara->Init(settings))
        return -1;

    m_bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    m_bmi.bmiHeader.biWidth = m_nWidth;
    m_bmi.bmiHeader.biHeight = m_nHeight; // positive: bottom-up
    m_bmi.bmiHeader.biPlanes = 1;
    m_bmi.bmiHeader.biBitCount = IMAGE_BITS_PER_PIXEL;
    m_bmi.bmiHeader.biCompression = BI_RGB;
    m_bmi.bmiHeader.biSizeImage = 0;

    const size_t nPixels = static_cast<size_t>(m_nWidth) * static_cast<size_t>(m_nHeight);
    try
    {
        m_pImage = new uint8_t[nPixels * IMAGE_BYTES_PER_PIXEL];
        m_pFrame = new uint8_t[nPixels];
    }
    catch (const std::bad_alloc&)
    {
        // The window stays, without content.
        delete[] m_pImage;
        m_pImage = nullptr;
        m_pFrame = nullptr;
        return 0;
    }

    m_pVulkara->LoadPalette(m_palette);

    // The thread counts as running from here on, so that a destroy arriving before it has
    // run at all still waits for it.
    g_bStopPreview = 0;
    g_bPreviewRunning = 1;
    if (AfxBeginThread(&CPreviewWnd::PreviewThreadProc, this) == nullptr)
        g_bPreviewRunning = 0;
    return 0;
}

LRESULT CPreviewWnd::OnDestroy(UINT, WPARAM, LPARAM, BOOL&)
{
    g_bStopPreview = 1;
    while (g_bPreviewRunning != 0)
        ::Sleep(10);
    return Default();
}

UINT __cdecl CPreviewWnd::PreviewThreadProc(LPVOID pParam)
{
    CPreviewWnd* pWnd = static_cast<CPreviewWnd*>(pParam);
    while (g_bStopPreview == 0)
    {
        const clock_t tStart = clock();
        pWnd->DrawFrame();
        const int nRest = FRAME_PERIOD_MS - ElapsedMs(tStart);
        if (nRest > 0)
            ::Sleep(static_cast<DWORD>(nRest));
    }
    g_bPreviewRunning = 0;
    AfxEndThread(0);
}

void CPreviewWnd::DrawFrame()
{
    // A failed step still leaves a frame worth showing.
    m_pVulkara->Step();
    m_pVulkara->Render(m_pFrame);
    ConvertFrame();

    // Only the window's own device context: this thread must never need the window's
    // thread, which may be waiting for it in OnDestroy.
    HDC hDC = ::GetWindowDC(m_hWnd);
    RECT rcWindow;
    ::GetWindowRect(m_hWnd, &rcWindow);
    ::SetStretchBltMode(hDC, COLORONCOLOR);
    ::StretchDIBits(hDC, 0, 0, rcWindow.right - rcWindow.left, rcWindow.bottom - rcWindow.top, 0, 0,
                    m_nWidth, m_nHeight, m_pImage, &m_bmi, DIB_RGB_COLORS, SRCCOPY);
    ::ReleaseDC(m_hWnd, hDC);
}

void CPreviewWnd::ConvertFrame()
{
    // The engine's rows run top down, the image's bottom up.
    for (int r = 0; r < m_nHeight; ++r)
    {
        const uint8_t* pSource = m_pFrame + static_cast<size_t>(r) * m_nWidth;
        uint8_t* pDest =
            m_pImage + static_cast<size_t>(m_nHeight - 1 - r) * m_nWidth * IMAGE_BYTES_PER_PIXEL;
        for (int c = 0; c < m_nWidth; ++c, pDest += IMAGE_BYTES_PER_PIXEL)
        {
            const PaletteEntry& colour = m_palette[pSource[c]];
            pDest[0] = colour.peBlue;
            pDest[1] = colour.peGreen;
            pDest[2] = colour.peRed;
        }
    }
}
