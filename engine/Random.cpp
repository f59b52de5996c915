#include "Random.h"

namespace
{
thread_local unsigned int t_nRandomState = 1;
}

void SeedRandom(unsigned int nSeed)
{
    t_nRandomState = nSeed;
}

int Random()
{
    t_nRandomState = t_nRandomState * 214013u + 2531011u;
    return static_cast<int>((t_nRandomState >> 16) & 0x7fff);
}
