#pragma once

#include "Afx.h"

// The application object: seeds the random generator, fixes the settings location and starts
// the run mode that the command line asks for.
class CVulkaraApp : public CWinApp
{
public:
    BOOL InitInstance() override;

private:
    BOOL RunSettings();
    BOOL RunSaver();
    BOOL RunPreview(long nParent);
    BOOL RunChangePassword(long nOwner);
};
