#pragma once

// The kinds of curve, each described once: its variable, its formulas, how the editor and the
// command line name it, and how a sample becomes a point. The model, the sampler, the function
// editor and the command line read these instead of switching over the kind.

#include "model/CFunction.h"

// How the values of a sample at the variable v place a point in the plane.
enum class PointRule {
    Graph, // (v, f(v))
    Parametric, // (x(v), y(v))
    Polar, // r(v) at the angle v
};

// How the walk runs over the variable.
enum class VariableRange {
    ViewX, // the displayed x range, one sample per pixel column
    Parameter, // the curve's own interval in its number of steps
};

struct CurveKind {
    CurveType type;
    const char* variable; // as formulas write it (compared without regard to case)
    int formulaCount; // 1, or 2 for the parametric x(t) and y(t)
    const char* formulaNames[2]; // "y(x)"; "x(t)", "y(t)"
    const char* editorName; // the function editor's list entry (UTF-8)
    const char* option; // the command line's option, "--cartesian"
    // The names of its arguments on the command line: the formulas, then, when it runs over a
    // parameter, its interval's ends (an iteration count follows them).
    const char* formulaArguments;
    const char* minName;
    const char* maxName;
    VariableRange range;
    PointRule point;
};

// Every kind, in the order the function editor lists them.
inline constexpr CurveKind kCurveKinds[] = {
    {CurveCartesian, "x", 1, {"y(x)", nullptr}, "Cartésienne", "--cartesian", "FORMULE", nullptr,
        nullptr, VariableRange::ViewX, PointRule::Graph},
    {CurveParametric, "t", 2, {"x(t)", "y(t)"}, "Paramétrée", "--parametric", "FX FY", "TMIN",
        "TMAX", VariableRange::Parameter, PointRule::Parametric},
    {CurvePolar, "theta", 1, {"r(theta)", nullptr}, "Polaire", "--polar", "FORMULE", "THETAMIN",
        "THETAMAX", VariableRange::Parameter, PointRule::Polar},
};

// The description of type, or null for CurveNone and the values no kind has (a file may hold
// them: they compile without a variable check and are never sampled). Inline: the sampler asks
// for every sample.
inline const CurveKind* FindCurveKind(CurveType type)
{
    for (const CurveKind& kind : kCurveKinds)
        if (kind.type == type)
            return &kind;
    return nullptr;
}

// Whether a curve of the kind runs over its own interval in a number of steps.
inline bool RunsOverParameter(const CurveKind& kind)
{
    return kind.range == VariableRange::Parameter;
}
