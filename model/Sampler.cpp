#include "model/Sampler.h"

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
    switch (kind) {
    case CurveCartesian:
        TestComponent(prev.wy, cur.wy, prevD.wy, curD.wy, cur.valid);
        break;
    case CurveParametric:
        TestComponent(prev.wy, cur.wy, prevD.wy, curD.wy, cur.valid);
        TestComponent(prev.wx, cur.wx, prevD.wx, curD.wx, cur.valid);
        break;
    case CurvePolar:
        TestComponent(prev.r, cur.r, prevD.r, curD.r, cur.valid);
        break;
    case CurveNone:
    default:
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
