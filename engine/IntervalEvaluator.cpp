#include "engine/IntervalEvaluator.h"

#include <cmath>

using interval::Interval;
using interval::kInf;

IntervalEvaluator::IntervalEvaluator(const FunctionInterpreter& f, int index) : f_(f), index_(index)
{
}

IntervalEvaluator::~IntervalEvaluator() = default;

IntervalBounds IntervalEvaluator::Plain(const Interval& x) const
{
    return f_.EvaluateInterval(IntervalInput {&f_, index_, x, work_});
}

const FunctionInterpreter* IntervalEvaluator::Derivative() const
{
    if (!derivativeTried_) {
        derivativeTried_ = true;
        try {
            derivative_ = f_.DerivativeInterpreter(index_);
            for (int i = 0; i < derivative_->GetVariableCount(); ++i)
                derivativeVariables_.push_back(f_.FindVariable(derivative_->GetVariableName(i)));
            derivativeIndex_ = derivative_->FindVariable(f_.GetVariableName(index_));
        } catch (const ParseErrorMsg&) {
            derivative_.reset(); // no derivative: the plain walk serves alone
        }
    }
    if (derivative_)
        for (size_t i = 0; i < derivativeVariables_.size(); ++i)
            if (derivativeVariables_[i] >= 0)
                derivative_->SetVariableValueAt(
                    static_cast<int>(i), f_.GetVariableValueAt(derivativeVariables_[i]));
    return derivative_.get();
}

namespace {

// a + b, a * b and a - b of exact ranges, rounded outward.
Interval Sum(const Interval& a, const Interval& b)
{
    return {interval::AddDown(a.lo, b.lo), interval::AddUp(a.hi, b.hi)};
}
Interval Product(const Interval& a, const Interval& b)
{
    double lo = kInf;
    double hi = -kInf;
    for (const double x : {a.lo, a.hi})
        for (const double y : {b.lo, b.hi}) {
            lo = std::min(lo, interval::MulDown(x, y));
            hi = std::max(hi, interval::MulUp(x, y));
        }
    return {lo, hi};
}

} // namespace

IntervalBounds IntervalEvaluator::Centred(const Interval& x, const IntervalBounds* given) const
{
    IntervalBounds plain = given != nullptr ? *given : Plain(x);
    // The mean value theorem asks for a function continuous over a bounded range, whose
    // computed values stay within a known distance of the exact ones.
    if (index_ < 0 || x.IsPoint() || !x.IsBounded() || plain.decoration() < Decoration::dac
        || !std::isfinite(plain.err))
        return plain;
    const FunctionInterpreter* derivative = Derivative();
    if (derivative == nullptr)
        return plain;
    const IntervalBounds slope
        = derivative->EvaluateInterval(IntervalInput {derivative, derivativeIndex_, x, work_});
    // A continuous slope: the walk's ranges then hold its values between the doubles of x too.
    // Its exact values are held only where nothing overflowed on the way (an overflow leaves its
    // bound on rounding infinite).
    if (slope.decoration() < Decoration::dac || !slope.range.IsBounded()
        || !std::isfinite(slope.err))
        return plain;
    Interval exact;
    if (slope.range.lo >= 0 || slope.range.hi <= 0) {
        // Monotone: the exact values lie between those at the ends.
        const Interval lo = Plain(Interval::Point(x.lo)).range;
        const Interval hi = Plain(Interval::Point(x.hi)).range;
        exact = interval::Hull(lo, hi);
    } else {
        const double m = x.lo + (x.hi - x.lo) / 2;
        const IntervalBounds centre = Plain(Interval::Point(m));
        if (centre.range.IsEmpty() || !std::isfinite(centre.err))
            return plain;
        const Interval offset = {interval::AddDown(x.lo, -m), interval::AddUp(x.hi, -m)};
        exact = Sum(centre.range, Product(slope.range, offset));
    }
    if (exact.IsEmpty())
        return plain;
    // The computed values stray from the exact ones by at most the walk's bound.
    exact = {interval::AddDown(exact.lo, -plain.err), interval::AddUp(exact.hi, plain.err)};
    const Interval narrowed = interval::Intersect(plain.range, exact);
    if (!narrowed.IsEmpty())
        plain.range = narrowed;
    return plain;
}

IntervalBounds IntervalEvaluator::Evaluate(const Interval& x, int splits) const
{
    IntervalBounds whole = Centred(x);
    if (splits <= 0 || x.IsPoint() || !x.IsBounded() || whole.range.IsEmpty())
        return whole;
    // Splitting pays when the range is much wider than the values at the ends and the middle,
    // which the true range holds.
    const double m = x.lo + (x.hi - x.lo) / 2;
    if (!(m > x.lo && m < x.hi))
        return whole;
    Interval seen = Interval::Empty();
    for (const double v : {x.lo, m, x.hi})
        seen = interval::Hull(seen, Plain(Interval::Point(v)).range);
    if (!seen.IsEmpty() && whole.range.IsBounded()
        && whole.range.Width() <= 1.01 * seen.Width() + 1e-300)
        return whole;
    IntervalBounds halves = Union(Evaluate({x.lo, m}, splits - 1), Evaluate({m, x.hi}, splits - 1));
    // Both bound the same values: keep what they agree on. A property the whole range has, its
    // halves have too.
    const Interval both = interval::Intersect(whole.range, halves.range);
    if (!both.IsEmpty())
        halves.range = both;
    halves.nan = halves.nan && whole.nan;
    halves.continuous = halves.continuous || whole.continuous;
    if (whole.fails == Tri::Never)
        halves.fails = Tri::Never;
    return halves;
}
