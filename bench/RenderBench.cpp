// Milliseconds to draw a document on a 1920 x 1080 surface, wall clock:
//   Curvana/<case>     sampling and drawing into a QImage (DrawPlot on a file surface), as on
//                      every paint of the window;
//   CurvanaPng/<case>  the same as --export writes it: drawn, encoded and saved as a PNG file;
//   PngEncode/<case>   the encoding alone of the drawn picture (microseconds), with the file's
//                      size in bytes;
//   Reference/<case>   gnuplot, run as a process, drawing the same functions with the same number
//                      of samples to a PNG through its pngcairo terminal (ratio 1).
// Cases: the new document (sin(1/x)) and a document of 20 curves.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include "bench/BenchDocuments.h"
#include "bench/BenchReporter.h"
#include "model/CurvanaDocument.h"
#include "platform/PngEncoder.h"
#include "ui/ImageExport.h"
#include "ui/QtGraphics.h"
#include "ui/QtRuntime.h"
#include "view/PlotRenderer.h"

extern char** environ;

namespace {

using namespace bench;

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kDpi = 96;
// One sample per pixel column for a Cartesian curve; parametric and polar curves get as many
// steps, so that gnuplot's single sample count matches every curve.
constexpr int kSamples = kWidth;
void Render(QImage& image, CFunctionsContext& context)
{
    QPainter painter(&image);
    QtGraphics graphics(painter);
    DrawPlot(graphics, context, {Medium::File, kWidth, kHeight, kDpi});
}

void Curvana(benchmark::State& state, const Case* c)
{
    CFunctionsContext context = DocumentOf(*c, kSamples);
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        Render(image, context);
        benchmark::DoNotOptimize(image.constBits());
    }
}

void CurvanaPng(benchmark::State& state, const Case* c)
{
    CFunctionsContext context = DocumentOf(*c, kSamples);
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

void PngEncode(benchmark::State& state, const Case* c)
{
    CFunctionsContext context = DocumentOf(*c, kSamples);
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    Render(image, context);
    const platform::PngPicture picture {reinterpret_cast<const uint32_t*>(image.constBits()),
        kWidth, kHeight, static_cast<size_t>(image.bytesPerLine()) / 4, 3780};
    size_t bytes = 0;
    for (auto _ : state) {
        const std::vector<uint8_t> png = platform::EncodePng(picture);
        bytes = png.size();
        benchmark::DoNotOptimize(png.data());
    }
    state.counters["bytes"] = static_cast<double>(bytes);
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
    CFunctionsContext context = DocumentOf(c, kSamples);
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
        benchmark::RegisterBenchmark(("PngEncode/" + name).c_str(), PngEncode, &c)
            ->Unit(benchmark::kMicrosecond)
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
