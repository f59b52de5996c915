#include "Random.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace
{
#ifdef _WIN32
// MinGW's thread_local goes through emulated TLS, a lock and several calls per access: several
// per cent of the saver's processor time at thousands of draws a frame. A Win32 slot is a read
// of the thread's own block. A slot starts at 0 in every thread, so it holds the state minus 1.
const DWORD g_nRandomSlot = ::TlsAlloc();

unsigned int LoadState()
{
    return static_cast<unsigned int>(reinterpret_cast<UINT_PTR>(::TlsGetValue(g_nRandomSlot))) + 1u;
}

void StoreState(unsigned int nState)
{
    ::TlsSetValue(g_nRandomSlot, reinterpret_cast<void*>(static_cast<UINT_PTR>(nState - 1u)));
}
#else
thread_local unsigned int t_nRandomState = 1;

unsigned int LoadState()
{
    return t_nRandomState;
}

void StoreState(unsigned int nState)
{
    t_nRandomState = nState;
}
#endif
} // namespace

void SeedRandom(unsigned int nSeed)
{
    StoreState(nSeed);
}

int Random()
{
    const unsigned int nState = LoadState() * 214013u + 2531011u;
    StoreState(nState);
    return static_cast<int>((nState >> 16) & 0x7fff);
}
