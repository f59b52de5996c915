#include "SettingsAccess.h"
#include "CMemorySettingsStore.h"
#include "CSaverSettings.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

namespace
{
const char* const SECTION = "Config";

constexpr int SCREEN_WIDTH = 1280;
constexpr int SCREEN_HEIGHT = 1024;

// What Save writes, in the order it writes them. A save stopped by a failed write leaves a
// prefix of this list behind; older versions wrote the first eleven in exactly this order.
struct StoredSetting
{
    int nIndex;
    const char* pszName;
};
const StoredSetting STORED[] = {
    {SETTING_XRES, "XRes"},
    {SETTING_YRES, "YRes"},
    {SETTING_SPARKLES_COUNT, "SparklesCount"},
    {SETTING_FIREBALL_COUNT, "FireBallCount"},
    {SETTING_FIREWORK_COUNT, "FireWorkCount"},
    {SETTING_FADE_SCREEN, "FadeScreen"},
    {SETTING_FIREBALL_IN_FIREWORK_MAX, "FireBallInFireWorkMax"},
    {SETTING_FIREBALL_IN_FIREWORK_MIN, "FireBallInFireWorkMin"},
    {SETTING_BACKGROUND_SOUND, "BackgroundSoundEnable"},
    {SETTING_USE_DIRECTX, "UseDirectX"},
    {SETTING_PASSWORD, "Password"},
    {SETTING_MULTI_MONITOR, "MultiMonitor"},
    {SETTING_FIRE_SIZE, "FireSize"},
};

// The stored DWORD under an entry, or nothing when the entry is missing or not a DWORD.
bool StoredDword(const CMemorySettingsStore& store, const char* pszEntry, int& nValue)
{
    const CMemorySettingsStore::Value* pValue = store.FindValue(SECTION, pszEntry);
    if (pValue == nullptr || pValue->dwType != CMemorySettingsStore::TYPE_DWORD ||
        pValue->strData.size() != 4)
    {
        return false;
    }
    unsigned int dwValue = 0;
    for (int i = 3; i >= 0; --i)
    {
        dwValue = (dwValue << 8) | static_cast<unsigned char>(pValue->strData[i]);
    }
    nValue = static_cast<int>(dwValue);
    return true;
}

std::string Bytes(std::initializer_list<unsigned char> bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

class SaverSettingsTest : public ::testing::Test
{
protected:
    SaverSettingsTest() { m_store.SetScreenSize(SCREEN_WIDTH, SCREEN_HEIGHT); }

    CMemorySettingsStore m_store;
    CSaverSettings m_settings{m_store};
};

TEST_F(SaverSettingsTest, ConstructedRecordHoldsInitialValues)
{
    for (int nIndex = 0; nIndex < SETTING_COUNT; ++nIndex)
    {
        if (nIndex != SETTING_PASSWORD)
        {
            EXPECT_EQ(IntOf(m_settings, nIndex), nIndex == SETTING_USE_DIRECTX ? 1 : 0)
                << "index " << nIndex;
        }
    }
    EXPECT_EQ(PasswordOf(m_settings), "");
    EXPECT_FALSE(m_store.HasSection(SECTION)) << "construction must not touch the profile";
}

TEST_F(SaverSettingsTest, EmptyProfileLoadsDefaultsAndCurrentScreenSize)
{
    EXPECT_TRUE(m_settings.Load());

    const struct
    {
        int nIndex;
        int nExpected;
    } expected[] = {
        {SETTING_XRES, SCREEN_WIDTH},
        {SETTING_YRES, SCREEN_HEIGHT},
        {SETTING_SPARKLES_COUNT, 500},
        {SETTING_FIREBALL_COUNT, 6},
        {SETTING_FIREWORK_COUNT, 6},
        {SETTING_FIREBALL_IN_FIREWORK_MAX, 80},
        {SETTING_FIREBALL_IN_FIREWORK_MIN, 10},
        {SETTING_FADE_SCREEN, 2},
        {SETTING_USE_CURRENT_RES, 1},
        {SETTING_BACKGROUND_SOUND, 1},
        {SETTING_USE_DIRECTX, 1},
        {SETTING_SCREENSAVE_USE_PASSWORD, 0},
        {SETTING_MULTI_MONITOR, 0},
        {SETTING_FIRE_SIZE, 0},
    };
    for (const auto& e : expected)
    {
        EXPECT_EQ(IntOf(m_settings, e.nIndex), e.nExpected) << "index " << e.nIndex;
    }
    EXPECT_EQ(PasswordOf(m_settings), "");
    EXPECT_TRUE(m_store.HasSection(SECTION));
    EXPECT_EQ(m_store.GetWriteCount(), 0) << "loading must not write";
}

TEST_F(SaverSettingsTest, ZeroOrMissingResolutionReplacesBothWithScreenSize)
{
    constexpr int MISSING = -1000;
    const struct
    {
        int nXRes;
        int nYRes;
        int nExpectedX;
        int nExpectedY;
        int nUseCurrentRes;
    } cases[] = {
        {800, 600, 800, 600, 0},
        {800, MISSING, SCREEN_WIDTH, SCREEN_HEIGHT, 1},
        {MISSING, 600, SCREEN_WIDTH, SCREEN_HEIGHT, 1},
        {800, 0, SCREEN_WIDTH, SCREEN_HEIGHT, 1},
        {0, 600, SCREEN_WIDTH, SCREEN_HEIGHT, 1},
        {0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, 1},
        {-640, -480, -640, -480, 0}, // not clamped
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.nXRes << "x" << c.nYRes);
        CMemorySettingsStore store;
        store.SetScreenSize(SCREEN_WIDTH, SCREEN_HEIGHT);
        if (c.nXRes != MISSING)
        {
            store.SetDword(SECTION, "XRes", static_cast<unsigned int>(c.nXRes));
        }
        if (c.nYRes != MISSING)
        {
            store.SetDword(SECTION, "YRes", static_cast<unsigned int>(c.nYRes));
        }
        CSaverSettings settings(store);
        settings.Load();
        EXPECT_EQ(IntOf(settings, SETTING_XRES), c.nExpectedX);
        EXPECT_EQ(IntOf(settings, SETTING_YRES), c.nExpectedY);
        EXPECT_EQ(IntOf(settings, SETTING_USE_CURRENT_RES), c.nUseCurrentRes);
    }
}

TEST_F(SaverSettingsTest, LoadOrdersExplosionSizesAsSignedNumbers)
{
    const struct
    {
        int nStoredMin;
        int nStoredMax;
        int nMin;
        int nMax;
    } cases[] = {
        {90, 20, 20, 90}, {50, 50, 50, 50}, {10, 80, 10, 80}, {-5, -10, -10, -5}, {-1, 5, -1, 5},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.nStoredMin << ", " << c.nStoredMax);
        CMemorySettingsStore store;
        store.SetDword(SECTION, "FireBallInFireWorkMin", static_cast<unsigned int>(c.nStoredMin));
        store.SetDword(SECTION, "FireBallInFireWorkMax", static_cast<unsigned int>(c.nStoredMax));
        CSaverSettings settings(store);
        settings.Load();
        EXPECT_EQ(IntOf(settings, SETTING_FIREBALL_IN_FIREWORK_MIN), c.nMin);
        EXPECT_EQ(IntOf(settings, SETTING_FIREBALL_IN_FIREWORK_MAX), c.nMax);
    }
}

TEST_F(SaverSettingsTest, SaveOrdersExplosionSizesInRecordAndProfile)
{
    m_settings.SetInt(SETTING_FIREBALL_IN_FIREWORK_MIN, 90);
    m_settings.SetInt(SETTING_FIREBALL_IN_FIREWORK_MAX, 20);
    ASSERT_TRUE(m_settings.Save());

    int nStoredMin = 0;
    int nStoredMax = 0;
    ASSERT_TRUE(StoredDword(m_store, "FireBallInFireWorkMin", nStoredMin));
    ASSERT_TRUE(StoredDword(m_store, "FireBallInFireWorkMax", nStoredMax));
    EXPECT_EQ(nStoredMin, 20);
    EXPECT_EQ(nStoredMax, 90);
    EXPECT_EQ(IntOf(m_settings, SETTING_FIREBALL_IN_FIREWORK_MIN), 20);
    EXPECT_EQ(IntOf(m_settings, SETTING_FIREBALL_IN_FIREWORK_MAX), 90);
}

TEST_F(SaverSettingsTest, SaveAfterLoadFromEmptyProfileStoresScreenSize)
{
    m_settings.Load();
    ASSERT_TRUE(m_settings.Save());

    int nXRes = 0;
    int nYRes = 0;
    ASSERT_TRUE(StoredDword(m_store, "XRes", nXRes));
    ASSERT_TRUE(StoredDword(m_store, "YRes", nYRes));
    EXPECT_EQ(nXRes, SCREEN_WIDTH);
    EXPECT_EQ(nYRes, SCREEN_HEIGHT);
    EXPECT_EQ(m_store.FindValue(SECTION, "UseCurrentRes"), nullptr);
    EXPECT_EQ(m_store.FindValue(SECTION, "ScreenSaveUsePassword"), nullptr);
}

// Distinct values for every settable integer, so that a value stored under the wrong name or
// read into the wrong field shows. They fall with the index, which keeps Min below Max.
int DistinctValue(int nIndex)
{
    return 1000 - 10 * nIndex;
}

void FillDistinctValues(CSaverSettings& settings)
{
    for (const StoredSetting& row : STORED)
    {
        if (row.nIndex != SETTING_PASSWORD)
        {
            ASSERT_TRUE(settings.SetInt(row.nIndex, DistinctValue(row.nIndex)));
        }
    }
    ASSERT_TRUE(settings.SetString(SETTING_PASSWORD, "Secret 42!"));
}

TEST_F(SaverSettingsTest, EachSettingIsSavedUnderItsOwnNameAndLoadsBack)
{
    FillDistinctValues(m_settings);
    ASSERT_TRUE(m_settings.Save());

    for (const StoredSetting& v : STORED)
    {
        SCOPED_TRACE(v.pszName);
        if (v.nIndex == SETTING_PASSWORD)
        {
            const CMemorySettingsStore::Value* pValue = m_store.FindValue(SECTION, v.pszName);
            ASSERT_NE(pValue, nullptr);
            EXPECT_EQ(pValue->dwType, CMemorySettingsStore::TYPE_SZ);
            const std::string strStored = pValue->strData.substr(0, pValue->strData.find('\0'));
            EXPECT_EQ(strStored.size(), std::string("Secret 42!").size());
            EXPECT_EQ(strStored, CSaverSettings::ScramblePassword("Secret 42!"));
            EXPECT_NE(strStored, "Secret 42!");
        }
        else
        {
            int nStored = 0;
            ASSERT_TRUE(StoredDword(m_store, v.pszName, nStored));
            EXPECT_EQ(nStored, DistinctValue(v.nIndex));
        }
    }

    CSaverSettings loaded(m_store);
    ASSERT_TRUE(loaded.Load());
    for (const StoredSetting& v : STORED)
    {
        if (v.nIndex != SETTING_PASSWORD)
        {
            EXPECT_EQ(IntOf(loaded, v.nIndex), DistinctValue(v.nIndex)) << v.pszName;
        }
    }
    EXPECT_EQ(PasswordOf(loaded), "Secret 42!");
    EXPECT_EQ(IntOf(loaded, SETTING_USE_CURRENT_RES), 0);
}

TEST_F(SaverSettingsTest, SaveWritesInItsOrderAndStopsAtFirstFailedWrite)
{
    const int nValues = static_cast<int>(std::size(STORED));
    for (int nAllowed = 0; nAllowed <= nValues; ++nAllowed)
    {
        SCOPED_TRACE(testing::Message() << nAllowed << " writes allowed");
        CMemorySettingsStore store;
        CSaverSettings settings(store);
        FillDistinctValues(settings);
        store.FailWriteAfter(nAllowed);

        EXPECT_EQ(settings.Save(), nAllowed == nValues);
        for (int i = 0; i < nValues; ++i)
        {
            EXPECT_EQ(store.FindValue(SECTION, STORED[i].pszName) != nullptr, i < nAllowed)
                << STORED[i].pszName;
        }
        EXPECT_EQ(store.GetWriteCount(), nAllowed) << "nothing but the list is written";
    }
}

TEST_F(SaverSettingsTest, UnusableStoredIntegersFallBackToDefaults)
{
    // The profile reads four bytes whatever the type; what does not fit gives the default.
    const struct
    {
        const char* pszWhat;
        unsigned long dwType;
        std::string strData;
        int nExpected;
    } cases[] = {
        {"dword", CMemorySettingsStore::TYPE_DWORD, Bytes({7, 0, 0, 0}), 7},
        {"all bits set", CMemorySettingsStore::TYPE_DWORD, Bytes({0xFF, 0xFF, 0xFF, 0xFF}), -1},
        {"two-byte binary", CMemorySettingsStore::TYPE_BINARY, Bytes({0x34, 0x12}), 0x1234},
        {"short string", CMemorySettingsStore::TYPE_SZ, std::string("7", 2), '7'},
        {"long string", CMemorySettingsStore::TYPE_SZ, std::string("1234", 5), 6},
        {"eight-byte binary", CMemorySettingsStore::TYPE_BINARY, Bytes({1, 0, 0, 0, 0, 0, 0, 0}),
         6},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pszWhat);
        CMemorySettingsStore store;
        store.SetValue(SECTION, "FireBallCount", c.dwType, c.strData);
        CSaverSettings settings(store);
        settings.Load();
        EXPECT_EQ(IntOf(settings, SETTING_FIREBALL_COUNT), c.nExpected);
    }
}

TEST_F(SaverSettingsTest, SystemPasswordOptionNeedsDwordAndStoredPassword)
{
    enum Option
    {
        MISSING,
        PRESENT
    };
    const struct
    {
        const char* pszWhat;
        Option option;
        unsigned long dwType;
        std::string strData;
        const char* pszPassword;
        int nExpected;
    } cases[] = {
        {"on with password", PRESENT, CMemorySettingsStore::TYPE_DWORD, Bytes({1, 0, 0, 0}), "pw",
         1},
        {"any non-zero", PRESENT, CMemorySettingsStore::TYPE_DWORD, Bytes({0, 2, 0, 0}), "pw", 1},
        {"on without password", PRESENT, CMemorySettingsStore::TYPE_DWORD, Bytes({1, 0, 0, 0}), "",
         0},
        {"off", PRESENT, CMemorySettingsStore::TYPE_DWORD, Bytes({0, 0, 0, 0}), "pw", 0},
        {"string", PRESENT, CMemorySettingsStore::TYPE_SZ, std::string("1", 2), "pw", 0},
        {"binary", PRESENT, CMemorySettingsStore::TYPE_BINARY, Bytes({1, 0, 0, 0}), "pw", 0},
        {"too large", PRESENT, CMemorySettingsStore::TYPE_DWORD, Bytes({1, 0, 0, 0, 0}), "pw", 0},
        {"missing", MISSING, 0, "", "pw", 0},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pszWhat);
        CMemorySettingsStore store;
        store.SetString(SECTION, "Password", CSaverSettings::ScramblePassword(c.pszPassword));
        if (c.option == PRESENT)
        {
            store.SetSystemPasswordOption(c.dwType, c.strData);
        }
        CSaverSettings settings(store);
        settings.Load();
        EXPECT_EQ(IntOf(settings, SETTING_SCREENSAVE_USE_PASSWORD), c.nExpected);
        EXPECT_EQ(PasswordOf(settings), c.pszPassword);
    }
}

TEST_F(SaverSettingsTest, PasswordStoredWithoutStringTypeLoadsEmpty)
{
    m_store.SetValue(SECTION, "Password", CMemorySettingsStore::TYPE_BINARY,
                     CSaverSettings::ScramblePassword("pw") + '\0');
    m_store.SetSystemPasswordOption(CMemorySettingsStore::TYPE_DWORD, Bytes({1, 0, 0, 0}));
    m_settings.Load();
    EXPECT_EQ(PasswordOf(m_settings), "");
    EXPECT_EQ(IntOf(m_settings, SETTING_SCREENSAVE_USE_PASSWORD), 0);
}

TEST_F(SaverSettingsTest, ReloadClearsDerivedFlags)
{
    m_store.SetString(SECTION, "Password", CSaverSettings::ScramblePassword("pw"));
    m_store.SetSystemPasswordOption(CMemorySettingsStore::TYPE_DWORD, Bytes({1, 0, 0, 0}));
    m_settings.Load();
    ASSERT_EQ(IntOf(m_settings, SETTING_SCREENSAVE_USE_PASSWORD), 1);
    ASSERT_EQ(IntOf(m_settings, SETTING_USE_CURRENT_RES), 1);

    m_store.RemoveSystemPasswordOption();
    m_store.SetDword(SECTION, "XRes", 800);
    m_store.SetDword(SECTION, "YRes", 600);
    m_settings.Load();
    EXPECT_EQ(IntOf(m_settings, SETTING_SCREENSAVE_USE_PASSWORD), 0);
    EXPECT_EQ(IntOf(m_settings, SETTING_USE_CURRENT_RES), 0);
}

TEST(ScramblePasswordTest, RoundTripsEveryAsciiPasswordUpToLongest)
{
    for (std::size_t nLength = 0; nLength <= CSaverSettings::MAX_PASSWORD_LENGTH; ++nLength)
    {
        std::string strPassword;
        for (std::size_t i = 0; i < nLength; ++i)
        {
            strPassword += static_cast<char>(1 + (i * 37 + nLength) % 127);
        }
        SCOPED_TRACE(testing::Message() << "length " << nLength);
        const std::string strScrambled = CSaverSettings::ScramblePassword(strPassword);
        ASSERT_EQ(strScrambled.size(), nLength);
        for (std::size_t i = 0; i < nLength; ++i)
        {
            ASSERT_NE(strScrambled[i], strPassword[i]) << "position " << i;
        }
        EXPECT_EQ(CSaverSettings::ScramblePassword(strScrambled), strPassword);
        EXPECT_TRUE(CSaverSettings::IsStorablePassword(strPassword));
    }
}

TEST(ScramblePasswordTest, EveryAsciiCharacterSurvivesAtEveryKeyPosition)
{
    for (int c = 1; c < 0x80; ++c)
    {
        const std::string strPassword(10, static_cast<char>(c));
        EXPECT_EQ(CSaverSettings::ScramblePassword(CSaverSettings::ScramblePassword(strPassword)),
                  strPassword)
            << "character " << c;
    }
}

TEST(ScramblePasswordTest, OverlongTextIsCutToTheBuffer)
{
    const std::string strLong(1000, 'x');
    const std::string strScrambled = CSaverSettings::ScramblePassword(strLong);
    EXPECT_EQ(strScrambled.size(), CSaverSettings::MAX_PASSWORD_LENGTH);
    EXPECT_EQ(CSaverSettings::ScramblePassword(strScrambled),
              strLong.substr(0, CSaverSettings::MAX_PASSWORD_LENGTH));
}

TEST_F(SaverSettingsTest, SetStringRefusesPasswordsThatCannotBeStoredFaithfully)
{
    const std::string strLongest(CSaverSettings::MAX_PASSWORD_LENGTH, 'a');
    const struct
    {
        const char* pszWhat;
        std::string strPassword;
        bool bAccepted;
    } cases[] = {
        {"empty", "", true},
        {"longest", strLongest, true},
        {"one too long", strLongest + "a", false},
        {"far too long", std::string(1000, 'a'), false},
        {"embedded zero", std::string("ab\0cd", 5), false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pszWhat);
        ASSERT_TRUE(m_settings.SetString(SETTING_PASSWORD, "before"));
        EXPECT_EQ(m_settings.SetString(SETTING_PASSWORD, c.strPassword), c.bAccepted);
        EXPECT_EQ(CSaverSettings::IsStorablePassword(c.strPassword), c.bAccepted);
        EXPECT_EQ(PasswordOf(m_settings), c.bAccepted ? c.strPassword : "before");
    }
}

TEST_F(SaverSettingsTest, SetStringRefusesExactlyTheCharactersThatScrambleToZero)
{
    // At each position of the key one character above 0x7F would end the stored string; the
    // record must refuse it and accept every other one, which then loads back unchanged.
    constexpr std::size_t KEY_POSITIONS = 5;
    for (std::size_t nPosition = 0; nPosition < 2 * KEY_POSITIONS; ++nPosition)
    {
        int nRefused = 0;
        for (int c = 0x80; c <= 0xFF; ++c)
        {
            const std::string strPassword =
                std::string(nPosition, 'a') + static_cast<char>(c) + "z";
            const bool bFaithful =
                CSaverSettings::ScramblePassword(strPassword).size() == strPassword.size();

            ASSERT_TRUE(m_settings.SetString(SETTING_PASSWORD, "before"));
            EXPECT_EQ(m_settings.SetString(SETTING_PASSWORD, strPassword), bFaithful)
                << "position " << nPosition << " character " << c;
            if (bFaithful)
            {
                ASSERT_TRUE(m_settings.Save());
                CSaverSettings loaded(m_store);
                loaded.Load();
                EXPECT_EQ(PasswordOf(loaded), strPassword)
                    << "position " << nPosition << " character " << c;
            }
            else
            {
                EXPECT_EQ(PasswordOf(m_settings), "before");
                ++nRefused;
            }
        }
        EXPECT_EQ(nRefused, 1) << "position " << nPosition;
    }
}

TEST_F(SaverSettingsTest, IndexRulesOfReaderAndWriter)
{
    const auto IsInt = [](int n) { return n >= 0 && n < SETTING_COUNT && n != SETTING_PASSWORD; };
    const auto IsSettableInt = [&](int n)
    { return IsInt(n) && n != SETTING_SCREENSAVE_USE_PASSWORD; };
    std::vector<int> indices = {-1, 100};
    for (int nIndex = 0; nIndex <= SETTING_COUNT; ++nIndex)
        indices.push_back(nIndex);

    // Give every field a distinct value so that aliasing between indices shows.
    for (int nIndex : indices)
    {
        EXPECT_EQ(m_settings.SetInt(nIndex, 500 + nIndex), IsSettableInt(nIndex))
            << "SetInt " << nIndex;
    }
    ASSERT_TRUE(m_settings.SetString(SETTING_PASSWORD, "pw"));

    for (int nIndex : indices)
    {
        SCOPED_TRACE(testing::Message() << "index " << nIndex);
        int nValue = -7;
        EXPECT_EQ(m_settings.GetInt(nIndex, nValue), IsInt(nIndex));
        const int nExpected = IsSettableInt(nIndex) ? 500 + nIndex : IsInt(nIndex) ? 0 : -7;
        EXPECT_EQ(nValue, nExpected);

        std::string strValue = "untouched";
        EXPECT_EQ(m_settings.GetString(nIndex, strValue), nIndex == SETTING_PASSWORD);
        EXPECT_EQ(strValue, nIndex == SETTING_PASSWORD ? "pw" : "untouched");

        if (nIndex != SETTING_PASSWORD)
        {
            EXPECT_FALSE(m_settings.SetString(nIndex, "other"));
        }
    }
    EXPECT_EQ(PasswordOf(m_settings), "pw");
}

TEST(DefaultSettingsStoreTest, RecordWithoutStoreUsesProcessProfile)
{
    auto* pStore = dynamic_cast<CMemorySettingsStore*>(&DefaultSettingsStore());
    ASSERT_NE(pStore, nullptr);
    pStore->Clear();

    CSaverSettings settings;
    settings.SetInt(SETTING_SPARKLES_COUNT, 321);
    ASSERT_TRUE(settings.Save());

    int nStored = 0;
    ASSERT_TRUE(StoredDword(*pStore, "SparklesCount", nStored));
    EXPECT_EQ(nStored, 321);
    pStore->Clear();
}
} // namespace
