#include "CVulkara.h"

#include "CBitmap24.h"
#include "EngineGlobals.h"
#include "FlameKernels.h"
#include "ISettingsReader.h"
#include "SettingsTable.h"
#include "Random.h"
#include "ResampleBitmap.h"

#include <cstddef>
#include <algorithm>
#include <climits>
#include <cstring>
#include <new>
#include <utility>

namespace
{
// Zero bytes after the desktop's extra row, so that the overlay's shifted reads stay inside
// the buffer however narrow the frame.
constexpr int DESKTOP_PADDING = 64;

// The largest frame, in bytes of one buffer: the 24-bit desktop picture of the frame (three
// bytes a pixel, padded rows) must still be addressable with 32-bit arithmetic.
constexpr long long MAX_FRAME_BYTES = INT_MAX / 4;

constexpr int GREY_DIVISOR = 96; // blue + green + red (0..765) to grey levels 0..7

constexpr int PALETTE_GROUP = 8;    // one flame colour and its seven desktop greys
constexpr int GREY_LEVEL_STEP = 32; // brightness of one grey level at divisor 1
constexpr int FUSE_MIN = 20;        // steps a rocket climbs: 20..79
constexpr int FUSE_RANGE = 60;
constexpr int ROCKET_DY_RANGE = 12; // -12..-1
constexpr int ROCKET_DX_RANGE = 7;  // -3..3
constexpr int ROCKET_DX_OFFSET = 3;

bool IsFrameSizeUsable(int nWidth, int nHeight)
{
    if (nWidth < CVulkara::MIN_FRAME_SIZE || nHeight < CVulkara::MIN_FRAME_SIZE)
        return false;
    const long long nBytes = static_cast<long long>(nWidth) * (nHeight + 1LL) + DESKTOP_PADDING;
    return nBytes <= MAX_FRAME_BYTES;
}
} // namespace

CVulkara::CVulkara(IEnginePlatform& platform) : m_platform(platform) {}

CVulkara::~CVulkara()
{
    Free();
}

bool CVulkara::Init(const ISettingsReader& settings)
{
    Free();

    const struct
    {
        SettingIndex nIndex;
        int& nValue;
    } reads[] = {
        {SETTING_XRES, m_nWidth},
        {SETTING_YRES, m_nHeight},
        {SETTING_SPARKLES_COUNT, m_nSparklesCount},
        {SETTING_FIREBALL_COUNT, m_nFireBallCount},
        {SETTING_FIREWORK_COUNT, m_nFireWorkCount},
        {SETTING_FIREBALL_IN_FIREWORK_MAX, m_nFireBallInFireWorkMax},
        {SETTING_FIREBALL_IN_FIREWORK_MIN, m_nFireBallInFireWorkMin},
        {SETTING_FADE_SCREEN, m_nFadeScreen},
    };
    for (const auto& read : reads)
    {
        read.nValue = 0;
        settings.GetInt(read.nIndex, read.nValue);
    }
    int nSound = 0;
    settings.GetInt(SETTING_BACKGROUND_SOUND, nSound);
    m_bBackgroundSound = nSound != 0;

    m_nSparklesCount = std::clamp(m_nSparklesCount, 0, MAX_SPARKLES);
    m_nFireBallCount = std::clamp(m_nFireBallCount, 0, MAX_FIREBALLS);
    m_nFireWorkCount = std::clamp(m_nFireWorkCount, 0, MAX_FIREWORKS);
    // An empty range would leave the burst size undefined. Sizes below one make bursts of one
    // ball (the rocket), so only the top is capped, which keeps the range in order.
    OrderExplosionSizes(m_nFireBallInFireWorkMin, m_nFireBallInFireWorkMax);
    m_nFireBallInFireWorkMax = std::min(m_nFireBallInFireWorkMax, MAX_BURST_SIZE);
    m_nFireBallInFireWorkMin = std::min(m_nFireBallInFireWorkMin, MAX_BURST_SIZE);

    if (!IsFrameSizeUsable(m_nWidth, m_nHeight) || !Allocate())
    {
        m_bBackgroundSound = false; // it has not started yet
        Free();
        return false;
    }

    if (m_bBackgroundSound)
    {
        if (m_pSound->Open())
            m_pSound->Play();
        else
            m_bBackgroundSound = false;
    }
    return true;
}

// Everything the engine owns, in the order the particles' random start values depend on;
// the buffers come out of allocation zero-filled.
bool CVulkara::Allocate()
{
    try
    {
        m_flame.Create(m_nWidth, m_nHeight);
        m_desktop.assign(static_cast<size_t>(m_nWidth) * (m_nHeight + 1) + DESKTOP_PADDING, 0);
        m_sparkles.reserve(static_cast<size_t>(m_nSparklesCount));
        for (int i = 0; i < m_nSparklesCount; ++i)
            m_sparkles.emplace_back(*this);
        m_fireBalls.reserve(static_cast<size_t>(m_nFireBallCount));
        for (int i = 0; i < m_nFireBallCount; ++i)
            m_fireBalls.emplace_back(*this);
        m_fireWorks.resize(static_cast<size_t>(m_nFireWorkCount));
        m_pSound = std::make_unique<CBackgroundSound>(m_platform);
        return CaptureDesktop();
    }
    catch (const std::bad_alloc&)
    {
        return false;
    }
}

bool CVulkara::CaptureDesktop()
{
    CBitmap24 screen;
    if (!m_platform.CaptureScreen(m_nWidth, m_nHeight, screen) || screen.GetWidth() <= 0 ||
        screen.GetHeight() <= 0)
        return false;

    CBitmap24 resized;
    const CBitmap24* pFrame = &screen;
    if (screen.GetWidth() != m_nWidth || screen.GetHeight() != m_nHeight)
    {
        if (!resized.Create(m_nWidth, m_nHeight))
            return false;
        ResampleBitmap(resized, {0, 0, m_nWidth, m_nHeight}, screen,
                       {0, 0, screen.GetWidth(), screen.GetHeight()});
        pFrame = &resized;
    }

    // The picture is bottom-up; the desktop buffer, like the frame, top row first.
    for (int y = 0; y < m_nHeight; ++y)
    {
        const uint8_t* pPixel = pFrame->GetRow(m_nHeight - 1 - y);
        uint8_t* pGrey = m_desktop.data() + static_cast<size_t>(y) * m_nWidth;
        for (int x = 0; x < m_nWidth; ++x, pPixel += 3)
            pGrey[x] = static_cast<uint8_t>((pPixel[0] + pPixel[1] + pPixel[2]) / GREY_DIVISOR);
    }
    return true;
}

void CVulkara::Free()
{
    if (m_bBackgroundSound && m_pSound)
        m_pSound->Stop();
    m_bBackgroundSound = false;
    m_pSound.reset();
    m_fireWorks.clear();
    m_fireWorks.shrink_to_fit();
    m_fireBalls.clear();
    m_fireBalls.shrink_to_fit();
    m_sparkles.clear();
    m_sparkles.shrink_to_fit();
    decltype(m_desktop)().swap(m_desktop);
    m_flame.Free();
    m_nWidth = 0;
    m_nHeight = 0;
    m_nSparklesCount = 0;
    m_nFireBallCount = 0;
    m_nFireWorkCount = 0;
    m_nFireBallInFireWorkMax = 0;
    m_nFireBallInFireWorkMin = 0;
    m_nFadeScreen = 0;
}

bool CVulkara::LoadPalette(PaletteEntry aPalette[PALETTE_SIZE])
{
    if (!m_platform.LoadPaletteResource(aPalette))
        return false;
    if (m_nFadeScreen == 0)
        return true;

    // Entry 8g + k is flame colour g brightened for desktop grey level k.
    for (int g = 0; g < PALETTE_SIZE; g += PALETTE_GROUP)
    {
        const PaletteEntry base = aPalette[g];
        for (int k = 1; k < PALETTE_GROUP; ++k)
        {
            const int nAdd = GREY_LEVEL_STEP * k / m_nFadeScreen;
            PaletteEntry& entry = aPalette[g + k];
            entry.peRed = static_cast<uint8_t>(std::clamp(base.peRed + nAdd, 0, 255));
            entry.peGreen = static_cast<uint8_t>(std::clamp(base.peGreen + nAdd, 0, 255));
            entry.peBlue = static_cast<uint8_t>(std::clamp(base.peBlue + nAdd, 0, 255));
        }
    }
    return true;
}

bool CVulkara::LaunchFireWork(CFireWork& fireWork)
{
    const long long nSpan =
        static_cast<long long>(m_nFireBallInFireWorkMax) - m_nFireBallInFireWorkMin + 1;
    const long long nCount = m_nFireBallInFireWorkMin + Random() % nSpan;
    const int nFuse = Random() % FUSE_RANGE + FUSE_MIN;
    const int dy = Random() % ROCKET_DY_RANGE - ROCKET_DY_RANGE;
    const int dx = Random() % ROCKET_DX_RANGE - ROCKET_DX_OFFSET;
    const int x = Random() % m_nWidth;
    return fireWork.Launch(*this, x, m_nHeight - 1, dx, dy, nFuse,
                           static_cast<int>(std::min<long long>(nCount, INT_MAX)));
}

bool CVulkara::Step()
{
    if (m_nWidth == 0)
        return false;

    // Two more sparkles join on every step; the product saturates on a saver left running.
    const int nFrame = g_nFrame;
    const int nJoined = nFrame > INT_MAX / 2 ? INT_MAX : 2 * nFrame;
    const int nSparkles = std::min(nJoined, m_nSparklesCount);
    for (int i = 0; i < nSparkles; ++i)
    {
        if (!m_sparkles[i].Move(*this) || !m_sparkles[i].Draw(*this))
            return false;
    }

    for (CFireWork& fireWork : m_fireWorks)
    {
        if (fireWork.IsIdle() && !LaunchFireWork(fireWork))
            return false;
        if (!fireWork.Move(*this))
            return false;
    }

    m_flame.WriteSeedRow();

    for (CFireBall& fireBall : m_fireBalls)
    {
        if (!fireBall.Move(*this))
            return false;
        fireBall.Draw(*this);
    }

    m_flame.Propagate();
    m_flame.AdvanceSeed();

    if (nFrame < INT_MAX)
        g_nFrame = nFrame + 1;
    return true;
}

bool CVulkara::Render(uint8_t* pDest)
{
    if (m_nWidth == 0 || pDest == nullptr)
        return false;
    if (m_nFadeScreen == 0)
        CopyFlameFrame(pDest, m_flame.GetBuffer(), m_nWidth, m_nHeight, m_flame.GetHotChunks());
    else
        ComposeOverlayFrame(pDest, m_flame.GetBuffer(), m_desktop.data(), m_nWidth, m_nHeight,
                            m_flame.GetHotChunks());
    return true;
}

const uint8_t* CVulkara::GetFrameInPlace() const
{
    // The flame of a chunk the field does not flag is all zero, which is what Render writes
    // there.
    return m_nWidth == 0 || m_nFadeScreen != 0 ? nullptr : m_flame.GetBuffer();
}

bool CVulkara::GetBuffer(int nWhich, uint8_t** ppBuffer, int* pSize)
{
    uint8_t* pBuffer = nullptr;
    if (nWhich == 0)
        pBuffer = m_flame.GetWritableBuffer(); // the caller may write heat anywhere
    else if (nWhich == 1)
        pBuffer = m_desktop.data();
    else
        return true;

    if (ppBuffer != nullptr)
        *ppBuffer = pBuffer;
    if (pSize != nullptr)
    {
        pSize[0] = m_nWidth;
        pSize[1] = m_nHeight;
    }
    return true;
}
