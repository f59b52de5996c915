#include "CSaverSettings.h"

#include "ISettingsStore.h"

#include <algorithm>
#include <cstring>

namespace
{
const char* const SECTION = "Config";

// The registry's type code for a 32-bit number; the system's password option counts only
// when stored with it.
constexpr unsigned long REGISTRY_TYPE_DWORD = 4;

// Every byte has its top bit set, so a character below 0x80 never scrambles to a zero byte.
constexpr unsigned char PASSWORD_KEY[] = {0xA7, 0xD3, 0x9C, 0xE5, 0xB1};
constexpr std::size_t PASSWORD_KEY_LENGTH = sizeof(PASSWORD_KEY);
constexpr std::size_t PASSWORD_BUFFER_SIZE = CSaverSettings::MAX_PASSWORD_LENGTH + 1;

} // namespace

CSaverSettings::CSaverSettings() : CSaverSettings(DefaultSettingsStore()) {}

CSaverSettings::CSaverSettings(ISettingsStore& store) : m_pStore(&store)
{
    for (const SettingRow& row : SETTINGS_TABLE)
        m_aValues[row.nIndex] = row.nInitial;
}

bool CSaverSettings::GetInt(int nIndex, int& nValue) const
{
    const SettingRow* pRow = FindSettingRow(nIndex);
    if (pRow == nullptr || pRow->storage == SettingStorage::Password)
        return false;
    nValue = m_aValues[nIndex];
    return true;
}

bool CSaverSettings::GetString(int nIndex, std::string& strValue) const
{
    if (nIndex != SETTING_PASSWORD)
        return false;
    strValue = m_strPassword;
    return true;
}

bool CSaverSettings::SetInt(int nIndex, int nValue)
{
    const SettingRow* pRow = FindSettingRow(nIndex);
    if (pRow == nullptr || pRow->storage == SettingStorage::Password ||
        pRow->storage == SettingStorage::ReadOnly)
        return false;
    m_aValues[nIndex] = nValue;
    return true;
}

bool CSaverSettings::SetString(int nIndex, const std::string& strValue)
{
    if (nIndex != SETTING_PASSWORD || !IsStorablePassword(strValue))
        return false;
    m_strPassword = strValue;
    return true;
}

void CSaverSettings::LoadValues(LoadStage stage)
{
    ISettingsStore& store = *m_pStore;
    for (const SettingRow& row : SETTINGS_TABLE)
    {
        if (row.loadStage != stage)
            continue;
        if (row.storage == SettingStorage::Dword)
            m_aValues[row.nIndex] = store.GetProfileInt(SECTION, row.pszName, row.nDefault);
        else if (row.storage == SettingStorage::Password)
            m_strPassword = ScramblePassword(store.GetProfileString(SECTION, row.pszName, ""));
    }
}

bool CSaverSettings::Load()
{
    int& nXRes = m_aValues[SETTING_XRES];
    int& nYRes = m_aValues[SETTING_YRES];
    LoadValues(LoadStage::First);
    m_aValues[SETTING_USE_CURRENT_RES] = 0;
    if (nXRes == 0 || nYRes == 0)
    {
        m_pStore->GetScreenSize(nXRes, nYRes);
        m_aValues[SETTING_USE_CURRENT_RES] = 1;
    }

    LoadValues(LoadStage::Counts);
    OrderExplosionSizes(m_aValues[SETTING_FIREBALL_IN_FIREWORK_MIN],
                        m_aValues[SETTING_FIREBALL_IN_FIREWORK_MAX]);

    LoadValues(LoadStage::Last);

    // The system's option asks for a password only when there is one to ask for.
    int& bUsePassword = m_aValues[SETTING_SCREENSAVE_USE_PASSWORD];
    bUsePassword = 0;
    unsigned long dwType = 0;
    unsigned int dwValue = 0;
    if (m_pStore->GetSystemPasswordOption(dwType, dwValue) && dwType == REGISTRY_TYPE_DWORD)
        bUsePassword = dwValue != 0 && !m_strPassword.empty() ? 1 : 0;
    return true;
}

bool CSaverSettings::Save()
{
    ISettingsStore& store = *m_pStore;
    for (const SettingRow& row : SETTINGS_TABLE)
    {
        // The explosion sizes go out in order, and the record keeps them so.
        if (row.nIndex == SETTING_FIREBALL_IN_FIREWORK_MAX)
            OrderExplosionSizes(m_aValues[SETTING_FIREBALL_IN_FIREWORK_MIN],
                                m_aValues[SETTING_FIREBALL_IN_FIREWORK_MAX]);

        bool bWritten = true;
        if (row.storage == SettingStorage::Dword)
            bWritten = store.WriteProfileInt(SECTION, row.pszName, m_aValues[row.nIndex]);
        else if (row.storage == SettingStorage::Password)
            bWritten =
                store.WriteProfileString(SECTION, row.pszName, ScramblePassword(m_strPassword));
        if (!bWritten)
            return false;
    }
    return true;
}

std::string CSaverSettings::ScramblePassword(const std::string& strText)
{
    // The text is taken up to its first zero, and cut to what the buffer holds.
    unsigned char buffer[PASSWORD_BUFFER_SIZE] = {};
    const std::size_t nLength = std::min(std::strlen(strText.c_str()), MAX_PASSWORD_LENGTH);
    std::copy_n(strText.begin(), nLength, buffer);

    // A character equal to its key byte becomes zero and ends the result there.
    for (std::size_t i = 0; buffer[i] != 0; ++i)
    {
        buffer[i] ^= PASSWORD_KEY[i % PASSWORD_KEY_LENGTH];
    }
    return std::string(reinterpret_cast<const char*>(buffer));
}

bool CSaverSettings::IsStorablePassword(const std::string& strText)
{
    if (strText.size() > MAX_PASSWORD_LENGTH)
    {
        return false;
    }
    for (std::size_t i = 0; i < strText.size(); ++i)
    {
        const auto c = static_cast<unsigned char>(strText[i]);
        if (c == 0 || c == PASSWORD_KEY[i % PASSWORD_KEY_LENGTH])
        {
            return false;
        }
    }
    return true;
}
