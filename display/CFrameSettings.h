#pragma once

#include "ISettingsReader.h"

// The settings an engine is initialised from: the wrapped reader's values, except that the
// frame has the size the window gives it, the current-resolution flag is off, and the
// background sound plays only where bSound lets it (one engine of the process plays it).
class CFrameSettings : public ISettingsReader
{
public:
    CFrameSettings(const ISettingsReader& reader, int nWidth, int nHeight, bool bSound = true);

    bool GetInt(int nIndex, int& nValue) const override;
    bool GetString(int nIndex, std::string& strValue) const override;

private:
    const ISettingsReader& m_reader;
    int m_nWidth;
    int m_nHeight;
    bool m_bSound;
};
