#include "CMonitorSettings.h"

#include "SettingIndex.h"

CMonitorSettings::CMonitorSettings(const ISettingsReader& reader, int nWidth, int nHeight,
                                   bool bSound)
    : m_sized(&reader, nWidth, nHeight), m_bSound(bSound)
{
}

bool CMonitorSettings::GetInt(int nIndex, int& nValue) const
{
    if (nIndex == SETTING_BACKGROUND_SOUND && !m_bSound)
    {
        nValue = 0;
        return true;
    }
    return m_sized.GetInt(nIndex, nValue);
}

bool CMonitorSettings::GetString(int nIndex, std::string& strValue) const
{
    return m_sized.GetString(nIndex, strValue);
}
