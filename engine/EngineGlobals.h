#pragma once

#include <atomic>

// State shared by every engine of the process. Only one engine animates at a time, but
// engines are created on one thread and stepped on another, so every access is atomic.
extern std::atomic<int> g_nFrame;     // steps completed in this process, saturating
extern std::atomic<int> g_nSeedPhase; // 0..6 within the current seed transition
extern std::atomic<int> g_nSeedDepth; // recursion level of the seed generator

// Returns the process-wide state to its start values, as a fresh process has it.
void ResetEngineGlobals();

// One engine's copy of the process-wide state, for a thread that steps several engines in
// turn: each runs with its own frame count and seed line as if it were alone.
struct SEngineGlobals
{
    int nFrame = 0;
    int nSeedPhase = 0;
    int nSeedDepth = 0;
};

// Exchanges the process-wide state with state: call once before an engine's step and once
// after it, with the same state.
void SwapEngineGlobals(SEngineGlobals& state);
