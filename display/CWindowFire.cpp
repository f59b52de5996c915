#include "CWindowFire.h"

#include "CBitmap24.h"
#include "CDirectDrawOutput.h"
#include "CFrameSettings.h"
#include "CGdiOutput.h"
#include "CVulkara.h"
#include "CWin32EnginePlatform.h"

#include <cstring>

namespace
{
constexpr int DEFAULT_PALETTE_SIZE = 20;

// The system palette. A desktop of more than 8 bits per pixel has none; the dialog drawn
// while the saver holds still needs the system's colours, so take the default palette's
// twenty static colours at both ends of the table and black between them.
void ReadSystemPalette(PALETTEENTRY aSystem[PALETTE_SIZE])
{
    HDC hScreen = ::GetDC(nullptr);
    const UINT nRead =
        hScreen != nullptr ? ::GetSystemPaletteEntries(hScreen, 0, PALETTE_SIZE, aSystem) : 0;
    if (hScreen != nullptr)
        ::ReleaseDC(nullptr, hScreen);
    if (nRead == PALETTE_SIZE)
        return;

    std::memset(aSystem, 0, sizeof(PALETTEENTRY) * PALETTE_SIZE);
    PALETTEENTRY aDefault[DEFAULT_PALETTE_SIZE] = {};
    const UINT nDefault =
        ::GetPaletteEntries(static_cast<HPALETTE>(::GetStockObject(DEFAULT_PALETTE)), 0,
                            DEFAULT_PALETTE_SIZE, aDefault);
    const UINT nHalf = nDefault / 2;
    for (UINT i = 0; i < nHalf; ++i)
    {
        aSystem[i] = aDefault[i];
        aSystem[PALETTE_SIZE - nHalf + i] = aDefault[nDefault - nHalf + i];
    }
    for (int i = 0; i < PALETTE_SIZE; ++i)
        aSystem[i].peFlags = 0;
}
} // namespace

// The window's platform: the planned snapshot, taken once and kept for every later engine.
class CWindowFire::CSnapshot : public CWin32EnginePlatform
{
public:
    explicit CSnapshot(const PlannedWindow& planned)
        : CWin32EnginePlatform(planned.snapshot.nLeft, planned.snapshot.nTop,
                               planned.snapshot.nWidth, planned.snapshot.nHeight),
          m_bArea(planned.bSnapshotArea)
    {
    }

    bool CaptureScreen(int nFrameWidth, int nFrameHeight, CBitmap24& screen) override
    {
        if (!m_bTaken)
        {
            CWin32EnginePlatform& platform =
                m_bArea ? static_cast<CWin32EnginePlatform&>(*this) : m_primaryScreen;
            if (!platform.CWin32EnginePlatform::CaptureScreen(nFrameWidth, nFrameHeight, m_kept))
                return false;
            m_bTaken = true;
        }
        screen = m_kept;
        return true;
    }

private:
    bool m_bArea;
    CWin32EnginePlatform m_primaryScreen;
    bool m_bTaken = false;
    CBitmap24 m_kept;
};

CWindowFire::~CWindowFire() = default;

LPDIRECTDRAWSURFACE CWindowFire::GetPrimarySurface() const
{
    return m_pDirectDraw != nullptr ? m_pDirectDraw->GetPrimarySurface() : nullptr;
}

CWindowFire::Result CWindowFire::Build(const PlannedWindow& planned, HWND hWnd,
                                       const ISettingsReader& settings,
                                       std::unique_ptr<CWindowFire>& pFire,
                                       const CWindowFire* pEarlier)
{
    pFire.reset();
    std::unique_ptr<CWindowFire> pBuilt(new CWindowFire);
    pBuilt->m_planned = planned;
    pBuilt->m_pSnapshot =
        pEarlier != nullptr ? pEarlier->m_pSnapshot : std::make_shared<CSnapshot>(planned);
    pBuilt->m_pEngine = std::make_unique<CVulkara>(*pBuilt->m_pSnapshot);
    const CFrameSettings sized(settings, planned.frame.nWidth, planned.frame.nHeight,
                               planned.bSound);
    if (!pBuilt->m_pEngine->Init(sized))
        return NO_ENGINE;
    PALETTEENTRY aScene[PALETTE_SIZE] = {};
    if (!pBuilt->m_pEngine->LoadPalette(reinterpret_cast<PaletteEntry*>(aScene)))
        return NO_PALETTE;
    if (!pBuilt->BuildOutput(hWnd, aScene))
        return NO_OUTPUT;
    pFire = std::move(pBuilt);
    return BUILT;
}

bool CWindowFire::BuildOutput(HWND hWnd, const PALETTEENTRY* pScene)
{
    const PlannedWindow& p = m_planned;
    if (p.bDirectDraw)
    {
        PALETTEENTRY aSystem[PALETTE_SIZE] = {};
        ReadSystemPalette(aSystem);
        auto pDirectDraw = std::make_unique<CDirectDrawOutput>();
        if (pDirectDraw->Create(hWnd, p.nOutputWidth, p.nOutputHeight, pScene, aSystem))
        {
            m_pDirectDraw = pDirectDraw.get();
            m_pOutput = std::move(pDirectDraw);
            return true;
        }
        m_planned.bDirectDraw = false;
    }
    auto pGdi = std::make_unique<CGdiOutput>();
    const BOOL bCreated =
        p.bStretched ? pGdi->CreateStretched(hWnd, p.frame.nWidth, p.frame.nHeight, p.nOutputWidth,
                                             p.nOutputHeight, pScene)
                     : pGdi->Create(hWnd, p.nOutputWidth, p.nOutputHeight, pScene, p.bSetMode);
    if (!bCreated)
        return false;
    m_pOutput = std::move(pGdi);
    return true;
}
