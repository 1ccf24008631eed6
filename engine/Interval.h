#pragma once

// Interval arithmetic for the engine's interval evaluation. An Interval encloses both what the
// engine computes in doubles and what the same operations would give exactly, so that one
// evaluation bounds the values the point evaluator returns and the real function behind them
// (the centred form needs the latter).
//
// Outward rounding without changing the processor's rounding mode: each operation is computed
// rounded to nearest, then its ends are moved outward by whole ulps. For the correctly rounded
// operations (+, -, *, /, sqrt) one ulp covers the exact result, and the rounded result of any
// operand in the range lies between the rounded results at the ends, rounding being monotone.
// For the C library's functions we rely on glibc's manual ("Known Maximum Errors in Math
// Functions", x86_64): at most 2 ulps for exp, log, log10, sin, cos, tan, asin, acos, atan, sinh,
// cosh, tanh and pow. A monotone function's value anywhere in the range then lies within
// 2 + 2 ulps of its value computed at an end; we widen by kLibmUlps = 8 to keep a margin for the
// change of ulp at a power of two. Directed rounding modes would need -frounding-math over the
// whole engine and a mode switch per operation, and the C library's functions do not honour them
// anyway, so Boost.Interval's rounding policies would not serve these functions.

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

namespace interval {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr int kLibmUlps = 8;
// Ulps of the C library's error at one point (the error of a computed value against the exact
// function at the same operand): twice the documented bound.
constexpr int kLibmPointUlps = 4;

// The next double above (below) x; infinities and NaN stay.
inline double NextUp(double x)
{
    if (!(x < kInf))
        return x;
    if (x == 0)
        return std::numeric_limits<double>::denorm_min();
    const uint64_t bits = std::bit_cast<uint64_t>(x);
    return std::bit_cast<double>(x > 0 ? bits + 1 : bits - 1);
}
inline double NextDown(double x)
{
    return -NextUp(-x);
}
inline double Down(double x, int ulps)
{
    for (int i = 0; i < ulps; ++i)
        x = NextDown(x);
    return x;
}
inline double Up(double x, int ulps)
{
    for (int i = 0; i < ulps; ++i)
        x = NextUp(x);
    return x;
}

// A closed range of doubles, infinities allowed. Empty when lo > hi.
struct Interval {
    double lo = kInf;
    double hi = -kInf;

    static Interval Point(double x) { return {x, x}; }
    static Interval Empty() { return {}; }
    static Interval Entire() { return {-kInf, kInf}; }
    bool IsEmpty() const { return !(lo <= hi); }
    bool IsPoint() const { return lo == hi; }
    bool IsBounded() const { return -kInf < lo && hi < kInf; }
    bool Contains(double x) const { return lo <= x && x <= hi; }
    double Width() const { return hi - lo; }
    // The largest magnitude of the range.
    double Mag() const { return std::max(std::fabs(lo), std::fabs(hi)); }
    // The smallest magnitude of the range.
    double Mig() const { return Contains(0) ? 0.0 : std::min(std::fabs(lo), std::fabs(hi)); }
};

inline Interval Hull(const Interval& a, const Interval& b)
{
    if (a.IsEmpty())
        return b;
    if (b.IsEmpty())
        return a;
    return {std::min(a.lo, b.lo), std::max(a.hi, b.hi)};
}
inline Interval Intersect(const Interval& a, const Interval& b)
{
    return {std::max(a.lo, b.lo), std::min(a.hi, b.hi)};
}
// Ends moved outward by ulps each.
inline Interval Widen(const Interval& a, int ulps)
{
    if (a.IsEmpty())
        return a;
    return {Down(a.lo, ulps), Up(a.hi, ulps)};
}
// A range from two computed ends (lo <= hi expected), widened.
inline Interval Ends(double lo, double hi, int ulps)
{
    return Widen({lo, hi}, ulps);
}

// ---- Correctly rounded operations, rounded down or up ----
//
// The rounded-to-nearest result, moved one ulp outward only when the exact result lies beyond
// it on that side: the error of a sum or a product is exact in doubles (Knuth's two-sum,
// Dekker's product), so ends that are exact (1 * 1, 1 - 1) stay where they are. Where those
// error terms are out of reach (overflow, underflow), the result moves one ulp regardless.

// Whether Dekker's splitting holds for the product p of these operands (neither 0): no
// overflow in the split, and no underflow in p or in its error term.
inline bool SplitsSafely(double a, double b, double p)
{
    const double m = std::max(std::fabs(a), std::fabs(b));
    return m < 0x1p995 && std::fabs(p) < 0x1p1020 && std::fabs(p) > 0x1p-969;
}

// The exact a * b - p, for p = a * b rounded to nearest.
inline double ProductError(double a, double b, double p)
{
    constexpr double kSplit = 134217729.0; // 2^27 + 1
    const double ca = kSplit * a;
    const double ah = ca - (ca - a);
    const double al = a - ah;
    const double cb = kSplit * b;
    const double bh = cb - (cb - b);
    const double bl = b - bh;
    return ((ah * bh - p) + ah * bl + al * bh) + al * bl;
}

// The sign of the exact result against the rounded one: -1 below, 0 equal, 1 above; 2 when it
// cannot be told.
inline int SumSide(double a, double b, double s)
{
    if (!std::isfinite(s) || !std::isfinite(a) || !std::isfinite(b))
        return 2;
    const double bb = s - a;
    const double e = (a - (s - bb)) + (b - bb);
    return e < 0 ? -1 : e > 0 ? 1 : 0;
}
inline int ProductSide(double a, double b, double p)
{
    if (!std::isfinite(p) || !std::isfinite(a) || !std::isfinite(b))
        return 2;
    if (a == 0 || b == 0)
        return 0;
    if (!SplitsSafely(a, b, p))
        return 2;
    const double e = ProductError(a, b, p);
    return e < 0 ? -1 : e > 0 ? 1 : 0;
}

// r moved down (up) to bound an exact result on side of it. An infinite r from finite operands
// is an overflow: it stays, the computed value, although the exact one is finite. Nothing needs
// that exact value: an overflow leaves the bound on rounding infinite, which keeps the exact
// forms (centred, monotone) out.
inline double RoundDown(double r, int side, bool finiteOperands)
{
    if (std::isinf(r) && finiteOperands)
        return r;
    return side == -1 || side == 2 ? NextDown(r) : r;
}
inline double RoundUp(double r, int side, bool finiteOperands)
{
    if (std::isinf(r) && finiteOperands)
        return r;
    return side == 1 || side == 2 ? NextUp(r) : r;
}

inline bool BothFinite(double a, double b)
{
    return std::isfinite(a) && std::isfinite(b);
}
inline double AddDown(double a, double b)
{
    const double s = a + b;
    return RoundDown(s, SumSide(a, b, s), BothFinite(a, b));
}
inline double AddUp(double a, double b)
{
    const double s = a + b;
    return RoundUp(s, SumSide(a, b, s), BothFinite(a, b));
}
inline double MulDown(double a, double b)
{
    const double p = a * b;
    return RoundDown(p, ProductSide(a, b, p), BothFinite(a, b));
}
inline double MulUp(double a, double b)
{
    const double p = a * b;
    return RoundUp(p, ProductSide(a, b, p), BothFinite(a, b));
}
// a / b: the exact quotient lies above q when q * b falls short of a (for b > 0).
inline int QuotientSide(double a, double b, double q)
{
    if (!std::isfinite(q) || !std::isfinite(a) || !std::isfinite(b) || b == 0)
        return 2;
    if (q == 0)
        return a == 0 ? 0 : 2;
    if (!SplitsSafely(q, b, a))
        return 2;
    const double e = ProductError(q, b, q * b); // q * b = qb + e exactly
    const double qb = q * b;
    // a - q * b = (a - qb) - e, its sign the sign of the exact a / b - q times the sign of b.
    const double rest = a - qb; // exact: a and qb are within a few ulps of each other
    const double gap = rest - e;
    const int sign = gap < 0 ? -1 : gap > 0 ? 1 : 0;
    return b > 0 ? sign : -sign;
}
inline double DivDown(double a, double b)
{
    const double q = a / b;
    return RoundDown(q, QuotientSide(a, b, q), BothFinite(a, b) && b != 0);
}
inline double DivUp(double a, double b)
{
    const double q = a / b;
    return RoundUp(q, QuotientSide(a, b, q), BothFinite(a, b) && b != 0);
}
inline double SqrtDown(double a)
{
    const double s = std::sqrt(a);
    const int side = !std::isfinite(s) || a == 0 ? (std::isfinite(s) ? 0 : 2)
        : !SplitsSafely(s, s, a)                 ? 2
                                                 : QuotientSide(a, s, s);
    return side == -1 || side == 2 ? NextDown(s) : s;
}
inline double SqrtUp(double a)
{
    const double s = std::sqrt(a);
    const int side = !std::isfinite(s) || a == 0 ? (std::isfinite(s) ? 0 : 2)
        : !SplitsSafely(s, s, a)                 ? 2
                                                 : QuotientSide(a, s, s);
    return side == 1 || side == 2 ? NextUp(s) : s;
}

// ---- A bound on the gap between computed and exact values ----

// Rounded upward enough for the bounds' own arithmetic: a relative margin far above its errors.
inline double BoundUp(double x)
{
    return x * (1 + 0x1p-40) + 0x1p-1070;
}
// The rounding error of ulps units in the last place of values of magnitude up to mag.
inline double RoundingError(double mag, int ulps)
{
    return BoundUp(ulps * (mag * 0x1p-52 + 0x1p-1074));
}
// lipschitz * err, where an exact operand (err 0) stays exact whatever the slope.
inline double Propagate(double lipschitz, double err)
{
    return err == 0 ? 0.0 : BoundUp(lipschitz * err);
}

} // namespace interval
