// Fuzz target of document loading: arbitrary bytes are loaded as a .cvn document. A load either
// fails with an archive error or gives a model that saves, loads back the same, and draws.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "model/CFunctionsContext.h"
#include "platform/Archive.h"
#include "view/PlotRenderer.h"
#include "view/RecordingGraphics.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::vector<uint8_t> bytes(data, data + size);
    CFunctionsContext context;
    try {
        Archive load(bytes);
        context.Serialize(load);
    } catch (const ArchiveException&) {
        return 0;
    }
    // What loads saves, and what is saved loads back to the same bytes. (The input itself may
    // differ: booleans other than 1, longer length prefixes and wide strings are all accepted.)
    Archive first;
    context.Serialize(first);
    CFunctionsContext reloaded;
    Archive again(first.Bytes());
    reloaded.Serialize(again);
    Archive second;
    reloaded.Serialize(second);
    if (second.Bytes() != first.Bytes())
        std::abort();

    // Draw on a small surface, with bounded work per curve.
    if (context.GetCount() > 8)
        context.EraseRange(8, context.GetCount() - 8);
    for (CFunctionEntry& e : context.functions)
        e.function.iterations = std::min(std::fabs(e.function.iterations), 300.0);
    RecordingGraphics g;
    DrawPlot(g, context, {Medium::Document, 64, 48, 96});
    return 0;
}
