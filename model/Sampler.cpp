#include "model/Sampler.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>

#include "model/CFunctionsContext.h"
#include "model/CurveKind.h"
#include "model/SamplerWalk.h"

namespace {

// One component of CheckContinuity's test.
void TestComponent(double prev, double cur, double prevD, double curD, bool& valid)
{
    if (curD > 0 && prevD > 0 && prev > cur)
        valid = false;
    if (curD < 0 && prevD < 0 && prev < cur)
        valid = false;
}

} // namespace

void CheckContinuity(CurveType kind, const SamplePoint& prev, SamplePoint& cur,
    const SamplePoint& prevD, SamplePoint& curD)
{
    if (!cur.valid || !curD.valid) {
        cur.valid = false;
        curD.valid = false;
        return;
    }
    // The derivative says the curve rises at both ends of the step but it fell, or the reverse:
    // there is a jump between the two samples. Comparisons with NaN are false.
    const CurveKind* described = FindCurveKind(kind);
    if (described == nullptr)
        return;
    switch (described->point) {
    case PointRule::Graph:
        TestComponent(prev.wy, cur.wy, prevD.wy, curD.wy, cur.valid);
        break;
    case PointRule::Parametric:
        TestComponent(prev.wy, cur.wy, prevD.wy, curD.wy, cur.valid);
        TestComponent(prev.wx, cur.wx, prevD.wx, curD.wx, cur.valid);
        break;
    case PointRule::Polar:
        TestComponent(prev.r, cur.r, prevD.r, curD.r, cur.valid);
        break;
    }
}

void EvaluateSample(
    CEasyFunction& definition, const CFunctionsContext& context, double v, SamplePoint& sample)
{
    EvaluateSampleOf(definition, context, v, sample);
}

void SampleFunction(
    CFunctionEntry& entry, const CFunctionsContext& context, std::vector<PlotPoint>& points)
{
    SampleFunctionOf(entry, context, points);
}

namespace {

bool MentionsRand(const std::string& text)
{
    static constexpr char kName[] = "rand";
    const auto it = std::search(text.begin(), text.end(), kName, kName + 4,
        [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
    return it != text.end();
}

} // namespace

bool MayDrawRandom(const CFunction& curve)
{
    const CurveKind* kind = FindCurveKind(curve.Type());
    return MentionsRand(curve.Formula1())
        || (kind != nullptr && kind->formulaCount == 2 && MentionsRand(curve.Formula2()));
}

void SampleFunctions(CFunctionsContext& context, std::vector<std::vector<PlotPoint>>& points)
{
    const size_t count = context.functions.size();
    points.assign(count, {});
    size_t workers = std::min<size_t>(std::max(1u, std::thread::hardware_concurrency()), count);
    for (const CFunctionEntry& entry : context.functions)
        if (MayDrawRandom(entry.function))
            workers = 1;
    if (workers < 2) {
        for (size_t i = 0; i < count; ++i)
            SampleFunction(context.functions[i], context, points[i]);
        return;
    }

    // Each curve is sampled by one thread; a curve's entry (its compiled formulas and derivative)
    // is touched by no other.
    std::atomic<size_t> next {0};
    std::mutex failureLock;
    std::exception_ptr failure;
    auto work = [&] {
        for (size_t i = next++; i < count; i = next++) {
            try {
                SampleFunction(context.functions[i], context, points[i]);
            } catch (...) {
                const std::lock_guard<std::mutex> hold(failureLock);
                if (!failure)
                    failure = std::current_exception();
            }
        }
    };
    {
        std::vector<std::jthread> helpers;
        for (size_t w = 1; w < workers; ++w) {
            try {
                helpers.emplace_back(work);
            } catch (const std::system_error&) {
                break; // no more threads: the others share the work
            }
        }
        work();
    }
    if (failure)
        std::rethrow_exception(failure);
}

bool FindDomainEntry(CFunctionEntry& entry, const CFunctionsContext& context, double v, double step,
    PlotPoint& found)
{
    return FindDomainEntryOf(entry, context, v, step, found);
}

bool FindDomainExit(CFunctionEntry& entry, const CFunctionsContext& context, double v, double step,
    SamplePoint& cur, SamplePoint& curD, PlotPoint& found)
{
    return FindDomainExitOf(entry, context, v, step, cur, curD, found);
}

bool FindBreak(CFunctionEntry& entry, const CFunctionsContext& context, double v, double step,
    SamplePoint& prev, SamplePoint& prevD, SamplePoint& cur, SamplePoint& curD, PlotPoint& before,
    PlotPoint& after)
{
    return FindBreakOf(entry, context, v, step, prev, prevD, cur, curD, before, after);
}
