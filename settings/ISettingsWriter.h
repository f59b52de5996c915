#pragma once

#include "SettingIndex.h"

#include <string>

// A sink of settings, addressed by SettingIndex. Each call returns false for an index it
// does not accept.
class ISettingsWriter
{
public:
    virtual bool SetInt(int nIndex, int nValue) = 0;
    virtual bool SetString(int nIndex, const std::string& strValue) = 0;

protected:
    ~ISettingsWriter() = default;
};
