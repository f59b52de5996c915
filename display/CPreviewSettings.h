#pragma once

#include "ISettingsReader.h"

// The settings a preview's engine is initialised from: the wrapped reader's values, except
// that the frame has the preview's own size and the current-resolution flag is off.
class CPreviewSettings : public ISettingsReader
{
public:
    CPreviewSettings(const ISettingsReader* pReader, int nWidth, int nHeight);

    bool GetInt(int nIndex, int& nValue) const override;
    bool GetString(int nIndex, std::string& strValue) const override;

private:
    const ISettingsReader* m_pReader;
    int m_nWidth;
    int m_nHeight;
};
