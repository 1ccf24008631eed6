#include "engine/IntervalRules.h"

#include <cmath>
#include <limits>

#include "engine/EvaluationRules.h"
#include "platform/Numeric.h"

using interval::Ends;
using interval::Interval;
using interval::kInf;
using interval::kLibmPointUlps;
using interval::kLibmUlps;
using interval::NextDown;
using interval::NextUp;
using interval::Propagate;
using interval::RoundingError;

const char* DecorationName(Decoration d)
{
    switch (d) {
    case Decoration::ill:
        return "ill";
    case Decoration::trv:
        return "trv";
    case Decoration::def:
        return "def";
    case Decoration::dac:
        return "dac";
    case Decoration::com:
        return "com";
    }
    return "ill";
}

Tri operator<(const Interval& a, double c)
{
    if (a.hi < c)
        return Tri::Always;
    return a.lo >= c ? Tri::Never : Tri::Sometimes;
}
Tri operator<=(const Interval& a, double c)
{
    if (a.hi <= c)
        return Tri::Always;
    return a.lo > c ? Tri::Never : Tri::Sometimes;
}
Tri operator>(const Interval& a, double c)
{
    if (a.lo > c)
        return Tri::Always;
    return a.hi <= c ? Tri::Never : Tri::Sometimes;
}
Tri operator>=(const Interval& a, double c)
{
    if (a.lo >= c)
        return Tri::Always;
    return a.hi < c ? Tri::Never : Tri::Sometimes;
}
Tri operator==(const Interval& a, double c)
{
    if (a.lo == c && a.hi == c)
        return Tri::Always;
    return a.Contains(c) ? Tri::Sometimes : Tri::Never;
}

IntervalBounds IntervalBounds::Point(double v)
{
    IntervalBounds b;
    if (std::isnan(v)) {
        b.range = Interval::Empty();
        b.nan = true;
    } else {
        b.range = Interval::Point(v);
    }
    return b;
}

IntervalBounds IntervalBounds::Failing()
{
    IntervalBounds b;
    b.range = Interval::Empty();
    b.fails = Tri::Always;
    return b;
}

Decoration IntervalBounds::decoration() const
{
    if (range.IsEmpty())
        return Decoration::ill;
    if (fails != Tri::Never || nan)
        return Decoration::trv;
    if (!continuous)
        return Decoration::def;
    return range.IsBounded() ? Decoration::com : Decoration::dac;
}

namespace {

constexpr double kMaxDouble = std::numeric_limits<double>::max();
constexpr double kTiny = std::numeric_limits<double>::denorm_min();
constexpr double kPi = 3.141592653589793;
constexpr double kHalfPi = 1.5707963267948966;

// ---- Values of one operation over a range, before decoration ----

// The range of an operation's values over its operands' ranges, the gap between computed and
// exact values, and whether it gives NaN somewhere.
struct Value {
    Interval range;
    double err = 0;
    bool mayNaN = false;
};

Value Nothing()
{
    return {Interval::Empty(), 0, false};
}

// The part of a range that lies in [lo, hi].
Interval Part(const Interval& x, double lo, double hi)
{
    return interval::Intersect(x, {lo, hi});
}

// One of the correctly rounded operations, its ends rounded outward (rounding being monotone,
// the rounded results of any operands lie between those of the ends), and half an ulp of error
// at each point.
Value Rounded(double lo, double hi, double propagated)
{
    Value v;
    v.range = {lo, hi};
    v.err = interval::BoundUp(propagated + RoundingError(v.range.Mag(), 1));
    return v;
}

// A monotone function of the C library over x (not empty): increasing or decreasing, its error
// propagated with the largest slope over x.
Value Monotone(double (*f)(double), const Interval& x, double err, bool increasing, double slope)
{
    Value v;
    const double a = f(x.lo);
    const double b = f(x.hi);
    v.range = increasing ? Ends(a, b, kLibmUlps) : Ends(b, a, kLibmUlps);
    v.err = interval::BoundUp(Propagate(slope, err) + RoundingError(v.range.Mag(), kLibmPointUlps));
    return v;
}

Value AddV(const Value& a, const Value& b)
{
    if (a.range.IsEmpty() || b.range.IsEmpty())
        return Nothing();
    double lo = interval::AddDown(a.range.lo, b.range.lo);
    double hi = interval::AddUp(a.range.hi, b.range.hi);
    if (std::isnan(lo))
        lo = -kInf;
    if (std::isnan(hi))
        hi = kInf;
    Value v = Rounded(lo, hi, a.err + b.err);
    v.mayNaN = a.mayNaN || b.mayNaN || (a.range.hi == kInf && b.range.lo == -kInf)
        || (a.range.lo == -kInf && b.range.hi == kInf);
    return v;
}

Value SubV(const Value& a, const Value& b)
{
    if (a.range.IsEmpty() || b.range.IsEmpty())
        return Nothing();
    double lo = interval::AddDown(a.range.lo, -b.range.hi);
    double hi = interval::AddUp(a.range.hi, -b.range.lo);
    if (std::isnan(lo))
        lo = -kInf;
    if (std::isnan(hi))
        hi = kInf;
    Value v = Rounded(lo, hi, a.err + b.err);
    v.mayNaN = a.mayNaN || b.mayNaN || (a.range.hi == kInf && b.range.hi == kInf)
        || (a.range.lo == -kInf && b.range.lo == -kInf);
    return v;
}

bool HasInfinity(const Interval& x)
{
    return x.lo == -kInf || x.hi == kInf;
}

// The corners of an operation: rounded to nearest first, then only the least and the greatest
// rounded outward. Rounding being monotone, a corner whose rounded value is below another's has
// the lower exact value too; ties are all rounded.
template <class Op, class Down, class Up>
void Corners(const double (&xs)[2], const double (&ys)[2], Op op, Down down, Up up, double& lo,
    double& hi, bool& nan)
{
    double r[4];
    int n = 0;
    double least = kInf;
    double most = -kInf;
    for (const double x : xs)
        for (const double y : ys) {
            const double v = op(x, y);
            r[n++] = v;
            if (std::isnan(v)) {
                nan = true;
                continue;
            }
            least = std::min(least, v);
            most = std::max(most, v);
        }
    n = 0;
    for (const double x : xs)
        for (const double y : ys) {
            const double v = r[n++];
            if (v == least)
                lo = std::min(lo, down(x, y));
            if (v == most)
                hi = std::max(hi, up(x, y));
        }
}

Value MulV(const Value& a, const Value& b)
{
    if (a.range.IsEmpty() || b.range.IsEmpty())
        return Nothing();
    // 0 * inf is NaN; the other corners bound every product that is a number, and 0 is one.
    double lo = kInf;
    double hi = -kInf;
    bool nan = false;
    Corners(
        {a.range.lo, a.range.hi}, {b.range.lo, b.range.hi},
        [](double x, double y) { return x * y; }, interval::MulDown, interval::MulUp, lo, hi, nan);
    if (nan) {
        lo = std::min(lo, 0.0);
        hi = std::max(hi, 0.0);
    }
    const double propagated = Propagate(b.range.Mag(), a.err) + Propagate(a.range.Mag(), b.err);
    Value v = Rounded(lo, hi, propagated);
    v.mayNaN = a.mayNaN || b.mayNaN || (a.range.Contains(0) && HasInfinity(b.range))
        || (b.range.Contains(0) && HasInfinity(a.range));
    return v;
}

Value SqrV(const Value& a)
{
    if (a.range.IsEmpty())
        return Nothing();
    const double small = a.range.Mig();
    const double large = a.range.Mag();
    Value v = Rounded(interval::MulDown(small, small), interval::MulUp(large, large),
        Propagate(2 * a.range.Mag() + a.err, a.err));
    v.range.lo = std::max(v.range.lo, 0.0);
    v.mayNaN = a.mayNaN;
    return v;
}

// a / b over the values of b that are not 0.
Value DivV(const Value& a, const Value& b)
{
    if (a.range.IsEmpty() || b.range.IsEmpty())
        return Nothing();
    double lo = kInf;
    double hi = -kInf;
    bool nan = false;
    // The divisor's negative and positive parts; the smallest magnitudes are the tiniest doubles.
    const Interval parts[] = {Part(b.range, -kInf, -kTiny), Part(b.range, kTiny, kInf)};
    for (const Interval& part : parts) {
        if (part.IsEmpty())
            continue;
        // inf / inf is NaN; the other corners bound every quotient that is a number.
        Corners(
            {a.range.lo, a.range.hi}, {part.lo, part.hi}, [](double x, double y) { return x / y; },
            interval::DivDown, interval::DivUp, lo, hi, nan);
    }
    if (lo > hi)
        return {Interval::Empty(), 0, true};
    const double mig = b.range.Mig();
    const double propagated = mig == 0
        ? (a.err == 0 && b.err == 0 ? 0.0 : kInf)
        : Propagate(1 / mig, a.err) + Propagate(a.range.Mag() / mig / mig, b.err);
    Value v = Rounded(lo, hi, propagated);
    v.mayNaN = a.mayNaN || b.mayNaN || nan;
    return v;
}

Value ConstantV(double c)
{
    return {Interval::Point(c), 0, false};
}

Value ScaleV(double c, const Value& a)
{
    return MulV(ConstantV(c), a);
}

// 1 / u over the values of u that are not 0.
Value RecipV(const Value& u)
{
    return DivV(ConstantV(1), u);
}

Value ExpV(const Value& a)
{
    if (a.range.IsEmpty())
        return Nothing();
    Value v = Monotone(std::exp, a.range, a.err, true, std::exp(a.range.hi) * 2);
    v.range.lo = std::max(v.range.lo, 0.0);
    v.mayNaN = a.mayNaN;
    return v;
}

// The logarithms over the part of a that is not negative (log(0) is -inf).
Value LogOf(double (*f)(double), double scale, const Value& a)
{
    const Interval x = Part(a.range, 0, kInf);
    if (x.IsEmpty())
        return Nothing();
    const double slope = x.lo > 0 ? 2 / (x.lo * scale) : kInf;
    Value v = Monotone(f, x, a.err, true, slope);
    v.mayNaN = a.mayNaN;
    return v;
}
Value LogV(const Value& a)
{
    return LogOf(std::log, 1, a);
}
Value Log10V(const Value& a)
{
    return LogOf(std::log10, 2.302585092994046, a);
}

Value SqrtV(const Value& a)
{
    const Interval x = Part(a.range, 0, kInf);
    if (x.IsEmpty())
        return Nothing();
    const double slope = x.lo > 0 ? 1 / std::sqrt(x.lo) : kInf;
    Value v = Rounded(interval::SqrtDown(x.lo), interval::SqrtUp(x.hi), Propagate(slope, a.err));
    v.range.lo = std::max(v.range.lo, 0.0);
    v.mayNaN = a.mayNaN;
    return v;
}

// Whether [lo, hi] (finite) holds a point offset + k pi: bit 0 for an even k, bit 1 for an odd
// k. Conservative: a point within rounding of an end counts as held, and so does everything far
// from 0, where a double's spacing is too coarse to place the points.
int CriticalPoints(double lo, double hi, double offset)
{
    if (!(hi - lo < 7) || !(std::fabs(lo) < 0x1p46 && std::fabs(hi) < 0x1p46))
        return 3;
    // (x - offset) / pi strays from its exact value by the rounding of the subtraction, of
    // offset and pi, and of the division: under 3e-16 (1 + |k|); the margin is four times that.
    const double a = (lo - offset) / kPi;
    const double b = (hi - offset) / kPi;
    const double margin = 1e-15 * (1 + std::max(std::fabs(a), std::fabs(b)));
    const double first = std::ceil(a - margin);
    const double last = std::floor(b + margin);
    if (first > last)
        return 0;
    if (last > first)
        return 3;
    return std::fmod(std::fabs(first), 2) == 0 ? 1 : 2;
}

// Whether cos (or sin) keeps one sign over x, from its computed values at the ends: their
// signs are those of the exact values (an error of an ulp, relative, cannot change a sign, and
// no double is a zero of cos, nor of sin but 0), and a range narrower than pi holds at most one
// of their zeros, where the sign changes. This settles the ends that the margin of
// CriticalPoints leaves in doubt next to a pole.
bool OneSign(double atLo, double atHi, const Interval& x)
{
    return x.hi - x.lo < 3 && ((atLo > 0 && atHi > 0) || (atLo < 0 && atHi < 0));
}

// The finite part of a range, and whether the range also holds an infinity.
Interval Finite(const Interval& x, bool& infinite)
{
    infinite = HasInfinity(x);
    return Part(x, -kMaxDouble, kMaxDouble);
}

// sin or cos over a: extremes where a holds a critical point, NaN at the infinities.
Value Periodic(double (*f)(double), double offset, const Value& a)
{
    bool infinite = false;
    const Interval x = Finite(a.range, infinite);
    Value v;
    v.mayNaN = a.mayNaN || infinite;
    if (x.IsEmpty()) {
        v.range = Interval::Empty();
        return v;
    }
    const double p = f(x.lo);
    const double q = f(x.hi);
    v.range = Ends(std::min(p, q), std::max(p, q), kLibmUlps);
    if (!x.IsPoint()) {
        const int critical = CriticalPoints(x.lo, x.hi, offset);
        if (critical & 1)
            v.range.hi = 1;
        if (critical & 2)
            v.range.lo = -1;
    }
    v.range = Part(v.range, -1, 1);
    v.err = interval::BoundUp(Propagate(1, a.err) + RoundingError(1, kLibmPointUlps));
    return v;
}
Value SinV(const Value& a)
{
    return Periodic(std::sin, kHalfPi, a);
}
Value CosV(const Value& a)
{
    return Periodic(std::cos, 0, a);
}

Value TanV(const Value& a)
{
    bool infinite = false;
    const Interval x = Finite(a.range, infinite);
    Value v;
    v.mayNaN = a.mayNaN || infinite;
    if (x.IsEmpty()) {
        v.range = Interval::Empty();
        return v;
    }
    if (!x.IsPoint() && CriticalPoints(x.lo, x.hi, kHalfPi) != 0
        && !OneSign(std::cos(x.lo), std::cos(x.hi), x)) {
        v.range = Interval::Entire(); // a pole
        v.err = kInf;
        return v;
    }
    v.range = Ends(std::tan(x.lo), std::tan(x.hi), kLibmUlps);
    const double slope = 1 + v.range.Mag() * v.range.Mag();
    v.err
        = interval::BoundUp(Propagate(slope, a.err) + RoundingError(v.range.Mag(), kLibmPointUlps));
    return v;
}

// cot as the engine computes it, 1 / tan(x), over a range holding no multiple of pi: it
// decreases there, through its zeros at the poles of tan.
Value CotV(const Value& a)
{
    bool infinite = false;
    const Interval x = Finite(a.range, infinite);
    Value v;
    v.mayNaN = a.mayNaN || infinite;
    if (x.IsEmpty()) {
        v.range = Interval::Empty();
        return v;
    }
    if (!x.IsPoint() && CriticalPoints(x.lo, x.hi, 0) != 0
        && !OneSign(std::sin(x.lo), std::sin(x.hi), x)) {
        v.range = Interval::Entire();
        v.err = kInf;
        return v;
    }
    v.range = Ends(1 / std::tan(x.hi), 1 / std::tan(x.lo), kLibmUlps + 2);
    const double slope = 1 + v.range.Mag() * v.range.Mag();
    v.err = interval::BoundUp(
        Propagate(slope, a.err) + RoundingError(v.range.Mag(), kLibmPointUlps + 1));
    return v;
}

Value AsinV(const Value& a)
{
    const Interval x = Part(a.range, -1, 1);
    if (x.IsEmpty())
        return Nothing();
    const double m = x.Mag();
    const double slope = m < 1 ? 2 / std::sqrt((1 - m) * (1 + m)) : kInf;
    Value v = Monotone(std::asin, x, a.err, true, slope);
    v.mayNaN = a.mayNaN;
    return v;
}

Value AcosV(const Value& a)
{
    const Interval x = Part(a.range, -1, 1);
    if (x.IsEmpty())
        return Nothing();
    const double m = x.Mag();
    const double slope = m < 1 ? 2 / std::sqrt((1 - m) * (1 + m)) : kInf;
    Value v = Monotone(std::acos, x, a.err, false, slope);
    v.range.lo = std::max(v.range.lo, 0.0);
    v.mayNaN = a.mayNaN;
    return v;
}

Value AtanV(const Value& a)
{
    if (a.range.IsEmpty())
        return Nothing();
    Value v = Monotone(std::atan, a.range, a.err, true, 1);
    v.mayNaN = a.mayNaN;
    return v;
}

Value SinhV(const Value& a)
{
    if (a.range.IsEmpty())
        return Nothing();
    const double slope = 2 * std::cosh(a.range.Mag());
    Value v = Monotone(std::sinh, a.range, a.err, true, slope);
    v.mayNaN = a.mayNaN;
    return v;
}

Value CoshV(const Value& a)
{
    if (a.range.IsEmpty())
        return Nothing();
    const Interval& x = a.range;
    const double slope = 2 * std::cosh(x.Mag());
    Value v;
    if (x.lo >= 0)
        v = Monotone(std::cosh, x, a.err, true, slope);
    else if (x.hi <= 0)
        v = Monotone(std::cosh, x, a.err, false, slope);
    else
        v = Monotone(std::cosh, {0, x.Mag()}, a.err, true, slope);
    v.range.lo = std::max(v.range.lo, 1.0);
    v.mayNaN = a.mayNaN;
    return v;
}

Value TanhV(const Value& a)
{
    if (a.range.IsEmpty())
        return Nothing();
    Value v = Monotone(std::tanh, a.range, a.err, true, 1);
    v.range = Part(v.range, -1, 1);
    v.mayNaN = a.mayNaN;
    return v;
}

Value AbsV(const Value& a)
{
    if (a.range.IsEmpty())
        return Nothing();
    const Interval& x = a.range;
    Value v = a;
    if (x.lo >= 0)
        v.range = x;
    else if (x.hi <= 0)
        v.range = {-x.hi, -x.lo};
    else
        v.range = {0, x.Mag()};
    return v;
}

// A piecewise constant function, monotone over the range: exact, and with a gap between
// computed and exact values only where it changes (where it is not continuous either).
Value Steps(double lo, double hi, const Value& a)
{
    Value v;
    v.range = {std::min(lo, hi), std::max(lo, hi)};
    v.err = v.range.IsPoint() ? 0.0 : kInf;
    v.mayNaN = a.mayNaN;
    return v;
}

Value HullV(const Value& a, const Value& b)
{
    return {interval::Hull(a.range, b.range), std::max(a.err, b.err), a.mayNaN || b.mayNaN};
}

Value WithRange(const Value& a, const Interval& range)
{
    return {range, a.err, a.mayNaN};
}

// ---- The functions' rules ----

// The row's domain test over a range of operands.
Tri DomainFailure(FunctionCode code, const Interval& x)
{
    switch (code) {
#define CURVANA_FUNCTION_DOMAIN(                                                                   \
    Stem, code, name, Class, call, error, test, shared, failsWhen, ...)                            \
    case kFunction##Stem: {                                                                        \
        [[maybe_unused]] const Interval u = shared;                                                \
        return TriOf(failsWhen);                                                                   \
    }
        CURVANA_FUNCTIONS(CURVANA_FUNCTION_DOMAIN)
#undef CURVANA_FUNCTION_DOMAIN
    case kFunctionNone:
    case kFunctionRand:
    case kFunctionUnknownName:
        break;
    }
    return Tri::Always;
}

FunctionShape ShapeOf(FunctionCode code)
{
    switch (code) {
#define CURVANA_FUNCTION_SHAPE(                                                                    \
    Stem, code, name, Class, call, error, test, shared, failsWhen, value, shape)                   \
    case kFunction##Stem:                                                                          \
        return FunctionShape::shape;
        CURVANA_FUNCTIONS(CURVANA_FUNCTION_SHAPE)
#undef CURVANA_FUNCTION_SHAPE
    case kFunctionNone:
    case kFunctionRand:
    case kFunctionUnknownName:
        break;
    }
    return FunctionShape::Steps;
}

// The part of x on each side of a gap (lo, hi) of the domain.
Value OutsideGap(const Value& a, double lo, double hi, Value (*rule)(const Value&))
{
    const Value below = WithRange(a, Part(a.range, -kInf, NextDown(lo)));
    const Value above = WithRange(a, Part(a.range, NextUp(hi), kInf));
    Value v = Nothing();
    if (!below.range.IsEmpty())
        v = rule(below);
    if (!above.range.IsEmpty())
        v = v.range.IsEmpty() ? rule(above) : HullV(v, rule(above));
    return v;
}

// The computed 1 / x of a reciprocal stays within [-1, 1] when |x| >= 1.
Value UnitRecip(const Value& a)
{
    const Value r = RecipV(a);
    return WithRange(r, Part(r.range, -1, 1));
}

// Each function's values over the part of its operand's range where it is defined, computed
// as its row computes them.
Value FunctionValue(FunctionCode code, const Value& a)
{
    const Interval& x = a.range;
    switch (code) {
    case kFunctionLn:
        return LogV(WithRange(a, Part(x, kTiny, kInf)));
    case kFunctionLog:
        return Log10V(WithRange(a, Part(x, kTiny, kInf)));
    case kFunctionLb:
        return DivV(LogV(WithRange(a, Part(x, kTiny, kInf))), ConstantV(std::log(2.0)));
    case kFunctionExp:
        return ExpV(a);
    case kFunctionAbs:
        return AbsV(a);
    case kFunctionSqrt:
        return SqrtV(a);
    case kFunctionNeg:
        return {{-x.hi, -x.lo}, a.err, a.mayNaN};
    case kFunctionSin:
        return SinV(a);
    case kFunctionCos:
        return CosV(a);
    case kFunctionTan:
        return TanV(a);
    case kFunctionSec:
        return RecipV(CosV(a));
    case kFunctionCsc:
        return RecipV(SinV(a));
    case kFunctionCot:
        return CotV(a);
    case kFunctionAsin:
        return AsinV(a);
    case kFunctionAcos:
        return AcosV(a);
    case kFunctionAtan:
        return AtanV(a);
    case kFunctionAsec:
        return OutsideGap(a, -1, 1, [](const Value& p) { return AcosV(UnitRecip(p)); });
    case kFunctionAcsc:
        return OutsideGap(a, -1, 1, [](const Value& p) { return AsinV(UnitRecip(p)); });
    case kFunctionAcot:
        return OutsideGap(a, 0, 0, [](const Value& p) { return AtanV(RecipV(p)); });
    case kFunctionSinh:
        return SinhV(a);
    case kFunctionCosh:
        return CoshV(a);
    case kFunctionTanh:
        return TanhV(a);
    case kFunctionSech:
        return RecipV(CoshV(a));
    case kFunctionCsch:
        return RecipV(SinhV(a));
    case kFunctionCoth:
        return RecipV(TanhV(a));
    case kFunctionAsinh: {
        // log(sqrt(x * x + 1) + x). The computed square root is never below |x|, so the sum is
        // never negative, although its two ends may suggest so for a negative x.
        const Value sum = AddV(SqrtV(AddV(SqrV(a), ConstantV(1))), a);
        return LogV(WithRange(sum, Part(sum.range, 0, kInf)));
    }
    case kFunctionAcosh: {
        // log(x + sqrt(x * x - 1)) over x >= 1, where x * x - 1 is never negative.
        const Value d = WithRange(a, Part(x, 1, kInf));
        const Value s = SubV(SqrV(d), ConstantV(1));
        return LogV(AddV(d, SqrtV(WithRange(s, Part(s.range, 0, kInf)))));
    }
    case kFunctionAtanh: {
        // 0.5 * log((x + 1) / (1 - x)) over -1 < x < 1.
        const Value d = WithRange(a, Part(x, NextUp(-1), NextDown(1)));
        return ScaleV(0.5, LogV(DivV(AddV(d, ConstantV(1)), SubV(ConstantV(1), d))));
    }
    case kFunctionAsech: {
        // log((sqrt(1 - x * x) + 1) / x) over 0 < x <= 1.
        const Value d = WithRange(a, Part(x, kTiny, 1));
        const Value s = SubV(ConstantV(1), SqrV(d));
        return LogV(DivV(AddV(SqrtV(WithRange(s, Part(s.range, 0, kInf))), ConstantV(1)), d));
    }
    case kFunctionAcsch:
        // log((sqrt(x * x + 1) + 1) / |x|) over x != 0.
        return OutsideGap(a, 0, 0, [](const Value& p) {
            return LogV(DivV(AddV(SqrtV(AddV(SqrV(p), ConstantV(1))), ConstantV(1)), AbsV(p)));
        });
    case kFunctionAcoth:
        // 0.5 * log((x + 1) / (x - 1)) over |x| > 1.
        return OutsideGap(a, -1, 1, [](const Value& p) {
            return ScaleV(0.5, LogV(DivV(AddV(p, ConstantV(1)), SubV(p, ConstantV(1)))));
        });
    case kFunctionNot:
        if (x.lo == 0 && x.hi == 0)
            return Steps(1, 1, a);
        return x.Contains(0) ? Steps(0, 1, a) : Steps(0, 0, a);
    case kFunctionComplement:
        return Steps(~platform::TruncToInt32(x.hi), ~platform::TruncToInt32(x.lo), a);
    case kFunctionCeil:
        return Steps(std::ceil(x.lo), std::ceil(x.hi), a);
    case kFunctionFloor:
        return Steps(std::floor(x.lo), std::floor(x.hi), a);
    case kFunctionSgn:
        // x < 0 ? -1 : 1, so that -0 gives 1.
        return Steps(x.lo < 0 ? -1 : 1, x.hi < 0 ? -1 : 1, a);
    case kFunctionNone:
    case kFunctionRand:
    case kFunctionUnknownName:
        break;
    }
    return {Interval::Entire(), kInf, true};
}

// ---- Bounds ----

// A test that fails over the numbers of a range: where the range may also be NaN, which passes
// every test, it cannot fail everywhere.
Tri TestOver(Tri test, const IntervalBounds& operand)
{
    if (operand.range.IsEmpty())
        return Tri::Never;
    if (operand.nan && test == Tri::Always)
        return Tri::Sometimes;
    return test;
}

// The bounds of an operation from its values: it fails where its operands or its own test do,
// gives NaN where an operand is NaN (passed on) or where it makes one.
IntervalBounds Result(const Value& v, bool operandNaN, Tri fails, bool continuous)
{
    IntervalBounds b;
    if (fails == Tri::Always)
        return IntervalBounds::Failing();
    b.range = v.range;
    b.err = v.err;
    b.nan = operandNaN || v.mayNaN;
    b.fails = fails;
    b.continuous = continuous;
    return b;
}

Value ValueOf(const IntervalBounds& b)
{
    return {b.range, b.err, false};
}

// A value that a NaN operand turns into, added to the numbers.
Value WithRescued(Value v, bool nanOperand, double rescued)
{
    if (nanOperand)
        v.range = interval::Hull(v.range, Interval::Point(rescued));
    return v;
}

} // namespace

Interval Cos(const Interval& x)
{
    return CosV(Value {x, 0, false}).range;
}
Interval Sin(const Interval& x)
{
    return SinV(Value {x, 0, false}).range;
}
Interval Cosh(const Interval& x)
{
    return CoshV(Value {x, 0, false}).range;
}
Interval Sinh(const Interval& x)
{
    return SinhV(Value {x, 0, false}).range;
}
Interval Tanh(const Interval& x)
{
    return TanhV(Value {x, 0, false}).range;
}

IntervalBounds ApplyFunctionInterval(FunctionCode code, const IntervalBounds& operand)
{
    if (operand.fails == Tri::Always)
        return IntervalBounds::Failing();
    const Tri test = TestOver(
        operand.range.IsEmpty() ? Tri::Never : DomainFailure(code, operand.range), operand);
    const Tri fails = operand.fails || test;
    Value v = operand.range.IsEmpty() ? Nothing() : FunctionValue(code, ValueOf(operand));
    // NaN passes every domain test; three functions turn it into a number.
    bool nan = operand.nan;
    switch (code) {
    case kFunctionNot: // NaN == 0 is false
        v = WithRescued(v, operand.nan, 0);
        nan = false;
        break;
    case kFunctionSgn: // NaN < 0 is false
        v = WithRescued(v, operand.nan, 1);
        nan = false;
        break;
    case kFunctionComplement: // NaN truncates to 0
        v = WithRescued(v, operand.nan, -1);
        nan = false;
        break;
    default:
        break;
    }
    const bool continuous
        = operand.continuous && (ShapeOf(code) == FunctionShape::Smooth || v.range.IsPoint());
    return Result(v, nan, fails, continuous);
}

IntervalBounds AddInterval(const IntervalBounds& a, const IntervalBounds& b)
{
    return Result(AddV(ValueOf(a), ValueOf(b)), a.nan || b.nan, a.fails || b.fails,
        a.continuous && b.continuous);
}

IntervalBounds SubInterval(const IntervalBounds& a, const IntervalBounds& b)
{
    return Result(SubV(ValueOf(a), ValueOf(b)), a.nan || b.nan, a.fails || b.fails,
        a.continuous && b.continuous);
}

IntervalBounds MulInterval(const IntervalBounds& a, const IntervalBounds& b)
{
    return Result(MulV(ValueOf(a), ValueOf(b)), a.nan || b.nan, a.fails || b.fails,
        a.continuous && b.continuous);
}

IntervalBounds SqrInterval(const IntervalBounds& a)
{
    return Result(SqrV(ValueOf(a)), a.nan, a.fails, a.continuous);
}

IntervalBounds DivInterval(const IntervalBounds& a, const IntervalBounds& b)
{
    // The divisor is tested first: where it is 0, the dividend does not matter.
    if (b.fails == Tri::Always)
        return IntervalBounds::Failing();
    const Tri zero = TestOver(b.range.IsEmpty() ? Tri::Never : b.range == 0, b);
    const Tri fails = b.fails || zero || (zero == Tri::Always ? Tri::Never : a.fails);
    return Result(
        DivV(ValueOf(a), ValueOf(b)), a.nan || b.nan, fails, a.continuous && b.continuous);
}

namespace {

// A range of doubles as the remainder and the bitwise operators truncate it (NaN to 0).
struct IntRange {
    int64_t lo;
    int64_t hi;
    bool empty;
};
IntRange Truncated(const IntervalBounds& b)
{
    IntRange r {0, 0, true};
    if (!b.range.IsEmpty())
        r = {platform::TruncToInt32(b.range.lo), platform::TruncToInt32(b.range.hi), false};
    if (b.nan) {
        r.lo = r.empty ? 0 : std::min<int64_t>(r.lo, 0);
        r.hi = r.empty ? 0 : std::max<int64_t>(r.hi, 0);
        r.empty = false;
    }
    return r;
}

} // namespace

IntervalBounds ModInterval(const IntervalBounds& a, const IntervalBounds& b)
{
    if (b.fails == Tri::Always)
        return IntervalBounds::Failing();
    const IntRange d = Truncated(b);
    Tri zero = Tri::Never;
    if (d.empty)
        zero = Tri::Never;
    else if (d.lo == 0 && d.hi == 0)
        zero = Tri::Always;
    else if (d.lo <= 0 && d.hi >= 0)
        zero = Tri::Sometimes;
    const Tri fails = b.fails || zero || (zero == Tri::Always ? Tri::Never : a.fails);
    if (fails == Tri::Always)
        return IntervalBounds::Failing();
    const IntRange n = Truncated(a);
    Value v;
    if (n.empty || d.empty) {
        v = Nothing();
    } else if (n.lo == n.hi && d.lo == d.hi) {
        v.range = Interval::Point(static_cast<double>(n.lo % d.lo));
    } else {
        // The remainder takes the dividend's sign and is smaller than the largest divisor.
        const int64_t m = std::max(std::llabs(d.lo), std::llabs(d.hi)) - 1;
        const double lo = n.lo < 0 ? static_cast<double>(std::max(n.lo, -m)) : 0.0;
        const double hi = n.hi > 0 ? static_cast<double>(std::min(n.hi, m)) : 0.0;
        v.range = {lo, hi};
    }
    v.err = v.range.IsPoint() ? 0 : kInf;
    return Result(v, false, fails, v.range.IsPoint());
}

namespace {

// IntegerPower's rounding: one rounding per product of its repeated squaring.
int IntegerPowerUlps(int32_t n)
{
    int bits = 0;
    for (uint32_t m = n < 0 ? 0u - static_cast<uint32_t>(n) : static_cast<uint32_t>(n); m != 0;
         m >>= 1)
        ++bits;
    return 2 * bits + 2;
}

// The negative-base rule for an exponent read as the integer n, over negative bases x. The
// computed power of a negative base is the power of its magnitude with the sign of (-1)^n, and
// the repeated squaring is monotone in the magnitude, so the ends bound it.
Value NegativeBasePower(const Interval& x, int32_t n)
{
    Value v;
    if (n == 2 || n == 3) {
        // One or two products, each rounded to nearest: rounded outward they bound it.
        const double square[2]
            = {std::max(interval::MulDown(x.hi, x.hi), 0.0), interval::MulUp(x.lo, x.lo)};
        v.range = n == 2
            ? Interval {square[0], square[1]}
            : Interval {interval::MulDown(square[1], x.lo), interval::MulUp(square[0], x.hi)};
    } else {
        const double p = IntegerPower(x.lo, n);
        const double q = IntegerPower(x.hi, n);
        v.range = Ends(std::min(p, q), std::max(p, q), IntegerPowerUlps(n));
        if (n % 2 == 0 && n > 0)
            v.range.lo = std::max(v.range.lo, 0.0);
        v.mayNaN = std::isnan(p) || std::isnan(q);
    }
    v.err = kInf; // set by the caller when it can bound it
    return v;
}

// How the negative-base rule reads a fixed exponent y: 1 for a tiny one, the integer n it
// stands for, or a failure.
enum class NegativeExponent { One, Integer, Fails };
NegativeExponent ReadExponent(double y, int32_t& n)
{
    if (std::fabs(y) < 1e-17)
        return NegativeExponent::One;
    return IsIntegerExponent(y, n) ? NegativeExponent::Integer : NegativeExponent::Fails;
}

// Whether the negative-base rule reads some exponent of e as an integer (or as nearly 0): a
// relative 1e-14 around each integer, and what truncation keeps.
bool ReadsAnInteger(const Interval& e)
{
    if (e.Contains(0) || std::fabs(e.lo) < 1e-17 || std::fabs(e.hi) < 1e-17)
        return true;
    const double slack = 2e-14 * e.Mag() + 1e-300;
    return std::floor(e.hi + slack) >= std::ceil(e.lo - slack) || !e.IsBounded()
        || e.Mag() > 2147483647.0;
}

} // namespace

IntervalBounds PowInterval(const IntervalBounds& a, const IntervalBounds& b)
{
    if (a.fails == Tri::Always || b.fails == Tri::Always)
        return IntervalBounds::Failing();
    const Interval positive = Part(a.range, kTiny, kInf);
    const Interval negative = Part(a.range, -kInf, -kTiny);
    const bool zero = a.range.Contains(0);
    const Interval& e = b.range;
    Value v = Nothing();
    Tri test = Tri::Never;
    bool nan = false;
    bool continuous = a.continuous && b.continuous;

    if (!positive.IsEmpty() && !e.IsEmpty()) {
        if (e.IsPoint() && (e.lo == 2 || e.lo == 3)) {
            // pow errs by less than an ulp here, so its result is the exact power rounded down
            // or up: products rounded outward bound both.
            const double square[2] = {std::max(interval::MulDown(positive.lo, positive.lo), 0.0),
                interval::MulUp(positive.hi, positive.hi)};
            v.range = e.lo == 2 ? Interval {square[0], square[1]}
                                : Interval {interval::MulDown(square[0], positive.lo),
                                    interval::MulUp(square[1], positive.hi)};
        } else {
            // pow is monotone in each operand on its own: its extremes over the box are at
            // corners.
            double lo = kInf;
            double hi = -kInf;
            for (const double x : {positive.lo, positive.hi})
                for (const double y : {e.lo, e.hi}) {
                    const double p = std::pow(x, y);
                    lo = std::min(lo, p);
                    hi = std::max(hi, p);
                }
            v.range = Ends(lo, hi, kLibmUlps);
        }
        v.range.lo = std::max(v.range.lo, 0.0);
        // A slope for an exact exponent: |y| x^(y - 1) at the ends of x.
        double err = RoundingError(v.range.Mag(), kLibmPointUlps);
        if (a.err != 0 || b.err != 0) {
            if (b.err == 0 && e.IsPoint()) {
                const double y = e.lo;
                const double slope = std::fabs(y)
                    * std::max(std::pow(positive.lo, y - 1), std::pow(positive.hi, y - 1)) * 2;
                err = interval::BoundUp(err + Propagate(slope, a.err));
            } else {
                err = kInf;
            }
        }
        v.err = err;
    }
    // pow(a, NaN) is NaN, but 1 for a = 1.
    if (b.nan && !positive.IsEmpty()) {
        nan = true;
        if (positive.Contains(1))
            v = HullV(v, ConstantV(1));
    }
    if (zero && (!e.IsEmpty() || b.nan))
        v = HullV(v, ConstantV(0)); // a zero base gives 0 whatever the exponent, NaN included

    // Negative bases, and NaN ones, which take the same road.
    const bool negativeBases = !negative.IsEmpty() || a.nan;
    if (negativeBases) {
        if (b.nan)
            test = Tri::Sometimes; // a NaN exponent is no integer
        if (!e.IsEmpty() && e.IsPoint()) {
            int32_t n = 0;
            switch (ReadExponent(e.lo, n)) {
            case NegativeExponent::One:
                v = HullV(v, ConstantV(1));
                break;
            case NegativeExponent::Integer:
                if (!negative.IsEmpty()) {
                    Value w = NegativeBasePower(negative, n);
                    w.err = a.err == 0 && e.lo == n
                        ? RoundingError(w.range.Mag(), IntegerPowerUlps(n))
                        : kInf; // x^(3 + 1e-15) of a negative x is x^3: no smooth exact power
                    v = HullV(v, w);
                }
                if (a.nan)
                    nan = true; // IntegerPower(NaN, n)
                break;
            case NegativeExponent::Fails:
                test = Tri::Sometimes;
                if (positive.IsEmpty() && !zero && !b.nan)
                    test = Tri::Always; // every base fails
                break;
            }
        } else if (!e.IsEmpty() && e.Mag() < 1e-17) {
            // Exponents all read as 0: every negative base, NaN included, gives 1.
            v = HullV(v, ConstantV(1));
        } else if (!e.IsEmpty() && !ReadsAnInteger(e)) {
            // No exponent of the range is read as an integer: every negative base fails.
            test = positive.IsEmpty() && !zero && !b.nan ? Tri::Always : Tri::Sometimes;
        } else if (!e.IsEmpty()) {
            // Exponents that vary: some may fail, the others are integers read from them.
            test = Tri::Sometimes;
            const double first = std::trunc(e.lo);
            const double last = std::trunc(e.hi);
            v = HullV(v, ConstantV(1));
            if (!negative.IsEmpty()) {
                if (last - first <= 16)
                    for (double k = first; k <= last; ++k) {
                        // Read as the point rule reads it: past the 32-bit integers, it fails.
                        int32_t n = 0;
                        if (IsIntegerExponent(k, n))
                            v = HullV(v, NegativeBasePower(negative, n));
                    }
                else
                    v = HullV(v, {Interval::Entire(), kInf, false});
            }
            if (a.nan)
                nan = true;
            v.err = kInf;
            continuous = false;
        }
    }
    // At a zero base the power is 0 whatever the exponent: continuous there only when the
    // powers around it tend to 0, with a positive exponent (an integer one for negative bases).
    if (zero && !(positive.IsEmpty() && negative.IsEmpty())) {
        int32_t n = 0;
        const bool positiveExponent = !e.IsEmpty() && e.lo > 0;
        const bool integerExponent = e.IsPoint() && IsIntegerExponent(e.lo, n) && n >= 1;
        continuous = continuous && positiveExponent && (negative.IsEmpty() || integerExponent);
    }
    // NaN bases are counted in test: unlike the functions' tests, the negative-base rule fails
    // for them too.
    const Tri fails = a.fails || b.fails || test;
    return Result(v, nan || (a.nan && b.nan) || v.mayNaN, fails, continuous);
}

IntervalBounds CompareInterval(int code, const IntervalBounds& a, const IntervalBounds& b)
{
    if (a.fails == Tri::Always || b.fails == Tri::Always)
        return IntervalBounds::Failing();
    const Interval& x = a.range;
    const Interval& y = b.range;
    Tri holds = Tri::Sometimes;
    if (x.IsEmpty() || y.IsEmpty()) {
        holds = Tri::Never; // only NaN: no comparison holds
    } else {
        switch (static_cast<OperatorCode>(code)) {
        case kOperatorLess:
            holds = x.hi < y.lo ? Tri::Always : x.lo >= y.hi ? Tri::Never : Tri::Sometimes;
            break;
        case kOperatorGreater:
            holds = x.lo > y.hi ? Tri::Always : x.hi <= y.lo ? Tri::Never : Tri::Sometimes;
            break;
        case kOperatorLessOrEqual:
            holds = x.hi <= y.lo ? Tri::Always : x.lo > y.hi ? Tri::Never : Tri::Sometimes;
            break;
        case kOperatorGreaterOrEqual:
            holds = x.lo >= y.hi ? Tri::Always : x.hi < y.lo ? Tri::Never : Tri::Sometimes;
            break;
        case kOperatorEqual:
        case kOperatorNotEqual:
            if (x.IsPoint() && y.IsPoint() && x.lo == y.lo)
                holds = Tri::Always;
            else if (x.hi < y.lo || y.hi < x.lo)
                holds = Tri::Never;
            break;
        case kOperatorNone:
        case kOperatorPrefixPlus:
        case kOperatorPrefixMinus:
        case kOperatorPlus:
        case kOperatorMinus:
        case kOperatorMultiply:
        case kOperatorDivide:
        case kOperatorModulus:
        case kOperatorPower:
        case kOperatorAnd:
        case kOperatorOr:
        case kOperatorNot:
        case kOperatorBitwiseAnd:
        case kOperatorBitwiseOr:
        case kOperatorBitwiseXor:
        case kOperatorComplement:
        case kOperatorThenElse:
        case kOperatorIf:
            break;
        }
    }
    // A NaN operand makes every comparison false, but "!=" true.
    if ((a.nan || b.nan) && holds == Tri::Always)
        holds = Tri::Sometimes;
    if (code == kOperatorNotEqual)
        holds = holds == Tri::Always ? Tri::Never : holds == Tri::Never ? Tri::Always : holds;
    if ((a.nan && a.range.IsEmpty()) || (b.nan && b.range.IsEmpty()))
        holds = code == kOperatorNotEqual ? Tri::Always : Tri::Never;
    Value v;
    v.range = holds == Tri::Always ? Interval::Point(1)
        : holds == Tri::Never      ? Interval::Point(0)
                                   : Interval {0, 1};
    v.err = v.range.IsPoint() ? 0 : kInf;
    return Result(v, false, a.fails || b.fails, v.range.IsPoint());
}

IntervalBounds BitwiseInterval(int code, const IntervalBounds& a, const IntervalBounds& b)
{
    if (a.fails == Tri::Always || b.fails == Tri::Always)
        return IntervalBounds::Failing();
    const IntRange x = Truncated(a);
    const IntRange y = Truncated(b);
    Value v;
    if (x.empty || y.empty) {
        v = Nothing();
    } else if (x.lo == x.hi && y.lo == y.hi) {
        const auto i = static_cast<int32_t>(x.lo);
        const auto j = static_cast<int32_t>(y.lo);
        const int32_t r = code == kOperatorBitwiseAnd ? (i & j)
            : code == kOperatorBitwiseOr              ? (i | j)
                                                      : (i ^ j);
        v.range = Interval::Point(r);
    } else if (x.lo >= 0 && y.lo >= 0) {
        // Non-negative operands: no result has a bit above the highest of either.
        int64_t top = 1;
        while (top <= std::max(x.hi, y.hi))
            top <<= 1;
        const auto all = static_cast<double>(top - 1);
        if (code == kOperatorBitwiseAnd)
            v.range = {0, static_cast<double>(std::min(x.hi, y.hi))};
        else if (code == kOperatorBitwiseOr)
            v.range = {static_cast<double>(std::max(x.lo, y.lo)), all};
        else
            v.range = {0, all};
    } else {
        v.range = {static_cast<double>(INT32_MIN), static_cast<double>(INT32_MAX)};
    }
    v.err = v.range.IsPoint() ? 0 : kInf;
    return Result(v, false, a.fails || b.fails, v.range.IsPoint());
}

IntervalBounds TruthInterval(const IntervalBounds& a)
{
    if (a.fails == Tri::Always)
        return IntervalBounds::Failing();
    Value v = Nothing();
    if (!a.range.IsEmpty()) {
        if (a.range.lo == 0 && a.range.hi == 0)
            v.range = Interval::Point(0);
        else
            v.range = a.range.Contains(0) ? Interval {0, 1} : Interval::Point(1);
    }
    v = WithRescued(v, a.nan, 1); // NaN == 0 is false
    v.err = v.range.IsPoint() ? 0 : kInf;
    return Result(v, false, a.fails, v.range.IsPoint());
}

IntervalBounds JoinInterval(const IntervalBounds& a, const IntervalBounds& b)
{
    IntervalBounds j;
    j.range = interval::Hull(a.range, b.range);
    j.err = kInf;
    j.nan = a.nan || b.nan;
    // Each branch is taken somewhere: the result fails everywhere only if both do.
    j.fails = a.fails == Tri::Always && b.fails == Tri::Always ? Tri::Always
        : a.fails == Tri::Never && b.fails == Tri::Never       ? Tri::Never
                                                               : Tri::Sometimes;
    j.continuous = false;
    if (j.fails == Tri::Always)
        return IntervalBounds::Failing();
    return j;
}

IntervalBounds Worsen(IntervalBounds result, const IntervalBounds& operand)
{
    if (operand.fails == Tri::Always)
        return IntervalBounds::Failing();
    result.fails = result.fails || operand.fails;
    return result;
}

IntervalBounds Union(const IntervalBounds& a, const IntervalBounds& b)
{
    IntervalBounds u;
    u.range = interval::Hull(a.range, b.range);
    u.err = std::max(a.err, b.err);
    u.nan = a.nan || b.nan;
    u.fails = a.fails == Tri::Always && b.fails == Tri::Always ? Tri::Always
        : a.fails == Tri::Never && b.fails == Tri::Never       ? Tri::Never
                                                               : Tri::Sometimes;
    // Continuous on two closed ranges that meet is continuous on their union.
    u.continuous = a.continuous && b.continuous;
    if (u.fails == Tri::Always)
        return IntervalBounds::Failing();
    return u;
}

IntervalBounds RandomInterval(const IntervalBounds& scale)
{
    if (scale.fails == Tri::Always)
        return IntervalBounds::Failing();
    // r * s / 32767 with r from 0 to 32767: between 0 and s, within two roundings, unless r * s
    // overflows first and the draw gives an infinity.
    Value v = Nothing();
    const Interval& s = scale.range;
    const double overflows = std::numeric_limits<double>::max() / 32767;
    if (!s.IsEmpty())
        v.range = {s.lo < -overflows ? -kInf
                : s.lo < 0           ? interval::Down(s.lo, 3)
                                     : 0.0,
            s.hi > overflows ? kInf
                : s.hi > 0   ? interval::Up(s.hi, 3)
                             : 0.0};
    v.err = kInf;
    // A draw of 0 times an infinite scale is NaN.
    const bool nan = scale.nan || (!s.IsEmpty() && (std::isinf(s.lo) || std::isinf(s.hi)));
    // A draw counts as a failure: its value is no function of x.
    return Result(v, nan, Tri::Sometimes || scale.fails, false);
}
