#include "CSettingsPage.h"

#include "CDataExchange.h"
#include "CPreviewWnd.h"
#include "CSaverSettings.h"
#include "DataExchangeControls.h"
#include "SettingsTable.h"

#include <cstdio>
#include <iterator>
#include <new>

namespace
{
constexpr UINT_PTR IDLE_TIMER_ID = 1;
constexpr UINT IDLE_TIMER_PERIOD_MS = 100;
// Timer ticks after the last change at which the preview is rebuilt: about a second.
constexpr int PREVIEW_REBUILD_TICKS = 10;

constexpr int SPARKLES_TICK_FREQUENCY = 100;
// The fade that ticking "Show Desktop Screen" turns on.
constexpr int SHOW_DESKTOP_FADE_PERCENT = 50;

// Rows of the resolution list after "Current" (row 0).
struct Resolution
{
    int nWidth;
    int nHeight;
};
constexpr Resolution RESOLUTIONS[] = {{640, 480}, {800, 600}, {1024, 768}};
constexpr int RESOLUTION_CURRENT = 0;

// The range check of a field, with the bounds the settings table gives the page.
void DDV_Setting(CDataExchange* pDX, int nValue, SettingIndex nIndex)
{
    const SettingRange range = SettingRowOf(nIndex).range;
    DDV_MinMaxInt(pDX, nValue, range.nMin, range.nMax);
}

// A setting whose values are the rows of a list. A stored value that is no row shows the
// default's row without a word, and the page then holds what it shows.
void DDX_Choice(CDataExchange* pDX, int nIDC, int& nValue, SettingIndex nIndex)
{
    const SettingRow& row = SettingRowOf(nIndex);
    const auto IsChoice = [&row](int n) { return n >= row.range.nMin && n <= row.range.nMax; };
    int nRow = IsChoice(nValue) ? nValue : row.nDefault;
    DDX_CBIndex(pDX, nIDC, nRow);
    if (pDX->m_bSaveAndValidate)
        nValue = IsChoice(nRow) ? nRow : row.nDefault;
}
} // namespace

CSettingsPage::CSettingsPage(const ISettingsReader* pReader, ISettingsWriter* pWriter)
    : CPropertyPage(IDD_SETTINGS, IDS_SETTINGS_TAB), m_pWriter(pWriter), m_pReader(pReader)
{
    pReader->GetInt(SETTING_SPARKLES_COUNT, m_nSparklesCount);
    pReader->GetInt(SETTING_FIREBALL_COUNT, m_nFireBallCount);
    pReader->GetInt(SETTING_FIREWORK_COUNT, m_nFireWorkCount);
    pReader->GetInt(SETTING_FIREBALL_IN_FIREWORK_MAX, m_nFireBallMax);
    pReader->GetInt(SETTING_FIREBALL_IN_FIREWORK_MIN, m_nFireBallMin);
    pReader->GetInt(SETTING_FADE_SCREEN, m_nFadePercent);
    pReader->GetInt(SETTING_BACKGROUND_SOUND, m_bBackgroundSound);
    pReader->GetInt(SETTING_USE_DIRECTX, m_bUseDirectX);
    pReader->GetInt(SETTING_MULTI_MONITOR, m_nMultiMonitor);
    pReader->GetInt(SETTING_FIRE_SIZE, m_nFireSize);
    m_nFadePercent = ConvertFade(m_nFadePercent);

    int nXRes = 0;
    int bUseCurrentRes = 0;
    pReader->GetInt(SETTING_XRES, nXRes);
    pReader->GetInt(SETTING_USE_CURRENT_RES, bUseCurrentRes);
    m_nResolution = RESOLUTION_CURRENT;
    for (int i = 0; bUseCurrentRes == 0 && i < static_cast<int>(std::size(RESOLUTIONS)); ++i)
    {
        if (RESOLUTIONS[i].nWidth == nXRes)
            m_nResolution = i + 1;
    }
}

CSettingsPage::~CSettingsPage() = default;

bool CSettingsPage::StoreSettings(ISettingsWriter* pWriter)
{
    OrderExplosionSizes(m_nFireBallMin, m_nFireBallMax);
    if (!pWriter->SetInt(SETTING_SPARKLES_COUNT, m_nSparklesCount) ||
        !pWriter->SetInt(SETTING_FIREBALL_COUNT, m_nFireBallCount) ||
        !pWriter->SetInt(SETTING_FIREWORK_COUNT, m_nFireWorkCount) ||
        !pWriter->SetInt(SETTING_FIREBALL_IN_FIREWORK_MAX, m_nFireBallMax) ||
        !pWriter->SetInt(SETTING_FIREBALL_IN_FIREWORK_MIN, m_nFireBallMin) ||
        !pWriter->SetInt(SETTING_BACKGROUND_SOUND, m_bBackgroundSound) ||
        !pWriter->SetInt(SETTING_USE_DIRECTX, m_bUseDirectX) ||
        !pWriter->SetInt(SETTING_FADE_SCREEN, ConvertFade(m_nFadePercent)))
        return false;

    // "Current" (or no selection) is stored as 0 x 0, which the record reads as the screen.
    Resolution resolution = {0, 0};
    if (m_nResolution >= 1 && m_nResolution <= static_cast<int>(std::size(RESOLUTIONS)))
        resolution = RESOLUTIONS[m_nResolution - 1];
    else if (!pWriter->SetInt(SETTING_USE_CURRENT_RES, 1))
        return false;
    return pWriter->SetInt(SETTING_XRES, resolution.nWidth) &&
           pWriter->SetInt(SETTING_YRES, resolution.nHeight) &&
           pWriter->SetInt(SETTING_MULTI_MONITOR, m_nMultiMonitor) &&
           pWriter->SetInt(SETTING_FIRE_SIZE, m_nFireSize);
}

void CSettingsPage::DoDataExchange(CDataExchange* pDX)
{
    DDX_Control(pDX, IDC_SOUND, m_checkSound);
    DDX_Control(pDX, IDC_PREVIEW, m_checkPreview);
    DDX_Control(pDX, IDC_SPARKLES, m_sliderSparkles);
    DDX_Control(pDX, IDC_SHOW_DESKTOP, m_checkShowDesktop);
    DDX_CBIndex(pDX, IDC_RESOLUTION, m_nResolution);
    DDX_Choice(pDX, IDC_FIRE_SIZE, m_nFireSize, SETTING_FIRE_SIZE);
    DDX_Choice(pDX, IDC_MULTI_MONITOR, m_nMultiMonitor, SETTING_MULTI_MONITOR);
    DDX_Text(pDX, IDC_FIREWORK_COUNT, m_nFireWorkCount);
    DDV_Setting(pDX, m_nFireWorkCount, SETTING_FIREWORK_COUNT);
    DDX_Text(pDX, IDC_FIREBALL_MIN, m_nFireBallMin);
    DDV_Setting(pDX, m_nFireBallMin, SETTING_FIREBALL_IN_FIREWORK_MIN);
    DDX_Text(pDX, IDC_FIREBALL_MAX, m_nFireBallMax);
    DDV_Setting(pDX, m_nFireBallMax, SETTING_FIREBALL_IN_FIREWORK_MAX);
    DDX_Text(pDX, IDC_FIREBALL_COUNT, m_nFireBallCount);
    DDV_Setting(pDX, m_nFireBallCount, SETTING_FIREBALL_COUNT);
    DDX_Text(pDX, IDC_FADE_PERCENT, m_nFadePercent);
    DDV_Setting(pDX, m_nFadePercent, SETTING_FADE_SCREEN);
    DDX_Slider(pDX, IDC_SPARKLES, m_nSparklesCount);
    DDX_Check(pDX, IDC_SOUND, m_bBackgroundSound);
    DDX_Check(pDX, IDC_USE_DIRECTX, m_bUseDirectX);
}

BOOL CSettingsPage::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    // The exchange above placed the slider under its default range; place it again.
    const SettingRange sparkles = SettingRowOf(SETTING_SPARKLES_COUNT).range;
    m_sliderSparkles.SetRangeMin(sparkles.nMin, FALSE);
    m_sliderSparkles.SetRangeMax(sparkles.nMax, FALSE);
    m_sliderSparkles.SetPos(m_nSparklesCount);
    m_sliderSparkles.SetTicFreq(SPARKLES_TICK_FREQUENCY);
    ShowSparklesCount();
    ShowDesktopState();
    m_nTimerId = SetTimer(IDLE_TIMER_ID, IDLE_TIMER_PERIOD_MS);
    return TRUE;
}

void CSettingsPage::OnOK()
{
    UpdateData(TRUE);
    StoreSettings(m_pWriter);
    CPropertyPage::OnOK();
}

void CSettingsPage::OnCancel()
{
    // The sheet reloads its record.
}

void CSettingsPage::ShowSparklesCount()
{
    char szText[32];
    std::snprintf(szText, sizeof(szText), "Count:%i", m_nSparklesCount);
    SetDlgItemText(IDC_SPARKLES_LABEL, szText);
}

LRESULT CSettingsPage::OnHScroll(UINT, WPARAM, LPARAM lParam, BOOL& bHandled)
{
    if (reinterpret_cast<HWND>(lParam) != m_sliderSparkles.GetSafeHwnd())
    {
        bHandled = FALSE;
        return 0;
    }
    // The trackbar has moved itself already.
    UpdateData(TRUE);
    ShowSparklesCount();
    const LRESULT lResult = Default();
    m_nIdleTicks = 0;
    return lResult;
}

LRESULT CSettingsPage::OnFadeChange(UINT, WPARAM, LPARAM, BOOL&)
{
    UpdateData(TRUE);
    ShowDesktopState();
    m_nIdleTicks = 0;
    return 0;
}

LRESULT CSettingsPage::OnValueChange(UINT, WPARAM, LPARAM, BOOL&)
{
    m_nIdleTicks = 0;
    return 0;
}

LRESULT CSettingsPage::OnShowDesktop(UINT, WPARAM, LPARAM, BOOL&)
{
    m_nFadePercent = m_nFadePercent != 0 ? 0 : SHOW_DESKTOP_FADE_PERCENT;
    UpdateData(FALSE);
    m_nIdleTicks = 0;
    return 0;
}

LRESULT CSettingsPage::OnPreview(UINT, WPARAM, LPARAM, BOOL&)
{
    RebuildPreview();
    return 0;
}

LRESULT CSettingsPage::OnRestoreDefaults(UINT, WPARAM, LPARAM, BOOL&)
{
    m_nResolution = RESOLUTION_CURRENT;
    m_nFireWorkCount = DefaultOf(SETTING_FIREWORK_COUNT);
    m_nFireBallCount = DefaultOf(SETTING_FIREBALL_COUNT);
    m_nFireBallMin = DefaultOf(SETTING_FIREBALL_IN_FIREWORK_MIN);
    m_nFireBallMax = DefaultOf(SETTING_FIREBALL_IN_FIREWORK_MAX);
    m_nFadePercent = ConvertFade(DefaultOf(SETTING_FADE_SCREEN));
    m_nSparklesCount = DefaultOf(SETTING_SPARKLES_COUNT);
    m_bBackgroundSound = DefaultOf(SETTING_BACKGROUND_SOUND);
    m_bUseDirectX = DefaultOf(SETTING_USE_DIRECTX);
    m_nMultiMonitor = DefaultOf(SETTING_MULTI_MONITOR);
    m_nFireSize = DefaultOf(SETTING_FIRE_SIZE);
    UpdateData(FALSE);
    ShowDesktopState();
    ShowSparklesCount();
    UpdateData(TRUE);
    m_nIdleTicks = 0;
    return 0;
}

LRESULT CSettingsPage::OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& bHandled)
{
    if (wParam != m_nTimerId)
    {
        bHandled = FALSE;
        return 0;
    }
    const LRESULT lResult = Default();
    if (++m_nIdleTicks == PREVIEW_REBUILD_TICKS)
    {
        // Nobody asked for this exchange: a complaint here would pop up by itself a second
        // after the sheet opens over any stored value outside the page's ranges, and take the
        // user's Cancel or Escape. OK and the user's own edits still validate.
        ReadControlsQuietly();
        RebuildPreview();
    }
    return lResult;
}

LRESULT CSettingsPage::OnDestroy(UINT, WPARAM, LPARAM, BOOL&)
{
    KillTimer(m_nTimerId);
    DestroyPreview();
    return Default();
}

void CSettingsPage::ShowDesktopState()
{
    m_checkShowDesktop.SetCheck(m_nFadePercent != 0 ? BST_CHECKED : BST_UNCHECKED);
}

void CSettingsPage::DestroyPreview()
{
    if (m_pPreview != nullptr)
    {
        m_pPreview->DestroyWindow(); // the window deletes its object
        m_pPreview = nullptr;
    }
}

void CSettingsPage::RebuildPreview()
{
    DestroyPreview();
    if (m_checkPreview.GetCheck() != BST_CHECKED)
        return;

    // A record filled from the page alone; the preview reads it while it is being created.
    CSaverSettings settings;
    if (!StoreSettings(&settings))
        return;
    CPreviewWnd* pPreview = nullptr;
    try
    {
        pPreview = new CPreviewWnd(&settings);
    }
    catch (const std::bad_alloc&)
    {
        return; // the page goes on without a preview
    }
    CWnd* pFrame = GetDlgItem(IDC_PREVIEW_FRAME);
    RECT rect;
    pFrame->GetClientRect(&rect);
    if (!pPreview->Create(rect, pFrame))
        return;
    pPreview->ShowWindow(SW_SHOW);
    m_pPreview = pPreview;
}
