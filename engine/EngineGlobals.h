#pragma once

#include <atomic>

class CVulkara;

// State shared by every engine of the process. Only one engine animates at a time, but
// engines are created on one thread and stepped on another, so every access is atomic.
extern std::atomic<CVulkara*> g_pActiveEngine; // the engine initialised last, until destroyed
extern std::atomic<int> g_nFrame;              // steps completed in this process, saturating
extern std::atomic<int> g_nSeedPhase;          // 0..6 within the current seed transition
extern std::atomic<int> g_nSeedDepth;          // recursion level of the seed generator

// Returns the process-wide state to its start values, as a fresh process has it.
void ResetEngineGlobals();
