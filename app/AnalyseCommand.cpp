#include "app/AnalyseCommand.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "app/CommandSupport.h"
#include "app/DocumentOptions.h"
#include "model/CurvanaDocument.h"
#include "model/CurveKind.h"
#include "model/RemarkablePoints.h"
#include "platform/CLocale.h"
#include "view/PlotRenderer.h"

namespace {

// One line: CURVE KIND X Y STATUS, then the parameter of a parametric or polar curve, or the
// right-hand limit of a jump.
std::string Line(const RemarkablePoint& p, bool byParameter)
{
    std::string curve = std::to_string(p.curve);
    if (p.kind == PointKind::Intersection)
        curve += "," + std::to_string(p.otherCurve);
    std::string line = curve + " " + PointKindName(p.kind) + " " + ExactNumber(p.x) + " "
        + ExactNumber(p.y) + (p.status == PointStatus::Proven ? " proven" : " likely");
    if (byParameter)
        line += " " + ExactNumber(p.parameter);
    else if (p.kind == PointKind::Jump)
        line += " " + ExactNumber(p.yRight);
    return line + "\n";
}

} // namespace

int RunAnalyse(int argc, char** argv)
{
    const std::optional<DocumentOptions> options = ParseDocumentOptions(argc, argv, 2);
    if (!options)
        return kExitUsage;
    const DocumentOptions& o = *options;
    CurvanaDocument document;
    if (const int status = OpenDocument(o, document))
        return status;
    // The range analysed is the one drawn: the surface measured and the area normalised.
    CFunctionsContext& context = document.context;
    PrepareSurface(context, o.width, o.height, o.dpi);
    const double xMin = context.PixelToWorldX(0);
    const double xMax = context.PixelToWorldX(context.screenWidth);

    std::vector<CFunction> curves;
    for (const CFunctionEntry& entry : context.functions)
        curves.push_back(entry.function);
    std::string out;
    for (int i = 0; i < static_cast<int>(curves.size()); ++i) {
        const CurveKind* kind = FindCurveKind(curves[static_cast<size_t>(i)].Type());
        const bool byParameter = kind != nullptr && kind->range == VariableRange::Parameter;
        const CurveAnalysis analysis = AnalyseCurve(curves, i, xMin, xMax);
        for (const RemarkablePoint& p : analysis.points)
            out += Line(p, byParameter);
        for (const UndecidedRange& r : analysis.undecided)
            out += std::to_string(r.curve) + " undecided " + ExactNumber(r.lo) + " "
                + ExactNumber(r.hi) + "\n";
        std::fputs(out.c_str(), stdout);
        out.clear();
    }
    return kExitOk;
}
