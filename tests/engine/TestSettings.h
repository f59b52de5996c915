#pragma once

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

    // No particles and no overlay: the bare flame field.
    CTestSettings& Bare()
    {
        return Set(SETTING_SPARKLES_COUNT, 0)
            .Set(SETTING_FIREBALL_COUNT, 0)
            .Set(SETTING_FIREWORK_COUNT, 0)
            .Set(SETTING_FADE_SCREEN, 0);
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
