#include "Afx.h"

// The program's entry point: the application object does the rest.
int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE /*hPrevInstance*/, LPSTR /*lpCmdLine*/,
                   int nCmdShow)
{
    int nResult = -1;
    try
    {
        CWinApp* pApp = AfxGetApp();
        if (pApp != nullptr &&
            AfxWinInit(hInstance, AfxSkipProgramName(::GetCommandLineA()), nCmdShow))
        {
            if (pApp->InitInstance())
                nResult = pApp->Run();
            else
                nResult = pApp->ExitInstance();
        }
    }
    catch (...)
    {
        nResult = -1;
    }
    AfxDeleteTempWindows();
    return nResult;
}
