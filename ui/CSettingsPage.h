#pragma once

#include "CButton.h"
#include "CPropertyPage.h"
#include "CSliderCtrl.h"
#include "SettingIndex.h"
#include "resource.h"

class CPreviewWnd;
class ISettingsReader;
class ISettingsWriter;

// The sheet's first tab: every setting of the record, with a live preview that is rebuilt
// about one second after the last change.
class CSettingsPage : public CPropertyPage
{
public:
    CSettingsPage(const ISettingsReader* pReader, ISettingsWriter* pWriter);
    ~CSettingsPage() override;

    // Stores the page's values into pWriter, Min and Max explosion sizes in ascending order. False
    // when the writer refuses a value.
    bool StoreSettings(ISettingsWriter* pWriter);

    BEGIN_MSG_MAP(CSettingsPage)
    MESSAGE_HANDLER(WM_HSCROLL, OnHScroll)
    COMMAND_HANDLER(IDC_FADE_PERCENT, EN_CHANGE, OnFadeChange)
    COMMAND_HANDLER(IDC_FIREWORK_COUNT, EN_CHANGE, OnValueChange)
    COMMAND_HANDLER(IDC_FIREBALL_MIN, EN_CHANGE, OnValueChange)
    COMMAND_HANDLER(IDC_FIREBALL_MAX, EN_CHANGE, OnValueChange)
    COMMAND_HANDLER(IDC_FIREBALL_COUNT, EN_CHANGE, OnValueChange)
    COMMAND_HANDLER(IDC_SOUND, BN_CLICKED, OnValueChange)
    COMMAND_HANDLER(IDC_FIRE_SIZE, CBN_SELCHANGE, OnValueChange)
    COMMAND_HANDLER(IDC_SHOW_DESKTOP, BN_CLICKED, OnShowDesktop)
    COMMAND_HANDLER(IDC_PREVIEW, BN_CLICKED, OnPreview)
    COMMAND_HANDLER(IDC_RESTORE_DEFAULTS, BN_CLICKED, OnRestoreDefaults)
    MESSAGE_HANDLER(WM_TIMER, OnTimer)
    MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
    CHAIN_MSG_MAP(CPropertyPage)
    END_MSG_MAP()

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

private:
    LRESULT OnHScroll(UINT, WPARAM, LPARAM lParam, BOOL&);
    LRESULT OnFadeChange(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnValueChange(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnShowDesktop(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnPreview(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnRestoreDefaults(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnTimer(UINT, WPARAM wParam, LPARAM, BOOL&);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&);

    // The page's value of a setting its controls show.
    int& Value(SettingIndex nIndex) { return m_aValues[nIndex]; }

    void ShowSparklesCount();
    // Ticks "Show Desktop Screen" when the fade is non-zero.
    void ShowDesktopState();
    void DestroyPreview();
    void RebuildPreview();

    ISettingsWriter* m_pWriter;
    const ISettingsReader* m_pReader;
    CPreviewWnd* m_pPreview = nullptr;
    UINT_PTR m_nTimerId = 0;
    int m_nIdleTicks = 0;

    CButton m_checkSound;
    CButton m_checkPreview;
    CSliderCtrl m_sliderSparkles;
    CButton m_checkShowDesktop;

    // The settings the controls show, as the page holds them between exchanges: the fade as a
    // percentage, XRes as the row of the resolution list, the others as stored.
    int m_aValues[SETTING_COUNT] = {};
};
