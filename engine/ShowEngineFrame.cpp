#include "ShowEngineFrame.h"

#include "CVulkara.h"
#include "IFrameOutput.h"

void ShowEngineFrame(CVulkara& engine, IFrameOutput& output, std::vector<uint8_t>& warmRows)
{
    const CFlameField& field = engine.GetFlameField();
    warmRows.resize(static_cast<size_t>(engine.GetHeight()));
    for (size_t y = 0; y < warmRows.size(); ++y)
        warmRows[y] = field.IsRowWarm(static_cast<int>(y)) ? 1 : 0;
    // An output that can take the frame where the engine keeps it saves copying it.
    const uint8_t* pFrame = engine.GetFrameInPlace();
    if (pFrame != nullptr && output.ShowsFramesInPlace())
    {
        output.ShowInPlace(pFrame, warmRows.data(), field.GetHotChunks());
        return;
    }
    uint8_t* pDest = output.BeginFrame(warmRows.data(), field.GetHotChunks());
    if (pDest != nullptr)
        output.EndFrame(engine.Render(pDest));
}
