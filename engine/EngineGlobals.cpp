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
