#pragma once

// The interval rules of the engine's functions and operators, with the engine's own semantics:
// over a range of operand values, the range of the values the point evaluator gives (and the
// exact values behind them), whether it fails or gives NaN somewhere, whether it is continuous,
// and how far its computed values may stray from the exact ones.

#include <cstdint>
#include <vector>

#include "engine/FunctionTable.h"
#include "engine/Interval.h"

// How much of a range of the variable a formula is known to be defined and continuous on, worst
// first. Bounded (com) is told from the final range, so evaluation works with the first four.
enum class Decoration : uint8_t {
    ill, // nowhere defined
    trv, // perhaps undefined somewhere: an engine error or NaN
    def, // defined everywhere, perhaps discontinuous
    dac, // defined and continuous everywhere
    com, // defined and continuous everywhere, and bounded
};

inline Decoration Worst(Decoration a, Decoration b)
{
    return a < b ? a : b;
}

const char* DecorationName(Decoration d);

// A three-valued answer over a range: a test of the point evaluator that never, sometimes or
// always holds there.
enum class Tri : uint8_t { Never, Sometimes, Always };

inline Tri TriOf(bool b)
{
    return b ? Tri::Always : Tri::Never;
}
inline Tri TriOf(Tri t)
{
    return t;
}
inline Tri operator||(Tri a, Tri b)
{
    if (a == Tri::Always || b == Tri::Always)
        return Tri::Always;
    return a == Tri::Never && b == Tri::Never ? Tri::Never : Tri::Sometimes;
}
inline Tri operator&&(Tri a, Tri b)
{
    if (a == Tri::Never || b == Tri::Never)
        return Tri::Never;
    return a == Tri::Always && b == Tri::Always ? Tri::Always : Tri::Sometimes;
}
inline Tri operator||(Tri a, bool b)
{
    return a || TriOf(b);
}
inline Tri operator&&(Tri a, bool b)
{
    return a && TriOf(b);
}
// Comparisons of every value of a range with a number.
Tri operator<(const interval::Interval& a, double c);
Tri operator<=(const interval::Interval& a, double c);
Tri operator>(const interval::Interval& a, double c);
Tri operator>=(const interval::Interval& a, double c);
Tri operator==(const interval::Interval& a, double c);

// What an interval evaluation knows of a formula, or of one node of it, over a range X of the
// variable. An engine error anywhere makes the point evaluator fail; a NaN is a value, which a
// comparison, a truncation or a condition can turn back into a number, so the two are kept apart.
//   range       every value that is a number the point evaluator returns at a point of X
//               without an error (infinities included), and the exact value there;
//   nan         whether it returns NaN, without an error, somewhere in X;
//   fails       whether it raises an error never, somewhere or everywhere in X;
//   continuous  whether it is continuous over X, where it is a number;
//   err         a bound on the gap between computed and exact values at the same point
//               (infinite when unknown).
struct IntervalBounds {
    interval::Interval range;
    double err = 0;
    bool nan = false;
    Tri fails = Tri::Never;
    bool continuous = true;

    // A value everywhere: a number, or NaN.
    static IntervalBounds Point(double v);
    // An error everywhere.
    static IntervalBounds Failing();

    // ill when no point gives a number; trv when one may fail or give NaN; def when all give
    // numbers but may jump; dac when continuous; com when also bounded.
    Decoration decoration() const;
};

class FunctionInterpreter;

// What an interval evaluation runs over: the variable of index of owner takes every value of x;
// the other variables keep their values.
// The bounds of the subtrees of one walk, by slot: equal subtrees are evaluated once per input.
struct IntervalMemo {
    struct Entry {
        uint64_t input = 0; // the input they hold bounds for; 0: none
        IntervalBounds bounds;
    };
    std::vector<Entry> entries;
    uint64_t lastInput = 0;
};

struct IntervalInput {
    const FunctionInterpreter* owner = nullptr;
    int index = -1;
    interval::Interval x;
    // When given, counts the nodes evaluated: the work of an evaluation, for budgets.
    long* work = nullptr;
    // Set by the interpreter for its walk: its memo, and this input's number in it.
    IntervalMemo* memo = nullptr;
    uint64_t number = 0;
};

// The rounded results of the row functions' shared values over a range: Cos, Sin, Cosh, Sinh
// and Tanh of an interval, for the rows' domain tests.
interval::Interval Cos(const interval::Interval& x);
interval::Interval Sin(const interval::Interval& x);
interval::Interval Cosh(const interval::Interval& x);
interval::Interval Sinh(const interval::Interval& x);
interval::Interval Tanh(const interval::Interval& x);

// The function of code over its operand's bounds.
IntervalBounds ApplyFunctionInterval(FunctionCode code, const IntervalBounds& operand);

// The operators. Operands are given evaluated; the short circuits and the conditional, which
// may leave an operand unevaluated, are built by the nodes from Truth, Join and Worsen.
IntervalBounds AddInterval(const IntervalBounds& a, const IntervalBounds& b);
IntervalBounds SubInterval(const IntervalBounds& a, const IntervalBounds& b);
IntervalBounds MulInterval(const IntervalBounds& a, const IntervalBounds& b);
// a * a, the same value twice.
IntervalBounds SqrInterval(const IntervalBounds& a);
IntervalBounds DivInterval(const IntervalBounds& a, const IntervalBounds& b);
IntervalBounds ModInterval(const IntervalBounds& a, const IntervalBounds& b);
IntervalBounds PowInterval(const IntervalBounds& a, const IntervalBounds& b);
// The comparisons (code kOperatorLess...), giving 1 or 0.
IntervalBounds CompareInterval(int code, const IntervalBounds& a, const IntervalBounds& b);
// The bitwise operators (code kOperatorBitwiseAnd...) on the truncated operands.
IntervalBounds BitwiseInterval(int code, const IntervalBounds& a, const IntervalBounds& b);
// 1 where the value is not 0 (NaN included), else 0.
IntervalBounds TruthInterval(const IntervalBounds& a);
// The value of one of two branches, either taken somewhere: a jump between them.
IntervalBounds JoinInterval(const IntervalBounds& a, const IntervalBounds& b);
// The bounds of a result, made to fail where an operand evaluated before it fails.
IntervalBounds Worsen(IntervalBounds result, const IntervalBounds& operand);
// The bounds over the union of two adjacent ranges of the variable.
IntervalBounds Union(const IntervalBounds& a, const IntervalBounds& b);
// A random draw scaled by the operand's value.
IntervalBounds RandomInterval(const IntervalBounds& scale);
