#pragma once

// Every value of the test program's settings key, to compare before and after.

#include <windows.h>

#include <map>
#include <string>
#include <utility>

// Value name -> (type, data).
using RegistrySnapshot = std::map<std::string, std::pair<DWORD, std::string>>;

RegistrySnapshot SnapshotConfig();

// The 32-bit number stored under that name, or 0xFFFFFFFF when it is missing or not a number.
DWORD DwordOf(const RegistrySnapshot& snapshot, const std::string& strName);
