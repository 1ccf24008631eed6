// Milliseconds to find every remarkable point of one curve over the view of a new document
// (800 x 600), for each formula of the engine benchmark: the goal is at most 20 ms each, so
// that a window can compute them live beside its paint.

#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench/BenchReporter.h"
#include "model/CFunctionsContext.h"
#include "model/RemarkablePoints.h"
#include "view/PlotRenderer.h"

namespace {

const char* const kFormulas[]
    = {"sin(1/x)", "x^3-2*x+1", "tan(x)*exp(-x*x/50)", "sqrt(1-x*x)", "x>0?ln(x):-x"};

void Analyse(benchmark::State& state, const char* formula)
{
    CFunctionsContext context;
    context.ApplyNewDocumentDefaults();
    PrepareSurface(context, 800, 600, 96);
    const double xMin = context.PixelToWorldX(0);
    const double xMax = context.PixelToWorldX(context.screenWidth);
    CFunction f;
    f.Set(CurveCartesian, formula, "", 0, 1, 0, 100);
    const std::vector<CFunction> curves = {f};
    size_t points = 0;
    size_t undecided = 0;
    for (auto _ : state) {
        const CurveAnalysis a = AnalyseCurve(curves, 0, xMin, xMax);
        points = a.points.size();
        undecided = a.undecided.size();
        benchmark::DoNotOptimize(points);
    }
    state.counters["points"] = static_cast<double>(points);
    state.counters["undecided"] = static_cast<double>(undecided);
}

int Register()
{
    for (const char* f : kFormulas)
        benchmark::RegisterBenchmark((std::string("Analyse/") + f).c_str(), Analyse, f)
            ->Unit(benchmark::kMillisecond)
            ->Repetitions(5)
            ->ReportAggregatesOnly(true);
    return 0;
}

const int kRegistered = Register();

} // namespace

int main(int argc, char** argv)
{
    (void)kRegistered;
    return RunBenchmarksWithRatios(argc, argv);
}
