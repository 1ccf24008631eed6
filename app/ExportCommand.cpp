#include "app/ExportCommand.h"

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "app/CommandSupport.h"
#include "app/DocumentOptions.h"
#include "model/CurvanaDocument.h"
#include "model/Sampler.h"
#include "platform/CLocale.h"
#include "ui/ImageExport.h"
#include "ui/QtRuntime.h"
#include "view/NullGraphics.h"
#include "view/PlotRenderer.h"

namespace {

enum class Output { Document, Png, Svg, Pdf };

std::optional<Output> OutputFor(const std::string& path)
{
    const size_t dot = path.rfind('.');
    const size_t slash = path.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return std::nullopt;
    const std::string extension = platform::CToLower(path.substr(dot));
    if (extension == ".cvn")
        return Output::Document;
    if (extension == ".png")
        return Output::Png;
    if (extension == ".svg")
        return Output::Svg;
    if (extension == ".pdf")
        return Output::Pdf;
    return std::nullopt;
}

void PrintPoints(int curve, const std::vector<PlotPoint>& points)
{
    std::string out = platform::CFormat("# curve %d: %zu points\n", curve, points.size());
    for (const PlotPoint& p : points)
        out += platform::CFormat("%.9g %.9g %d\n", static_cast<double>(p.x),
            static_cast<double>(p.y), p.penDown ? 1 : 0);
    std::fputs(out.c_str(), stdout);
}

// The drawing goes nowhere, then the document is saved with the surface it was drawn on.
bool DrawAndSaveDocument(CurvanaDocument& document, const DocumentOptions& o,
    const PlotPointsObserver& observer, std::string& error)
{
    NullGraphics nowhere;
    DrawPlot(nowhere, document.context, {Medium::Document, o.width, o.height, o.dpi}, observer);
    return document.Save(o.out, error);
}

// Pictures are drawn through Qt, which qt starts here and keeps until the process ends.
bool DrawImage(std::optional<QtRuntime>& qt, ImageFormat format, CFunctionsContext& context,
    const DocumentOptions& o, const PlotPointsObserver& observer, std::string& error)
{
    qt.emplace();
    return ExportDrawing(
        o.out, format, context, {Medium::File, o.width, o.height, o.dpi}, observer, error);
}

} // namespace

int RunExport(int argc, char** argv)
{
    if (argc < 3)
        return UsageError("il manque le fichier de sortie après --export");
    std::optional<DocumentOptions> options = ParseDocumentOptions(argc, argv, 3);
    if (!options)
        return kExitUsage;
    options->out = argv[2];
    const DocumentOptions& o = *options;
    const std::optional<Output> output = OutputFor(o.out);
    if (!output)
        return UsageError("extension de sortie inconnue : « " + o.out
            + " » (attendu : .png, .svg, .pdf ou .cvn)");

    CurvanaDocument document;
    if (const int status = OpenDocument(o, document))
        return status;
    std::string error;
    CFunctionsContext& context = document.context;

    const PlotPointsObserver observer
        = o.points ? PlotPointsObserver(PrintPoints) : PlotPointsObserver();
    std::optional<QtRuntime> qt;
    bool written = false;
    switch (*output) {
    case Output::Document:
        written = DrawAndSaveDocument(document, o, observer, error);
        break;
    case Output::Png:
        written = DrawImage(qt, ImageFormat::Png, context, o, observer, error);
        break;
    case Output::Svg:
        written = DrawImage(qt, ImageFormat::Svg, context, o, observer, error);
        break;
    case Output::Pdf:
        written = DrawImage(qt, ImageFormat::Pdf, context, o, observer, error);
        break;
    }
    std::fflush(stdout);
    if (!written) {
        std::fprintf(stderr, "curvana : %s\n", error.c_str());
        return kExitUsage;
    }
    // The points of --points are written by now: a failure to write them is the export's.
    const int status = FinishOutput(kExitOk);
    if (qt)
        qt->EndProcess(status);
    return status;
}
