// Nanoseconds per evaluation of a few formulas through FunctionInterpreter, beside the same
// formulas as native C++ (the reference, ratio 1) and, when it is installed, muParser (a peer
// expression parser). Each iteration evaluates the formula at 1000 values of x, one call per
// value with errors quiet, as the curve model calls it.
// Then the interval evaluation of the same formulas over 100 ranges that cut [-20, 20] (each a
// hundredth of a view), plain and in the centred form, beside the point evaluation (goal: at most
// 5 times its time per evaluation), and the widths of the centred enclosures against the true
// ranges, sampled (goal: at most 1.5 times, where the formula is continuous).
// Then, in milliseconds, each stage of what the engine's fuzz target does with two of its slow
// inputs (whose derivatives print to hundreds of kilobytes): parse, Derive, Simplify, ToText and
// parsing the printed derivative back.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench/BenchReporter.h"
#include "engine/FunctionInterpreter.h"
#include "engine/IntervalEvaluator.h"
#include "engine/QuietEvaluation.h"

#ifdef CURVANA_HAVE_MUPARSER
#include <muParser.h>
#endif

namespace {

struct Formula {
    const char* name;
    const char* text;
    const char* muparserText;
    double (*native)(double);
};

const Formula kFormulas[] = {
    {"sin(1/x)", "sin(1/x)", "sin(1/x)", [](double x) { return std::sin(1 / x); }},
    {"x^3-2*x+1", "x^3-2*x+1", "x^3-2*x+1", [](double x) { return std::pow(x, 3) - 2 * x + 1; }},
    {"tan(x)*exp(-x*x/50)", "tan(x)*exp(-x*x/50)", "tan(x)*exp(-x*x/50)",
        [](double x) { return std::tan(x) * std::exp(-x * x / 50); }},
    // Mostly outside its domain over the samples: the cost of undefined values.
    {"sqrt(1-x*x)", "sqrt(1-x*x)", "sqrt(1-x*x)", [](double x) { return std::sqrt(1 - x * x); }},
    {"x>0?ln(x):-x", "x>0?ln(x):-x", "x>0?ln(x):-x",
        [](double x) { return x > 0 ? std::log(x) : -x; }},
};

// Values from -20 to 20 that never hit 0 exactly.
std::vector<double> Samples()
{
    std::vector<double> xs;
    for (int i = 0; i < 1000; ++i)
        xs.push_back(-20 + 40.0 * (i + 0.5) / 1000);
    return xs;
}

void Reference(benchmark::State& state, const Formula* f)
{
    const std::vector<double> xs = Samples();
    for (auto _ : state) {
        for (double x : xs)
            benchmark::DoNotOptimize(f->native(x));
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(xs.size()));
}

void Interpreter(benchmark::State& state, const Formula* f)
{
    const std::vector<double> xs = Samples();
    FunctionInterpreter interpreter(f->text);
    for (auto _ : state) {
        for (double x : xs) {
            interpreter.SetVariableValueAt(0, x);
            QuietEvaluation quiet;
            const double value = interpreter.Evaluate();
            benchmark::DoNotOptimize(quiet.Failed() ? std::nan("") : value);
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(xs.size()));
}

// The ranges of the interval benchmarks: [-20, 20] cut in 100, shifted off the poles' doubles.
std::vector<interval::Interval> Ranges()
{
    std::vector<interval::Interval> ranges;
    for (int i = 0; i < 100; ++i)
        ranges.push_back({-20 + 0.4 * i + 1e-9, -20 + 0.4 * (i + 1) + 1e-9});
    return ranges;
}

// An interval evaluation per range, counted as one item: its time beside one point evaluation.
void IntervalPlain(benchmark::State& state, const Formula* f)
{
    FunctionInterpreter interpreter(f->text);
    const IntervalEvaluator evaluator(interpreter, 0);
    const std::vector<interval::Interval> ranges = Ranges();
    for (auto _ : state)
        for (const interval::Interval& x : ranges)
            benchmark::DoNotOptimize(evaluator.Plain(x));
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(ranges.size()));
}

void IntervalCentred(benchmark::State& state, const Formula* f)
{
    FunctionInterpreter interpreter(f->text);
    const IntervalEvaluator evaluator(interpreter, 0);
    const std::vector<interval::Interval> ranges = Ranges();
    for (auto _ : state)
        for (const interval::Interval& x : ranges)
            benchmark::DoNotOptimize(evaluator.Centred(x));
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(ranges.size()));
}

// The widths of the plain and centred enclosures over the ranges where the formula is continuous
// and not constant, against the true range sampled at 2001 points: their worst and median ratios.
void PrintWidths()
{
    std::printf("\nEnclosure widths over the hundredths of [-20, 20] where the formula is "
                "continuous, against the true range (2001 samples):\n");
    std::printf("  %-22s %8s %14s %14s %14s\n", "formula", "ranges", "plain median",
        "centred median", "centred worst");
    for (const Formula& f : kFormulas) {
        FunctionInterpreter interpreter(f.text);
        const IntervalEvaluator evaluator(interpreter, 0);
        std::vector<double> plain;
        std::vector<double> centred;
        for (const interval::Interval& x : Ranges()) {
            const IntervalBounds c = evaluator.Centred(x);
            if (c.decoration() < Decoration::dac)
                continue;
            double lo = INFINITY;
            double hi = -INFINITY;
            for (int i = 0; i <= 2000; ++i) {
                interpreter.SetVariableValueAt(0, x.lo + (x.hi - x.lo) * i / 2000);
                const double v = interpreter.Evaluate();
                lo = std::min(lo, v);
                hi = std::max(hi, v);
            }
            if (!(hi > lo))
                continue;
            plain.push_back(evaluator.Plain(x).range.Width() / (hi - lo));
            centred.push_back(c.range.Width() / (hi - lo));
        }
        if (centred.empty())
            continue;
        std::sort(plain.begin(), plain.end());
        std::sort(centred.begin(), centred.end());
        std::printf("  %-22s %8zu %14.3f %14.3f %14.3f\n", f.name, centred.size(),
            plain[plain.size() / 2], centred[centred.size() / 2], centred.back());
    }
}

#ifdef CURVANA_HAVE_MUPARSER
void MuParser(benchmark::State& state, const Formula* f)
{
    const std::vector<double> xs = Samples();
    double x = 0;
    mu::Parser parser;
    parser.DefineVar("x", &x);
    parser.SetExpr(f->muparserText);
    for (auto _ : state) {
        for (double v : xs) {
            x = v;
            benchmark::DoNotOptimize(parser.Eval());
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(xs.size()));
}
#endif

// ---- The stages of the fuzz target on its slow inputs ----

enum class Stage { Parse, Derive, Simplify, ToText, Reparse };

struct StageName {
    Stage stage;
    const char* name;
};

constexpr StageName kStages[] = {{Stage::Parse, "Parse"}, {Stage::Derive, "Derive"},
    {Stage::Simplify, "Simplify"}, {Stage::ToText, "ToText"}, {Stage::Reparse, "Reparse"}};

const char* const kSlowInputs[] = {"engine-print-761-bytes", "engine-print-908-bytes"};

// The formula as the fuzz target reads it: up to the first NUL byte.
std::string ReadCorpusFile(const char* name)
{
    std::ifstream in(std::string(CURVANA_ENGINE_CORPUS) + "/" + name, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return bytes.substr(0, bytes.find('\0'));
}

struct StageCase {
    Stage stage;
    std::string formula;
};

NodePtr DeriveFirstVariable(const FunctionInterpreter& f)
{
    const char* variable = f.GetVariableCount() > 0 ? f.GetVariableName(0) : "x";
    return f.Derive(variable);
}

void FuzzStage(benchmark::State& state, const StageCase* c)
{
    if (c->formula.empty()) {
        state.SkipWithError("corpus file missing");
        return;
    }
    // What the timed stage starts from is built once, outside the timing, where it is not consumed.
    FunctionInterpreter f(c->formula);
    NodePtr simplified = DeriveFirstVariable(f);
    simplified->Simplify();
    const std::string text = simplified->ToText();
    for (auto _ : state) {
        switch (c->stage) {
        case Stage::Parse:
            benchmark::DoNotOptimize(FunctionInterpreter(c->formula).GetVariableCount());
            break;
        case Stage::Derive: {
            NodePtr d = DeriveFirstVariable(f);
            benchmark::DoNotOptimize(d.get());
            state.PauseTiming();
            d.reset(); // freeing is not part of the stage
            state.ResumeTiming();
            break;
        }
        case Stage::Simplify: {
            state.PauseTiming();
            NodePtr d = DeriveFirstVariable(f);
            state.ResumeTiming();
            d->Simplify();
            benchmark::DoNotOptimize(d.get());
            state.PauseTiming();
            d.reset(); // freeing is not part of the stage
            state.ResumeTiming();
            break;
        }
        case Stage::ToText:
            benchmark::DoNotOptimize(simplified->ToText().size());
            break;
        case Stage::Reparse:
            benchmark::DoNotOptimize(FunctionInterpreter(text).GetVariableCount());
            break;
        }
    }
    state.counters["chars"] = static_cast<double>(text.size());
}

int Register()
{
    static std::vector<StageCase> stageCases;
    stageCases.reserve(std::size(kSlowInputs) * std::size(kStages));
    for (const char* input : kSlowInputs) {
        const std::string formula = ReadCorpusFile(input);
        for (const StageName& s : kStages) {
            stageCases.push_back({s.stage, formula});
            benchmark::RegisterBenchmark((std::string("FuzzSlow/") + s.name + "/" + input).c_str(),
                FuzzStage, &stageCases.back())
                ->Unit(benchmark::kMillisecond);
        }
    }

    for (const Formula& f : kFormulas) {
        benchmark::RegisterBenchmark((std::string("Reference/") + f.name).c_str(), Reference, &f);
        benchmark::RegisterBenchmark(
            (std::string("Interpreter/") + f.name).c_str(), Interpreter, &f);
#ifdef CURVANA_HAVE_MUPARSER
        benchmark::RegisterBenchmark((std::string("MuParser/") + f.name).c_str(), MuParser, &f);
#endif
        benchmark::RegisterBenchmark(
            (std::string("IntervalPlain/") + f.name).c_str(), IntervalPlain, &f);
        benchmark::RegisterBenchmark(
            (std::string("IntervalCentred/") + f.name).c_str(), IntervalCentred, &f);
    }
    return 0;
}

const int kRegistered = Register();

} // namespace

int main(int argc, char** argv)
{
    (void)kRegistered;
    const int status = RunBenchmarksWithRatios(argc, argv,
        {{"Interpreter", "MuParser"}, {"IntervalPlain", "Interpreter"},
            {"IntervalCentred", "Interpreter"}});
    PrintWidths();
    return status;
}
