#pragma once

#include "Afx.h"

#include "CSaverWnd.h"
#include "CWindowFire.h"
#include "SaverPlan.h"

#include <memory>

class CCloseRule;
class CVulkara;
class IFrameOutput;
class ISettingsReader;

// The saver's window over a monitor other than the primary one: topmost, without the pointer,
// never activated, black or with a fire engine of the monitor's size drawn through GDI (the
// monitor's mode never changes). Its input goes to the close rule it shares with the primary
// window, which owns both this window and the rule; the primary's render loop draws it.
class CMonitorWnd : public CSaverWnd
{
public:
    explicit CMonitorWnd(CCloseRule& rule);
    ~CMonitorWnd() override;

    // Covers the planned rectangle; a planned fire window gets its fire, and when that fails
    // the window stays black, since a monitor left showing the desktop is worse than one
    // without fire. FALSE when no window could be made.
    BOOL Create(const PlannedWindow& planned, const ISettingsReader& settings);

    // Null on a black window.
    CVulkara* GetEngine() const;
    IFrameOutput* GetOutput() const;
    // The plan the window was made from, whether or not its fire could be built.
    const PlannedWindow& GetPlan() const { return m_planned; }

    BEGIN_MSG_MAP(CMonitorWnd)
    MESSAGE_HANDLER(WM_MOUSEACTIVATE, OnMouseActivate)
    CHAIN_MSG_MAP(CSaverWnd)
    END_MSG_MAP()

private:
    LRESULT OnMouseActivate(UINT, WPARAM, LPARAM, BOOL&);

    PlannedWindow m_planned = {};
    std::unique_ptr<CWindowFire> m_pFire;
};
