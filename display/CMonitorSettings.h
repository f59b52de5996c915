#pragma once

#include "CPreviewSettings.h"

// The settings an engine drawn at one monitor's (or one area's) size is initialised from: the
// wrapped reader's values with the frame at that size, as a preview's are. Only one engine of
// the process plays the background sound, so the others have it off.
class CMonitorSettings : public ISettingsReader
{
public:
    CMonitorSettings(const ISettingsReader& reader, int nWidth, int nHeight, bool bSound);

    bool GetInt(int nIndex, int& nValue) const override;
    bool GetString(int nIndex, std::string& strValue) const override;

private:
    CPreviewSettings m_sized;
    bool m_bSound;
};
