#include "model/CSettingsAxis.h"
#include "platform/Archive.h"

void CSettingsAxis::Serialize(Archive& ar)
{
    if (ar.IsStoring()) {
        ar.WriteBool(drawAxes);
        ar.WriteInt32(axesColour);
        ar.WriteInt32(axesLineType);
        ar.WriteBool(drawUnitVectors);
        ar.WriteBool(drawAxisEnds);
        ar.WriteBool(graduate);
        ar.WriteDouble(xGraduationCount);
        ar.WriteDouble(yGraduationCount);
        ar.WriteBool(drawGrid);
        ar.WriteInt32(gridColour);
        ar.WriteInt32(gridAlpha);
        ar.WriteInt32(gridLineType);
    } else {
        drawAxes = ar.ReadBool();
        axesColour = ar.ReadInt32();
        axesLineType = ar.ReadInt32();
        drawUnitVectors = ar.ReadBool();
        drawAxisEnds = ar.ReadBool();
        graduate = ar.ReadBool();
        xGraduationCount = ar.ReadDouble();
        yGraduationCount = ar.ReadDouble();
        drawGrid = ar.ReadBool();
        gridColour = ar.ReadInt32();
        gridAlpha = ar.ReadInt32();
        gridLineType = ar.ReadInt32();
    }
}
