#pragma once

// The searches behind the remarkable points: over a range of x, boxes are split until interval
// evaluation either excludes them or shows what they hold. A zero of a function is proven by a
// change of sign between two points whose signs are certain, over a bracket where the function
// is continuous; the boxes the search could not settle within its budget are kept as undecided.

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/IntervalEvaluator.h"

// ---- Doubles as an ordered sequence ----

// The place of x among the doubles, so that neighbours differ by 1 (-0 and 0 share 0).
int64_t Ordinal(double x);
double FromOrdinal(int64_t o);
// The number of doubles from a to b (b >= a).
uint64_t DoublesBetween(double a, double b);

// ---- The functions searched ----

// A function of x the search evaluates: over a range, at a point with a certain enclosure, and
// as the point evaluator gives it. Every evaluation counts against a shared budget, by the nodes
// it walks (at least one): the work, whatever the size of the formula.
class Probe {
public:
    explicit Probe(long& evaluations) : evaluations_(evaluations) { }
    virtual ~Probe() = default;
    Probe(const Probe&) = delete;
    Probe& operator=(const Probe&) = delete;

    IntervalBounds Over(const interval::Interval& x)
    {
        ++evaluations_;
        return Bounds(x, true);
    }
    // One walk only, for the decoration: no narrowing by the centred form.
    IntervalBounds Walk(const interval::Interval& x)
    {
        ++evaluations_;
        return Bounds(x, false);
    }

    IntervalBounds At(double x) { return Over(interval::Interval::Point(x)); }
    // The point evaluator's value, NaN where it fails.
    virtual double Value(double x) = 0;

protected:
    long& Evaluations() { return evaluations_; }
    virtual IntervalBounds Bounds(const interval::Interval& x, bool narrow) = 0;

private:
    long& evaluations_;
};

// A formula of one variable: its own interpreter, evaluated by interval and by point.
class FormulaProbe final : public Probe {
public:
    // Takes the interpreter; index is its variable (-1: none).
    FormulaProbe(std::unique_ptr<FunctionInterpreter> f, int index, long& evaluations);
    double Value(double x) override;
    FunctionInterpreter& Interpreter() { return *f_; }
    int Index() const { return index_; }
    // The derivative as a probe of its own, or null when the formula has none.
    std::unique_ptr<FormulaProbe> Derivative(long& evaluations) const;

protected:
    IntervalBounds Bounds(const interval::Interval& x, bool narrow) override;

private:
    std::unique_ptr<FunctionInterpreter> f_;
    int index_;
    IntervalEvaluator evaluator_;
};

// a - b: where two curves meet.
class DifferenceProbe final : public Probe {
public:
    DifferenceProbe(Probe& a, Probe& b, long& evaluations);
    double Value(double x) override;

protected:
    IntervalBounds Bounds(const interval::Interval& x, bool narrow) override;

private:
    Probe& a_;
    Probe& b_;
};

// ---- Certain signs ----

enum class Sign { Negative, Zero, Positive, Unknown };
// The sign an enclosure proves: Zero only for an exact zero, Unknown when it holds 0 or nothing.
Sign SignOf(const IntervalBounds& b);

// ---- Splitting ----

// The point where a box splits: 0 when it holds 0 inside, else the middle, or the middle of its
// doubles when it spans several powers of two (so that any box ends in a few dozen splits).
double SplitPoint(double lo, double hi);
// A box of at most this many doubles is not split again.
constexpr uint64_t kTinyBox = 16;
inline bool IsTiny(double lo, double hi)
{
    return DoublesBetween(lo, hi) <= kTinyBox;
}

// ---- Zeros ----

// What a zero of h means for the search.
enum class ZeroKind {
    Crossing, // a root or an intersection: a zero with or without change of sign
    SignChange, // an extremum or an inflection: only a change of sign counts
};

struct Zero {
    double x = 0;
    bool proven = false;
    bool rising = false; // h goes from negative to positive (for a change of sign)
    bool continuousAcross = true; // h is continuous over the bracket
};

struct Box {
    double lo = 0;
    double hi = 0;
};

// The zeros of h over [lo, hi]: changes of sign proven over brackets of a few ulps where h is
// continuous, changes of sign across a point where h is not continuous (for the caller to
// judge), and for ZeroKind::Crossing the zeros without change of sign that h and its slope dh
// both reach within rounding. Boxes left when the budget runs out go to undecided. dh may be
// null (no monotonicity test then).
void FindZeros(Probe& h, Probe* dh, ZeroKind kind, double lo, double hi, long budget,
    const long& evaluations, std::vector<Zero>& zeros, std::vector<Box>& undecided);
// The same over several ranges at once, which share the budget.
void FindZeros(Probe& h, Probe* dh, ZeroKind kind, const std::vector<Box>& ranges, long budget,
    const long& evaluations, std::vector<Zero>& zeros, std::vector<Box>& undecided);

// ---- Where a formula is continuous ----

enum class PieceKind {
    Continuous, // defined and continuous
    Undefined, // defined nowhere
    Singular, // a box of a few ulps holding a jump, a pole, a hole or an edge
    Undecided, // not settled within the budget
};

struct Piece {
    PieceKind kind;
    double lo;
    double hi;
};

// [lo, hi] cut into pieces by f's decoration, in order, adjacent pieces of one kind joined.
std::vector<Piece> FindPieces(Probe& f, double lo, double hi, long budget, const long& evaluations);
