// Entry of the Windows test program. It runs under Wine with a private prefix on a private X
// server; its application object stands where the saver's would, so that the profile
// functions and message boxes behave as in the program (settings below
// HKCU\Software\Tarvikon\Vulkara\vulkara-wintests).
#include "Afx.h"
#include "resource.h"

#include <gtest/gtest.h>

namespace
{
class CTestApp : public CWinApp
{
};

CTestApp theTestApp;
} // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    AfxWinInit(::GetModuleHandleA(nullptr), "", SW_SHOWNORMAL);
    theTestApp.SetRegistryKey(IDS_REGISTRY_KEY);
    const int nResult = RUN_ALL_TESTS();
    AfxDeleteTempWindows();
    return nResult;
}
