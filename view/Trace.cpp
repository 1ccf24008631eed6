#include "view/Trace.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "model/CFunctionsContext.h"
#include "model/CurveKind.h"
#include "platform/Numeric.h"
#include "view/RemarkableSet.h"
#include "view/TraceText.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

double SquaredDistance(double ax, double ay, double bx, double by)
{
    return (ax - bx) * (ax - bx) + (ay - by) * (ay - by);
}

// From (px, py) to the segment a-b.
double SquaredDistanceToSegment(const PlotPoint& a, const PlotPoint& b, double px, double py)
{
    const double dx = static_cast<double>(b.x) - a.x;
    const double dy = static_cast<double>(b.y) - a.y;
    const double length = dx * dx + dy * dy;
    double t = length > 0 ? ((px - a.x) * dx + (py - a.y) * dy) / length : 0;
    t = std::clamp(t, 0.0, 1.0);
    return SquaredDistance(a.x + t * dx, a.y + t * dy, px, py);
}

bool SamePoint(const RemarkablePoint& a, const RemarkablePoint& b)
{
    return a.curve == b.curve && a.otherCurve == b.otherCurve && a.kind == b.kind
        && platform::SameNumber(a.x, b.x) && platform::SameNumber(a.parameter, b.parameter);
}

} // namespace

int NearestCurve(
    const std::vector<std::vector<PlotPoint>>& plotted, bool joined, double px, double py)
{
    int nearest = -1;
    double best = std::numeric_limits<double>::infinity();
    for (size_t i = 0; i < plotted.size(); ++i) {
        const PlotPoint* last = nullptr;
        for (const PlotPoint& p : plotted[i]) {
            if (!p.penDown) {
                last = nullptr;
                continue;
            }
            double d = SquaredDistance(p.x, p.y, px, py);
            if (joined && last != nullptr)
                d = std::min(d, SquaredDistanceToSegment(*last, p, px, py));
            if (d < best) {
                best = d;
                nearest = static_cast<int>(i);
            }
            last = &p;
        }
    }
    return nearest;
}

bool Trace::Compiled() const
{
    return Active() && static_cast<size_t>(curve_) < evaluators_.size()
        && evaluators_[static_cast<size_t>(curve_)]
        && evaluators_[static_cast<size_t>(curve_)]->Compiled();
}

int Trace::FailedFormula() const
{
    if (!Active() || static_cast<size_t>(curve_) >= evaluators_.size()
        || !evaluators_[static_cast<size_t>(curve_)])
        return -1;
    return evaluators_[static_cast<size_t>(curve_)]->FailedFormula();
}

CurveType Trace::Type() const
{
    return Active() ? curves_[static_cast<size_t>(curve_)].Type() : CurveNone;
}

CurveEvaluator& Trace::Evaluator(int curve)
{
    std::optional<CurveEvaluator>& e = evaluators_[static_cast<size_t>(curve)];
    if (!e)
        e.emplace(curves_[static_cast<size_t>(curve)]);
    return *e;
}

bool Trace::IsCartesian(int curve) const
{
    const CurveKind* kind = FindCurveKind(curves_[static_cast<size_t>(curve)].Type());
    return kind == nullptr || !RunsOverParameter(*kind);
}

void Trace::Start(const CFunctionsContext& c, int curve, PixelPoint p, const RemarkableSet& marks)
{
    Refresh(c);
    if (curve < 0 || curve >= static_cast<int>(curves_.size()))
        return;
    curve_ = curve;
    Evaluator(curve_);
    Follow(c, p, marks);
}

void Trace::Leave()
{
    curve_ = -1;
    snapped_.reset();
    snappedIndex_ = -1;
    tangent_ = false;
}

void Trace::Refresh(const CFunctionsContext& c)
{
    bool same = curves_.size() == c.functions.size();
    for (size_t i = 0; same && i < curves_.size(); ++i)
        same = curves_[i] == c.functions[i].function;
    if (same)
        return;
    curves_.clear();
    for (const CFunctionEntry& entry : c.functions)
        curves_.push_back(entry.function);
    evaluators_.clear();
    evaluators_.resize(curves_.size());
    stepsCurve_ = -1;
    if (curve_ >= static_cast<int>(curves_.size())) {
        Leave();
        return;
    }
    if (Active())
        MoveTo(values_.variable);
}

void Trace::MoveTo(double v)
{
    values_ = Evaluator(curve_).At(v);
    snapped_.reset();
    snappedIndex_ = -1;
}

void Trace::SnapTo(const RemarkablePoint& point, int index)
{
    values_ = Evaluator(curve_).At(PointVariable(point, Type()));
    // The curve is undefined at a pole or a hole, whatever the double nearest it gives (tan at
    // the double nearest pi/2 is about -6e15).
    if (point.kind == PointKind::Pole || point.kind == PointKind::Hole) {
        values_.value1 = values_.y = kNaN;
        values_.derivative1 = values_.dy = kNaN;
        values_.defined = false;
    }
    snapped_ = point;
    snappedIndex_ = index;
}

bool Trace::CursorPixel(const CFunctionsContext& c, double& px, double& py) const
{
    if (values_.defined) {
        px = c.WorldToPixelX(values_.x);
        py = c.WorldToPixelY(values_.y);
        return true;
    }
    if (!IsCartesian(curve_))
        return false;
    px = c.WorldToPixelX(values_.variable);
    py = kNaN;
    return true;
}

void Trace::SnapNear(const CFunctionsContext& c, const RemarkableSet& marks)
{
    double cx = 0, cy = 0;
    if (!Compiled() || !CursorPixel(c, cx, cy))
        return;
    const std::vector<RemarkablePoint>& points = marks.PointsOn(curve_);
    int nearest = -1;
    double best = std::numeric_limits<double>::infinity();
    for (size_t k = 0; k < points.size(); ++k) {
        const double px = c.WorldToPixelX(points[k].x);
        const double py = c.WorldToPixelY(points[k].y);
        // Where either has no height (a pole, an undefined cursor), only x can tell.
        const double d = std::isfinite(cy) && std::isfinite(py) ? std::hypot(px - cx, py - cy)
                                                                : std::fabs(px - cx);
        if (d <= kSnapPixels && d < best) { // of points at one place, the first listed
            best = d;
            nearest = static_cast<int>(k);
        }
    }
    if (nearest >= 0)
        SnapTo(points[static_cast<size_t>(nearest)], nearest);
}

const std::vector<Trace::PlottedStep>& Trace::Steps(const CFunctionsContext& c)
{
    const CWorkingArea& a = c.area;
    const double view[4] = {a.viewXMin, a.viewXMax, a.viewYMin, a.viewYMax};
    if (stepsCurve_ == curve_ && std::equal(view, view + 4, stepsView_)
        && stepsWidth_ == c.screenWidth && stepsHeight_ == c.screenHeight)
        return steps_;
    steps_.clear();
    stepsCurve_ = curve_;
    std::copy(view, view + 4, stepsView_);
    stepsWidth_ = c.screenWidth;
    stepsHeight_ = c.screenHeight;
    // The parameter values the sampler plots: accumulated steps over the curve's interval.
    const CFunction& f = curves_[static_cast<size_t>(curve_)];
    const double start = f.paramMin;
    const double end = f.paramMax;
    double step = (end - start) / f.iterations;
    if (!(end > start))
        return steps_;
    if (step > 0 && (end - start) / step > kMaxSamplesPerCurve)
        step = (end - start) / kMaxSamplesPerCurve;
    CurveEvaluator& e = Evaluator(curve_);
    for (double v = start;;) {
        double x = 0, y = 0;
        const bool defined = e.PointAt(v, x, y);
        steps_.push_back(
            {v, defined ? c.WorldToPixelX(x) : kNaN, defined ? c.WorldToPixelY(y) : kNaN, defined});
        const double next = v + step;
        if (!(next > v))
            break;
        v = next;
        if (!(v < end))
            break;
    }
    return steps_;
}

void Trace::PlaceAt(const CFunctionsContext& c, double px, double py)
{
    if (IsCartesian(curve_)) {
        MoveTo(c.area.viewXMin + (c.area.viewXMax - c.area.viewXMin) * px / c.screenWidth);
        return;
    }
    const std::vector<PlottedStep>& steps = Steps(c);
    const PlottedStep* nearest = nullptr;
    double best = std::numeric_limits<double>::infinity();
    for (const PlottedStep& s : steps) {
        if (!s.defined)
            continue;
        const double d
            = std::isfinite(py) ? SquaredDistance(s.px, s.py, px, py) : std::fabs(s.px - px);
        if (d < best) {
            best = d;
            nearest = &s;
        }
    }
    if (nearest != nullptr)
        MoveTo(nearest->v);
    else
        MoveTo(curves_[static_cast<size_t>(curve_)].paramMin);
}

void Trace::Follow(const CFunctionsContext& c, PixelPoint p, const RemarkableSet& marks)
{
    Refresh(c);
    if (!Active())
        return;
    PlaceAt(c, p.x, p.y);
    SnapNear(c, marks);
}

void Trace::Step(const CFunctionsContext& c, int direction, const RemarkableSet& marks)
{
    Refresh(c);
    if (!Compiled())
        return;
    const double v = values_.variable;
    const std::vector<RemarkablePoint>& points = marks.PointsOn(curve_);
    const CurveType type = Type();
    // The first remarkable point beyond the cursor in the direction of the move.
    int ahead = -1;
    for (size_t k = 0; k < points.size(); ++k) {
        const double pv = PointVariable(points[k], type);
        if (direction * (pv - v) <= 0)
            continue;
        if (ahead < 0
            || direction * (pv - PointVariable(points[static_cast<size_t>(ahead)], type)) < 0)
            ahead = static_cast<int>(k);
    }
    const RemarkablePoint* next = ahead >= 0 ? &points[static_cast<size_t>(ahead)] : nullptr;

    if (IsCartesian(curve_)) {
        // A column the cursor was put on comes back from the mapping a few ulps off.
        double cx = c.WorldToPixelX(v);
        if (std::fabs(cx - std::round(cx)) < 1e-6)
            cx = std::round(cx);
        double column = direction > 0 ? std::floor(cx) + 1 : std::ceil(cx) - 1;
        column = std::clamp(column, 0.0, static_cast<double>(c.screenWidth));
        if (column == cx || !std::isfinite(column))
            return;
        if (next != nullptr && direction * (c.WorldToPixelX(next->x) - column) <= kSnapPixels) {
            SnapTo(*next, ahead);
            return;
        }
        MoveTo(c.area.viewXMin + (c.area.viewXMax - c.area.viewXMin) * column / c.screenWidth);
        return;
    }

    const std::vector<PlottedStep>& steps = Steps(c);
    // The first plotted step beyond the cursor, then on until the point is another pixel.
    std::ptrdiff_t k = -1;
    const auto count = static_cast<std::ptrdiff_t>(steps.size());
    if (direction > 0) {
        for (std::ptrdiff_t i = 0; i < count && k < 0; ++i)
            if (steps[static_cast<size_t>(i)].v > v)
                k = i;
    } else {
        for (std::ptrdiff_t i = count - 1; i >= 0 && k < 0; --i)
            if (steps[static_cast<size_t>(i)].v < v)
                k = i;
    }
    if (k < 0)
        return;
    double cx = 0, cy = 0;
    if (CursorPixel(c, cx, cy)) {
        const auto samePixel = [&](const PlottedStep& s) {
            return s.defined && std::lround(s.px) == std::lround(cx)
                && std::lround(s.py) == std::lround(cy);
        };
        while (
            samePixel(steps[static_cast<size_t>(k)]) && k + direction >= 0 && k + direction < count)
            k += direction;
    }
    const PlottedStep& target = steps[static_cast<size_t>(k)];
    if (next != nullptr) {
        const double pv = next->parameter;
        const bool passed = direction * (pv - target.v) <= 0;
        const bool near = target.defined
            && std::hypot(
                   c.WorldToPixelX(next->x) - target.px, c.WorldToPixelY(next->y) - target.py)
                <= kSnapPixels;
        if (passed || near) {
            SnapTo(*next, ahead);
            return;
        }
    }
    MoveTo(target.v);
}

void Trace::SwitchCurve(const CFunctionsContext& c, int direction, const RemarkableSet& marks)
{
    Refresh(c);
    const int n = static_cast<int>(curves_.size());
    if (!Active() || n == 0) {
        Leave();
        return;
    }
    double cx = kNaN, cy = kNaN;
    const bool placed = CursorPixel(c, cx, cy);
    double x = values_.defined ? values_.x : kNaN;
    if (std::isnan(x) && IsCartesian(curve_))
        x = values_.variable;
    curve_ = ((curve_ + direction) % n + n) % n;
    snapped_.reset();
    snappedIndex_ = -1;
    if (IsCartesian(curve_)) {
        if (std::isnan(x))
            x = (c.area.viewXMin + c.area.viewXMax) / 2;
        MoveTo(x);
    } else {
        if (!placed)
            cx = c.screenWidth / 2.0;
        PlaceAt(c, cx, cy);
    }
    SnapNear(c, marks);
}

Trace::Jump Trace::JumpToPoint(int direction, const RemarkableSet& marks)
{
    if (!Compiled())
        return Jump::NoPoint;
    const std::vector<RemarkablePoint>& points = marks.PointsOn(curve_);
    const int n = static_cast<int>(points.size());
    if (n == 0)
        return marks.Known(curve_) ? Jump::NoPoint : Jump::Pending;
    int k = -1;
    if (snapped_ && snappedIndex_ >= 0 && snappedIndex_ < n
        && SamePoint(points[static_cast<size_t>(snappedIndex_)], *snapped_)) {
        k = ((snappedIndex_ + direction) % n + n) % n;
    } else {
        const double v = values_.variable;
        const CurveType type = Type();
        if (direction > 0) {
            for (int i = 0; i < n && k < 0; ++i)
                if (PointVariable(points[static_cast<size_t>(i)], type) > v)
                    k = i;
            if (k < 0)
                k = 0;
        } else {
            for (int i = n - 1; i >= 0 && k < 0; --i)
                if (PointVariable(points[static_cast<size_t>(i)], type) < v)
                    k = i;
            if (k < 0)
                k = n - 1;
        }
    }
    SnapTo(points[static_cast<size_t>(k)], k);
    return Jump::Moved;
}

std::string Trace::StatusText() const
{
    if (!Active())
        return {};
    return TraceStatusText(curve_, Type(), values_, snapped_ ? &*snapped_ : nullptr, tangent_);
}
