#pragma once

// The remarkable points of curves: where a Cartesian curve crosses zero, is highest or lowest,
// changes its bending, meets another curve, stops or jumps; where a parametric or polar curve
// crosses the axes. What the search calls proven, interval evaluation has proven: the point
// exists in a bracket of a few ulps, and no other point of its kind lies in the range outside
// the brackets found. What it could not decide within its budget it reports as undecided ranges,
// never as nothing.

#include <atomic>
#include <cstdint>
#include <vector>

#include "model/CFunction.h"

enum class PointKind {
    Root, // f(x) = 0
    Minimum, // strict local minimum inside the range
    Maximum,
    Inflection, // f'' changes sign
    Intersection, // f(x) = g(x), g another Cartesian curve
    Pole, // undefined at x, |f| grows without bound on one side at least
    Hole, // undefined at one x, the same finite limit on both sides
    Jump, // defined around x, different finite one-sided limits
    Edge, // an end of an interval where f is defined, inside the range
    AxisX, // a parametric or polar curve meets the x axis (y = 0)
    AxisY, // it meets the y axis (x = 0)
    Origin, // both
};

// The names of the command line ("root", "minimum", ..., "axis-x", "axis-y", "origin").
const char* PointKindName(PointKind kind);

enum class PointStatus {
    Proven, // interval evaluation shows the point in its bracket
    Likely, // found numerically only: a double root, a tangency
};

struct RemarkablePoint {
    int curve = 0; // as the function editor numbers curves, from 0
    int otherCurve = -1; // for an intersection: the other curve (always above curve)
    PointKind kind = PointKind::Root;
    PointStatus status = PointStatus::Proven;
    // Where it is, in world coordinates. For a Cartesian curve y = f(x) as the point evaluator
    // gives it (for a hole, an edge or a jump: the limits, estimated); for parametric and polar
    // curves, the point of the plane.
    double x = 0;
    double y = 0;
    // For a jump: the two one-sided limits (y is the left one). For parametric and polar
    // curves: the parameter (t or theta) in parameter; NaN otherwise.
    double yRight = 0;
    double parameter = 0;
};

// A part of the range where the search could neither exclude nor resolve points: x for a
// Cartesian curve, the parameter for the others.
struct UndecidedRange {
    int curve = 0;
    double lo = 0;
    double hi = 0;
};

struct CurveAnalysis {
    std::vector<RemarkablePoint> points; // sorted by x (by parameter for the other kinds)
    std::vector<UndecidedRange> undecided;
};

// At most this many points per curve; past it, the rest of the range is undecided.
constexpr int kMaxPointsPerCurve = 10000;

// The points of curve index of curves (a copy the caller owns, so that the search can run on
// another thread than the one drawing), over the x range [xMin, xMax] for a Cartesian curve and
// over its parameter interval for the others; with the intersections of a Cartesian curve with
// every Cartesian curve after it in the list. A formula that does not compile gives nothing.
// cancel, when given and set, ends the search early (the result is then incomplete).
CurveAnalysis AnalyseCurve(const std::vector<CFunction>& curves, int index, double xMin,
    double xMax, const std::atomic<bool>* cancel = nullptr);

// What a search that cannot be made says of curve (index in its list): its whole range, x or
// parameter, undecided.
CurveAnalysis WholeRangeUndecided(const CFunction& curve, int index, double xMin, double xMax);
