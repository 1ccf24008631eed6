#include "model/RemarkablePoints.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <memory>
#include <optional>

#include "engine/Functions.h"
#include "engine/Leaves.h"
#include "model/CurveKind.h"
#include "model/PointSearch.h"
#include "model/Sampler.h"

const char* PointKindName(PointKind kind)
{
    switch (kind) {
    case PointKind::Root:
        return "root";
    case PointKind::Minimum:
        return "minimum";
    case PointKind::Maximum:
        return "maximum";
    case PointKind::Inflection:
        return "inflection";
    case PointKind::Intersection:
        return "intersection";
    case PointKind::Pole:
        return "pole";
    case PointKind::Hole:
        return "hole";
    case PointKind::Jump:
        return "jump";
    case PointKind::Edge:
        return "edge";
    case PointKind::AxisX:
        return "axis-x";
    case PointKind::AxisY:
        return "axis-y";
    case PointKind::Origin:
        return "origin";
    }
    return "root";
}

namespace {

// How many low bits of x's significand are 0: the more, the rounder x is to a reader.
int Roundness(double x)
{
    return std::countr_zero(std::bit_cast<uint64_t>(x) | (uint64_t {1} << 52));
}

using interval::Interval;

// Interval evaluations one curve may spend: its own points, its singular places, and its
// intersections with each later curve share them. Past it, what is left is undecided. About
// 20 ms for the formulas of the benchmark on a 2-core machine of 2026.
constexpr long kEvaluationsPerCurve = 300000;

// A formula of one variable as a probe, or nothing when it does not compile for the variable.
std::unique_ptr<FormulaProbe> Compile(const std::string& text, const char* variable, long& count)
{
    try {
        auto f = std::make_unique<FunctionInterpreter>(text);
        if (CheckVariables(*f, variable) != VariableVerdict::Accepted)
            return nullptr;
        const int index = f->GetVariableCount() > 0 ? 0 : -1;
        return std::make_unique<FormulaProbe>(std::move(f), index, count);
    } catch (const ParseErrorMsg&) {
        return nullptr;
    }
}

// The search of one curve.
class Analysis {
public:
    Analysis(const std::vector<CFunction>& curves, int index, const std::atomic<bool>* cancel)
        : curves_(curves), index_(index), cancel_(cancel)
    {
    }

    CurveAnalysis Cartesian(double a, double b);
    CurveAnalysis Parametric(const CurveKind& kind);

private:
    bool Cancelled() const
    {
        return cancel_ != nullptr && cancel_->load(std::memory_order_relaxed);
    }
    // The budget for the next of count searches: the rest shared out.
    long Share(int count) const
    {
        const long rest = std::max(0L, kEvaluationsPerCurve - evaluations_);
        return evaluations_ + rest / std::max(count, 1);
    }
    void Undecided(double lo, double hi) { result_.undecided.push_back({index_, lo, hi}); }
    // Without the derivative of g (a modulus has none), the sign changes of it cannot be
    // searched, except where g is constant: the pieces where it is not stay undecided.
    void NoDerivative(Probe& g, const std::vector<Box>& pieces)
    {
        for (const Box& box : pieces)
            if (const Interval r = g.Over({box.lo, box.hi}).range; !(r.lo == r.hi))
                Undecided(box.lo, box.hi);
    }
    void UndecidedBoxes(const std::vector<Box>& boxes)
    {
        for (const Box& b : boxes)
            Undecided(b.lo, b.hi);
    }
    void Add(PointKind kind, PointStatus status, double x, double y)
    {
        RemarkablePoint p;
        p.curve = index_;
        p.kind = kind;
        p.status = status;
        // -0 is 0 on the screen and in the lists.
        p.x = x + 0.0;
        p.y = y + 0.0;
        p.yRight = p.y;
        p.parameter = NAN;
        result_.points.push_back(p);
    }
    void Singular(Probe& f, const Piece& before, const Piece& box, const Piece& after);
    void Finish(double lo, double hi, bool byParameter);

    const std::vector<CFunction>& curves_;
    int index_;
    const std::atomic<bool>* cancel_;
    long evaluations_ = 0;
    CurveAnalysis result_;
};

PointStatus StatusOf(bool proven)
{
    return proven ? PointStatus::Proven : PointStatus::Likely;
}

// The point evaluator's value of f at the double of [a, b] whose value is a number, nearest a
// (or b when fromRight).
std::optional<double> NearestValue(Probe& f, double a, double b, bool fromRight, double& at)
{
    double x = fromRight ? b : a;
    for (int k = 0; k <= static_cast<int>(kTinyBox) + 1; ++k) {
        const double v = f.Value(x);
        if (!std::isnan(v)) {
            at = x;
            return v;
        }
        if (x == (fromRight ? a : b))
            break;
        x = fromRight ? interval::NextDown(x) : interval::NextUp(x);
    }
    return std::nullopt;
}

// A place where f is not continuous, a few ulps wide, between two other pieces of the range.
void Analysis::Singular(Probe& f, const Piece& before, const Piece& box, const Piece& after)
{
    const bool definedBefore = before.kind == PieceKind::Continuous;
    const bool definedAfter = after.kind == PieceKind::Continuous;
    const bool undefinedBefore = before.kind == PieceKind::Undefined;
    const bool undefinedAfter = after.kind == PieceKind::Undefined;
    double edge = box.lo;
    // An end of an interval where f is defined.
    if (undefinedBefore && (definedAfter || undefinedAfter)) {
        if (const std::optional<double> v = NearestValue(f, box.lo, box.hi, false, edge))
            Add(PointKind::Edge, PointStatus::Proven, edge, *v);
        if (!undefinedAfter)
            return;
    }
    if (undefinedAfter && (definedBefore || undefinedBefore)) {
        const double first = edge;
        if (const std::optional<double> v = NearestValue(f, box.lo, box.hi, true, edge))
            if (!(undefinedBefore && edge == first))
                Add(PointKind::Edge, PointStatus::Proven, edge, *v);
        return;
    }
    if (!definedBefore || !definedAfter)
        return;
    // Defined on both sides: a pole, a hole or a jump, told apart by the values at the doubles
    // of the place, and by how they grow toward it.
    std::vector<double> xs;
    std::vector<double> vs;
    for (double x = box.lo; xs.size() <= 2 * kTinyBox; x = interval::NextUp(x)) {
        xs.push_back(x);
        vs.push_back(f.Value(x));
        if (x >= box.hi)
            break;
    }
    const double left = vs.front();
    const double right = vs.back();
    if (std::isnan(left) || std::isnan(right))
        return;
    // Where it happens: the double where f is undefined, or where its value changes most.
    size_t at = 0;
    bool undefinedInside = false;
    double largest = -1;
    for (size_t k = 1; k < xs.size(); ++k) {
        if (std::isnan(vs[k])) {
            if (!undefinedInside)
                at = k;
            undefinedInside = true;
            continue;
        }
        if (undefinedInside || std::isnan(vs[k - 1]))
            continue;
        const double change = std::fabs(vs[k] - vs[k - 1]);
        if (change > largest || std::isnan(change)) {
            largest = change;
            at = k;
        }
    }
    // Between the last double before a change and the first after, the rounder one (fewer bits):
    // trunc(x) jumps between -2 and the next double up, and -2 is what a reader expects.
    double x = xs[at];
    if (!undefinedInside && at > 0 && Roundness(xs[at - 1]) > Roundness(x))
        x = xs[at - 1];
    // Far from the place, in doubles: a pole's values grow about a million times from there.
    constexpr int64_t kFar = 1 << 20;
    const double farLeft = std::fabs(f.Value(FromOrdinal(Ordinal(box.lo) - kFar)));
    const double farRight = std::fabs(f.Value(FromOrdinal(Ordinal(box.hi) + kFar)));
    const double near = std::max(std::fabs(left), std::fabs(right));
    const double far
        = std::max(std::isnan(farLeft) ? 0 : farLeft, std::isnan(farRight) ? 0 : farRight);
    if (std::isinf(near) || (near > 1e6 && near > 1e4 * far)) {
        Add(PointKind::Pole, StatusOf(undefinedInside || (left > 0) != (right > 0)), x,
            std::fabs(left) >= std::fabs(right) ? std::copysign(INFINITY, left)
                                                : std::copysign(INFINITY, right));
        result_.points.back().yRight = std::copysign(INFINITY, right);
        return;
    }
    const double scale = std::max({1.0, std::fabs(left), std::fabs(right)});
    if (std::fabs(left - right) <= 1e-9 * scale) {
        if (undefinedInside)
            Add(PointKind::Hole, PointStatus::Proven, x, left + (right - left) / 2);
        return; // no visible break: the evaluation was only cautious there
    }
    Add(PointKind::Jump, PointStatus::Proven, x, left);
    result_.points.back().yRight = right + 0.0;
}

CurveAnalysis Analysis::Cartesian(double a, double b)
{
    const CFunction& curve = curves_[static_cast<size_t>(index_)];
    std::unique_ptr<FormulaProbe> f = Compile(curve.Formula1(), "x", evaluations_);
    if (!f || !(a < b))
        return {};
    if (MayDrawRandom(curve)) {
        Undecided(a, b); // a draw is no function of x
        return result_;
    }
    if (f->Index() < 0) {
        // A constant: nothing to find, unless it is 0 everywhere.
        if (f->Value(a) == 0)
            Undecided(a, b);
        return result_;
    }
    const std::unique_ptr<FormulaProbe> d1 = f->Derivative(evaluations_);
    const std::unique_ptr<FormulaProbe> d2 = d1 ? d1->Derivative(evaluations_) : nullptr;
    const std::unique_ptr<FormulaProbe> d3 = d2 ? d2->Derivative(evaluations_) : nullptr;

    // The other Cartesian curves it may meet.
    struct Partner {
        int index;
        std::unique_ptr<FormulaProbe> g;
        std::unique_ptr<FormulaProbe> dg;
    };
    std::vector<Partner> partners;
    for (size_t j = static_cast<size_t>(index_) + 1; j < curves_.size(); ++j) {
        if (curves_[j].Type() != CurveCartesian || MayDrawRandom(curves_[j]))
            continue;
        std::unique_ptr<FormulaProbe> g = Compile(curves_[j].Formula1(), "x", evaluations_);
        if (!g)
            continue;
        std::unique_ptr<FormulaProbe> dg = g->Index() >= 0 ? g->Derivative(evaluations_) : nullptr;
        partners.push_back({static_cast<int>(j), std::move(g), std::move(dg)});
    }
    const int searches = 4 + static_cast<int>(partners.size());

    // Where f is continuous, and the places between.
    const std::vector<Piece> pieces = FindPieces(*f, a, b, Share(searches), evaluations_);
    for (size_t i = 0; i < pieces.size(); ++i) {
        const Piece& p = pieces[i];
        if (p.kind == PieceKind::Undecided)
            Undecided(p.lo, p.hi);
        if (p.kind == PieceKind::Singular && i > 0 && i + 1 < pieces.size())
            Singular(*f, pieces[i - 1], p, pieces[i + 1]);
    }
    if (Cancelled())
        return result_;
    // Every point of the other kinds lies where f is continuous.
    std::vector<Box> continuous;
    for (const Piece& p : pieces)
        if (p.kind == PieceKind::Continuous)
            continuous.push_back({p.lo, p.hi});

    // Roots: changes of sign of f where it is continuous, and zeros that f and f' both reach.
    std::vector<Zero> zeros;
    std::vector<Box> open;
    FindZeros(*f, d1.get(), ZeroKind::Crossing, continuous, Share(searches - 1), evaluations_,
        zeros, open);
    for (const Zero& z : zeros)
        if (z.continuousAcross)
            Add(PointKind::Root, StatusOf(z.proven), z.x, f->Value(z.x));
    UndecidedBoxes(open);
    if (Cancelled())
        return result_;

    // Extrema: changes of sign of f' inside (a, b), where f is continuous.
    if (d1) {
        zeros.clear();
        open.clear();
        FindZeros(*d1, d2.get(), ZeroKind::SignChange, continuous, Share(searches - 2),
            evaluations_, zeros, open);
        for (const Zero& z : zeros) {
            if (!(z.x > a && z.x < b))
                continue;
            const PointKind kind = z.rising ? PointKind::Minimum : PointKind::Maximum;
            if (z.continuousAcross) {
                if (f->Over(Interval::Point(z.x)).decoration() >= Decoration::dac)
                    Add(kind, StatusOf(z.proven), z.x, f->Value(z.x));
                continue;
            }
            // f' jumps there (a kink, as abs(x) at 0): f itself shows the extremum, if it is
            // continuous around it and lower (higher) there than on both sides.
            const double lo = FromOrdinal(Ordinal(z.x) - static_cast<int64_t>(kTinyBox));
            const double hi = FromOrdinal(Ordinal(z.x) + static_cast<int64_t>(kTinyBox));
            if (f->Over({lo, hi}).decoration() < Decoration::dac)
                continue;
            double best = z.x;
            double bestValue = f->Value(z.x);
            for (double x = lo; x <= hi; x = interval::NextUp(x)) {
                const double v = f->Value(x);
                if (kind == PointKind::Minimum ? v < bestValue : v > bestValue) {
                    best = x;
                    bestValue = v;
                }
            }
            const Interval at = f->At(best).range;
            const bool proven = kind == PointKind::Minimum
                ? at.hi < f->At(lo).range.lo && at.hi < f->At(hi).range.lo
                : at.lo > f->At(lo).range.hi && at.lo > f->At(hi).range.hi;
            Add(kind, StatusOf(proven), best, bestValue);
        }
        UndecidedBoxes(open);
    } else {
        NoDerivative(*f, continuous);
    }
    if (Cancelled())
        return result_;

    // Inflections: changes of sign of f'' where f' is continuous.
    if (d2) {
        zeros.clear();
        open.clear();
        FindZeros(*d2, d3.get(), ZeroKind::SignChange, continuous, Share(searches - 3),
            evaluations_, zeros, open);
        for (const Zero& z : zeros) {
            if (!(z.x > a && z.x < b))
                continue;
            bool continuous = z.continuousAcross;
            if (!continuous) {
                const double lo = FromOrdinal(Ordinal(z.x) - static_cast<int64_t>(kTinyBox));
                const double hi = FromOrdinal(Ordinal(z.x) + static_cast<int64_t>(kTinyBox));
                continuous = d1->Over({lo, hi}).decoration() >= Decoration::dac;
                if (!continuous)
                    continue;
            }
            if (f->Over(Interval::Point(z.x)).decoration() >= Decoration::dac)
                Add(PointKind::Inflection, StatusOf(z.proven), z.x, f->Value(z.x));
        }
        UndecidedBoxes(open);
    } else if (d1) {
        NoDerivative(*d1, continuous);
    }

    // Intersections with the later curves: zeros of f - g.
    for (size_t k = 0; k < partners.size() && !Cancelled(); ++k) {
        Partner& partner = partners[k];
        DifferenceProbe h(*f, *partner.g, evaluations_);
        std::unique_ptr<DifferenceProbe> dh;
        if (d1 && partner.dg)
            dh = std::make_unique<DifferenceProbe>(*d1, *partner.dg, evaluations_);
        zeros.clear();
        open.clear();
        FindZeros(h, dh.get(), ZeroKind::Crossing, continuous,
            Share(static_cast<int>(partners.size() - k)), evaluations_, zeros, open);
        for (const Zero& z : zeros) {
            if (!z.continuousAcross)
                continue;
            Add(PointKind::Intersection, StatusOf(z.proven), z.x, f->Value(z.x));
            result_.points.back().otherCurve = partner.index;
        }
        UndecidedBoxes(open);
    }
    Finish(a, b, false);
    return result_;
}

// The polar curve's x(theta) = cos(theta) * r(theta), or y with sin, as the sampler computes it.
std::unique_ptr<FormulaProbe> PolarCoordinate(
    const std::string& text, FunctionCode trig, long& count)
{
    try {
        FunctionInterpreter r(text);
        if (CheckVariables(r, "theta") != VariableVerdict::Accepted)
            return nullptr;
        const std::string name = r.GetVariableCount() > 0 ? r.GetVariableName(0) : "theta";
        NodePtr angle = Parser::MakeFunction(trig, NewNode<Variable>(name, nullptr));
        NodePtr product = Parser::MakeOperation(kOperatorMultiply, std::move(angle), r.CloneTree());
        std::unique_ptr<FunctionInterpreter> f = FunctionInterpreter::FromTree(std::move(product));
        const int index = f->FindVariable(name.c_str());
        return std::make_unique<FormulaProbe>(std::move(f), index, count);
    } catch (const ParseErrorMsg&) {
        return nullptr;
    }
}

CurveAnalysis Analysis::Parametric(const CurveKind& kind)
{
    const CFunction& curve = curves_[static_cast<size_t>(index_)];
    const double a = curve.paramMin;
    const double b = curve.paramMax;
    if (!(a < b) || !std::isfinite(a) || !std::isfinite(b))
        return {};
    std::unique_ptr<FormulaProbe> x;
    std::unique_ptr<FormulaProbe> y;
    std::unique_ptr<FormulaProbe> r; // polar: the radius, whose zeros are the origin
    if (kind.point == PointRule::Polar) {
        x = PolarCoordinate(curve.Formula1(), kFunctionCos, evaluations_);
        y = PolarCoordinate(curve.Formula1(), kFunctionSin, evaluations_);
        r = Compile(curve.Formula1(), kind.variable, evaluations_);
    } else {
        x = Compile(curve.Formula1(), kind.variable, evaluations_);
        y = Compile(curve.Formula2(), kind.variable, evaluations_);
    }
    if (!x || !y)
        return {};
    if (MayDrawRandom(curve)) {
        Undecided(a, b);
        return result_;
    }
    struct Crossing {
        double t;
        bool proven;
        int axis; // 0: x(t) = 0, the y axis; 1: y(t) = 0, the x axis; 2: r = 0, the origin
    };
    std::vector<Crossing> crossings;
    std::vector<FormulaProbe*> coordinates = {x.get(), y.get()};
    if (r)
        coordinates.push_back(r.get());
    int left = static_cast<int>(coordinates.size());
    for (size_t axis = 0; axis < coordinates.size(); ++axis) {
        FormulaProbe* h = coordinates[axis];
        if (h->Index() < 0) {
            --left;
            if (h->Value(a) == 0)
                Undecided(a, b); // on an axis all along
            continue;
        }
        const std::unique_ptr<FormulaProbe> dh = h->Derivative(evaluations_);
        std::vector<Zero> zeros;
        std::vector<Box> open;
        FindZeros(*h, dh.get(), ZeroKind::Crossing, a, b, Share(left--), evaluations_, zeros, open);
        for (const Zero& z : zeros)
            if (z.continuousAcross)
                crossings.push_back({z.x, z.proven, static_cast<int>(axis)});
        UndecidedBoxes(open);
    }
    std::sort(crossings.begin(), crossings.end(),
        [](const Crossing& p, const Crossing& q) { return p.t < q.t; });
    for (size_t i = 0; i < crossings.size();) {
        // The crossings at one parameter: both axes, or the radius, make the origin.
        size_t j = i + 1;
        while (
            j < crossings.size() && DoublesBetween(crossings[i].t, crossings[j].t) <= 2 * kTinyBox)
            ++j;
        bool onX = false;
        bool onY = false;
        bool proven = false;
        double t = crossings[i].t;
        for (size_t k = i; k < j; ++k) {
            const Crossing& c = crossings[k];
            onY = onY || c.axis == 0 || c.axis == 2;
            onX = onX || c.axis == 1 || c.axis == 2;
            if (c.axis == 2 || (!proven && c.proven)) {
                proven = c.proven;
                t = c.t;
            }
        }
        i = j;
        const double px = x->Value(t);
        const double py = y->Value(t);
        if (std::isnan(px) || std::isnan(py))
            continue; // no point of the curve there
        const PointKind kindOf = onX && onY ? PointKind::Origin
            : onY                           ? PointKind::AxisY
                                            : PointKind::AxisX;
        Add(kindOf, StatusOf(proven), px, py);
        result_.points.back().parameter = t;
    }
    Finish(a, b, true);
    return result_;
}

// Sorts the points, keeps at most kMaxPointsPerCurve of them, and joins the undecided ranges.
void Analysis::Finish(double lo, double hi, bool byParameter)
{
    auto& points = result_.points;
    // A root at an edge of the domain is told by the edge (its value is there).
    std::vector<double> edges;
    for (const RemarkablePoint& p : points)
        if (p.kind == PointKind::Edge)
            edges.push_back(p.x);
    std::erase_if(points, [&](const RemarkablePoint& p) {
        return p.kind == PointKind::Root && std::any_of(edges.begin(), edges.end(), [&](double e) {
            return DoublesBetween(std::min(e, p.x), std::max(e, p.x)) <= 2 * kTinyBox;
        });
    });
    const auto key
        = [byParameter](const RemarkablePoint& p) { return byParameter ? p.parameter : p.x; };
    std::stable_sort(points.begin(), points.end(),
        [&](const RemarkablePoint& p, const RemarkablePoint& q) { return key(p) < key(q); });
    if (points.size() > static_cast<size_t>(kMaxPointsPerCurve)) {
        const double from = key(points[kMaxPointsPerCurve]);
        points.resize(kMaxPointsPerCurve);
        Undecided(from, hi);
    }
    auto& ranges = result_.undecided;
    std::sort(ranges.begin(), ranges.end(),
        [](const UndecidedRange& p, const UndecidedRange& q) { return p.lo < q.lo; });
    std::vector<UndecidedRange> joined;
    for (const UndecidedRange& r : ranges) {
        if (!joined.empty() && r.lo <= joined.back().hi) {
            joined.back().hi = std::max(joined.back().hi, r.hi);
            continue;
        }
        joined.push_back(r);
    }
    for (UndecidedRange& r : joined) {
        r.lo = std::max(r.lo, lo);
        r.hi = std::min(r.hi, hi);
    }
    ranges = std::move(joined);
}

} // namespace

CurveAnalysis AnalyseCurve(const std::vector<CFunction>& curves, int index, double xMin,
    double xMax, const std::atomic<bool>* cancel)
{
    if (index < 0 || static_cast<size_t>(index) >= curves.size())
        return {};
    const CurveKind* kind = FindCurveKind(curves[static_cast<size_t>(index)].Type());
    if (kind == nullptr)
        return {};
    try {
        Analysis analysis(curves, index, cancel);
        if (kind->range == VariableRange::ViewX)
            return analysis.Cartesian(xMin, xMax);
        return analysis.Parametric(*kind);
    } catch (const ParseErrorMsg&) {
        // The walks ran out of stack or memory (derivatives of a deeply nested formula).
        return WholeRangeUndecided(curves[static_cast<size_t>(index)], index, xMin, xMax);
    }
}

CurveAnalysis WholeRangeUndecided(const CFunction& curve, int index, double xMin, double xMax)
{
    CurveAnalysis analysis;
    if (const CurveKind* kind = FindCurveKind(curve.Type())) {
        const bool parameter = RunsOverParameter(*kind);
        analysis.undecided.push_back(
            {index, parameter ? curve.paramMin : xMin, parameter ? curve.paramMax : xMax});
    }
    return analysis;
}
