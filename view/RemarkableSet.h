#pragma once

// The remarkable points of the displayed curves as the view holds them: each curve's search
// result as it arrives, and the points each curve has in order of its variable, intersections
// found from an earlier curve included, for the trace to visit.

#include <atomic>
#include <optional>
#include <vector>

#include "model/RemarkablePoints.h"

struct WorldPoint {
    double x = 0;
    double y = 0;
};

// A stretch of the plane a parametric or polar curve covers over one of its undecided ranges.
struct UndecidedPath {
    size_t range = 0; // in the analysis's undecided ranges
    std::vector<WorldPoint> points;
};

// One curve's search result, with what drawing it needs beyond the points.
struct CurveMarks {
    CurveAnalysis analysis;
    // For a parametric or polar curve, its undecided ranges as stretches of the plane, broken
    // where the curve is undefined; empty for a Cartesian curve, whose ranges lie along x.
    std::vector<UndecidedPath> undecidedPaths;
};

// Searches curve index of curves over [xMin, xMax] (see AnalyseCurve) and traces its undecided
// stretches. Runs on any thread: curves is the caller's own copy. Curves that draw random numbers
// are left out (their ranges undecided).
CurveMarks FindCurveMarks(const std::vector<CFunction>& curves, int index, double xMin, double xMax,
    const std::atomic<bool>* cancel = nullptr);

// The variable a point stands at on its curve: x for a Cartesian curve, the parameter otherwise.
double PointVariable(const RemarkablePoint& point, CurveType type);

class RemarkableSet {
public:
    // Forgets every result: count curves, none searched yet.
    void Reset(int count);
    // Curve's result arrived (ignored for a curve outside the set). types are the curves' kinds.
    void Set(int curve, CurveMarks marks, const std::vector<CurveType>& types);

    int Count() const { return static_cast<int>(marks_.size()); }
    bool Known(int curve) const { return Marks(curve) != nullptr; }
    // Null while curve has no result.
    const CurveMarks* Marks(int curve) const;
    // The points on curve in order of its variable: its own and the intersections an earlier
    // curve found with it. Empty while it has no result.
    const std::vector<RemarkablePoint>& PointsOn(int curve) const;

private:
    std::vector<std::optional<CurveMarks>> marks_;
    std::vector<std::vector<RemarkablePoint>> on_;
};
