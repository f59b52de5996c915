#include "CVulkaraApp.h"

#include "CommandLine.h"
#include "Random.h"
#include "resource.h"

#include <cstdlib>
#include <ctime>

namespace
{
const char kUnknownModeMessage[] = "Unknown error in InitInstance().";

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

int CVulkaraApp::ExitInstance()
{
    return CWinApp::ExitInstance();
}

BOOL CVulkaraApp::RunSettings()
{
    AfxMessageBox("The settings dialog is not part of this build.", MB_OK);
    return FALSE;
}

BOOL CVulkaraApp::RunSaver()
{
    AfxMessageBox("The full-screen saver is not part of this build.", MB_OK);
    return FALSE;
}

BOOL CVulkaraApp::RunPreview(long nParent)
{
    // Without a parent window there is nothing to draw into: end quietly.
    if (nParent == 0 || !::IsWindow(reinterpret_cast<HWND>(static_cast<INT_PTR>(nParent))))
        return FALSE;
    AfxMessageBox("The preview is not part of this build.", MB_OK);
    return FALSE;
}

BOOL CVulkaraApp::RunChangePassword(long /*nOwner*/)
{
    AfxMessageBox("The change-password dialog is not part of this build.", MB_OK);
    return FALSE;
}
