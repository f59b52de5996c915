#pragma once

#include "AlignedAllocator.h"
#include "CBackgroundSound.h"
#include "CFireBall.h"
#include "CFireWork.h"
#include "CFlameField.h"
#include "CSparkle.h"
#include "IEnginePlatform.h"
#include "PaletteEntry.h"
#include "SettingsTable.h"

#include <cstdint>
#include <memory>
#include <vector>

class ISettingsReader;

// The fire effect: owns the flame buffer, the desktop snapshot, the particles and the
// background sound, and produces one 8-bit palettised frame per step. It knows no window.
//
// Init, LoadPalette and destruction run on the window's thread; Step and Render on the one
// worker thread that animates it.
class CVulkara
{
public:
    // Frames smaller than this in either direction are refused: the sprites, the desktop
    // shift and the seed line need room.
    static constexpr int MIN_FRAME_SIZE = 16;
    // The most of each kind of particle the engine keeps, whatever the settings hold: ten
    // times what the Settings page accepts, so that hand-edited values still behave as
    // written, while Init allocates little and one step moves at most
    // MAX_FIREWORKS x MAX_BURST_SIZE firework balls.
    static constexpr int PAGE_RANGE_FACTOR = 10;
    static constexpr int MAX_SPARKLES =
        PAGE_RANGE_FACTOR * SettingRowOf(SETTING_SPARKLES_COUNT).range.nMax;
    static constexpr int MAX_FIREBALLS =
        PAGE_RANGE_FACTOR * SettingRowOf(SETTING_FIREBALL_COUNT).range.nMax;
    static constexpr int MAX_FIREWORKS =
        PAGE_RANGE_FACTOR * SettingRowOf(SETTING_FIREWORK_COUNT).range.nMax;
    static constexpr int MAX_BURST_SIZE =
        PAGE_RANGE_FACTOR * SettingRowOf(SETTING_FIREBALL_IN_FIREWORK_MAX).range.nMax;

    explicit CVulkara(IEnginePlatform& platform = DefaultEnginePlatform());
    virtual ~CVulkara();

    CVulkara(const CVulkara&) = delete;
    CVulkara& operator=(const CVulkara&) = delete;

    // Reads the settings, allocates everything, captures the desktop and starts the sound.
    // On failure nothing stays allocated and the result is false.
    bool Init(const ISettingsReader& settings);
    // The palette resource, prepared for the desktop overlay when the overlay is on.
    bool LoadPalette(PaletteEntry aPalette[PALETTE_SIZE]);
    // Advances the animation by one frame; false when a firework cannot get memory.
    bool Step();
    // Writes the W x H frame, top row first, into pDest.
    bool Render(uint8_t* pDest);
    // The frame Render would write, where it already lies: the flame field, when no overlay
    // is composed over it. Null with the overlay, or before Init. Valid until the next Step.
    const uint8_t* GetFrameInPlace() const;

    // nWhich 0: the flame buffer, 1: the desktop grey levels; pSize receives width, height.
    // Either output may be null. Other values of nWhich write nothing.
    virtual bool GetBuffer(int nWhich, uint8_t** ppBuffer, int* pSize);

    int GetWidth() const { return m_nWidth; }
    int GetHeight() const { return m_nHeight; }
    const std::vector<CSparkle>& GetSparkles() const { return m_sparkles; }
    const std::vector<CFireBall>& GetFireBalls() const { return m_fireBalls; }
    const std::vector<CFireWork>& GetFireWorks() const { return m_fireWorks; }
    // What the particles draw into, without a virtual call for each of them.
    CFlameField& GetFlameField() { return m_flame; }
    const CFlameField& GetFlameField() const { return m_flame; }

private:
    bool Allocate();
    bool CaptureDesktop();
    bool LaunchFireWork(CFireWork& fireWork);
    void Free();

    IEnginePlatform& m_platform;

    int m_nWidth = 0;
    int m_nHeight = 0;
    int m_nSparklesCount = 0;
    int m_nFireBallCount = 0;
    int m_nFireWorkCount = 0;
    int m_nFireBallInFireWorkMax = 0;
    int m_nFireBallInFireWorkMin = 0;
    int m_nFadeScreen = 0; // desktop overlay divisor; 0 = no overlay
    bool m_bBackgroundSound = false;

    CFlameField m_flame;
    // W x (H+1) grey levels 0..7, then zero padding; rows start on cache lines like the flame's.
    std::vector<uint8_t, AlignedAllocator<uint8_t, CACHE_LINE>> m_desktop;
    std::vector<CSparkle> m_sparkles;
    std::vector<CFireBall> m_fireBalls;
    std::vector<CFireWork> m_fireWorks;
    std::unique_ptr<CBackgroundSound> m_pSound;
};
