#include "EngineGlobals.h"

std::atomic<int> g_nFrame{0};
std::atomic<int> g_nSeedPhase{0};
std::atomic<int> g_nSeedDepth{0};

void ResetEngineGlobals()
{
    g_nFrame = 0;
    g_nSeedPhase = 0;
    g_nSeedDepth = 0;
}

void SwapEngineGlobals(SEngineGlobals& state)
{
    state.nFrame = g_nFrame.exchange(state.nFrame);
    state.nSeedPhase = g_nSeedPhase.exchange(state.nSeedPhase);
    state.nSeedDepth = g_nSeedDepth.exchange(state.nSeedDepth);
}
