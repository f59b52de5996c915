#include "CVulkaraApp.h"

#include "CChangePasswordDlg.h"
#include "CConfigDialog.h"
#include "CPreviewWnd.h"
#include "CSaverSettings.h"
#include "CommandLine.h"
#include "CVulkaraWnd.h"
#include "Random.h"
#include "resource.h"

#include <cstdlib>
#include <ctime>
#include <new>

namespace
{
const char kUnknownModeMessage[] = "Unknown error in InitInstance().";
const char kSaverAllocationMessage[] = "Error memory allocating for CVulkaraWnd.";
const char kSaverCreationMessage[] =
    "Can't create main screen saver window.\nPlease Try to turn off \"Use DirectX mode\" "
    "option in screensaver settings dialog.";
const char kPreviewAllocationMessage[] = "Error allocating memory for preview window.";

// The command line as the C run-time split it; the handle argument is its element 2.
long HandleArgument()
{
    long nHandle = 0;
    if (!GetHandleArgument(__argc, __argv, nHandle))
        return 0;
    return nHandle;
}
} // namespace

CVulkaraApp theApp;

BOOL CVulkaraApp::InitInstance()
{
    // The engine draws its start values from this thread's generator.
    SeedRandom(static_cast<unsigned int>(std::time(nullptr)));
    SetRegistryKey(IDS_REGISTRY_KEY);

    switch (ChooseRunMode(m_lpCmdLine))
    {
    case RUN_MODE_SETTINGS:
        return RunSettings();
    case RUN_MODE_SAVER:
        return RunSaver();
    case RUN_MODE_PREVIEW:
        return RunPreview(HandleArgument());
    case RUN_MODE_CHANGE_PASSWORD:
        return RunChangePassword(HandleArgument());
    case RUN_MODE_UNKNOWN:
        break;
    }
    AfxMessageBox(kUnknownModeMessage, MB_OK);
    return FALSE;
}

BOOL CVulkaraApp::RunSettings()
{
    CConfigDialog dlg(nullptr, 0);
    dlg.DoModal();
    return FALSE;
}

BOOL CVulkaraApp::RunSaver()
{
    CVulkaraWnd* pWnd = nullptr;
    try
    {
        pWnd = new CVulkaraWnd;
    }
    catch (const std::bad_alloc&)
    {
        AfxMessageBox(kSaverAllocationMessage, MB_OK);
        return FALSE;
    }
    // The window plans the saver's windows over the monitors and covers them. A failed
    // creation has already destroyed and deleted the window object.
    if (!pWnd->Create())
    {
        AfxMessageBox(kSaverCreationMessage, MB_OK);
        return FALSE;
    }
    m_pMainWnd = pWnd;
    return TRUE;
}

BOOL CVulkaraApp::RunPreview(long nParent)
{
    // Without a parent window there is nothing to draw into: end quietly.
    HWND hParent = reinterpret_cast<HWND>(static_cast<INT_PTR>(nParent));
    if (nParent == 0 || !::IsWindow(hParent))
        return FALSE;
    CWnd* pParent = CWnd::FromHandle(hParent);

    CSaverSettings settings;
    settings.Load();
    CPreviewWnd* pWnd = nullptr;
    try
    {
        pWnd = new CPreviewWnd(&settings);
    }
    catch (const std::bad_alloc&)
    {
        AfxMessageBox(kPreviewAllocationMessage, MB_OK);
        return FALSE;
    }
    RECT rect;
    ::GetClientRect(hParent, &rect);
    // A preview that cannot be created has deleted itself; the process simply ends.
    if (!pWnd->Create(rect, pParent))
        return FALSE;
    m_pMainWnd = pWnd;
    return TRUE;
}

BOOL CVulkaraApp::RunChangePassword(long nOwner)
{
    // A number that names no window would make the dialog fail to open at all; without an
    // owner it opens centred on the screen, as with no handle.
    HWND hOwner = reinterpret_cast<HWND>(static_cast<INT_PTR>(nOwner));
    CChangePasswordDlg dlg(nOwner != 0 && ::IsWindow(hOwner) ? CWnd::FromHandle(hOwner) : nullptr);
    dlg.DoModal();
    return FALSE;
}
