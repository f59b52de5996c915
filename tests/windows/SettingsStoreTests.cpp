// The settings record on the real registry: what it writes, in which key and with which
// types, and how it reads values that other programs or users put there.
#include "SettingsAccess.h"
#include "CSaverSettings.h"
#include "SettingsTable.h"

#include "Afx.h"
#include "WinTestUtil.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
// The settings key as the installed program's file name fixes it, worked out here from the
// module's own path rather than from the framework.
std::string ExpectedConfigKey()
{
    char szPath[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, szPath, MAX_PATH);
    std::string strName = szPath;
    strName.erase(0, strName.find_last_of("\\/") + 1);
    strName.erase(strName.find_last_of('.'));
    return ConfigKeyPath(strName);
}

bool ConfigKeyExists()
{
    HKEY hKey = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, ExpectedConfigKey().c_str(), 0, KEY_READ, &hKey) !=
        ERROR_SUCCESS)
        return false;
    ::RegCloseKey(hKey);
    return true;
}

bool SetRegistryValue(const char* pszKey, const char* pszName, DWORD dwType,
                      const std::string& strData)
{
    HKEY hKey = nullptr;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, pszKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                          nullptr, &hKey, nullptr) != ERROR_SUCCESS)
        return false;
    const LONG lResult =
        ::RegSetValueExA(hKey, pszName, 0, dwType, reinterpret_cast<const BYTE*>(strData.data()),
                         static_cast<DWORD>(strData.size()));
    ::RegCloseKey(hKey);
    return lResult == ERROR_SUCCESS;
}

void DeleteRegistryValue(const char* pszKey, const char* pszName)
{
    HKEY hKey = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, pszKey, 0, KEY_WRITE, &hKey) == ERROR_SUCCESS)
    {
        ::RegDeleteValueA(hKey, pszName);
        ::RegCloseKey(hKey);
    }
}

bool SetConfigValue(const char* pszName, DWORD dwType, const std::string& strData)
{
    return SetRegistryValue(ExpectedConfigKey().c_str(), pszName, dwType, strData);
}

std::string Dword(DWORD dwValue)
{
    return std::string(reinterpret_cast<const char*>(&dwValue), sizeof(dwValue));
}

std::string Sz(const std::string& strText)
{
    return std::string(strText.c_str(), strText.size() + 1);
}

// Each test starts without the program's settings key, and leaves the system's password
// option as it found it.
class SettingsStore : public ::testing::Test
{
protected:
    void SetUp() override
    {
        DeleteConfigKey();
        m_bHadOption = ReadOption(m_dwOptionType, m_strOptionData);
        DeleteRegistryValue(DESKTOP_KEY, PASSWORD_OPTION);
    }

    void TearDown() override
    {
        DeleteConfigKey();
        if (m_bHadOption)
            SetRegistryValue(DESKTOP_KEY, PASSWORD_OPTION, m_dwOptionType, m_strOptionData);
        else
            DeleteRegistryValue(DESKTOP_KEY, PASSWORD_OPTION);
    }

private:
    static bool ReadOption(DWORD& dwType, std::string& strData)
    {
        HKEY hKey = nullptr;
        if (::RegOpenKeyExA(HKEY_CURRENT_USER, DESKTOP_KEY, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
            return false;
        DWORD cbData = 0;
        LONG lResult =
            ::RegQueryValueExA(hKey, PASSWORD_OPTION, nullptr, &dwType, nullptr, &cbData);
        if (lResult == ERROR_SUCCESS)
        {
            strData.assign(cbData, '\0');
            lResult = ::RegQueryValueExA(hKey, PASSWORD_OPTION, nullptr, &dwType,
                                         reinterpret_cast<BYTE*>(&strData[0]), &cbData);
        }
        ::RegCloseKey(hKey);
        return lResult == ERROR_SUCCESS;
    }

    bool m_bHadOption = false;
    DWORD m_dwOptionType = 0;
    std::string m_strOptionData;
};
} // namespace

TEST_F(SettingsStore, EmptyRegistryGivesDefaultsScreenSizeAndCreatesTheKey)
{
    ASSERT_FALSE(ConfigKeyExists());
    CSaverSettings settings;
    EXPECT_TRUE(settings.Load());

    EXPECT_TRUE(ConfigKeyExists()) << ExpectedConfigKey();
    EXPECT_EQ(IntOf(settings, SETTING_XRES), ::GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(IntOf(settings, SETTING_YRES), ::GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ(IntOf(settings, SETTING_USE_CURRENT_RES), 1);
    EXPECT_EQ(IntOf(settings, SETTING_SPARKLES_COUNT), 500);
    EXPECT_EQ(IntOf(settings, SETTING_FIREBALL_IN_FIREWORK_MAX), 80);
    EXPECT_EQ(IntOf(settings, SETTING_FIREBALL_IN_FIREWORK_MIN), 10);
    EXPECT_EQ(IntOf(settings, SETTING_FADE_SCREEN), 2);
    EXPECT_EQ(IntOf(settings, SETTING_USE_DIRECTX), 1);
    EXPECT_EQ(IntOf(settings, SETTING_SCREENSAVE_USE_PASSWORD), 0);
    EXPECT_EQ(PasswordOf(settings), "");
}

TEST_F(SettingsStore, SaveWritesDwordsThatReadBack)
{
    const struct
    {
        SettingIndex nIndex;
        int nValue;
    } values[] = {
        {SETTING_XRES, 800},
        {SETTING_YRES, 600},
        {SETTING_SPARKLES_COUNT, 321},
        {SETTING_FIREBALL_COUNT, 17},
        {SETTING_FIREWORK_COUNT, 42},
        {SETTING_FIREBALL_IN_FIREWORK_MAX, 120},
        {SETTING_FIREBALL_IN_FIREWORK_MIN, 3},
        {SETTING_FADE_SCREEN, 4},
        {SETTING_BACKGROUND_SOUND, 0},
        {SETTING_USE_DIRECTX, 0},
    };
    CSaverSettings settings;
    for (const auto& v : values)
        ASSERT_TRUE(settings.SetInt(v.nIndex, v.nValue));
    ASSERT_TRUE(settings.Save());

    for (const auto& v : values)
    {
        const char* pszName = SettingRowOf(v.nIndex).pszName;
        SCOPED_TRACE(pszName);
        DWORD dwType = 0;
        std::string strData;
        ASSERT_TRUE(ReadConfigValue(pszName, dwType, strData));
        EXPECT_EQ(dwType, static_cast<DWORD>(REG_DWORD));
        EXPECT_EQ(strData, Dword(static_cast<DWORD>(v.nValue)));
    }
    DWORD dwType = 0;
    std::string strData;
    EXPECT_FALSE(ReadConfigValue("UseCurrentRes", dwType, strData));
    EXPECT_FALSE(ReadConfigValue(PASSWORD_OPTION, dwType, strData));

    CSaverSettings loaded;
    loaded.Load();
    for (const auto& v : values)
        EXPECT_EQ(IntOf(loaded, v.nIndex), v.nValue) << SettingRowOf(v.nIndex).pszName;
    EXPECT_EQ(IntOf(loaded, SETTING_USE_CURRENT_RES), 0);
}

TEST_F(SettingsStore, PasswordIsStoredScrambledWithItsLength)
{
    std::string strLongest;
    for (size_t i = 0; i < CSaverSettings::MAX_PASSWORD_LENGTH; ++i)
        strLongest += static_cast<char>(' ' + i % 95);
    for (const std::string& strPassword :
         {std::string(), std::string("a"), std::string("Secret 42!"), strLongest})
    {
        SCOPED_TRACE(strPassword.size());
        CSaverSettings settings;
        ASSERT_TRUE(settings.SetString(SETTING_PASSWORD, strPassword));
        ASSERT_TRUE(settings.Save());

        DWORD dwType = 0;
        std::string strData;
        ASSERT_TRUE(ReadConfigValue("Password", dwType, strData));
        EXPECT_EQ(dwType, static_cast<DWORD>(REG_SZ));
        ASSERT_EQ(strData.size(), strPassword.size() + 1);
        EXPECT_EQ(strData.back(), '\0');
        for (size_t i = 0; i < strPassword.size(); ++i)
            ASSERT_NE(strData[i], strPassword[i]) << "position " << i << " stored in plain";

        CSaverSettings loaded;
        loaded.Load();
        EXPECT_EQ(PasswordOf(loaded), strPassword);
    }
}

TEST_F(SettingsStore, ValuesOfOtherTypesOrSizes)
{
    // An integer is queried as 4 bytes whatever its type; what does not fit gives the default
    // (FireBallCount 6); text is read only from a string.
    const struct
    {
        const char* pszWhat;
        const char* pszName;
        DWORD dwType;
        std::string strData;
        int nIndex;
        int nExpected;
    } cases[] = {
        {"string too long", "FireBallCount", REG_SZ, Sz("12345"), SETTING_FIREBALL_COUNT, 6},
        {"8-byte binary", "FireBallCount", REG_BINARY, std::string("\x01\0\0\0\0\0\0\0", 8),
         SETTING_FIREBALL_COUNT, 6},
        {"2-byte binary", "FireBallCount", REG_BINARY, std::string("\x34\x12", 2),
         SETTING_FIREBALL_COUNT, 0x1234},
        {"short string", "FireBallCount", REG_SZ, Sz("7"), SETTING_FIREBALL_COUNT, '7'},
        {"dword", "FireBallCount", REG_DWORD, Dword(9), SETTING_FIREBALL_COUNT, 9},
        {"negative dword", "SparklesCount", REG_DWORD, Dword(0xFFFFFFFF), SETTING_SPARKLES_COUNT,
         -1},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pszWhat);
        DeleteConfigKey();
        ASSERT_TRUE(SetConfigValue(c.pszName, c.dwType, c.strData));
        CSaverSettings settings;
        EXPECT_TRUE(settings.Load());
        EXPECT_EQ(IntOf(settings, c.nIndex), c.nExpected);
    }

    DeleteConfigKey();
    ASSERT_TRUE(SetConfigValue("Password", REG_DWORD, Dword(0x41414141)));
    CSaverSettings settings;
    settings.Load();
    EXPECT_EQ(PasswordOf(settings), "");
}

TEST_F(SettingsStore, SystemPasswordOptionCountsOnlyAsDwordWithAPassword)
{
    const struct
    {
        const char* pszWhat;
        bool bPresent;
        DWORD dwType;
        std::string strData;
        const char* pszPassword;
        int nExpected;
    } cases[] = {
        {"on", true, REG_DWORD, Dword(1), "pw", 1},
        {"on without password", true, REG_DWORD, Dword(1), "", 0},
        {"off", true, REG_DWORD, Dword(0), "pw", 0},
        {"string", true, REG_SZ, Sz("1"), "pw", 0},
        {"missing", false, 0, "", "pw", 0},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pszWhat);
        CSaverSettings writer;
        ASSERT_TRUE(writer.SetString(SETTING_PASSWORD, c.pszPassword));
        ASSERT_TRUE(writer.Save());
        if (c.bPresent)
            ASSERT_TRUE(SetRegistryValue(DESKTOP_KEY, PASSWORD_OPTION, c.dwType, c.strData));
        else
            DeleteRegistryValue(DESKTOP_KEY, PASSWORD_OPTION);

        CSaverSettings settings;
        settings.Load();
        EXPECT_EQ(IntOf(settings, SETTING_SCREENSAVE_USE_PASSWORD), c.nExpected);
    }
}
