#include "view/PlotOverlay.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <unordered_map>
#include <unordered_set>

#include "model/CFunctionsContext.h"
#include "model/CurveKind.h"
#include "view/TraceText.h"

namespace {

constexpr Argb kHalo = 0xFFFFFFFF;
constexpr Argb kCrosshairLines = 0x90505050;
// The shading of undecided ranges: the curve's colour, faint.
constexpr uint8_t kShadeAlpha = 0x40;
// A mark the search only found numerically is drawn fainter than a proven one.
constexpr uint8_t kLikelyAlpha = 0x80;
// Coordinates beyond this many pixels are not drawn: the surface is far smaller.
constexpr double kFar = 1e6;

// The sizes, in pixels at 96 dpi, scaled with the surface's dpi.
struct OverlaySizes {
    float mark; // half the width of a mark
    float markPen;
    float halo;
    float shade; // the width of the shading
    float dash;
    float gap;
    float tangentPen;
};

OverlaySizes SizesAt(int dpi)
{
    const float s = static_cast<float>(dpi) / 96.0f;
    return {4 * s, 1.5f * s, 3.5f * s, 6 * s, 6 * s, 4 * s, 1.5f * s};
}

// A pole has no height: its mark stands on the x axis, kept inside the surface.
double PoleRow(const CFunctionsContext& c, const OverlaySizes& k)
{
    const double margin = 2.0 * k.mark;
    return std::clamp(c.WorldToPixelY(0), margin, std::max(margin, c.screenHeight - margin));
}

// The shading of Cartesian ranges runs along the x axis, or along the edge it lies beyond.
double BandRow(const CFunctionsContext& c, const OverlaySizes& k)
{
    const double half = k.shade / 2.0;
    return std::clamp(c.WorldToPixelY(0), half, std::max(half, c.screenHeight - half));
}

// From the pixel p to the segment a-b of the plane, in pixels.
double SegmentDistance(const CFunctionsContext& c, WorldPoint a, WorldPoint b, PixelPoint p)
{
    const double ax = c.WorldToPixelX(a.x), ay = c.WorldToPixelY(a.y);
    const double dx = c.WorldToPixelX(b.x) - ax, dy = c.WorldToPixelY(b.y) - ay;
    const double length = dx * dx + dy * dy;
    const double t
        = length > 0 ? std::clamp(((p.x - ax) * dx + (p.y - ay) * dy) / length, 0.0, 1.0) : 0;
    return std::hypot(ax + t * dx - p.x, ay + t * dy - p.y);
}

bool Near(double v)
{
    return std::isfinite(v) && std::fabs(v) < kFar;
}

float F(double v)
{
    return static_cast<float>(v);
}

// Builds a figure's polylines, as offsets from its centre.
class Outline {
public:
    explicit Outline(Figure& figure) : figure_(figure) { }
    void Chain(std::initializer_list<std::pair<float, float>> points)
    {
        figure_.polylines.emplace_back(points);
    }
    void Circle(float r)
    {
        constexpr int kSides = 12;
        std::vector<std::pair<float, float>> ring;
        for (int i = 0; i <= kSides; ++i) {
            const double a = 2 * std::numbers::pi * i / kSides;
            ring.emplace_back(F(r * std::cos(a)), F(r * std::sin(a)));
        }
        figure_.polylines.push_back(std::move(ring));
    }

private:
    Figure& figure_;
};

// The shape that tells a mark's kind, a jump's spanning its two limits (yRight below the centre
// when positive); the pens are the caller's.
Figure MarkFigure(PointKind kind, float yRight, float a)
{
    Figure figure;
    Outline s(figure);
    const float b = 1.3f * a;
    switch (kind) {
    case PointKind::Root:
    case PointKind::AxisX:
        s.Chain({{-a, -a}, {a, -a}, {a, a}, {-a, a}, {-a, -a}});
        break;
    case PointKind::AxisY:
        s.Chain({{-a, -a}, {a, -a}, {a, a}, {-a, a}, {-a, -a}});
        s.Chain({{0, -a}, {0, a}});
        break;
    case PointKind::Origin:
        s.Chain({{-a, -a}, {a, -a}, {a, a}, {-a, a}, {-a, -a}, {a, a}});
        s.Chain({{-a, a}, {a, -a}});
        break;
    case PointKind::Maximum:
        s.Chain({{0, -b}, {a, 0.8f * a}, {-a, 0.8f * a}, {0, -b}});
        break;
    case PointKind::Minimum:
        s.Chain({{0, b}, {a, -0.8f * a}, {-a, -0.8f * a}, {0, b}});
        break;
    case PointKind::Inflection:
        s.Chain({{0, -b}, {b, 0}, {0, b}, {-b, 0}, {0, -b}});
        break;
    case PointKind::Intersection:
        s.Chain({{-a, -a}, {a, a}});
        s.Chain({{-a, a}, {a, -a}});
        break;
    case PointKind::Pole:
        s.Chain({{-a, -b}, {a, -b}});
        s.Chain({{0, -b}, {0, b}});
        s.Chain({{-a, b}, {a, b}});
        break;
    case PointKind::Hole:
        s.Circle(a);
        break;
    case PointKind::Jump:
        if (!std::isfinite(yRight)) {
            s.Circle(a);
            break;
        }
        // The left limit with a tick to the left, the right one with a tick to the right.
        s.Chain({{-a, 0}, {0, 0}, {0, yRight}, {a, yRight}});
        break;
    case PointKind::Edge:
        s.Chain({{-a, 0}, {a, 0}});
        s.Chain({{0, -a}, {0, a}});
        break;
    }
    return figure;
}

void DrawBands(
    Graphics& g, const CFunctionsContext& c, const PlotOverlay& overlay, const OverlaySizes& k)
{
    const double w = c.screenWidth;
    const double row = BandRow(c, k);
    if (!std::isfinite(row))
        return;
    struct Span {
        int32_t colour;
        double x1, x2;
    };
    std::vector<Span> spans;
    for (const PlotOverlay::Band& band : overlay.bands) {
        double x1 = std::clamp(c.WorldToPixelX(band.lo), -1.0, w + 1);
        double x2 = std::clamp(c.WorldToPixelX(band.hi), -1.0, w + 1);
        if (!std::isfinite(x1) || !std::isfinite(x2))
            continue;
        if (x2 - x1 < 1) { // however narrow, it shows
            x1 -= 0.5;
            x2 = x1 + 1;
        }
        spans.push_back({band.colour, x1, x2});
    }
    // A curve's ranges that meet are shaded as one: evenly, and in one stroke.
    std::sort(spans.begin(), spans.end(), [](const Span& a, const Span& b) {
        return a.colour != b.colour ? a.colour < b.colour : a.x1 < b.x1;
    });
    for (size_t i = 0; i < spans.size();) {
        Span merged = spans[i];
        for (++i; i < spans.size() && spans[i].colour == merged.colour && spans[i].x1 <= merged.x2;
             ++i)
            merged.x2 = std::max(merged.x2, spans[i].x2);
        g.DrawLine({ToArgb(merged.colour, kShadeAlpha), k.shade}, F(merged.x1), F(row),
            F(merged.x2), F(row));
    }
    for (const PlotOverlay::Stretch& stretch : overlay.stretches) {
        const Pen pen {ToArgb(stretch.colour, kShadeAlpha), k.shade};
        for (size_t i = 1; i < stretch.points.size(); ++i) {
            const double x1 = c.WorldToPixelX(stretch.points[i - 1].x);
            const double y1 = c.WorldToPixelY(stretch.points[i - 1].y);
            const double x2 = c.WorldToPixelX(stretch.points[i].x);
            const double y2 = c.WorldToPixelY(stretch.points[i].y);
            if (Near(x1) && Near(y1) && Near(x2) && Near(y2))
                g.DrawLine(pen, F(x1), F(y1), F(x2), F(y2));
        }
    }
}

void DrawMarks(
    Graphics& g, const CFunctionsContext& c, const PlotOverlay& overlay, const OverlaySizes& k)
{
    const double w = c.screenWidth;
    const double h = c.screenHeight;
    const double margin = 2.0 * k.mark;
    const double poleRow = PoleRow(c, k);
    // Marks of the same kind and curve closer than two pixels would draw over each other; where
    // a curve has thousands of points (sin(1/x) near 0), drawing them all would cost frames.
    std::unordered_set<uint64_t> drawn;
    std::unordered_map<uint64_t, Figure> figures;
    for (const PlotOverlay::Mark& m : overlay.marks) {
        const double x = c.WorldToPixelX(m.x);
        const double y = m.kind == PointKind::Pole ? poleRow : c.WorldToPixelY(m.y);
        if (!std::isfinite(x) || !std::isfinite(y) || x < -margin || x > w + margin || y < -margin
            || y > h + margin)
            continue;
        const auto cellX = static_cast<uint64_t>(std::lround((x + margin) / 2)) & 0x3FFFF;
        const auto cellY = static_cast<uint64_t>(std::lround((y + margin) / 2)) & 0x3FFFF;
        const uint64_t key = (static_cast<uint64_t>(m.kind) << 60)
            | ((static_cast<uint64_t>(m.colour) & 0xFFFFFF) << 36) | (cellX << 18) | cellY;
        if (!drawn.insert(key).second)
            continue;
        const uint8_t alpha = m.status == PointStatus::Proven ? 0xFF : kLikelyAlpha;
        const std::vector<Pen> pens {{kHalo, k.halo}, {ToArgb(m.colour, alpha), k.markPen}};
        if (m.kind == PointKind::Jump) { // its own length
            const double yRight = c.WorldToPixelY(m.yRight) - y;
            Figure figure = MarkFigure(
                m.kind, Near(yRight) ? F(yRight) : std::numeric_limits<float>::quiet_NaN(), k.mark);
            figure.pens = pens;
            g.DrawFigure(figure, F(x), F(y));
            continue;
        }
        // Every mark of a kind and curve is the same figure: made once.
        const uint64_t style = (static_cast<uint64_t>(m.kind) << 40)
            | (static_cast<uint64_t>(alpha) << 32) | static_cast<uint32_t>(m.colour);
        auto found = figures.find(style);
        if (found == figures.end()) {
            Figure figure = MarkFigure(m.kind, 0, k.mark);
            figure.pens = pens;
            found = figures.emplace(style, std::move(figure)).first;
        }
        g.DrawFigure(found->second, F(x), F(y));
    }
}

void DrawTangent(
    Graphics& g, const CFunctionsContext& c, const PlotOverlay::Tangent& t, const OverlaySizes& k)
{
    const CWorkingArea& a = c.area;
    const double w = c.screenWidth;
    const double h = c.screenHeight;
    const double px = c.WorldToPixelX(t.x);
    const double py = c.WorldToPixelY(t.y);
    // The direction in pixels: rows grow downwards.
    double ux = t.dx * w / (a.viewXMax - a.viewXMin);
    double uy = t.dy * h / (a.viewYMin - a.viewYMax);
    const double length = std::hypot(ux, uy);
    if (!Near(px) || !Near(py) || !std::isfinite(length) || length == 0)
        return;
    ux /= length;
    uy /= length;
    // The part of the line inside the surface, as p + s u for s in [lo, hi].
    double lo = -std::numeric_limits<double>::infinity();
    double hi = std::numeric_limits<double>::infinity();
    const auto clip = [&](double p, double u, double max) {
        if (u == 0)
            return p >= 0 && p <= max;
        const double s0 = (0 - p) / u;
        const double s1 = (max - p) / u;
        lo = std::max(lo, std::min(s0, s1));
        hi = std::min(hi, std::max(s0, s1));
        return true;
    };
    if (!clip(px, ux, w) || !clip(py, uy, h) || !(lo < hi))
        return;
    // Dashes counted from the point of contact, so that they stay put along the line.
    const Pen pen {ToArgb(t.colour), k.tangentPen};
    const double period = k.dash + k.gap;
    for (double s = std::floor(lo / period) * period; s < hi; s += period) {
        const double s0 = std::max(s, lo);
        const double s1 = std::min(s + k.dash, hi);
        if (s1 > s0)
            g.DrawLine(pen, F(px + s0 * ux), F(py + s0 * uy), F(px + s1 * ux), F(py + s1 * uy));
    }
}

void DrawCrosshair(Graphics& g, const CFunctionsContext& c, const PlotOverlay::Crosshair& cross,
    const OverlaySizes& k)
{
    const float w = static_cast<float>(c.screenWidth);
    const float h = static_cast<float>(c.screenHeight);
    const double x = c.WorldToPixelX(cross.x);
    const double y = c.WorldToPixelY(cross.y);
    if (!Near(x))
        return;
    const Pen lines {kCrosshairLines, 1.0f};
    g.DrawLine(lines, F(x), 0, F(x), h);
    if (!Near(y))
        return;
    g.DrawLine(lines, 0, F(y), w, F(y));
    Figure ring;
    Outline(ring).Circle(k.mark);
    ring.pens = {{kHalo, k.halo}, {ToArgb(cross.colour), k.markPen}};
    g.DrawFigure(ring, F(x), F(y));
}

} // namespace

void AddMarks(PlotOverlay& overlay, const CFunctionsContext& context, const RemarkableSet& set)
{
    const int count = std::min(set.Count(), context.GetCount());
    for (int i = 0; i < count; ++i) {
        const CurveMarks* marks = set.Marks(i);
        if (marks == nullptr)
            continue;
        const CFunction& curve = context.GetAt(i).function;
        for (const RemarkablePoint& p : marks->analysis.points)
            overlay.marks.push_back({p.kind, p.status, p.x, p.y, p.yRight, curve.colour});
        const CurveKind* kind = FindCurveKind(curve.Type());
        if (kind != nullptr && RunsOverParameter(*kind)) {
            for (const UndecidedPath& path : marks->undecidedPaths)
                overlay.stretches.push_back({path.points, curve.colour});
        } else {
            for (const UndecidedRange& r : marks->analysis.undecided)
                overlay.bands.push_back({r.lo, r.hi, curve.colour});
        }
    }
}

void DrawOverlay(Graphics& g, const CFunctionsContext& context, const PlotOverlay& overlay)
{
    if (overlay.Empty() || context.screenWidth <= 0 || context.screenHeight <= 0)
        return;
    const OverlaySizes k = SizesAt(context.dpi);
    // Marks are small: without smoothing their shapes could not be told apart.
    g.SetSmoothingMode(SmoothingMode::AntiAlias);
    DrawBands(g, context, overlay, k);
    if (overlay.tangent)
        DrawTangent(g, context, *overlay.tangent, k);
    DrawMarks(g, context, overlay, k);
    if (overlay.crosshair)
        DrawCrosshair(g, context, *overlay.crosshair, k);
}

std::string OverlayToolTip(const CFunctionsContext& context, const RemarkableSet& set, PixelPoint p)
{
    const OverlaySizes k = SizesAt(context.dpi);
    const double reach = k.mark + 3;
    const int count = std::min(set.Count(), context.GetCount());
    const RemarkablePoint* nearest = nullptr;
    double best = reach;
    for (int i = 0; i < count; ++i) {
        const CurveMarks* marks = set.Marks(i);
        if (marks == nullptr)
            continue;
        for (const RemarkablePoint& m : marks->analysis.points) {
            const double x = context.WorldToPixelX(m.x);
            double y = m.kind == PointKind::Pole ? PoleRow(context, k) : context.WorldToPixelY(m.y);
            // A jump's mark spans its two limits.
            if (m.kind == PointKind::Jump && std::isfinite(m.yRight)) {
                const double yRight = context.WorldToPixelY(m.yRight);
                y = std::clamp(static_cast<double>(p.y), std::min(y, yRight), std::max(y, yRight));
            }
            const double d = std::hypot(x - p.x, y - p.y);
            if (d <= best) {
                best = d;
                nearest = &m;
            }
        }
    }
    if (nearest != nullptr)
        return MarkToolTip(*nearest, context.GetAt(nearest->curve).function.Type());

    const double row = BandRow(context, k);
    for (int i = 0; i < count; ++i) {
        const CurveMarks* marks = set.Marks(i);
        if (marks == nullptr)
            continue;
        const CurveType type = context.GetAt(i).function.Type();
        const std::vector<UndecidedRange>& ranges = marks->analysis.undecided;
        if (!marks->undecidedPaths.empty()) {
            for (const UndecidedPath& path : marks->undecidedPaths) {
                for (size_t j = 1; j < path.points.size(); ++j) {
                    const double d
                        = SegmentDistance(context, path.points[j - 1], path.points[j], p);
                    if (path.range < ranges.size() && d <= k.shade / 2 + 1)
                        return UndecidedToolTip(ranges[path.range], type);
                }
            }
            continue;
        }
        const CurveKind* kind = FindCurveKind(type);
        if (kind != nullptr && RunsOverParameter(*kind))
            continue;
        if (std::fabs(p.y - row) > k.shade / 2 + 1)
            continue;
        for (const UndecidedRange& r : ranges)
            if (p.x >= context.WorldToPixelX(r.lo) - 1 && p.x <= context.WorldToPixelX(r.hi) + 1)
                return UndecidedToolTip(r, type);
    }
    return {};
}
