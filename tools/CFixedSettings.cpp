#include "CFixedSettings.h"

CFixedSettings::CFixedSettings() : m_aValues{} {}

void CFixedSettings::SetInt(int nIndex, int nValue)
{
    if (nIndex >= 0 && nIndex < INT_SETTINGS && nIndex != SETTING_PASSWORD)
        m_aValues[nIndex] = nValue;
}

bool CFixedSettings::GetInt(int nIndex, int& nValue) const
{
    if (nIndex < 0 || nIndex >= INT_SETTINGS || nIndex == SETTING_PASSWORD)
        return false;
    nValue = m_aValues[nIndex];
    return true;
}

bool CFixedSettings::GetString(int, std::string&) const
{
    return false;
}
