#pragma once

#include "ISettingsReader.h"
#include "ISettingsWriter.h"
#include "SettingsTable.h"

#include <cstddef>
#include <string>

class ISettingsStore;

// The record of every user setting, loaded from and saved to the application's profile. A
// plain value: each user constructs one, loads it, reads it and drops it.
class CSaverSettings : public ISettingsReader, public ISettingsWriter
{
public:
    // The longest password the record stores: it is scrambled in a 256-byte buffer that also
    // holds the terminator.
    static constexpr std::size_t MAX_PASSWORD_LENGTH = 255;

    CSaverSettings();
    explicit CSaverSettings(ISettingsStore& store);

    bool GetInt(int nIndex, int& nValue) const override;
    bool GetString(int nIndex, std::string& strValue) const override;
    bool SetInt(int nIndex, int nValue) override;
    bool SetString(int nIndex, const std::string& strValue) override;

    // Fills every field from the profile; a missing or unreadable value takes its default.
    // Always returns true.
    bool Load();

    // Writes the persisted fields; false at the first failed write, leaving the rest unwritten.
    bool Save();

    // The reversible transformation the password undergoes on its way to and from the
    // profile; applying it twice gives the text back. Only the first MAX_PASSWORD_LENGTH
    // characters are transformed.
    static std::string ScramblePassword(const std::string& strText);

    // Whether a password survives the trip through the profile unchanged: not too long, and
    // no character that would scramble to the terminator.
    static bool IsStorablePassword(const std::string& strText);

private:
    // Reads the stored values of one load stage, in table order.
    void LoadValues(LoadStage stage);

    // The integers by index, each as SettingsTable.h describes it; the password's slot is unused.
    int m_aValues[SETTING_COUNT];
    std::string m_strPassword;

    ISettingsStore* m_pStore;
};
