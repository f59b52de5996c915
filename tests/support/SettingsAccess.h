#pragma once

// Reading a settings record in a test, with a failed read reported where it happens.

#include "CSaverSettings.h"

#include <gtest/gtest.h>

#include <string>

inline int IntOf(const CSaverSettings& settings, int nIndex)
{
    int nValue = 0;
    EXPECT_TRUE(settings.GetInt(nIndex, nValue)) << "index " << nIndex;
    return nValue;
}

inline std::string PasswordOf(const CSaverSettings& settings)
{
    std::string strValue;
    EXPECT_TRUE(settings.GetString(SETTING_PASSWORD, strValue));
    return strValue;
}
