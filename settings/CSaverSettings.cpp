#include "CSaverSettings.h"

#include "ISettingsStore.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace
{
const char* const SECTION = "Config";

constexpr int DEFAULT_SPARKLES_COUNT = 500;
constexpr int DEFAULT_FIREBALL_COUNT = 6;
constexpr int DEFAULT_FIREWORK_COUNT = 6;
constexpr int DEFAULT_FIREBALL_IN_FIREWORK_MAX = 80;
constexpr int DEFAULT_FIREBALL_IN_FIREWORK_MIN = 10;
constexpr int DEFAULT_FADE_SCREEN = 2;
constexpr int DEFAULT_BACKGROUND_SOUND = 1;
constexpr int DEFAULT_USE_DIRECTX = 1;

// The registry's type code for a 32-bit number; the system's password option counts only
// when stored with it.
constexpr unsigned long REGISTRY_TYPE_DWORD = 4;

// Every byte has its top bit set, so a character below 0x80 never scrambles to a zero byte.
constexpr unsigned char PASSWORD_KEY[] = {0xA7, 0xD3, 0x9C, 0xE5, 0xB1};
constexpr std::size_t PASSWORD_KEY_LENGTH = sizeof(PASSWORD_KEY);
constexpr std::size_t PASSWORD_BUFFER_SIZE = CSaverSettings::MAX_PASSWORD_LENGTH + 1;

// Integers of the record are signed 32-bit; a stored minimum above the maximum is exchanged
// so that every user sees Min <= Max.
void OrderExplosionSizes(int& nMin, int& nMax)
{
    if (nMin > nMax)
    {
        std::swap(nMin, nMax);
    }
}
} // namespace

CSaverSettings::CSaverSettings() : CSaverSettings(DefaultSettingsStore()) {}

CSaverSettings::CSaverSettings(ISettingsStore& store) : m_pStore(&store) {}

const int* CSaverSettings::IntField(int nIndex) const
{
    switch (nIndex)
    {
    case SETTING_XRES:
        return &m_nXRes;
    case SETTING_YRES:
        return &m_nYRes;
    case SETTING_SPARKLES_COUNT:
        return &m_nSparklesCount;
    case SETTING_FIREBALL_COUNT:
        return &m_nFireBallCount;
    case SETTING_FIREWORK_COUNT:
        return &m_nFireWorkCount;
    case SETTING_FIREBALL_IN_FIREWORK_MAX:
        return &m_nFireBallInFireWorkMax;
    case SETTING_FIREBALL_IN_FIREWORK_MIN:
        return &m_nFireBallInFireWorkMin;
    case SETTING_FADE_SCREEN:
        return &m_nFadeScreen;
    case SETTING_USE_CURRENT_RES:
        return &m_bUseCurrentRes;
    case SETTING_BACKGROUND_SOUND:
        return &m_bBackgroundSoundEnable;
    case SETTING_USE_DIRECTX:
        return &m_bUseDirectX;
    case SETTING_SCREENSAVE_USE_PASSWORD:
        return &m_bScreenSaveUsePassword;
    default:
        return nullptr;
    }
}

int* CSaverSettings::IntField(int nIndex)
{
    return const_cast<int*>(std::as_const(*this).IntField(nIndex));
}

bool CSaverSettings::GetInt(int nIndex, int& nValue) const
{
    const int* pField = IntField(nIndex);
    if (pField == nullptr)
    {
        return false;
    }
    nValue = *pField;
    return true;
}

bool CSaverSettings::GetString(int nIndex, std::string& strValue) const
{
    if (nIndex != SETTING_PASSWORD)
    {
        return false;
    }
    strValue = m_strPassword;
    return true;
}

bool CSaverSettings::SetInt(int nIndex, int nValue)
{
    // The system's password option is read, never set, through the record.
    int* pField = nIndex == SETTING_SCREENSAVE_USE_PASSWORD ? nullptr : IntField(nIndex);
    if (pField == nullptr)
    {
        return false;
    }
    *pField = nValue;
    return true;
}

bool CSaverSettings::SetString(int nIndex, const std::string& strValue)
{
    if (nIndex != SETTING_PASSWORD || !IsStorablePassword(strValue))
    {
        return false;
    }
    m_strPassword = strValue;
    return true;
}

bool CSaverSettings::Load()
{
    ISettingsStore& store = *m_pStore;

    m_nXRes = store.GetProfileInt(SECTION, "XRes", 0);
    m_nYRes = store.GetProfileInt(SECTION, "YRes", 0);
    m_bUseDirectX = store.GetProfileInt(SECTION, "UseDirectX", DEFAULT_USE_DIRECTX);

    m_bUseCurrentRes = 0;
    if (m_nXRes == 0 || m_nYRes == 0)
    {
        store.GetScreenSize(m_nXRes, m_nYRes);
        m_bUseCurrentRes = 1;
    }

    m_nSparklesCount = store.GetProfileInt(SECTION, "SparklesCount", DEFAULT_SPARKLES_COUNT);
    m_nFireBallCount = store.GetProfileInt(SECTION, "FireBallCount", DEFAULT_FIREBALL_COUNT);
    m_nFireWorkCount = store.GetProfileInt(SECTION, "FireWorkCount", DEFAULT_FIREWORK_COUNT);
    m_nFireBallInFireWorkMax =
        store.GetProfileInt(SECTION, "FireBallInFireWorkMax", DEFAULT_FIREBALL_IN_FIREWORK_MAX);
    m_nFireBallInFireWorkMin =
        store.GetProfileInt(SECTION, "FireBallInFireWorkMin", DEFAULT_FIREBALL_IN_FIREWORK_MIN);
    m_bBackgroundSoundEnable =
        store.GetProfileInt(SECTION, "BackgroundSoundEnable", DEFAULT_BACKGROUND_SOUND);
    OrderExplosionSizes(m_nFireBallInFireWorkMin, m_nFireBallInFireWorkMax);

    m_nFadeScreen = store.GetProfileInt(SECTION, "FadeScreen", DEFAULT_FADE_SCREEN);
    m_strPassword = ScramblePassword(store.GetProfileString(SECTION, "Password", ""));

    // The system's option asks for a password only when there is one to ask for.
    m_bScreenSaveUsePassword = 0;
    unsigned long dwType = 0;
    unsigned int dwValue = 0;
    if (store.GetSystemPasswordOption(dwType, dwValue) && dwType == REGISTRY_TYPE_DWORD)
    {
        m_bScreenSaveUsePassword = dwValue != 0 && !m_strPassword.empty() ? 1 : 0;
    }
    return true;
}

bool CSaverSettings::Save()
{
    ISettingsStore& store = *m_pStore;

    if (!store.WriteProfileInt(SECTION, "XRes", m_nXRes) ||
        !store.WriteProfileInt(SECTION, "YRes", m_nYRes) ||
        !store.WriteProfileInt(SECTION, "SparklesCount", m_nSparklesCount) ||
        !store.WriteProfileInt(SECTION, "FireBallCount", m_nFireBallCount) ||
        !store.WriteProfileInt(SECTION, "FireWorkCount", m_nFireWorkCount) ||
        !store.WriteProfileInt(SECTION, "FadeScreen", m_nFadeScreen))
    {
        return false;
    }

    OrderExplosionSizes(m_nFireBallInFireWorkMin, m_nFireBallInFireWorkMax);

    return store.WriteProfileInt(SECTION, "FireBallInFireWorkMax", m_nFireBallInFireWorkMax) &&
           store.WriteProfileInt(SECTION, "FireBallInFireWorkMin", m_nFireBallInFireWorkMin) &&
           store.WriteProfileInt(SECTION, "BackgroundSoundEnable", m_bBackgroundSoundEnable) &&
           store.WriteProfileInt(SECTION, "UseDirectX", m_bUseDirectX) &&
           store.WriteProfileString(SECTION, "Password", ScramblePassword(m_strPassword));
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
