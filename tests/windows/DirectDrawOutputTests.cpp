// The DirectDraw output on a surface of its own: where the frame's bytes land.
#include "CDirectDrawOutput.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace
{
// An 8-bit surface whose rows are wider than the frame: every row lands at the pitch, the bytes
// past the frame's width stay as they were, and a frame with no changed row takes no lock.
TEST(DirectDrawOutput, HonoursThePitch)
{
    LPDIRECTDRAW lpDD = nullptr;
    ASSERT_EQ(::DirectDrawCreate(nullptr, &lpDD, nullptr), DD_OK);
    ASSERT_EQ(lpDD->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
    const int nWidth = 13, nHeight = 5;
    DDSURFACEDESC ddsd = {};
    ddsd.dwSize = sizeof(ddsd);
    ddsd.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    ddsd.dwWidth = nWidth;
    ddsd.dwHeight = nHeight;
    ddsd.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    ddsd.ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
    ddsd.ddpfPixelFormat.dwFlags = DDPF_RGB | DDPF_PALETTEINDEXED8;
    ddsd.ddpfPixelFormat.dwRGBBitCount = 8;
    LPDIRECTDRAWSURFACE lpSurface = nullptr;
    ASSERT_EQ(lpDD->CreateSurface(&ddsd, &lpSurface, nullptr), DD_OK);

    // Fill the whole surface, padding included, with a marker.
    DDSURFACEDESC lock = {};
    lock.dwSize = sizeof(lock);
    ASSERT_EQ(lpSurface->Lock(nullptr, &lock, DDLOCK_WAIT, nullptr), DD_OK);
    const long lPitch = lock.lPitch;
    ASSERT_GT(lPitch, nWidth) << "the surface's rows are packed; nothing to test";
    std::memset(lock.lpSurface, 0xEE, static_cast<size_t>(lPitch) * nHeight);
    lpSurface->Unlock(lock.lpSurface);

    {
        CDirectDrawOutput output;
        output.Attach(lpSurface, nWidth, nHeight); // released with the output
        std::vector<uint8_t> warm(nHeight, 1);
        uint8_t* pFrame = output.BeginFrame(warm.data(), nullptr);
        ASSERT_NE(pFrame, nullptr);
        for (int i = 0; i < nWidth * nHeight; ++i)
            pFrame[i] = static_cast<uint8_t>(i);
        EXPECT_TRUE(output.EndFrame(true));

        ASSERT_EQ(lpSurface->Lock(nullptr, &lock, DDLOCK_WAIT, nullptr), DD_OK);
        const uint8_t* pSurface = static_cast<const uint8_t*>(lock.lpSurface);
        int nWrong = 0;
        for (int y = 0; y < nHeight; ++y)
            for (int x = 0; x < lPitch; ++x)
                if (pSurface[y * lPitch + x] != (x < nWidth ? y * nWidth + x : 0xEE))
                    ++nWrong;
        EXPECT_EQ(nWrong, 0);
        lpSurface->Unlock(lock.lpSurface);

        // Rows warm last time go once more; then cold frames need no frame at all.
        std::vector<uint8_t> cold(nHeight, 0);
        ASSERT_NE(output.BeginFrame(cold.data(), nullptr), nullptr);
        EXPECT_TRUE(output.EndFrame(true));
        EXPECT_EQ(output.BeginFrame(cold.data(), nullptr), nullptr);
    }
    lpDD->Release();
}
} // namespace
