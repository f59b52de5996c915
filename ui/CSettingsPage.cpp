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

// The rows of the lists the page fills itself, one for each value in the order of the values.
constexpr const char* FIRE_SIZE_ROWS[] = {"Screen pixels", "Classic"};
constexpr const char* MULTI_MONITOR_ROWS[] = {
    "A fire on every monitor", "Fire on the main monitor only", "One fire across all monitors"};
static_assert(std::size(FIRE_SIZE_ROWS) == FIRE_SIZE_CHOICES, "a row for each fire size");
static_assert(std::size(MULTI_MONITOR_ROWS) == MULTI_MONITOR_CHOICES, "a row for each choice");

// How a control shows its setting.
enum class ControlKind
{
    Resolution, // the resolution list: a row stands for XRes and YRes, "Current" for the screen
    Choice,     // a list with a row for each value
    Number,     // an edit, checked against the setting's range
    Percent,    // the fade's edit: the divisor n shown as the percentage 100 / n, checked likewise
    Slider,
    Check,
};

struct Binding
{
    SettingIndex nSetting;
    int nIDC;
    ControlKind kind;
};

// In the order of the exchange, which stops at the first field that fails its check and leaves
// the values after it as they were.
constexpr Binding BINDINGS[] = {
    {SETTING_XRES, IDC_RESOLUTION, ControlKind::Resolution},
    {SETTING_FIRE_SIZE, IDC_FIRE_SIZE, ControlKind::Choice},
    {SETTING_MULTI_MONITOR, IDC_MULTI_MONITOR, ControlKind::Choice},
    {SETTING_FIREWORK_COUNT, IDC_FIREWORK_COUNT, ControlKind::Number},
    {SETTING_FIREBALL_IN_FIREWORK_MIN, IDC_FIREBALL_MIN, ControlKind::Number},
    {SETTING_FIREBALL_IN_FIREWORK_MAX, IDC_FIREBALL_MAX, ControlKind::Number},
    {SETTING_FIREBALL_COUNT, IDC_FIREBALL_COUNT, ControlKind::Number},
    {SETTING_FADE_SCREEN, IDC_FADE_PERCENT, ControlKind::Percent},
    {SETTING_SPARKLES_COUNT, IDC_SPARKLES, ControlKind::Slider},
    {SETTING_BACKGROUND_SOUND, IDC_SOUND, ControlKind::Check},
    {SETTING_USE_DIRECTX, IDC_USE_DIRECTX, ControlKind::Check},
};

// The page's value for a stored one; a width with no row of its own shows "Current".
int ShownValue(ControlKind kind, int nStored)
{
    if (kind == ControlKind::Percent)
        return ConvertFade(nStored);
    if (kind != ControlKind::Resolution)
        return nStored;
    for (int i = 0; i < static_cast<int>(std::size(RESOLUTIONS)); ++i)
    {
        if (RESOLUTIONS[i].nWidth == nStored)
            return i + 1;
    }
    return RESOLUTION_CURRENT;
}

// Stores a page's value through the writer; false when the writer refuses it.
bool StoreValue(ISettingsWriter* pWriter, const Binding& binding, int nValue)
{
    if (binding.kind == ControlKind::Percent)
        return pWriter->SetInt(binding.nSetting, ConvertFade(nValue));
    if (binding.kind != ControlKind::Resolution)
        return pWriter->SetInt(binding.nSetting, nValue);

    // "Current" (or no selection) is stored as 0 x 0, which the record reads as the screen.
    Resolution resolution = {0, 0};
    if (nValue >= 1 && nValue <= static_cast<int>(std::size(RESOLUTIONS)))
        resolution = RESOLUTIONS[nValue - 1];
    else if (!pWriter->SetInt(SETTING_USE_CURRENT_RES, 1))
        return false;
    return pWriter->SetInt(SETTING_XRES, resolution.nWidth) &&
           pWriter->SetInt(SETTING_YRES, resolution.nHeight);
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

// Exchanges a control with the page's value, an edit's range check right after it.
void DDX_Binding(CDataExchange* pDX, const Binding& binding, int& nValue)
{
    switch (binding.kind)
    {
    case ControlKind::Resolution:
        DDX_CBIndex(pDX, binding.nIDC, nValue);
        break;
    case ControlKind::Choice:
        DDX_Choice(pDX, binding.nIDC, nValue, binding.nSetting);
        break;
    case ControlKind::Number:
    case ControlKind::Percent:
    {
        // The fade's range is the percentage's.
        const SettingRange range = SettingRowOf(binding.nSetting).range;
        DDX_Text(pDX, binding.nIDC, nValue);
        DDV_MinMaxInt(pDX, nValue, range.nMin, range.nMax);
        break;
    }
    case ControlKind::Slider:
        DDX_Slider(pDX, binding.nIDC, nValue);
        break;
    case ControlKind::Check:
        DDX_Check(pDX, binding.nIDC, nValue);
        break;
    }
}

template <std::size_t N> void AddRows(HWND hPage, int nIDC, const char* const (&rows)[N])
{
    for (const char* pszRow : rows)
        ::SendDlgItemMessageA(hPage, nIDC, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(pszRow));
}
} // namespace

CSettingsPage::CSettingsPage(const ISettingsReader* pReader, ISettingsWriter* pWriter)
    : CPropertyPage(IDD_SETTINGS, IDS_SETTINGS_TAB), m_pWriter(pWriter), m_pReader(pReader)
{
    for (const Binding& binding : BINDINGS)
    {
        int nStored = 0;
        m_pReader->GetInt(binding.nSetting, nStored);
        Value(binding.nSetting) = ShownValue(binding.kind, nStored);
    }
    // A resolution the record took from the screen is the current one, whatever its width.
    int bUseCurrentRes = 0;
    m_pReader->GetInt(SETTING_USE_CURRENT_RES, bUseCurrentRes);
    if (bUseCurrentRes != 0)
        Value(SETTING_XRES) = RESOLUTION_CURRENT;
}

CSettingsPage::~CSettingsPage() = default;

bool CSettingsPage::StoreSettings(ISettingsWriter* pWriter)
{
    OrderExplosionSizes(Value(SETTING_FIREBALL_IN_FIREWORK_MIN),
                        Value(SETTING_FIREBALL_IN_FIREWORK_MAX));
    for (const Binding& binding : BINDINGS)
    {
        if (!StoreValue(pWriter, binding, Value(binding.nSetting)))
            return false;
    }
    return true;
}

void CSettingsPage::DoDataExchange(CDataExchange* pDX)
{
    DDX_Control(pDX, IDC_SOUND, m_checkSound);
    DDX_Control(pDX, IDC_PREVIEW, m_checkPreview);
    DDX_Control(pDX, IDC_SPARKLES, m_sliderSparkles);
    DDX_Control(pDX, IDC_SHOW_DESKTOP, m_checkShowDesktop);
    for (const Binding& binding : BINDINGS)
        DDX_Binding(pDX, binding, Value(binding.nSetting));
}

BOOL CSettingsPage::OnInitDialog()
{
    AddRows(m_hWnd, IDC_FIRE_SIZE, FIRE_SIZE_ROWS);
    AddRows(m_hWnd, IDC_MULTI_MONITOR, MULTI_MONITOR_ROWS);
    CPropertyPage::OnInitDialog();
    // The exchange above placed the slider under its default range; place it again.
    const SettingRange sparkles = SettingRowOf(SETTING_SPARKLES_COUNT).range;
    m_sliderSparkles.SetRangeMin(sparkles.nMin, FALSE);
    m_sliderSparkles.SetRangeMax(sparkles.nMax, FALSE);
    m_sliderSparkles.SetPos(Value(SETTING_SPARKLES_COUNT));
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
    std::snprintf(szText, sizeof(szText), "Count:%i", Value(SETTING_SPARKLES_COUNT));
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
    int& nFadePercent = Value(SETTING_FADE_SCREEN);
    nFadePercent = nFadePercent != 0 ? 0 : SHOW_DESKTOP_FADE_PERCENT;
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
    for (const Binding& binding : BINDINGS)
        Value(binding.nSetting) = ShownValue(binding.kind, DefaultOf(binding.nSetting));
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
    m_checkShowDesktop.SetCheck(Value(SETTING_FADE_SCREEN) != 0 ? BST_CHECKED : BST_UNCHECKED);
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
