#include "CXImageOutput.h"

#include <X11/Xutil.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <new>
#include <string>

namespace
{
// Unchanged chunks between two runs of changed ones that are sent along rather than cut, and
// rows sent at most in one request: a request costs the server more than a few chunks' pixels.
constexpr int GAP_CHUNKS = 4;
constexpr int BAND_ROWS = 32;
constexpr int SCREEN_BITS_PER_PIXEL = 32;
constexpr int CHANNEL_BITS = 8;

// Set by the handler below while an attach is tried: a server on another machine refuses it.
bool g_bAttachFailed = false;

int NoteAttachError(Display*, XErrorEvent*)
{
    g_bAttachFailed = true;
    return 0;
}

// The channel value v (0..255) placed in the visual's mask for it.
uint32_t InMask(uint8_t nValue, unsigned long nMask)
{
    if (nMask == 0)
        return 0;
    int nShift = 0;
    while ((nMask >> nShift & 1) == 0)
        ++nShift;
    int nBits = 0;
    while ((nMask >> (nShift + nBits) & 1) != 0)
        ++nBits;
    const uint32_t nScaled =
        nBits >= CHANNEL_BITS ? nValue << (nBits - CHANNEL_BITS) : nValue >> (CHANNEL_BITS - nBits);
    return static_cast<uint32_t>((static_cast<unsigned long>(nScaled) << nShift) & nMask);
}
} // namespace

CXImageOutput::~CXImageOutput()
{
    DestroyImage();
    if (m_gc != nullptr)
        XFreeGC(m_pDisplay, m_gc);
}

bool CXImageOutput::Create(Display* pDisplay, Window window, Visual* pVisual, int nDepth,
                           int nWidth, int nHeight, int nFrameWidth, int nFrameHeight,
                           const PaletteEntry* pScene, std::string& strError)
{
    m_pDisplay = pDisplay;
    m_window = window;
    m_nWidth = nWidth;
    m_nHeight = nHeight;
    if (pVisual->c_class != TrueColor)
    {
        strError = "the window's visual is not true colour";
        return false;
    }
    try
    {
        if ((nFrameWidth != nWidth || nFrameHeight != nHeight) &&
            !m_scaler.Configure(nFrameWidth, nFrameHeight, nWidth, nHeight))
            return false;
        m_bits.assign(static_cast<size_t>(nFrameWidth) * static_cast<size_t>(nFrameHeight), 0);
        m_shown.assign(m_scaler.IsConfigured() ? m_bits.size() : 0, 0);
        if (!CreateImage(pVisual, nDepth))
        {
            strError = "the window's pixels are not 32-bit";
            return false;
        }
    }
    catch (const std::bad_alloc&)
    {
        strError = "out of memory";
        return false;
    }
    uint32_t aColours[PALETTE_SIZE];
    for (int i = 0; i < PALETTE_SIZE; ++i)
        aColours[i] = InMask(pScene[i].peRed, pVisual->red_mask) |
                      InMask(pScene[i].peGreen, pVisual->green_mask) |
                      InMask(pScene[i].peBlue, pVisual->blue_mask);
    MakeColourTable(m_colours, aColours);
    if (m_gc == nullptr)
        m_gc = XCreateGC(pDisplay, window, 0, nullptr);
    m_changed.Reset(nFrameWidth, nFrameHeight);
    return true;
}

bool CXImageOutput::CreateImage(Visual* pVisual, int nDepth)
{
    DestroyImage();
    if (XShmQueryExtension(m_pDisplay))
    {
        m_pImage = XShmCreateImage(m_pDisplay, pVisual, static_cast<unsigned>(nDepth), ZPixmap,
                                   nullptr, &m_shm, static_cast<unsigned>(m_nWidth),
                                   static_cast<unsigned>(m_nHeight));
        if (m_pImage != nullptr && m_pImage->bits_per_pixel == SCREEN_BITS_PER_PIXEL)
        {
            m_shm.shmid =
                shmget(IPC_PRIVATE, static_cast<size_t>(m_pImage->bytes_per_line) * m_nHeight,
                       IPC_CREAT | 0600);
            void* pAddress = m_shm.shmid >= 0 ? shmat(m_shm.shmid, nullptr, 0) : nullptr;
            if (pAddress != nullptr && pAddress != reinterpret_cast<void*>(-1))
            {
                m_shm.shmaddr = m_pImage->data = static_cast<char*>(pAddress);
                m_shm.readOnly = False;
                g_bAttachFailed = false;
                XErrorHandler previous = XSetErrorHandler(NoteAttachError);
                const bool bAttached = XShmAttach(m_pDisplay, &m_shm) != 0;
                XSync(m_pDisplay, False);
                XSetErrorHandler(previous);
                m_bShared = bAttached && !g_bAttachFailed;
                if (!m_bShared)
                {
                    shmdt(m_shm.shmaddr);
                    m_pImage->data = nullptr;
                }
            }
            // Removed now, it goes when the last of the program and the server lets it go.
            if (m_shm.shmid >= 0)
                shmctl(m_shm.shmid, IPC_RMID, nullptr);
            if (m_bShared)
                return true;
        }
        if (m_pImage != nullptr)
            XDestroyImage(m_pImage);
        m_pImage = nullptr;
        m_shm = {};
    }
    m_pImage = XCreateImage(m_pDisplay, pVisual, static_cast<unsigned>(nDepth), ZPixmap, 0, nullptr,
                            static_cast<unsigned>(m_nWidth), static_cast<unsigned>(m_nHeight),
                            SCREEN_BITS_PER_PIXEL, 0);
    if (m_pImage == nullptr || m_pImage->bits_per_pixel != SCREEN_BITS_PER_PIXEL)
        return false;
    // Our pixels are in the processor's order; Xlib reorders them for a server of the other.
    const uint32_t nProbe = 1;
    m_pImage->byte_order = *reinterpret_cast<const uint8_t*>(&nProbe) == 1 ? LSBFirst : MSBFirst;
    m_pixels.assign(static_cast<size_t>(m_pImage->bytes_per_line / 4) * m_nHeight, 0);
    m_pImage->data = reinterpret_cast<char*>(m_pixels.data());
    return true;
}

void CXImageOutput::DestroyImage()
{
    if (m_pImage == nullptr)
        return;
    if (m_bShared)
    {
        // No wait for the server: the segment, already marked removed, lives on until the
        // server lets it go too, so a put it has not drawn yet still finds its pixels.
        XShmDetach(m_pDisplay, &m_shm);
        shmdt(m_shm.shmaddr);
    }
    m_pImage->data = nullptr; // not Xlib's to free
    XDestroyImage(m_pImage);
    m_pImage = nullptr;
    m_bShared = false;
    m_bServerReading = false;
    m_shm = {};
    m_pixels.clear();
}

bool CXImageOutput::NoteFrame(const uint8_t* pWarmRows, const uint64_t* pHotChunks)
{
    return pHotChunks != nullptr ? m_changed.UpdateChunks(pHotChunks) : m_changed.Update(pWarmRows);
}

uint8_t* CXImageOutput::BeginFrame(const uint8_t* pWarmRows, const uint64_t* pHotChunks)
{
    return NoteFrame(pWarmRows, pHotChunks) ? m_bits.data() : nullptr;
}

bool CXImageOutput::EndFrame(bool bRendered)
{
    if (!bRendered)
    {
        m_changed.InvalidateAll();
        return false;
    }
    return Send(m_bits.data());
}

bool CXImageOutput::ShowInPlace(const uint8_t* pFrame, const uint8_t* pWarmRows,
                                const uint64_t* pHotChunks)
{
    return NoteFrame(pWarmRows, pHotChunks) && Send(pFrame);
}

bool CXImageOutput::Send(const uint8_t* pFrame)
{
    if (m_bServerReading)
        XSync(m_pDisplay, False);
    m_bServerReading = false;
    // Stretched, a pixel of the frame that is sent for nothing costs many of the window's.
    if (m_scaler.IsConfigured())
        m_changed.KeepDiffering(pFrame, m_shown.data());
    uint32_t* pPixels = reinterpret_cast<uint32_t*>(m_pImage->data);
    const size_t nPitch = static_cast<size_t>(m_pImage->bytes_per_line / 4);
    m_changed.ForEachRect(
        BAND_ROWS, GAP_CHUNKS,
        [&](int x, int nTop, int nWidth, int nRows)
        {
            if (m_scaler.IsConfigured())
            {
                // Each of the frame's pixels is looked up once and repeated in the window, over
                // the part of it that shows the frame's rectangle.
                const int xEnd = x + nWidth, nBottom = nTop + nRows;
                const int xWindow = m_scaler.GetDestColumn(x);
                const int nWindowTop = m_scaler.GetDestRow(nTop);
                m_scaler.ScaleColours(pFrame, x, nTop, xEnd, nBottom, m_colours,
                                      pPixels + nWindowTop * nPitch + xWindow,
                                      static_cast<std::ptrdiff_t>(nPitch));
                x = xWindow;
                nTop = nWindowTop;
                nWidth = m_scaler.GetDestColumn(xEnd) - xWindow;
                nRows = m_scaler.GetDestRow(nBottom) - nWindowTop;
                if (nWidth == 0 || nRows == 0)
                    return;
            }
            else
            {
                for (int y = nTop; y < nTop + nRows; ++y)
                    LookUpColours(pPixels + y * nPitch + x,
                                  pFrame + static_cast<size_t>(y) * m_nWidth + x, nWidth,
                                  m_colours);
            }
            if (m_bShared)
                XShmPutImage(m_pDisplay, m_window, m_gc, m_pImage, x, nTop, x, nTop,
                             static_cast<unsigned>(nWidth), static_cast<unsigned>(nRows), False);
            else
                XPutImage(m_pDisplay, m_window, m_gc, m_pImage, x, nTop, x, nTop,
                          static_cast<unsigned>(nWidth), static_cast<unsigned>(nRows));
        });
    m_bServerReading = m_bShared;
    XFlush(m_pDisplay);
    return true;
}
