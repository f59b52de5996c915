#include "CMemorySettingsStore.h"

namespace
{
constexpr std::size_t DWORD_SIZE = 4;

// Little-endian, as the registry stores a DWORD on x86.
std::string DwordBytes(unsigned int dwValue)
{
    std::string strBytes(DWORD_SIZE, '\0');
    for (std::size_t i = 0; i < DWORD_SIZE; ++i)
    {
        strBytes[i] = static_cast<char>((dwValue >> (8 * i)) & 0xFF);
    }
    return strBytes;
}

// A query into a 4-byte buffer: fails for data that does not fit, and leaves the bytes that
// shorter data does not reach at zero.
bool QueryDword(const std::string& strData, unsigned int& dwValue)
{
    if (strData.size() > DWORD_SIZE)
    {
        return false;
    }
    dwValue = 0;
    for (std::size_t i = 0; i < strData.size(); ++i)
    {
        dwValue |= static_cast<unsigned int>(static_cast<unsigned char>(strData[i])) << (8 * i);
    }
    return true;
}
} // namespace

int CMemorySettingsStore::GetProfileInt(const char* pszSection, const char* pszEntry, int nDefault)
{
    // Opening a section creates it, for reads as for writes.
    auto& section = m_sections[pszSection];
    const auto it = section.find(pszEntry);
    unsigned int dwValue = 0;
    if (it == section.end() || !QueryDword(it->second.strData, dwValue))
    {
        return nDefault;
    }
    return static_cast<int>(dwValue);
}

std::string CMemorySettingsStore::GetProfileString(const char* pszSection, const char* pszEntry,
                                                   const std::string& strDefault)
{
    auto& section = m_sections[pszSection];
    const auto it = section.find(pszEntry);
    if (it == section.end() || it->second.dwType != TYPE_SZ)
    {
        return strDefault;
    }
    const std::string& strData = it->second.strData;
    return strData.substr(0, strData.find('\0'));
}

bool CMemorySettingsStore::WriteProfileInt(const char* pszSection, const char* pszEntry, int nValue)
{
    if (!ConsumeWrite())
    {
        return false;
    }
    SetDword(pszSection, pszEntry, static_cast<unsigned int>(nValue));
    return true;
}

bool CMemorySettingsStore::WriteProfileString(const char* pszSection, const char* pszEntry,
                                              const std::string& strValue)
{
    if (!ConsumeWrite())
    {
        return false;
    }
    SetString(pszSection, pszEntry, strValue);
    return true;
}

bool CMemorySettingsStore::GetSystemPasswordOption(unsigned long& dwType, unsigned int& dwValue)
{
    if (!m_bHasSystemOption || !QueryDword(m_systemOption.strData, dwValue))
    {
        return false;
    }
    dwType = m_systemOption.dwType;
    return true;
}

void CMemorySettingsStore::GetScreenSize(int& nWidth, int& nHeight)
{
    nWidth = m_nScreenWidth;
    nHeight = m_nScreenHeight;
}

void CMemorySettingsStore::SetValue(const std::string& strSection, const std::string& strEntry,
                                    unsigned long dwType, const std::string& strData)
{
    m_sections[strSection][strEntry] = Value{dwType, strData};
}

void CMemorySettingsStore::SetDword(const std::string& strSection, const std::string& strEntry,
                                    unsigned int dwValue)
{
    SetValue(strSection, strEntry, TYPE_DWORD, DwordBytes(dwValue));
}

void CMemorySettingsStore::SetString(const std::string& strSection, const std::string& strEntry,
                                     const std::string& strValue)
{
    SetValue(strSection, strEntry, TYPE_SZ, std::string(strValue.c_str(), strValue.size() + 1));
}

const CMemorySettingsStore::Value*
CMemorySettingsStore::FindValue(const std::string& strSection, const std::string& strEntry) const
{
    const auto itSection = m_sections.find(strSection);
    if (itSection == m_sections.end())
    {
        return nullptr;
    }
    const auto it = itSection->second.find(strEntry);
    return it == itSection->second.end() ? nullptr : &it->second;
}

bool CMemorySettingsStore::HasSection(const std::string& strSection) const
{
    return m_sections.count(strSection) != 0;
}

void CMemorySettingsStore::Clear()
{
    m_sections.clear();
}

void CMemorySettingsStore::SetSystemPasswordOption(unsigned long dwType, const std::string& strData)
{
    m_bHasSystemOption = true;
    m_systemOption = Value{dwType, strData};
}

void CMemorySettingsStore::SetScreenSize(int nWidth, int nHeight)
{
    m_nScreenWidth = nWidth;
    m_nScreenHeight = nHeight;
}

bool CMemorySettingsStore::ConsumeWrite()
{
    if (m_nWritesBeforeFailure >= 0 && m_nWritesBeforeFailure-- == 0)
    {
        return false;
    }
    ++m_nWriteCount;
    return true;
}
