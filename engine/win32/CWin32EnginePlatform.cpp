#include "CWin32EnginePlatform.h"

#include "CBitmap24.h"
#include "resource.h"

#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <cstring>

namespace
{
constexpr int CAPTURE_BITS_PER_PIXEL = 24;

// The screen's memory context and its 24-bit section, released in reverse order.
class CScreenSnapshot
{
public:
    explicit CScreenSnapshot(HDC hScreen) : m_hScreen(hScreen) {}
    ~CScreenSnapshot()
    {
        if (m_hOld != nullptr)
            SelectObject(m_hMemory, m_hOld);
        if (m_hSection != nullptr)
            DeleteObject(m_hSection);
        if (m_hMemory != nullptr)
            DeleteDC(m_hMemory);
    }
    CScreenSnapshot(const CScreenSnapshot&) = delete;
    CScreenSnapshot& operator=(const CScreenSnapshot&) = delete;

    bool Take(int nLeft, int nTop, int nWidth, int nHeight)
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = nWidth;
        info.bmiHeader.biHeight = nHeight; // bottom-up
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = CAPTURE_BITS_PER_PIXEL;
        info.bmiHeader.biCompression = BI_RGB;

        m_hMemory = CreateCompatibleDC(m_hScreen);
        if (m_hMemory == nullptr)
            return false;
        m_hSection = CreateDIBSection(m_hMemory, &info, DIB_RGB_COLORS, &m_pBits, nullptr, 0);
        if (m_hSection == nullptr || m_pBits == nullptr)
            return false;
        m_hOld = SelectObject(m_hMemory, m_hSection);
        BitBlt(m_hMemory, 0, 0, nWidth, nHeight, m_hScreen, nLeft, nTop, SRCCOPY);
        GdiFlush();
        return true;
    }

    bool CopyTo(CBitmap24& picture) const
    {
        DIBSECTION section = {};
        if (GetObject(m_hSection, sizeof(section), &section) == 0)
            return false;
        const int nRowBytes = std::min<int>(section.dsBm.bmWidthBytes, picture.GetStride());
        const BYTE* pSource = static_cast<const BYTE*>(m_pBits);
        for (int y = 0; y < picture.GetHeight(); ++y)
            std::memcpy(picture.GetRow(y), pSource + y * section.dsBm.bmWidthBytes, nRowBytes);
        return true;
    }

private:
    HDC m_hScreen;
    HDC m_hMemory = nullptr;
    HBITMAP m_hSection = nullptr;
    HGDIOBJ m_hOld = nullptr;
    void* m_pBits = nullptr;
};
} // namespace

CWin32EnginePlatform::CWin32EnginePlatform(int nLeft, int nTop, int nWidth, int nHeight)
    : m_bArea(true), m_nLeft(nLeft), m_nTop(nTop), m_nWidth(nWidth), m_nHeight(nHeight)
{
}

bool CWin32EnginePlatform::LoadPaletteResource(PaletteEntry aPalette[PALETTE_SIZE])
{
    HMODULE hModule = GetModuleHandleA(nullptr);
    HRSRC hResource = FindResourceA(hModule, MAKEINTRESOURCEA(IDR_PALETTE), "PALETTE");
    if (hResource == nullptr || SizeofResource(hModule, hResource) < PALETTE_BYTES)
        return false;
    HGLOBAL hData = LoadResource(hModule, hResource);
    if (hData == nullptr)
        return false;
    const void* pData = LockResource(hData);
    if (pData == nullptr)
        return false;
    std::memcpy(aPalette, pData, PALETTE_BYTES);
    return true;
}

void CWin32EnginePlatform::PlayLoopingSound()
{
    PlaySoundA(MAKEINTRESOURCEA(IDR_FIRE_SOUND), GetModuleHandleA(nullptr),
               SND_RESOURCE | SND_ASYNC | SND_LOOP);
}

void CWin32EnginePlatform::StopSound()
{
    PlaySoundA(nullptr, nullptr, 0);
}

bool CWin32EnginePlatform::CaptureScreen(int /*nFrameWidth*/, int /*nFrameHeight*/,
                                         CBitmap24& screen)
{
    HDC hScreen = GetDC(nullptr);
    if (hScreen == nullptr)
        return false;
    // The screen's device context has its origin at the primary monitor's; other monitors lie
    // around it, at negative coordinates too.
    const int nLeft = m_bArea ? m_nLeft : 0;
    const int nTop = m_bArea ? m_nTop : 0;
    const int nWidth = m_bArea ? m_nWidth : GetDeviceCaps(hScreen, HORZRES);
    const int nHeight = m_bArea ? m_nHeight : GetDeviceCaps(hScreen, VERTRES);
    bool bResult = false;
    {
        CScreenSnapshot snapshot(hScreen);
        bResult = screen.Create(nWidth, nHeight) && snapshot.Take(nLeft, nTop, nWidth, nHeight) &&
                  snapshot.CopyTo(screen);
    }
    ReleaseDC(nullptr, hScreen);
    return bResult;
}

IEnginePlatform& DefaultEnginePlatform()
{
    static CWin32EnginePlatform s_platform;
    return s_platform;
}
