#pragma once

#include <cstdint>
#include <vector>

class CVulkara;
class IFrameOutput;

// Puts the frame of the engine's last step on an output, the same way for every front end: from
// where the engine keeps it when the output can read it there, else rendered into the buffer the
// output gives, and not at all when the output says nothing on the screen would change.
// warmRows is the caller's scratch, one byte for each of the engine's rows.
void ShowEngineFrame(CVulkara& engine, IFrameOutput& output, std::vector<uint8_t>& warmRows);
