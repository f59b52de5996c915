#pragma once

#include "SettingIndex.h"

#include <string>

// A source of settings, addressed by SettingIndex. Each call returns false for an index it
// does not serve and then leaves the output alone.
class ISettingsReader
{
public:
    virtual bool GetInt(int nIndex, int& nValue) const = 0;
    virtual bool GetString(int nIndex, std::string& strValue) const = 0;

protected:
    ~ISettingsReader() = default;
};
