#include "RegistrySnapshot.h"

#include "WinTestUtil.h"

#include <cstring>

RegistrySnapshot SnapshotConfig()
{
    RegistrySnapshot snapshot;
    const std::string strKey = ConfigKeyPath();
    HKEY hKey = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, strKey.c_str(), 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return snapshot;
    for (DWORD i = 0;; ++i)
    {
        char szName[256];
        DWORD cchName = sizeof(szName);
        BYTE data[1024];
        DWORD cbData = sizeof(data);
        DWORD dwType = 0;
        if (::RegEnumValueA(hKey, i, szName, &cchName, nullptr, &dwType, data, &cbData) !=
            ERROR_SUCCESS)
            break;
        snapshot[szName] = {dwType, std::string(reinterpret_cast<char*>(data), cbData)};
    }
    ::RegCloseKey(hKey);
    return snapshot;
}

DWORD DwordOf(const RegistrySnapshot& snapshot, const std::string& strName)
{
    const auto it = snapshot.find(strName);
    if (it == snapshot.end() || it->second.first != REG_DWORD || it->second.second.size() != 4)
        return 0xFFFFFFFF;
    DWORD dwValue = 0;
    std::memcpy(&dwValue, it->second.second.data(), 4);
    return dwValue;
}
