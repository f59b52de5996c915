#pragma once

#include "BareFlame.h"
#include "ISettingsReader.h"
#include "SettingsTable.h"

#include <map>

// A settings source for the engine tests: the saver's defaults at the given size, without the
// background sound, each overridable.
class CTestSettings : public ISettingsReader
{
public:
    CTestSettings(int nWidth, int nHeight)
    {
        for (const SettingRow& row : SETTINGS_TABLE)
        {
            if (row.storage == SettingStorage::Dword)
                m_values[row.nIndex] = row.nDefault;
        }
        Set(SETTING_XRES, nWidth).Set(SETTING_YRES, nHeight).Set(SETTING_BACKGROUND_SOUND, 0);
    }

    CTestSettings& Set(int nIndex, int nValue)
    {
        m_values[nIndex] = nValue;
        return *this;
    }

    // No particles, no overlay, no sound: the bare flame field.
    CTestSettings& Bare()
    {
        for (const BareFlameValue& value : BARE_FLAME)
            Set(value.nIndex, value.nValue);
        return *this;
    }

    bool GetInt(int nIndex, int& nValue) const override
    {
        const auto it = m_values.find(nIndex);
        if (it == m_values.end())
            return false;
        nValue = it->second;
        return true;
    }

    bool GetString(int, std::string&) const override { return false; }

private:
    std::map<int, int> m_values;
};
