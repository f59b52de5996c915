#include "CPreviewSettings.h"

CPreviewSettings::CPreviewSettings(const ISettingsReader* pReader, int nWidth, int nHeight)
    : m_pReader(pReader), m_nWidth(nWidth), m_nHeight(nHeight)
{
}

bool CPreviewSettings::GetInt(int nIndex, int& nValue) const
{
    switch (nIndex)
    {
    case SETTING_XRES:
        nValue = m_nWidth;
        return true;
    case SETTING_YRES:
        nValue = m_nHeight;
        return true;
    case SETTING_USE_CURRENT_RES:
        nValue = 0;
        return true;
    default:
        return m_pReader->GetInt(nIndex, nValue);
    }
}

bool CPreviewSettings::GetString(int nIndex, std::string& strValue) const
{
    return m_pReader->GetString(nIndex, strValue);
}
