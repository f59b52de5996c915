#include "Random.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace
{
thread_local unsigned int t_nRandomState = 1;

#ifdef _WIN32
// MinGW's thread_local goes through emulated TLS, a lock and several calls on every access:
// several per cent of the saver's processor time at thousands of draws a frame. A Win32 slot
// keeps each thread's address of its state, found the slow way once per thread.
const DWORD g_nStateSlot = ::TlsAlloc();

unsigned int& State()
{
    void* pState = ::TlsGetValue(g_nStateSlot);
    if (pState == nullptr)
    {
        pState = &t_nRandomState;
        ::TlsSetValue(g_nStateSlot, pState);
    }
    return *static_cast<unsigned int*>(pState);
}
#else
unsigned int& State()
{
    return t_nRandomState;
}
#endif
} // namespace

void SeedRandom(unsigned int nSeed)
{
    State() = nSeed;
}

int Random()
{
    unsigned int& nState = State();
    nState = nState * 214013u + 2531011u;
    return static_cast<int>((nState >> 16) & 0x7fff);
}
