#include "model/CCurvanaParams.h"
#include "platform/Archive.h"

void CCurvanaParams::Serialize(Archive& ar)
{
    if (ar.IsStoring()) {
        ar.WriteBool(antialias);
        ar.WriteBool(joinedLines);
        ar.WriteBool(searchBreakPoints);
        ar.WriteBool(searchDiscontinuities);
    } else {
        antialias = ar.ReadBool();
        joinedLines = ar.ReadBool();
        searchBreakPoints = ar.ReadBool();
        searchDiscontinuities = ar.ReadBool();
    }
}
