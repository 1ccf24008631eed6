// The cost of sampling curves through the expression engine, beside the same sampling walk over
// native C++ curves (the reference, ratio 1: the limit of what the engine could reach), and the
// cost of undefined samples against defined ones.

#include <cmath>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench/BenchReporter.h"
#include "model/CFunctionsContext.h"
#include "model/SamplerWalk.h"
#include "view/PlotRenderer.h"

namespace {

// A curve given as native functions, shaped like CEasyFunction for the sampling walk.
struct NativeDefinition {
    CurveType type = CurveNone;
    double (*f1)(double) = nullptr;
    double (*f2)(double) = nullptr;
    double paramMin = 0, paramMax = 0, iterations = 1;
    CurveType Type() const { return type; }
    double EvaluateFormula1(double v) const { return f1(v); }
    double EvaluateFormula2(double v) const { return f2(v); }
};

struct NativeEntry {
    NativeDefinition function;
    NativeDefinition derivative;
    NativeDefinition& UpdateDerivative() { return derivative; }
};

struct Case {
    const char* name;
    const char* formula;
    double (*f)(double);
    double (*df)(double);
    double xMin, xMax; // the displayed x range; y follows by normalisation
    int width, height;
};

const Case kCases[] = {
    {"NewDocument1920", "sin(1/x)", [](double x) { return std::sin(1 / x); },
        [](double x) { return -std::cos(1 / x) / (x * x); }, -22, 18, 1920, 1080},
    {"Tan800", "tan(x)", [](double x) { return std::tan(x); },
        [](double x) { return 1 / (std::cos(x) * std::cos(x)); }, -22, 18, 800, 600},
    // Half of the view undefined: every undefined sample is an engine error.
    {"LnHalfUndefined", "ln(x)", [](double x) { return std::log(x); },
        [](double x) { return 1 / x; }, -22, 18, 800, 600},
    {"LnDefined", "ln(x)", [](double x) { return std::log(x); }, [](double x) { return 1 / x; }, 1,
        41, 800, 600},
    {"CircleMostlyUndefined", "sqrt(1-x*x)", [](double x) { return std::sqrt(1 - x * x); },
        [](double x) { return -x / std::sqrt(1 - x * x); }, -22, 18, 800, 600},
};

CFunctionsContext ViewFor(const Case& c)
{
    CFunctionsContext context;
    context.ApplyNewDocumentDefaults();
    context.area.areaXMin = c.xMin;
    context.area.areaXMax = c.xMax;
    PrepareSurface(context, c.width, c.height, 96);
    return context;
}

void Reference(benchmark::State& state, const Case* c)
{
    const CFunctionsContext context = ViewFor(*c);
    NativeEntry entry;
    entry.function.type = entry.derivative.type = CurveCartesian;
    entry.function.f1 = c->f;
    entry.derivative.f1 = c->df;
    std::vector<PlotPoint> points;
    for (auto _ : state) {
        points.clear();
        SampleFunctionOf(entry, context, points);
        benchmark::DoNotOptimize(points.data());
    }
    state.counters["points"] = static_cast<double>(points.size());
}

void Curvana(benchmark::State& state, const Case* c)
{
    const CFunctionsContext context = ViewFor(*c);
    CFunction f;
    f.Set(CurveCartesian, c->formula, "", 0, 1, 0, 1009);
    CFunctionEntry entry;
    entry.SetFunction(f);
    std::vector<PlotPoint> points;
    const long requests = CFunctionEntry::derivativeRequests;
    const long computations = CFunctionEntry::derivativeComputations;
    for (auto _ : state) {
        points.clear();
        SampleFunction(entry, context, points); // as at every repaint: the entry lives on
        benchmark::DoNotOptimize(points.data());
    }
    const auto passes = static_cast<double>(state.iterations());
    state.counters["points"] = static_cast<double>(points.size());
    // How often a pass asks for the derivative (the text is derived again only when the curve
    // changed: once for the whole run).
    state.counters["derive_requests_per_pass"]
        = static_cast<double>(CFunctionEntry::derivativeRequests - requests) / passes;
    state.counters["derive_computations"]
        = static_cast<double>(CFunctionEntry::derivativeComputations - computations);
}

// What one derivative request costs when the text must be derived again: parse, derive,
// simplify, print.
void DeriveTextCost(benchmark::State& state, const Case* c)
{
    for (auto _ : state) {
        std::string text;
        benchmark::DoNotOptimize(DeriveText(c->formula, "x", text));
    }
}

int Register()
{
    for (const Case& c : kCases) {
        benchmark::RegisterBenchmark((std::string("Reference/") + c.name).c_str(), Reference, &c)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark((std::string("Curvana/") + c.name).c_str(), Curvana, &c)
            ->Unit(benchmark::kMicrosecond);
    }
    benchmark::RegisterBenchmark("DeriveText/tan(x)", DeriveTextCost, &kCases[1])
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("DeriveText/sin(1/x)", DeriveTextCost, &kCases[0])
        ->Unit(benchmark::kMicrosecond);
    return 0;
}

const int kRegistered = Register();

} // namespace

int main(int argc, char** argv)
{
    (void)kRegistered;
    return RunBenchmarksWithRatios(argc, argv);
}
