#pragma once

#include "ISettingsStore.h"

#include <map>
#include <string>

// A profile kept in memory, with the registry's typed values, for tests and native tools.
// Reads follow the registry store's rules (4-byte integer queries whatever the type, text
// only from a string value), and a write can be made to fail to exercise partial saves.
class CMemorySettingsStore : public ISettingsStore
{
public:
    // The registry's type codes, so that values and the system option keep their meaning.
    static constexpr unsigned long TYPE_SZ = 1;
    static constexpr unsigned long TYPE_BINARY = 3;
    static constexpr unsigned long TYPE_DWORD = 4;

    struct Value
    {
        unsigned long dwType;
        std::string strData; // raw bytes; a string's include its terminating zero
    };

    static constexpr int DEFAULT_SCREEN_WIDTH = 1024;
    static constexpr int DEFAULT_SCREEN_HEIGHT = 768;

    int GetProfileInt(const char* pszSection, const char* pszEntry, int nDefault) override;
    std::string GetProfileString(const char* pszSection, const char* pszEntry,
                                 const std::string& strDefault) override;
    bool WriteProfileInt(const char* pszSection, const char* pszEntry, int nValue) override;
    bool WriteProfileString(const char* pszSection, const char* pszEntry,
                            const std::string& strValue) override;
    bool GetSystemPasswordOption(unsigned long& dwType, unsigned int& dwValue) override;
    void GetScreenSize(int& nWidth, int& nHeight) override;

    // Direct access to the stored values, bypassing the write limit.
    void SetValue(const std::string& strSection, const std::string& strEntry, unsigned long dwType,
                  const std::string& strData);
    void SetDword(const std::string& strSection, const std::string& strEntry, unsigned int dwValue);
    void SetString(const std::string& strSection, const std::string& strEntry,
                   const std::string& strValue);
    const Value* FindValue(const std::string& strSection, const std::string& strEntry) const;
    bool HasSection(const std::string& strSection) const;
    void Clear();

    // Lets the next nWrites profile writes succeed and fails the one after them; later
    // writes succeed again, so a caller that goes on after a failure shows.
    void FailWriteAfter(int nWrites) { m_nWritesBeforeFailure = nWrites; }
    int GetWriteCount() const { return m_nWriteCount; }

    void SetSystemPasswordOption(unsigned long dwType, const std::string& strData);
    void RemoveSystemPasswordOption() { m_bHasSystemOption = false; }
    void SetScreenSize(int nWidth, int nHeight);

private:
    bool ConsumeWrite();

    std::map<std::string, std::map<std::string, Value>> m_sections;
    int m_nWritesBeforeFailure = -1; // negative: no failure pending
    int m_nWriteCount = 0;
    bool m_bHasSystemOption = false;
    Value m_systemOption{TYPE_DWORD, {}};
    int m_nScreenWidth = DEFAULT_SCREEN_WIDTH;
    int m_nScreenHeight = DEFAULT_SCREEN_HEIGHT;
};
