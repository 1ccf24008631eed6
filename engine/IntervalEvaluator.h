#pragma once

// The interval evaluation of a formula over a range of its variable: the range of the values
// the point evaluator gives there, and a decoration saying whether the formula is defined and
// continuous over the whole range. The promise everything built on it relies on: at every x of
// the range where the point evaluator returns a value (infinities included), the value lies in
// the range; where the decoration is dac or com, the point evaluator succeeds at every x of the
// range with a number that is not NaN.
//
// A plain walk of the tree overestimates when the variable appears more than once (x - x); the
// centred form f(m) + f'(X) (X - m), with the engine's own symbolic derivative, is narrower on
// small ranges, and where the derivative keeps one sign the function lies between its values at
// the ends. These bounds hold for the exact function, so they are widened by the walk's bound on
// the rounding of the computed values.

#include <memory>
#include <vector>

#include "engine/FunctionInterpreter.h"
#include "engine/IntervalRules.h"

class IntervalEvaluator {
public:
    // Evaluates f over ranges of its variable of index (the other variables keep their values
    // in f when each evaluation starts). index -1: a formula without a variable.
    IntervalEvaluator(const FunctionInterpreter& f, int index);
    ~IntervalEvaluator();
    IntervalEvaluator(const IntervalEvaluator&) = delete;
    IntervalEvaluator& operator=(const IntervalEvaluator&) = delete;

    // One walk of the tree.
    IntervalBounds Plain(const interval::Interval& x) const;
    // The plain walk narrowed by the centred form where that applies; plain, when given, is
    // the plain walk over x already made.
    IntervalBounds Centred(
        const interval::Interval& x, const IntervalBounds* plain = nullptr) const;
    // The centred evaluation, and the hull of the halves' while splitting pays, up to splits
    // levels deep.
    IntervalBounds Evaluate(const interval::Interval& x, int splits = 4) const;

    // Counts the nodes every later evaluation walks into work (null: no count).
    void CountWork(long* work) { work_ = work; }

private:
    const FunctionInterpreter* Derivative() const;

    const FunctionInterpreter& f_;
    int index_;
    // The exact derivative, built on first use; null when the formula has none.
    mutable std::unique_ptr<FunctionInterpreter> derivative_;
    mutable bool derivativeTried_ = false;
    // For each variable of the derivative, the same variable of f (or -1).
    mutable std::vector<int> derivativeVariables_;
    mutable int derivativeIndex_ = -1;
    long* work_ = nullptr;
};
