#pragma once

#include <windows.h>

// The mode of the display the saver changes, as it was before, with that display's device
// name: the mode goes back on the display it was taken from, even when another monitor has
// become the primary one since.
class CSavedDisplayMode
{
public:
    // Notes the primary display and its current mode. FALSE when the mode cannot be read.
    BOOL Save();
    bool IsSaved() const { return m_bSaved; }
    // Sets that display to nWidth x nHeight for this process's run, the colour depth as it is.
    BOOL SetSize(int nWidth, int nHeight) const;
    // True when that display runs at nWidth x nHeight.
    bool IsSize(int nWidth, int nHeight) const;
    // True when that display runs at the saved size, or nothing was saved.
    bool IsCurrent() const;
    // Puts the saved size back on that display; nothing when nothing was saved.
    void Restore() const;

private:
    // The device's name for the display calls; null for the default display when unknown.
    const char* Device() const { return m_szDevice[0] != '\0' ? m_szDevice : nullptr; }

    char m_szDevice[CCHDEVICENAME] = {};
    DEVMODEA m_mode = {};
    bool m_bSaved = false;
};
