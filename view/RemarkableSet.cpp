#include "view/RemarkableSet.h"

#include <algorithm>
#include <cmath>

#include "model/CurveKind.h"
#include "model/CurveValues.h"
#include "model/Sampler.h"

namespace {

// Samples along each undecided stretch of a parametric or polar curve, and most stretches traced:
// past them the shading would cost more than it tells.
constexpr int kPathSamples = 64;
constexpr size_t kMaxPaths = 256;

const std::vector<RemarkablePoint> kNoPoints;

bool Cancelled(const std::atomic<bool>* cancel)
{
    return cancel != nullptr && cancel->load(std::memory_order_relaxed);
}

} // namespace

CurveMarks FindCurveMarks(const std::vector<CFunction>& curves, int index, double xMin, double xMax,
    const std::atomic<bool>* cancel)
{
    CurveMarks marks;
    if (index < 0 || static_cast<size_t>(index) >= curves.size())
        return marks;
    const CFunction& curve = curves[static_cast<size_t>(index)];
    const CurveKind* kind = FindCurveKind(curve.Type());
    // A curve that draws random numbers is not searched: its points change at every draw, and
    // the draws belong to the plot, whose one sequence is not to be taken from another thread.
    // Its whole range is undecided, and no other curve meets it.
    if (MayDrawRandom(curve)) {
        marks.analysis = WholeRangeUndecided(curve, index, xMin, xMax);
        return marks;
    }
    marks.analysis = AnalyseCurve(curves, index, xMin, xMax, cancel);
    if (kind == nullptr || !RunsOverParameter(*kind) || marks.analysis.undecided.empty())
        return marks;
    CurveEvaluator evaluator(curve);
    const std::vector<UndecidedRange>& ranges = marks.analysis.undecided;
    for (size_t r = 0; r < ranges.size(); ++r) {
        if (marks.undecidedPaths.size() >= kMaxPaths || Cancelled(cancel))
            break;
        UndecidedPath path {r, {}};
        for (int i = 0; i <= kPathSamples; ++i) {
            const double v = ranges[r].lo + (ranges[r].hi - ranges[r].lo) * i / kPathSamples;
            WorldPoint p;
            if (evaluator.PointAt(v, p.x, p.y)) {
                path.points.push_back(p);
            } else if (!path.points.empty()) {
                marks.undecidedPaths.push_back(std::move(path));
                path = UndecidedPath {r, {}};
            }
        }
        if (!path.points.empty())
            marks.undecidedPaths.push_back(std::move(path));
    }
    return marks;
}

double PointVariable(const RemarkablePoint& point, CurveType type)
{
    const CurveKind* kind = FindCurveKind(type);
    return kind != nullptr && RunsOverParameter(*kind) ? point.parameter : point.x;
}

void RemarkableSet::Reset(int count)
{
    marks_.assign(static_cast<size_t>(std::max(count, 0)), std::nullopt);
    on_.assign(marks_.size(), {});
}

void RemarkableSet::Set(int curve, CurveMarks marks, const std::vector<CurveType>& types)
{
    if (curve < 0 || curve >= Count())
        return;
    marks_[static_cast<size_t>(curve)] = std::move(marks);
    const auto typeOf = [&](int i) {
        return static_cast<size_t>(i) < types.size() ? types[static_cast<size_t>(i)] : CurveNone;
    };
    // Its intersections are listed on the curves after it too.
    for (int j = curve; j < Count(); ++j) {
        std::vector<RemarkablePoint>& on = on_[static_cast<size_t>(j)];
        on.clear();
        const auto& own = marks_[static_cast<size_t>(j)];
        if (!own)
            continue;
        on = own->analysis.points;
        for (int i = 0; i < j; ++i) {
            const auto& earlier = marks_[static_cast<size_t>(i)];
            if (!earlier)
                continue;
            for (const RemarkablePoint& p : earlier->analysis.points)
                if (p.kind == PointKind::Intersection && p.otherCurve == j)
                    on.push_back(p);
        }
        const CurveType type = typeOf(j);
        std::stable_sort(on.begin(), on.end(), [type](const auto& a, const auto& b) {
            return PointVariable(a, type) < PointVariable(b, type);
        });
    }
}

const CurveMarks* RemarkableSet::Marks(int curve) const
{
    if (curve < 0 || curve >= Count() || !marks_[static_cast<size_t>(curve)])
        return nullptr;
    return &*marks_[static_cast<size_t>(curve)];
}

const std::vector<RemarkablePoint>& RemarkableSet::PointsOn(int curve) const
{
    if (curve < 0 || curve >= Count())
        return kNoPoints;
    return on_[static_cast<size_t>(curve)];
}
