#include "model/PointSearch.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <queue>

#include "engine/QuietEvaluation.h"

using interval::Interval;

// ---- Doubles as an ordered sequence ----

int64_t Ordinal(double x)
{
    const auto bits = std::bit_cast<int64_t>(x);
    return bits >= 0 ? bits : -(bits & INT64_MAX);
}

double FromOrdinal(int64_t o)
{
    return o >= 0 ? std::bit_cast<double>(o) : -std::bit_cast<double>(-o);
}

uint64_t DoublesBetween(double a, double b)
{
    return static_cast<uint64_t>(Ordinal(b)) - static_cast<uint64_t>(Ordinal(a));
}

namespace {

// A box waiting in a search, how many splits made it, and whether it is still wide: more than
// 2^-12 of the range searched. Wide boxes come first, then the shallowest: so that a budget
// runs out evenly, what is left is where the search got stuck, and a place where points
// accumulate (sin(1/x) near 0) cannot starve the rest of the range.
struct Pending {
    Box box;
    int depth;
    bool narrow;
};
struct Later {
    bool operator()(const Pending& a, const Pending& b) const
    {
        if (a.narrow != b.narrow)
            return a.narrow;
        return a.depth > b.depth || (a.depth == b.depth && a.box.lo > b.box.lo);
    }
};
constexpr double kWide = 0x1p-12;
using Queue = std::priority_queue<Pending, std::vector<Pending>, Later>;

double OrdinalMiddle(double a, double b)
{
    const int64_t oa = Ordinal(a);
    const int64_t ob = Ordinal(b);
    return FromOrdinal(oa / 2 + ob / 2 + (oa % 2 + ob % 2) / 2);
}

} // namespace

double SplitPoint(double lo, double hi)
{
    if (lo < 0 && hi > 0)
        return 0.0;
    const double small = std::min(std::fabs(lo), std::fabs(hi));
    const double large = std::max(std::fabs(lo), std::fabs(hi));
    double m = small * 4 >= large ? lo + (hi - lo) / 2 : OrdinalMiddle(lo, hi);
    if (!(m > lo && m < hi))
        m = OrdinalMiddle(lo, hi);
    return m;
}

// ---- Probes ----

FormulaProbe::FormulaProbe(std::unique_ptr<FunctionInterpreter> f, int index, long& evaluations)
    : Probe(evaluations), f_(std::move(f)), index_(index), evaluator_(*f_, index)
{
    evaluator_.CountWork(&Evaluations());
}

IntervalBounds FormulaProbe::Bounds(const Interval& x, bool narrow)
{
    // The centred form only where the plain walk cannot exclude 0, the one question asked.
    const IntervalBounds plain = evaluator_.Plain(x);
    if (!narrow || x.IsPoint() || !plain.range.Contains(0))
        return plain;
    return evaluator_.Centred(x, &plain);
}

double FormulaProbe::Value(double x)
{
    if (index_ >= 0)
        f_->SetVariableValueAt(index_, x);
    QuietEvaluation quiet;
    try {
        const double v = f_->Evaluate();
        return quiet.Failed() ? std::nan("") : v;
    } catch (const ParseErrorMsg&) {
        return std::nan("");
    }
}

std::unique_ptr<FormulaProbe> FormulaProbe::Derivative(long& evaluations) const
{
    if (index_ < 0)
        return nullptr;
    try {
        std::unique_ptr<FunctionInterpreter> d = f_->DerivativeInterpreter(index_);
        const int i = d->FindVariable(f_->GetVariableName(index_));
        return std::make_unique<FormulaProbe>(std::move(d), i, evaluations);
    } catch (const ParseErrorMsg&) {
        return nullptr;
    }
}

DifferenceProbe::DifferenceProbe(Probe& a, Probe& b, long& evaluations)
    : Probe(evaluations), a_(a), b_(b)
{
}

IntervalBounds DifferenceProbe::Bounds(const Interval& x, bool narrow)
{
    return narrow ? SubInterval(a_.Over(x), b_.Over(x)) : SubInterval(a_.Walk(x), b_.Walk(x));
}

double DifferenceProbe::Value(double x)
{
    return a_.Value(x) - b_.Value(x);
}

// ---- Signs ----

Sign SignOf(const IntervalBounds& b)
{
    if (b.range.IsEmpty())
        return Sign::Unknown;
    if (b.range.lo > 0)
        return Sign::Positive;
    if (b.range.hi < 0)
        return Sign::Negative;
    if (b.range.lo == 0 && b.range.hi == 0 && b.fails == Tri::Never && !b.nan)
        return Sign::Zero;
    return Sign::Unknown;
}

namespace {

bool Definite(Sign s)
{
    return s == Sign::Negative || s == Sign::Positive;
}

// A value within rounding of 0: its enclosure holds 0 and is narrow. A wide one (sin(1/x) at a
// tiny x, where the rounding of 1/x alone spans many turns) says nothing.
bool WithinRounding(const IntervalBounds& v)
{
    return !v.range.IsEmpty() && v.range.Contains(0) && v.range.Width() <= 0x1p-30;
}

// The search of the zeros of one function, box after box, widest first.
class ZeroSearch {
public:
    ZeroSearch(Probe& h, Probe* dh, ZeroKind kind, long budget, const long& evaluations,
        std::vector<Zero>& zeros)
        : h_(h), dh_(dh), kind_(kind), budget_(budget), evaluations_(evaluations), zeros_(zeros)
    {
    }

    void Run(const std::vector<Box>& ranges, std::vector<Box>& undecided)
    {
        Queue boxes;
        double lo = INFINITY;
        double hi = -INFINITY;
        for (const Box& r : ranges) {
            lo = std::min(lo, r.lo);
            hi = std::max(hi, r.hi);
        }
        const double wide = kWide * (hi - lo);
        for (const Box& r : ranges)
            boxes.push({r, 0, r.hi - r.lo < wide});
        while (!boxes.empty()) {
            const Box box = boxes.top().box;
            const int depth = boxes.top().depth;
            boxes.pop();
            if (evaluations_ >= budget_) {
                undecided.push_back(box);
                continue;
            }
            const IntervalBounds bounds = h_.Over({box.lo, box.hi});
            if (bounds.range.IsEmpty() || !bounds.range.Contains(0))
                continue; // no zero: one sign wherever h is a number
            if (bounds.range.lo == 0 && bounds.range.hi == 0
                && bounds.decoration() >= Decoration::dac)
                continue; // h is 0 all over the box (floor(x) over [0, 1)): no isolated zero

            if (IsTiny(box.lo, box.hi)) {
                Settle(box, false);
                continue;
            }
            if (bounds.decoration() >= Decoration::dac && dh_ != nullptr) {
                const IntervalBounds slope = dh_->Over({box.lo, box.hi});
                if (!slope.range.IsEmpty() && !slope.range.Contains(0)) {
                    Settle(box, true); // continuous and strictly monotone: one zero at most
                    continue;
                }
            }
            const double m = SplitPoint(box.lo, box.hi);
            if (Flat(box.lo, m, box.hi)) {
                // h is 0 within rounding at its ends and middle, as the second derivative of a
                // straight line computed with cancellations: its sign means nothing there. No
                // change of sign can be seen; zeros cannot be told apart, unless the stretch is
                // so narrow that they are one (x^2 near 0, where the squares underflow).
                if (kind_ == ZeroKind::Crossing) {
                    if (box.hi - box.lo <= 1e-9 * (hi - lo))
                        SettleFlat(box);
                    else
                        undecided.push_back(box);
                }
                continue;
            }
            boxes.push({{box.lo, m}, depth + 1, m - box.lo < wide});
            boxes.push({{m, box.hi}, depth + 1, box.hi - m < wide});
        }
    }

private:
    struct Signed {
        double x;
        Sign sign;
    };

    // The first certain sign from x on in direction: a few doubles one by one, then farther and
    // farther (a power that underflows near its zero, as x^3 near 0, is within rounding of 0
    // over a stretch of many doubles).
    Signed CertainSignNear(double x, int direction)
    {
        const int64_t start = Ordinal(x);
        int64_t k = 0;
        while (true) {
            const int64_t o = direction < 0 ? start - k : start + k;
            if (o < Ordinal(-INFINITY) || o > Ordinal(INFINITY))
                break;
            const double at = FromOrdinal(o);
            const Sign s = SignOf(h_.At(at));
            if (s != Sign::Unknown)
                return {at, s};
            if (evaluations_ >= budget_ || k >= (int64_t {1} << 62))
                break;
            k = k < static_cast<int64_t>(kTinyBox) ? k + 1 : 2 * k;
        }
        return {x, Sign::Unknown};
    }

    bool ContinuousOver(double a, double b)
    {
        return h_.Walk({a, b}).decoration() >= Decoration::dac;
    }

    // Whether h's values at these points are all 0 or within rounding of it (their enclosures
    // hold 0 although h is a number there).
    bool Flat(double a, double m, double b)
    {
        for (const double x : {m, a, b}) {
            const IntervalBounds v = h_.At(x);
            if (!WithinRounding(v))
                return false;
        }
        return true;
    }

    // The double of [a, b] where |h| is least, as the point evaluator gives it.
    double Best(double a, double b)
    {
        double best = a + (b - a) / 2;
        double least = INFINITY;
        if (DoublesBetween(a, b) > 4 * kTinyBox)
            return best;
        for (double x = a; x <= b; x = interval::NextUp(x)) {
            const double v = std::fabs(h_.Value(x));
            if (v < least) {
                least = v;
                best = x;
            }
            if (x == b)
                break;
        }
        return best;
    }

    // A box where h may vanish: its zero, if its ends (or the doubles just beyond) prove one.
    void Settle(const Box& box, bool monotone)
    {
        const Signed left = CertainSignNear(box.lo, -1);
        if (left.sign == Sign::Zero) {
            ExactZero(left.x);
            return;
        }
        const Signed right = CertainSignNear(box.hi, 1);
        if (right.sign == Sign::Zero) {
            ExactZero(right.x);
            return;
        }
        if (Definite(left.sign) && Definite(right.sign)) {
            if (left.sign != right.sign) {
                Crossing(left, right);
                return;
            }
            if (monotone)
                return;
        }
        // No change of sign shown: a zero of even order, which only h and its slope both
        // vanishing within rounding suggest.
        if (kind_ == ZeroKind::Crossing)
            Touch(box.lo, box.hi);
    }

    // A zero without change of sign in [a, b]: h within rounding of 0 at its best point, and
    // the slope too there (or anywhere in the stretch, for a whole stretch within rounding).
    void Touch(double a, double b, bool stretch = false)
    {
        const double m = Best(a, b);
        if (!WithinRounding(h_.At(m)))
            return;
        if (dh_ != nullptr && !(stretch ? dh_->Over({a, b}) : dh_->At(m)).range.Contains(0))
            return;
        zeros_.push_back({m, false, false, ContinuousAround(m)});
    }

    // Whether h is continuous over the few doubles around x (a touch at a jump is no zero).
    bool ContinuousAround(double x)
    {
        const auto span = static_cast<int64_t>(kTinyBox);
        return ContinuousOver(FromOrdinal(Ordinal(x) - span), FromOrdinal(Ordinal(x) + span));
    }

    // A narrow stretch within rounding of 0: a change of sign across it proves a zero there (x^3
    // near 0), else it is one zero without change of sign (x^2 near 0).
    void SettleFlat(const Box& box)
    {
        const Signed left = CertainSignNear(box.lo, -1);
        const Signed right = CertainSignNear(box.hi, 1);
        if (left.sign == Sign::Zero || right.sign == Sign::Zero)
            ExactZero(left.sign == Sign::Zero ? left.x : right.x);
        else if (Definite(left.sign) && Definite(right.sign) && left.sign != right.sign)
            Crossing(left, right);
        else
            Touch(box.lo, box.hi, true);
    }

    // h changes sign between left and right: a proven zero where h is continuous, in the
    // narrowest bracket whose ends have certain signs.
    void Crossing(Signed left, Signed right)
    {
        const bool rising = left.sign == Sign::Negative;
        if (!ContinuousOver(left.x, right.x)) {
            zeros_.push_back({left.x + (right.x - left.x) / 2, false, rising, false});
            return;
        }
        double a = left.x;
        double b = right.x;
        double unsure = NAN; // a point between a and b whose sign is not certain
        while (DoublesBetween(a, b) > 1 && evaluations_ < budget_) {
            const double m = OrdinalMiddle(a, b);
            if (!(m > a && m < b))
                break;
            const Sign s = SignOf(h_.At(m));
            if (s == Sign::Zero) {
                zeros_.push_back({m, true, rising, true});
                return;
            }
            if (s == left.sign) {
                a = m;
            } else if (s == right.sign) {
                b = m;
            } else {
                unsure = m;
                break;
            }
        }
        if (!std::isnan(unsure)) {
            // Within rounding of zero around unsure: close in on that stretch from both sides.
            double u = unsure;
            while (DoublesBetween(a, u) > 1 && evaluations_ < budget_) {
                const double m = OrdinalMiddle(a, u);
                const Sign s = SignOf(h_.At(m));
                if (s == left.sign)
                    a = m;
                else if (s == right.sign)
                    b = u = m;
                else
                    u = m;
            }
            u = unsure < b ? unsure : b;
            while (DoublesBetween(u, b) > 1 && evaluations_ < budget_) {
                const double m = OrdinalMiddle(u, b);
                const Sign s = SignOf(h_.At(m));
                if (s == right.sign)
                    b = m;
                else
                    u = m;
            }
        }
        zeros_.push_back({Best(a, b), true, rising, true});
    }

    // h is exactly 0 at z: a change of sign around it proves the point.
    void ExactZero(double z)
    {
        const Signed left = CertainSignNear(interval::NextDown(z), -1);
        const Signed right = CertainSignNear(interval::NextUp(z), 1);
        if (Definite(left.sign) && Definite(right.sign) && left.sign != right.sign) {
            zeros_.push_back(
                {z, true, left.sign == Sign::Negative, ContinuousOver(left.x, right.x)});
            return;
        }
        if (kind_ == ZeroKind::Crossing)
            zeros_.push_back({z, false, false, ContinuousAround(z)});
    }

    Probe& h_;
    Probe* dh_;
    ZeroKind kind_;
    long budget_;
    const long& evaluations_;
    std::vector<Zero>& zeros_;
};

} // namespace

void FindZeros(Probe& h, Probe* dh, ZeroKind kind, double lo, double hi, long budget,
    const long& evaluations, std::vector<Zero>& zeros, std::vector<Box>& undecided)
{
    FindZeros(h, dh, kind, std::vector<Box> {{lo, hi}}, budget, evaluations, zeros, undecided);
}

void FindZeros(Probe& h, Probe* dh, ZeroKind kind, const std::vector<Box>& ranges, long budget,
    const long& evaluations, std::vector<Zero>& zeros, std::vector<Box>& undecided)
{
    std::vector<Zero> found;
    const size_t before = undecided.size();
    ZeroSearch(h, dh, kind, budget, evaluations, found).Run(ranges, undecided);
    // Zeros without change of sign at the ends of a stretch left undecided belong to it.
    std::erase_if(found, [&](const Zero& z) {
        return !z.proven
            && std::any_of(undecided.begin() + static_cast<long>(before), undecided.end(),
                [&](const Box& b) { return b.lo <= z.x && z.x <= b.hi; });
    });
    // A zero at the end two boxes share is found by both: keep one, the proven one.
    std::sort(found.begin(), found.end(), [](const Zero& a, const Zero& b) { return a.x < b.x; });
    std::vector<Zero> kept;
    for (const Zero& z : found) {
        if (!kept.empty() && DoublesBetween(kept.back().x, z.x) <= 2 * kTinyBox) {
            if (z.proven && !kept.back().proven)
                kept.back() = z;
            continue;
        }
        kept.push_back(z);
    }
    // Zeros without change of sign next to one another, with nothing but values within rounding
    // of 0 between them (x^2 near 0, where its squares underflow), are one zero: the one where
    // |h| is least, nearest the middle of the run.
    for (size_t i = 0; i < kept.size();) {
        size_t j = i + 1;
        if (!kept[i].proven)
            while (j < kept.size() && !kept[j].proven
                && SignOf(h.Over({kept[i].x, kept[j].x})) == Sign::Unknown)
                ++j;
        if (j - i > 1) {
            const double middle = kept[i].x + (kept[j - 1].x - kept[i].x) / 2;
            size_t best = i;
            double least = INFINITY;
            for (size_t k = i; k < j; ++k) {
                const double v = std::fabs(h.Value(kept[k].x));
                const bool better = v < least
                    || (v == least
                        && std::fabs(kept[k].x - middle) < std::fabs(kept[best].x - middle));
                if (better) {
                    least = v;
                    best = k;
                }
            }
            zeros.push_back(kept[best]);
        } else {
            zeros.push_back(kept[i]);
        }
        i = j;
    }
}

std::vector<Piece> FindPieces(Probe& f, double lo, double hi, long budget, const long& evaluations)
{
    std::vector<Piece> pieces;
    Queue boxes;
    const double wide = kWide * (hi - lo);
    boxes.push({{lo, hi}, 0, false});
    while (!boxes.empty()) {
        const Box box = boxes.top().box;
        const int depth = boxes.top().depth;
        boxes.pop();
        if (evaluations >= budget) {
            pieces.push_back({PieceKind::Undecided, box.lo, box.hi});
            continue;
        }
        const IntervalBounds bounds = f.Walk({box.lo, box.hi});
        if (bounds.range.IsEmpty()) {
            pieces.push_back({PieceKind::Undefined, box.lo, box.hi});
        } else if (bounds.decoration() >= Decoration::dac) {
            pieces.push_back({PieceKind::Continuous, box.lo, box.hi});
        } else if (IsTiny(box.lo, box.hi)) {
            pieces.push_back({PieceKind::Singular, box.lo, box.hi});
        } else {
            const double m = SplitPoint(box.lo, box.hi);
            boxes.push({{box.lo, m}, depth + 1, m - box.lo < wide});
            boxes.push({{m, box.hi}, depth + 1, box.hi - m < wide});
        }
    }
    std::sort(pieces.begin(), pieces.end(), [](const Piece& a, const Piece& b) {
        return a.lo < b.lo || (a.lo == b.lo && a.hi < b.hi);
    });
    std::vector<Piece> joined;
    for (const Piece& p : pieces) {
        if (!joined.empty() && joined.back().kind == p.kind && joined.back().hi >= p.lo) {
            joined.back().hi = std::max(joined.back().hi, p.hi);
            continue;
        }
        joined.push_back(p);
    }
    return joined;
}
