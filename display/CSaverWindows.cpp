#include "CSaverWindows.h"

#include "CMonitorWnd.h"
#include "IFrameOutput.h"
#include "MonitorSource.h"

#include <exception>

CSaverWindows::CSaverWindows(CCloseRule& rule) : m_rule(rule) {}

CSaverWindows::~CSaverWindows()
{
    Stop();
}

bool CSaverWindows::Plan()
{
    m_settings.Load();
    m_request = CurrentSaverRequest(m_settings);
    m_plan = PlanSaverWindows(CurrentMonitors(), m_request);
    return !m_plan.empty();
}

CWindowFire::Result CSaverWindows::Start(HWND hPrimary)
{
    const PlannedWindow& primary = m_plan.front();
    const CWindowFire::Result result = CWindowFire::Build(primary, hPrimary, m_settings, m_pFire);
    if (result != CWindowFire::BUILT)
        return result;
    // The primary's own mode change may have moved the other monitors.
    if (primary.bSetMode)
        m_plan = PlanSaverWindows(CurrentMonitors(), m_request);
    CreateMonitorWindows(m_plan);
    if (!m_loop.Start(m_pFire->GetEngine(), m_pFire->GetOutput()))
    {
        Stop();
        return CWindowFire::NO_OUTPUT;
    }
    m_hPrimary = hPrimary;
    return CWindowFire::BUILT;
}

void CSaverWindows::CreateMonitorWindows(const std::vector<PlannedWindow>& plan)
{
    for (const PlannedWindow& planned : plan)
    {
        if (planned.bPrimary)
            continue;
        auto pMonitor = std::make_unique<CMonitorWnd>(m_rule);
        if (!pMonitor->Create(planned, m_settings))
            continue;
        // Kept before it is drawn: the loop must never hold an engine nobody owns.
        m_monitors.push_back(std::move(pMonitor));
        const CMonitorWnd& monitor = *m_monitors.back();
        if (monitor.GetEngine() != nullptr)
            m_loop.AddTarget(*monitor.GetEngine(), *monitor.GetOutput());
    }
}

bool CSaverWindows::FollowLayout()
{
    if (m_hPrimary == nullptr)
        return false;
    const std::vector<PlannedWindow> plan = PlanSaverWindows(CurrentMonitors(), m_request);
    if (plan.empty())
        return true;
    const ScreenRect& area = plan.front().rect;
    ::SetWindowPos(m_hPrimary, HWND_TOPMOST, area.nLeft, area.nTop, area.nWidth, area.nHeight,
                   SWP_NOACTIVATE);
    // A fire at the window's size follows it; one that changed the display's mode keeps it.
    const bool bPrimary = NeedsNewFire(m_pFire->GetPlan(), plan.front());
    // Unchanged monitors keep their windows and engines.
    bool bOthers = plan.size() != m_monitors.size() + 1;
    for (size_t i = 1; !bOthers && i < plan.size(); ++i)
        bOthers = plan[i] != m_monitors[i - 1]->GetPlan();
    if (!bPrimary && !bOthers)
        return true;
    // The loop's hold and park outlast the restart: the password dialog's hold stands
    // whatever happens here, and a restart that fails leaves it for the dialog to lift.
    m_loop.Stop();
    try
    {
        Rebuild(plan, bPrimary, bOthers);
    }
    catch (const std::exception&)
    {
        // Out of memory part way: the fire goes on with what there is.
    }
    m_loop.Start(m_pFire->GetEngine(), m_pFire->GetOutput());
    return true;
}

void CSaverWindows::Rebuild(const std::vector<PlannedWindow>& plan, bool bPrimary, bool bOthers)
{
    if (bPrimary)
    {
        // When the fire at the new size cannot be built, the old one draws on at its size.
        std::unique_ptr<CWindowFire> pFire;
        if (CWindowFire::Build(plan.front(), m_hPrimary, m_settings, pFire, m_pFire.get()) ==
            CWindowFire::BUILT)
            m_pFire = std::move(pFire);
    }
    if (bOthers)
    {
        // The old windows go before the new ones come, so that no monitor has two.
        m_loop.ClearExtraTargets();
        m_monitors.clear();
        CreateMonitorWindows(plan);
    }
}

void CSaverWindows::Hold()
{
    m_loop.Hold();
    if (m_pFire != nullptr)
        m_pFire->GetOutput().UseSystemColours(true);
}

void CSaverWindows::Release()
{
    // Lifted even when no thread runs, so that a later start is not held.
    if (m_pFire != nullptr)
        m_pFire->GetOutput().UseSystemColours(false);
    m_loop.Release();
}

void CSaverWindows::Stop()
{
    m_hPrimary = nullptr;
    m_loop.Stop();
    // The other monitors' windows go before the display's mode comes back.
    m_loop.ClearExtraTargets();
    m_monitors.clear();
    if (m_pFire != nullptr)
        m_pFire->GetOutput().RestoreDisplay();
}

LPDIRECTDRAWSURFACE CSaverWindows::GetPrimarySurface() const
{
    return m_pFire != nullptr ? m_pFire->GetPrimarySurface() : nullptr;
}
