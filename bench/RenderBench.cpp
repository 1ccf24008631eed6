// Milliseconds to draw a document on a 1920 x 1080 surface, wall clock:
//   Curvana/<case>     sampling and drawing into a QImage (DrawPlot on a file surface), as on
//                      every paint of the window;
//   CurvanaPng/<case>  the same as --export writes it: drawn, encoded and saved as a PNG file;
//   Reference/<case>   gnuplot, run as a process, drawing the same functions with the same number
//                      of samples to a PNG through its pngcairo terminal (ratio 1).
// Cases: the new document (sin(1/x)) and a document of 20 curves.

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include "bench/BenchReporter.h"
#include "model/CurvanaDocument.h"
#include "ui/ImageExport.h"
#include "ui/QtGraphics.h"
#include "ui/QtRuntime.h"
#include "view/PlotRenderer.h"

extern char** environ;

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kDpi = 96;
// One sample per pixel column for a Cartesian curve; parametric and polar curves get as many
// steps, so that gnuplot's single sample count matches every curve.
constexpr int kSamples = kWidth;
constexpr double kTwoPi = 6.283185307179586;

struct Curve {
    CurveType type;
    const char* formula1;
    const char* formula2;
    double min, max;
    int32_t colour; // 0x00BBGGRR
    // gnuplot's y(x), or its x and y of $1 for a curve over a parameter.
    const char* gnuplot1;
    const char* gnuplot2;
};

const Curve kNewDocument[] = {
    {CurveCartesian, "sin(1/x)", "", 0, 1, 0x00BC7D81, "sin(1.0/x)", ""},
};

const Curve kTwentyCurves[] = {
    {CurveCartesian, "sin(x)", "", 0, 1, 0x000000C0, "sin(x)", ""},
    {CurveCartesian, "3*cos(2*x)", "", 0, 1, 0x0000A000, "3*cos(2*x)", ""},
    {CurveCartesian, "x^2/10-5", "", 0, 1, 0x00C00000, "x**2/10.0-5", ""},
    {CurveCartesian, "8*exp(-x*x/20)", "", 0, 1, 0x00008080, "8*exp(-x*x/20.0)", ""},
    {CurveCartesian, "ln(abs(x))", "", 0, 1, 0x00800080, "log(abs(x))", ""},
    {CurveCartesian, "2*sqrt(abs(x))", "", 0, 1, 0x00808000, "2*sqrt(abs(x))", ""},
    {CurveCartesian, "tan(x)", "", 0, 1, 0x00C04000, "tan(x)", ""},
    {CurveCartesian, "1/x", "", 0, 1, 0x004000C0, "1.0/x", ""},
    {CurveCartesian, "x^3/100", "", 0, 1, 0x0000C040, "x**3/100.0", ""},
    {CurveCartesian, "4*atan(x)", "", 0, 1, 0x00404040, "4*atan(x)", ""},
    {CurveCartesian, "sinh(x/5)", "", 0, 1, 0x00A06000, "sinh(x/5.0)", ""},
    {CurveCartesian, "5*abs(sin(x))", "", 0, 1, 0x000060A0, "5*abs(sin(x))", ""},
    {CurveCartesian, "floor(x/3)", "", 0, 1, 0x0060A000, "floor(x/3.0)", ""},
    {CurveCartesian, "x*sin(x)/3", "", 0, 1, 0x00A00060, "x*sin(x)/3.0", ""},
    {CurveCartesian, "6*cos(x*x/10)", "", 0, 1, 0x006000A0, "6*cos(x*x/10.0)", ""},
    {CurveCartesian, "sin(1/x)", "", 0, 1, 0x00BC7D81, "sin(1.0/x)", ""},
    {CurveCartesian, "sqrt(25-x^2)", "", 0, 1, 0x00208020, "sqrt(25-x**2)", ""},
    {CurveParametric, "12*cos(3*t)", "8*sin(2*t)", 0, kTwoPi, 0x000080FF, "12*cos(3*$1)",
        "8*sin(2*$1)"},
    {CurveParametric, "5*cos(t)^3", "5*sin(t)^3", 0, kTwoPi, 0x00FF8000, "5*cos($1)**3",
        "5*sin($1)**3"},
    {CurvePolar, "10*sin(4*theta)", "", 0, kTwoPi, 0x00A000A0, "10*sin(4*$1)*cos($1)",
        "10*sin(4*$1)*sin($1)"},
};

struct Case {
    const char* name;
    const Curve* curves;
    size_t count;
};

const Case kCases[] = {
    {"NewDocument", kNewDocument, std::size(kNewDocument)},
    {"TwentyCurves", kTwentyCurves, std::size(kTwentyCurves)},
};

// A new document (view x from -22 to 18) holding the case's curves.
CFunctionsContext DocumentOf(const Case& c)
{
    CFunctionsContext context = CurvanaDocument().context;
    context.Clear();
    for (size_t i = 0; i < c.count; ++i) {
        const Curve& curve = c.curves[i];
        CFunction f;
        f.Set(curve.type, curve.formula1, curve.formula2, curve.min, curve.max, curve.colour,
            kSamples);
        CFunctionEntry entry;
        entry.SetFunction(f);
        context.Append(entry);
    }
    return context;
}

void Render(QImage& image, CFunctionsContext& context)
{
    QPainter painter(&image);
    QtGraphics graphics(painter);
    DrawPlot(graphics, context, {Medium::File, kWidth, kHeight, kDpi});
}

void Curvana(benchmark::State& state, const Case* c)
{
    CFunctionsContext context = DocumentOf(*c);
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        Render(image, context);
        benchmark::DoNotOptimize(image.constBits());
    }
}

void CurvanaPng(benchmark::State& state, const Case* c)
{
    CFunctionsContext context = DocumentOf(*c);
    char dir[] = "/tmp/curvana_render_benchXXXXXX";
    if (mkdtemp(dir) == nullptr) {
        state.SkipWithError("no temporary directory");
        return;
    }
    const std::string path = std::string(dir) + "/plot.png";
    std::string error;
    for (auto _ : state) {
        if (!ExportDrawing(path, ImageFormat::Png, context, {Medium::File, kWidth, kHeight, kDpi},
                {}, error)) {
            state.SkipWithError(error.c_str());
            break;
        }
    }
    std::remove(path.c_str());
    rmdir(dir);
}

std::string GnuplotColour(int32_t colour)
{
    char text[16];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", colour & 0xFF, (colour >> 8) & 0xFF,
        (colour >> 16) & 0xFF);
    return text;
}

// The same view, axes, graduation every unit (the step Curvana picks at this size), grid and
// curves, as a gnuplot script.
std::string GnuplotScript(const Case& c, const std::string& output)
{
    CFunctionsContext context = DocumentOf(c);
    PrepareSurface(context, kWidth, kHeight, kDpi);
    const CWorkingArea& a = context.area;
    char ranges[200];
    std::snprintf(ranges, sizeof ranges, "set xrange [%.17g:%.17g]\nset yrange [%.17g:%.17g]\n",
        a.viewXMin, a.viewXMax, a.viewYMin, a.viewYMax);
    std::string script = "set terminal pngcairo size " + std::to_string(kWidth) + ","
        + std::to_string(kHeight) + "\nset output '" + output + "'\nset samples "
        + std::to_string(kSamples) + "\n" + ranges
        + "set xzeroaxis\nset yzeroaxis\nset xtics 1\nset ytics 1\nset grid\nunset key\n"
          "plot sample ";
    for (size_t i = 0; i < c.count; ++i) {
        const Curve& curve = c.curves[i];
        if (i > 0)
            script += ", ";
        const std::string colour = " lc rgb '" + GnuplotColour(curve.colour) + "'";
        if (curve.type == CurveCartesian) {
            char range[100];
            std::snprintf(range, sizeof range, "[x=%.17g:%.17g] ", a.viewXMin, a.viewXMax);
            script += range + std::string(curve.gnuplot1) + " with lines" + colour;
        } else {
            char range[100];
            std::snprintf(range, sizeof range, "[t=%.17g:%.17g] ", curve.min, curve.max);
            script += range + std::string("'+' using (") + curve.gnuplot1 + "):(" + curve.gnuplot2
                + ") with lines" + colour;
        }
    }
    return script + "\n";
}

// Runs gnuplot on the script, its output thrown away; its exit status, or -1 if it cannot run.
int RunGnuplot(const std::string& scriptPath)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    char program[] = "gnuplot";
    std::string path = scriptPath;
    char* argv[] = {program, path.data(), nullptr};
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, program, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return -1;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

void Reference(benchmark::State& state, const Case* c)
{
    char dir[] = "/tmp/curvana_render_benchXXXXXX";
    if (mkdtemp(dir) == nullptr) {
        state.SkipWithError("no temporary directory for gnuplot");
        return;
    }
    const std::string script = std::string(dir) + "/plot.gp";
    const std::string output = std::string(dir) + "/plot.png";
    std::ofstream(script) << GnuplotScript(*c, output);
    // gnuplot-nox with its pngcairo terminal: scripts/setup installs it.
    if (RunGnuplot(script) != 0) {
        std::fprintf(stderr,
            "Reference/%s skipped: gnuplot with the pngcairo terminal is not "
            "available\n",
            c->name);
        state.SkipWithError("gnuplot (pngcairo) not available");
    } else {
        for (auto _ : state)
            RunGnuplot(script);
    }
    std::remove(script.c_str());
    std::remove(output.c_str());
    rmdir(dir);
}

int Register()
{
    for (const Case& c : kCases) {
        const std::string name = c.name;
        benchmark::RegisterBenchmark(("Reference/" + name).c_str(), Reference, &c)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
        benchmark::RegisterBenchmark(("Curvana/" + name).c_str(), Curvana, &c)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
        benchmark::RegisterBenchmark(("CurvanaPng/" + name).c_str(), CurvanaPng, &c)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    }
    return 0;
}

const int kRegistered = Register();

const Case* FindCase(const std::string& name)
{
    for (const Case& c : kCases)
        if (name == c.name)
            return &c;
    std::fprintf(stderr, "unknown case %s\n", name.c_str());
    return nullptr;
}

// The arguments of curvana --export that draw the case's curves, one a line.
void PrintExportArguments(const Case& c)
{
    std::printf("--size\n%dx%d\n", kWidth, kHeight);
    for (size_t i = 0; i < c.count; ++i) {
        const Curve& curve = c.curves[i];
        switch (curve.type) {
        case CurveCartesian:
            std::printf("--cartesian\n%s\n", curve.formula1);
            break;
        case CurveParametric:
            std::printf("--parametric\n%s\n%s\n%.17g\n%.17g\n%d\n", curve.formula1, curve.formula2,
                curve.min, curve.max, kSamples);
            break;
        case CurvePolar:
            std::printf(
                "--polar\n%s\n%.17g\n%.17g\n%d\n", curve.formula1, curve.min, curve.max, kSamples);
            break;
        case CurveNone:
            break;
        }
        std::printf("--colour\n%s\n", GnuplotColour(curve.colour).c_str());
    }
}

} // namespace

// With --gnuplot-script CASE OUT or --export-arguments CASE, prints what
// bench/export-vs-gnuplot.sh runs as whole processes, instead of benchmarking.
int main(int argc, char** argv)
{
    (void)kRegistered;
    if (argc == 4 && std::string(argv[1]) == "--gnuplot-script") {
        const Case* c = FindCase(argv[2]);
        if (c == nullptr)
            return 2;
        std::fputs(GnuplotScript(*c, argv[3]).c_str(), stdout);
        return 0;
    }
    if (argc == 3 && std::string(argv[1]) == "--export-arguments") {
        const Case* c = FindCase(argv[2]);
        if (c == nullptr)
            return 2;
        PrintExportArguments(*c);
        return 0;
    }
    const QtRuntime qt;
    return RunBenchmarksWithRatios(argc, argv);
}
