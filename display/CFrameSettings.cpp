#include "CFrameSettings.h"

#include "SettingIndex.h"

CFrameSettings::CFrameSettings(const ISettingsReader& reader, int nWidth, int nHeight, bool bSound)
    : m_reader(reader), m_nWidth(nWidth), m_nHeight(nHeight), m_bSound(bSound)
{
}

bool CFrameSettings::GetInt(int nIndex, int& nValue) const
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
    case SETTING_BACKGROUND_SOUND:
        if (!m_bSound)
        {
            nValue = 0;
            return true;
        }
        return m_reader.GetInt(nIndex, nValue);
    default:
        return m_reader.GetInt(nIndex, nValue);
    }
}

bool CFrameSettings::GetString(int nIndex, std::string& strValue) const
{
    return m_reader.GetString(nIndex, strValue);
}
