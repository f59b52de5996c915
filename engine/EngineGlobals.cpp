#include "EngineGlobals.h"

std::atomic<CVulkara*> g_pActiveEngine{nullptr};
std::atomic<int> g_nFrame{0};
std::atomic<int> g_nSeedPhase{0};
std::atomic<int> g_nSeedDepth{0};

void ResetEngineGlobals()
{
    g_pActiveEngine = nullptr;
    g_nFrame = 0;
    g_nSeedPhase = 0;
    g_nSeedDepth = 0;
}

void SwapEngineGlobals(SEngineGlobals& state)
{
    state.pActiveEngine = g_pActiveEngine.exchange(state.pActiveEngine);
    state.nFrame = g_nFrame.exchange(state.nFrame);
    state.nSeedPhase = g_nSeedPhase.exchange(state.nSeedPhase);
    state.nSeedDepth = g_nSeedDepth.exchange(state.nSeedDepth);
}
