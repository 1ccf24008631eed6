#include "model/CFunctionsContext.h"

#include "platform/Archive.h"

namespace {

// The smallest curve record: kind, two empty strings, three doubles and the colour.
constexpr size_t kMinimumCurveRecord = 1 + 1 + 1 + 8 + 8 + 4 + 8;

} // namespace

CFunction DefaultCurve()
{
    CFunction f;
    f.Set(CurveCartesian, "sin(1/x)", "", 0.0, 1.0, 12352897, 1009.0);
    return f;
}

void CFunctionsContext::ApplyNewDocumentDefaults()
{
    area.viewXMin = area.areaXMin = -22;
    area.viewXMax = area.areaXMax = 18;
    area.viewYMin = area.areaYMin = -10;
    area.viewYMax = area.areaYMax = 10;
    area.normaliseX = true;
    area.normaliseY = false;
    functions.clear();
    CFunctionEntry entry;
    entry.SetFunction(DefaultCurve());
    functions.push_back(entry);
}

void CFunctionsContext::EraseRange(int first, int count)
{
    if (first < 0 || count <= 0 || first >= GetCount())
        return;
    // count may be as large as INT_MAX: compare it with what remains instead of adding it.
    const int last = count >= GetCount() - first ? GetCount() : first + count;
    functions.erase(functions.begin() + first, functions.begin() + last);
}

void CFunctionsContext::Serialize(Archive& ar)
{
    if (ar.IsStoring()) {
        ar.WriteInt32(formatNumber);
        ar.WriteDouble(area.areaXMin);
        ar.WriteDouble(area.areaXMax);
        ar.WriteDouble(area.areaYMin);
        ar.WriteDouble(area.areaYMax);
        ar.WriteBool(area.normaliseX);
        ar.WriteBool(area.normaliseY);
        ar.WriteInt32(screenWidth);
        ar.WriteInt32(screenHeight);
        ar.WriteInt32(static_cast<int32_t>(functions.size()));
        for (CFunctionEntry& entry : functions)
            entry.function.Serialize(ar);
        axis.Serialize(ar);
        return;
    }
    // The view ranges are not touched: the next drawing rebuilds them from the area.
    formatNumber = ar.ReadInt32();
    area.areaXMin = ar.ReadDouble();
    area.areaXMax = ar.ReadDouble();
    area.areaYMin = ar.ReadDouble();
    area.areaYMax = ar.ReadDouble();
    area.normaliseX = ar.ReadBool();
    area.normaliseY = ar.ReadBool();
    screenWidth = ar.ReadInt32();
    screenHeight = ar.ReadInt32();
    const int32_t count = ar.ReadInt32();
    functions.clear();
    // A count the remaining bytes cannot hold is refused before anything is read for it.
    if (count > 0 && static_cast<size_t>(count) > ar.Remaining() / kMinimumCurveRecord)
        throw ArchiveException(ArchiveException::EndOfFile, "curve count beyond the end of file");
    for (int32_t i = 0; i < count; ++i) {
        CFunction f;
        f.Serialize(ar);
        CFunctionEntry entry;
        entry.SetFunction(f);
        functions.push_back(entry);
    }
    axis.Serialize(ar);
}
