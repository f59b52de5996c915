// Prints what a running Windows process holds, for the soak runs: one line per process whose
// executable has the given name, with its process id, working set and private bytes in KiB,
// kernel handles, and GDI and USER objects. Exits 1 when no such process runs.
//   procstat.exe NAME
#include <windows.h>

#include <psapi.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace
{
// The system's table of open handles, as NtQuerySystemInformation gives it. Wine keeps the
// per-process count at zero but fills this table from its server.
constexpr ULONG SYSTEM_HANDLE_INFORMATION_CLASS = 16;
constexpr LONG STATUS_INFO_LENGTH_MISMATCH = static_cast<LONG>(0xC0000004);

struct SystemHandleEntry
{
    ULONG nOwnerPid;
    BYTE nObjectType;
    BYTE nFlags;
    USHORT nHandle;
    PVOID pObject;
    ACCESS_MASK nAccess;
};

struct SystemHandleTable
{
    ULONG nCount;
    SystemHandleEntry aEntries[1];
};

using NtQuerySystemInformationProc = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);

// The handles the process holds, or -1 when the table cannot be read.
long CountHandles(DWORD nPid)
{
    const auto pfnQuery = reinterpret_cast<NtQuerySystemInformationProc>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (pfnQuery == nullptr)
        return -1;
    std::vector<BYTE> buffer(1 << 16);
    for (;;)
    {
        ULONG nNeeded = 0;
        const LONG nStatus = pfnQuery(SYSTEM_HANDLE_INFORMATION_CLASS, buffer.data(),
                                      static_cast<ULONG>(buffer.size()), &nNeeded);
        if (nStatus == STATUS_INFO_LENGTH_MISMATCH && buffer.size() < (1u << 28))
        {
            buffer.resize(buffer.size() * 2);
            continue;
        }
        if (nStatus != 0)
            return -1;
        break;
    }
    const auto* pTable = reinterpret_cast<const SystemHandleTable*>(buffer.data());
    long nCount = 0;
    for (ULONG i = 0; i < pTable->nCount; ++i)
        if (pTable->aEntries[i].nOwnerPid == nPid)
            ++nCount;
    return nCount;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: procstat NAME\n");
        return 2;
    }
    HANDLE hSnapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (hSnapshot == INVALID_HANDLE_VALUE)
        return 2;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    int nFound = 0;
    for (BOOL bMore = ::Process32First(hSnapshot, &entry); bMore;
         bMore = ::Process32Next(hSnapshot, &entry))
    {
        if (::lstrcmpiA(entry.szExeFile, argv[1]) != 0)
            continue;
        HANDLE hProcess =
            ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, entry.th32ProcessID);
        if (hProcess == nullptr)
            continue;
        PROCESS_MEMORY_COUNTERS counters = {};
        counters.cb = sizeof(counters);
        ::GetProcessMemoryInfo(hProcess, &counters, sizeof(counters));
        DWORD nHandles = 0;
        if (!::GetProcessHandleCount(hProcess, &nHandles) || nHandles == 0)
            nHandles = static_cast<DWORD>(CountHandles(entry.th32ProcessID));
        const DWORD nGdi = ::GetGuiResources(hProcess, GR_GDIOBJECTS);
        const DWORD nUser = ::GetGuiResources(hProcess, GR_USEROBJECTS);
        std::printf("pid=%lu working_set_kib=%lu private_kib=%lu handles=%ld gdi=%lu user=%lu\n",
                    static_cast<unsigned long>(entry.th32ProcessID),
                    static_cast<unsigned long>(counters.WorkingSetSize / 1024),
                    static_cast<unsigned long>(counters.PagefileUsage / 1024),
                    static_cast<long>(nHandles), static_cast<unsigned long>(nGdi),
                    static_cast<unsigned long>(nUser));
        ::CloseHandle(hProcess);
        ++nFound;
    }
    ::CloseHandle(hSnapshot);
    return nFound > 0 ? 0 : 1;
}
