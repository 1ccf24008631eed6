#pragma once

// The sampling walk, written once for any curve type: the program samples CFunctionEntry (see
// Sampler.cpp), and the benchmarks sample native C++ curves with the very same code to measure
// the cost of the expression engine against its limit.
//
// A definition provides Type(), EvaluateFormula1(v) and EvaluateFormula2(v) (NaN where the curve
// is undefined); an entry provides `function` (a definition with paramMin, paramMax and
// iterations) and UpdateDerivative() (the definition of its derivative).

#include <cmath>
#include <concepts>
#include <cstddef>
#include <type_traits>
#include <vector>

#include "model/CFunctionsContext.h"
#include "model/CurveKind.h"
#include "model/Sampler.h"

namespace sampler_detail {

inline bool IsNumber(double v)
{
    return !std::isnan(v);
}

inline PlotPoint PenDown(const SamplePoint& s)
{
    return PlotPoint {static_cast<float>(s.px), static_cast<float>(s.py), true};
}

constexpr PlotPoint kPenUp {0.0f, 0.0f, false};

} // namespace sampler_detail

// A sample from its variable v and the formula values, which value1() and value2() give when
// asked (formula2 only for a parametric curve whose x is defined).
template <class Value1, class Value2>
void SampleFromValues(CurveType kind, const CFunctionsContext& context, double v, Value1 value1,
    Value2 value2, SamplePoint& s)
{
    const CurveKind* described = FindCurveKind(kind);
    if (described == nullptr) {
        // Nothing is written; valid keeps its previous value.
        s.xValid = s.yValid = s.rValid = false;
        return;
    }
    switch (described->point) {
    case PointRule::Graph:
        s.wx = v;
        s.px = context.WorldToPixelX(v);
        s.xValid = true;
        s.wy = value1();
        s.yValid = sampler_detail::IsNumber(s.wy);
        if (s.yValid)
            s.py = context.WorldToPixelY(s.wy);
        s.valid = s.xValid && s.yValid;
        break;
    case PointRule::Parametric:
        s.wx = value1();
        s.xValid = sampler_detail::IsNumber(s.wx);
        if (s.xValid) {
            s.px = context.WorldToPixelX(s.wx);
            s.wy = value2();
            s.yValid = sampler_detail::IsNumber(s.wy);
            if (s.yValid)
                s.py = context.WorldToPixelY(s.wy);
        }
        s.valid = s.xValid && s.yValid;
        break;
    case PointRule::Polar:
        s.r = value1();
        s.rValid = sampler_detail::IsNumber(s.r);
        if (s.rValid) {
            s.wx = std::cos(v) * s.r;
            s.wy = std::sin(v) * s.r;
            s.xValid = s.yValid = true;
            s.px = context.WorldToPixelX(s.wx);
            s.py = context.WorldToPixelY(s.wy);
        }
        s.valid = s.rValid;
        break;
    }
    // Written so that a NaN pixel coordinate (a degenerate view) counts as out of bounds too.
    if (!(s.px >= kMinPixel && s.px <= kMaxPixel && s.py >= kMinPixel && s.py <= kMaxPixel))
        s.valid = false;
}

template <class Definition>
void EvaluateSampleOf(Definition& d, const CFunctionsContext& context, double v, SamplePoint& s)
{
    SampleFromValues(
        d.Type(), context, v, [&] { return d.EvaluateFormula1(v); },
        [&] { return d.EvaluateFormula2(v); }, s);
}

namespace sampler_detail {

template <class Definition>
concept EvaluatesMany = requires(Definition& d, const double* vs, double* out, size_t n)
{
    {
        d.EvaluateFormula1Many(vs, out, n)
        } -> std::same_as<bool>;
    {
        d.EvaluateFormula2Many(vs, out, n)
        } -> std::same_as<bool>;
};

// The formula values of a definition at the walk's regular steps, computed a block ahead when
// the definition can give many values at once. They are the values the walk would get one by
// one: the steps are accumulated exactly as the walk does, and a definition refuses when the
// order of its evaluations matters.
template <class Definition> class StepValues {
public:
    static constexpr int kBlock = 256;

    StepValues(Definition& d, const CFunctionsContext& context) : d_(d), context_(context) { }

    // Fills the block from v, with at most kBlock steps while the walk would go on.
    void Prepare(double v, double step, double end)
    {
        count_ = 0;
        at_ = 0;
        if constexpr (EvaluatesMany<Definition>) {
            if (refused_)
                return;
            int n = 0;
            vs_[n++] = v;
            while (n < kBlock) {
                const double next = vs_[n - 1] + step;
                if (!(next > vs_[n - 1]) || !(next < end))
                    break;
                vs_[n++] = next;
            }
            const CurveKind* kind = FindCurveKind(d_.Type());
            if (kind == nullptr) {
                refused_ = true; // nothing to evaluate: the one-by-one path writes the flags
                return;
            }
            const auto size = static_cast<size_t>(n);
            if (!d_.EvaluateFormula1Many(vs_, values1_, size)
                || (kind->formulaCount == 2 && !d_.EvaluateFormula2Many(vs_, values2_, size))) {
                refused_ = true;
                return;
            }
            count_ = n;
        } else {
            (void)v;
            (void)step;
            (void)end;
        }
    }

    // The sample at v from the block when it holds v next, else by evaluating.
    void Sample(double v, double step, double end, SamplePoint& s)
    {
        if (at_ == count_)
            Prepare(v, step, end);
        if (at_ < count_ && vs_[at_] == v) {
            const int k = at_++;
            SampleFromValues(
                d_.Type(), context_, v, [&] { return values1_[k]; }, [&] { return values2_[k]; },
                s);
            return;
        }
        count_ = at_ = 0;
        EvaluateSampleOf(d_, context_, v, s);
    }

private:
    Definition& d_;
    const CFunctionsContext& context_;
    bool refused_ = false;
    int count_ = 0;
    int at_ = 0;
    double vs_[kBlock];
    double values1_[kBlock];
    double values2_[kBlock];
};

} // namespace sampler_detail

// Bisects the domain edge between v - step and v: kDomainHalvings halvings, keeping the plottable
// end on the side given. Returns the point found at that end, evaluated into s, or false.
template <class Definition>
bool BisectDomainEdge(Definition& f, const CFunctionsContext& context, double v, double step,
    bool plottableAbove, double& edge, SamplePoint& s)
{
    double lo = v - step;
    double hi = v;
    for (int i = 0; i < kDomainHalvings; ++i) {
        const double mid = (lo + hi) / 2;
        EvaluateSampleOf(f, context, mid, s);
        (s.valid == plottableAbove ? hi : lo) = mid;
    }
    edge = plottableAbove ? hi : lo;
    if (edge > v)
        return false;
    EvaluateSampleOf(f, context, edge, s);
    return s.valid;
}

template <class Entry>
bool FindDomainEntryOf(
    Entry& entry, const CFunctionsContext& context, double v, double step, PlotPoint& found)
{
    if (!context.params.searchDiscontinuities)
        return false;
    entry.UpdateDerivative();
    // The previous sample is not plottable, the current one is.
    double edge;
    SamplePoint s;
    if (!BisectDomainEdge(entry.function, context, v, step, true, edge, s))
        return false;
    found = sampler_detail::PenDown(s);
    return true;
}

template <class Entry>
bool FindDomainExitOf(Entry& entry, const CFunctionsContext& context, double v, double step,
    SamplePoint& cur, SamplePoint& curD, PlotPoint& found)
{
    if (!context.params.searchDiscontinuities)
        return false;
    auto& d = entry.UpdateDerivative();
    // The previous sample is plottable, the current one is not.
    double edge;
    SamplePoint s;
    if (!BisectDomainEdge(entry.function, context, v, step, false, edge, s))
        return false;
    found = sampler_detail::PenDown(s);
    // The boundary point becomes the current sample, which therefore counts as plottable.
    cur = s;
    EvaluateSampleOf(d, context, edge, curD);
    return true;
}

template <class Entry>
bool FindBreakOf(Entry& entry, const CFunctionsContext& context, double v, double step,
    SamplePoint& prev, SamplePoint& prevD, SamplePoint& cur, SamplePoint& curD, PlotPoint& before,
    PlotPoint& after)
{
    if (!context.params.searchBreakPoints)
        return false;
    auto& d = entry.UpdateDerivative();
    auto& f = entry.function;
    const CurveType kind = f.Type();
    SamplePoint s;
    SamplePoint sd;

    // The last point before the jump: the previous sample stays fixed as the reference.
    const SamplePoint p = prev;
    const SamplePoint pd = prevD;
    double lo = v - step;
    double hi = v;
    for (int i = 0; i < kBreakHalvings; ++i) {
        const double mid = (lo + hi) / 2;
        EvaluateSampleOf(f, context, mid, s);
        EvaluateSampleOf(d, context, mid, sd);
        CheckContinuity(kind, p, s, pd, sd);
        if (s.valid)
            lo = mid;
        else
            hi = mid;
    }
    if (lo > v)
        return false;
    EvaluateSampleOf(f, context, lo, s);
    if (!s.valid)
        return false;
    before = sampler_detail::PenDown(s);
    prev = s;
    EvaluateSampleOf(d, context, lo, prevD);

    // The first point after the jump: the mid sample plays the previous one against the current.
    lo = v - step;
    hi = v;
    for (int i = 0; i < kBreakHalvings; ++i) {
        SamplePoint c = cur;
        c.valid = true;
        SamplePoint cd = curD;
        const double mid = (lo + hi) / 2;
        EvaluateSampleOf(f, context, mid, s);
        EvaluateSampleOf(d, context, mid, sd);
        CheckContinuity(kind, s, c, sd, cd);
        if (c.valid && s.valid)
            hi = mid;
        else
            lo = mid;
    }
    if (hi > v)
        return false;
    EvaluateSampleOf(f, context, hi, s);
    if (!s.valid)
        return false;
    after = sampler_detail::PenDown(s);
    cur = s; // counts as plottable for the next step; curD is left as it was
    return true;
}

template <class Entry>
void SampleFunctionOf(
    Entry& entry, const CFunctionsContext& context, std::vector<PlotPoint>& points)
{
    auto& f = entry.function;
    auto& d = entry.UpdateDerivative();
    const CurveType kind = f.Type();

    double start = 0;
    double end = 0;
    double step = 1;
    const CurveKind* described = FindCurveKind(kind);
    if (described == nullptr)
        return;
    switch (described->range) {
    case VariableRange::ViewX:
        // One sample per pixel column of the displayed x range.
        start = context.PixelToWorldX(0);
        end = context.PixelToWorldX(context.screenWidth);
        step = (end - start) / context.screenWidth;
        break;
    case VariableRange::Parameter:
        start = f.paramMin;
        end = f.paramMax;
        step = (f.paramMax - f.paramMin) / f.iterations;
        break;
    }
    if (!(end > start))
        return;
    if (step > 0 && (end - start) / step > kMaxSamplesPerCurve)
        step = (end - start) / kMaxSamplesPerCurve;

    SamplePoint prev, cur, prevD, curD;
    sampler_detail::StepValues<std::remove_reference_t<decltype(f)>> steps(f, context);
    sampler_detail::StepValues<std::remove_reference_t<decltype(d)>> derivativeSteps(d, context);
    double v = start;
    for (int i = 0;; ++i) {
        steps.Sample(v, step, end, cur);
        derivativeSteps.Sample(v, step, end, curD);
        const bool bothBefore = prev.valid && cur.valid;
        CheckContinuity(kind, prev, cur, prevD, curD);
        const bool breakFound = bothBefore && !cur.valid;
        if (breakFound) {
            PlotPoint a, b;
            if (FindBreakOf(entry, context, v, step, prev, prevD, cur, curD, a, b)) {
                points.push_back(a);
                points.push_back(PlotPoint {a.x, a.y, false});
                points.push_back(b);
            } else if (context.params.searchBreakPoints) {
                // The jump is there but could not be bracketed (the curve is undefined at it, as
                // 1/x at a sample on 0): never join across it.
                points.push_back(sampler_detail::kPenUp);
            }
        } else if (prev.valid == cur.valid) {
            points.push_back(prev.valid ? sampler_detail::PenDown(cur) : sampler_detail::kPenUp);
        } else if (i > 0) {
            PlotPoint found;
            const bool ok = prev.valid ? FindDomainExitOf(entry, context, v, step, cur, curD, found)
                                       : FindDomainEntryOf(entry, context, v, step, found);
            if (ok)
                points.push_back(found);
        }
        prev = cur;
        prevD = curD;
        // Accumulated by addition, not recomputed from start. A step that does not move the
        // variable (negative, zero, NaN, or too small for its magnitude) ends the walk.
        const double next = v + step;
        if (!(next > v))
            break;
        v = next;
        if (!(v < end))
            break;
    }
}
