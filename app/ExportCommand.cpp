#include "app/ExportCommand.h"

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "app/CommandLine.h"
#include "model/CurvanaDocument.h"
#include "platform/CLocale.h"
#include "ui/ImageExport.h"
#include "ui/QtRuntime.h"
#include "view/NullGraphics.h"
#include "view/PlotRenderer.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 2;

// Surfaces beyond these would only exhaust memory.
constexpr long kMaxSide = 16384;
constexpr long long kMaxPixels = 64ll << 20;
constexpr long kMaxDpi = 9600;

enum class Output { Document, Png, Svg, Pdf };

struct ExportOptions {
    std::string out;
    std::string file;
    int width = 800;
    int height = 600;
    int dpi = 96;
    bool points = false;
    bool antialias = true;
    bool joinedLines = true;
    bool searchBreakPoints = true;
    bool searchDiscontinuities = true;
    bool manualGraduation = false;
};

// A strictly positive decimal integer, all of the text.
std::optional<long> PositiveInteger(const std::string& text)
{
    if (text.empty() || text.size() > 9)
        return std::nullopt;
    for (char c : text)
        if (!platform::IsCDigit(c))
            return std::nullopt;
    const long v = std::strtol(text.c_str(), nullptr, 10);
    return v > 0 ? std::optional<long>(v) : std::nullopt;
}

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

// Parses the arguments after --export; on error prints it and returns nullopt.
std::optional<ExportOptions> ParseOptions(int argc, char** argv)
{
    ExportOptions o;
    if (argc < 3) {
        UsageError("il manque le fichier de sortie après --export");
        return std::nullopt;
    }
    o.out = argv[2];
    for (int i = 3; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--size" || a == "--dpi") {
            if (i + 1 >= argc) {
                UsageError("il manque la valeur après " + a);
                return std::nullopt;
            }
            const std::string value = argv[++i];
            if (a == "--dpi") {
                const std::optional<long> dpi = PositiveInteger(value);
                if (!dpi || *dpi > kMaxDpi) {
                    UsageError("--dpi attend un entier de 1 à " + std::to_string(kMaxDpi) + " : « "
                        + value + " »");
                    return std::nullopt;
                }
                o.dpi = static_cast<int>(*dpi);
                continue;
            }
            const size_t x = value.find('x');
            const std::optional<long> w
                = x == std::string::npos ? std::nullopt : PositiveInteger(value.substr(0, x));
            const std::optional<long> h
                = x == std::string::npos ? std::nullopt : PositiveInteger(value.substr(x + 1));
            if (!w || !h || *w > kMaxSide || *h > kMaxSide
                || static_cast<long long>(*w) * *h > kMaxPixels) {
                UsageError("--size attend LARGEURxHAUTEUR en pixels, chaque côté de 1 à "
                    + std::to_string(kMaxSide) + " : « " + value + " »");
                return std::nullopt;
            }
            o.width = static_cast<int>(*w);
            o.height = static_cast<int>(*h);
        } else if (a == "--points") {
            o.points = true;
        } else if (a == "--no-antialias") {
            o.antialias = false;
        } else if (a == "--dots") {
            o.joinedLines = false;
        } else if (a == "--no-break-search") {
            o.searchBreakPoints = false;
        } else if (a == "--no-domain-search") {
            o.searchDiscontinuities = false;
        } else if (a == "--manual-graduation") {
            o.manualGraduation = true;
        } else if (a.size() > 1 && a[0] == '-') {
            UsageError("option inconnue : « " + a + " »");
            return std::nullopt;
        } else if (!o.file.empty()) {
            UsageError("un seul document à la fois : « " + a + " »");
            return std::nullopt;
        } else {
            o.file = a;
        }
    }
    return o;
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
bool DrawAndSaveDocument(CurvanaDocument& document, const ExportOptions& o,
    const PlotPointsObserver& observer, std::string& error)
{
    NullGraphics nowhere;
    DrawPlot(nowhere, document.context, {Medium::Document, o.width, o.height, o.dpi}, observer);
    return document.Save(o.out, error);
}

bool DrawImage(ImageFormat format, CFunctionsContext& context, const ExportOptions& o,
    const PlotPointsObserver& observer, std::string& error)
{
    const QtRuntime qt;
    return ExportDrawing(
        o.out, format, context, {Medium::File, o.width, o.height, o.dpi}, observer, error);
}

} // namespace

int RunExport(int argc, char** argv)
{
    const std::optional<ExportOptions> options = ParseOptions(argc, argv);
    if (!options)
        return kExitFailure;
    const ExportOptions& o = *options;
    const std::optional<Output> output = OutputFor(o.out);
    if (!output)
        return UsageError("extension de sortie inconnue : « " + o.out
            + " » (attendu : .png, .svg, .pdf ou .cvn)");

    CurvanaDocument document;
    std::string error;
    if (!o.file.empty() && !document.Load(o.file, error)) {
        std::fprintf(stderr, "curvana : %s\n", error.c_str());
        return kExitFailure;
    }
    CFunctionsContext& context = document.context;
    context.params.antialias = o.antialias;
    context.params.joinedLines = o.joinedLines;
    context.params.searchBreakPoints = o.searchBreakPoints;
    context.params.searchDiscontinuities = o.searchDiscontinuities;
    context.axis.autoGraduation = !o.manualGraduation;

    const PlotPointsObserver observer
        = o.points ? PlotPointsObserver(PrintPoints) : PlotPointsObserver();
    bool written = false;
    switch (*output) {
    case Output::Document:
        written = DrawAndSaveDocument(document, o, observer, error);
        break;
    case Output::Png:
        written = DrawImage(ImageFormat::Png, context, o, observer, error);
        break;
    case Output::Svg:
        written = DrawImage(ImageFormat::Svg, context, o, observer, error);
        break;
    case Output::Pdf:
        written = DrawImage(ImageFormat::Pdf, context, o, observer, error);
        break;
    }
    std::fflush(stdout);
    if (!written) {
        std::fprintf(stderr, "curvana : %s\n", error.c_str());
        return kExitFailure;
    }
    return kExitOk;
}
