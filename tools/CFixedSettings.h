#pragma once

#include "ISettingsReader.h"

// A settings source with fixed integer values, for the command-line tools: no registry, no
// strings. Indices it is not given read as 0.
class CFixedSettings : public ISettingsReader
{
public:
    CFixedSettings();

    void SetInt(int nIndex, int nValue);

    bool GetInt(int nIndex, int& nValue) const override;
    bool GetString(int nIndex, std::string& strValue) const override;

private:
    static constexpr int INT_SETTINGS = SETTING_COUNT;
    int m_aValues[INT_SETTINGS];
};
