#pragma once

// The promise of interval evaluation, checked at one point: the value the point evaluator gives
// lies in the enclosure, and a dac or com decoration never meets an error or NaN. Shared by the
// tests and the fuzz target.

#include <cmath>
#include <cstdio>
#include <optional>
#include <string>

#include "engine/IntervalEvaluator.h"
#include "engine/QuietEvaluation.h"

inline std::string PromiseText(double v)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.17g", v);
    return text;
}

// A description of the broken promise at x = at (variable index of f, or none when negative),
// or nothing.
inline std::optional<std::string> Violation(FunctionInterpreter& f, int index,
    const interval::Interval& x, const IntervalBounds& b, double at)
{
    if (index >= 0)
        f.SetVariableValueAt(index, at);
    double v = 0;
    bool failed = false;
    {
        QuietEvaluation quiet;
        try {
            v = f.Evaluate();
        } catch (const ParseErrorMsg&) {
            failed = true;
        }
        failed = failed || quiet.Failed();
    }
    const std::string where = "at x = " + PromiseText(at) + " in [" + PromiseText(x.lo) + ", "
        + PromiseText(x.hi) + "]";
    if (!failed && !std::isnan(v) && !(b.range.lo <= v && v <= b.range.hi))
        return "value " + PromiseText(v) + " outside [" + PromiseText(b.range.lo) + ", "
            + PromiseText(b.range.hi) + "] " + where;
    if (b.decoration() >= Decoration::dac && (failed || std::isnan(v)))
        return std::string("an error or NaN under ") + DecorationName(b.decoration()) + " " + where;
    return std::nullopt;
}
