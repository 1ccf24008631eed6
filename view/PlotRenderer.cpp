#include "view/PlotRenderer.h"

#include <cmath>
#include <cstdint>

#include "model/CFunctionsContext.h"
#include "platform/CLocale.h"
#include "platform/Numeric.h"
#include "view/PlotCache.h"
#include "view/PlotOverlay.h"

namespace {

constexpr Argb kBlack = 0xFF000000;
constexpr Argb kWhite = 0xFFFFFFFF;
constexpr float kPenWidth = 1.0f;
constexpr const char* kLabelFamily = "Arial";

// A manual count can ask for any number of graduation values; beyond this many the grid is a
// solid fill anyway, so the walk stops there instead of running for minutes.
constexpr int64_t kMaxGraduationValues = 100000;

// Sizes of arrows, ticks and labels, from the target's dots per inch.
struct Sizes {
    float s;
    int k2, k4, k5, k6, k9;
};

Sizes SizesFor(int dpi)
{
    const float s = static_cast<float>(dpi) / 96.0f;
    return Sizes {s, platform::TruncToInt32(s + s), platform::TruncToInt32(4 * s),
        platform::TruncToInt32(5 * s), platform::TruncToInt32(6 * s),
        platform::TruncToInt32(9.5f * s)};
}

// The graduation step along one axis of the given pixel length.
double GraduationStep(const CSettingsAxis& axis, double range, int pixels, float s, double count)
{
    if (!axis.autoGraduation)
        return range / count;
    double step = SnapStep(range / (pixels / (s * 300.0f)), 10);
    if (std::fabs(step) <= 0.01 || std::fabs(step) >= 1000)
        step = SnapStep(range / (pixels / 500.0), 10); // 500 is not scaled by s
    return step;
}

int64_t GraduationValues(double range, double step)
{
    const int64_t n = platform::TruncToInt32(std::floor(range / step));
    return std::min<int64_t>(n + 2, kMaxGraduationValues);
}

bool Contains(double min, double v, double max)
{
    return min <= v && v <= max;
}

} // namespace

void PrepareSurface(CFunctionsContext& context, int width, int height, int dpi)
{
    context.screenWidth = width;
    context.screenHeight = height;
    context.dpi = dpi;
    context.area.Normalise(width, height);
}

double SnapStep(double raw, double base)
{
    const double e = std::log(raw) / std::log(base);
    const double f = std::floor(e);
    const double p = std::pow(base, f);
    const double frac = std::fabs(f - e);
    if (frac <= 0.35)
        return p * 0.2;
    if (frac <= 0.65)
        return p * 0.5;
    return p;
}

void DrawAxes(Graphics& g, const CFunctionsContext& context)
{
    const CWorkingArea& a = context.area;
    const CSettingsAxis& axis = context.axis;
    const int w = context.screenWidth;
    const int h = context.screenHeight;
    const Sizes k = SizesFor(context.dpi);
    const auto X = [&](double v) { return platform::ToFloat(context.WorldToPixelX(v)); };
    const auto Y = [&](double v) { return platform::ToFloat(context.WorldToPixelY(v)); };
    const float x0 = X(0);
    const float y0 = Y(0);
    const float fw = static_cast<float>(w);
    const float fh = static_cast<float>(h);

    if (axis.drawAxes) {
        const Pen pen {ToArgb(axis.axesColour), kPenWidth};
        // Both axes are drawn even when 0 lies outside the view.
        g.DrawLine(pen, 0, y0, fw, y0);
        g.DrawLine(pen, x0, 0, x0, fh);
        if (axis.drawUnitVectors) {
            if (Contains(a.viewXMin, 1, a.viewXMax) && Contains(a.viewYMin, 0, a.viewYMax)) {
                const float tx = X(1);
                g.DrawLine(pen, tx, y0, tx - k.k6, y0 - k.k2);
                g.DrawLine(pen, tx, y0, tx - k.k6, y0 + k.k2);
            }
            if (Contains(a.viewYMin, 1, a.viewYMax) && Contains(a.viewXMin, 0, a.viewXMax)) {
                const float ty = Y(1);
                g.DrawLine(pen, x0, ty, x0 - k.k2, ty + k.k6);
                g.DrawLine(pen, x0, ty, x0 + k.k2, ty + k.k6);
            }
        }
        if (axis.drawAxisEnds) {
            if (Contains(a.viewYMin, 0, a.viewYMax)) {
                g.DrawLine(pen, fw, y0, fw - k.k6, y0 - k.k2);
                g.DrawLine(pen, fw, y0, fw - k.k6, y0 + k.k2);
            }
            if (Contains(a.viewXMin, 0, a.viewXMax)) {
                g.DrawLine(pen, x0, 0, x0 - k.k2, static_cast<float>(k.k6));
                g.DrawLine(pen, x0, 0, x0 + k.k2, static_cast<float>(k.k6));
            }
        }
    }

    if (!axis.graduate && !axis.drawGrid)
        return;
    const Font font {kLabelFamily, static_cast<float>(k.k9)};
    const bool hasFont = g.HasFontFamily(kLabelFamily);
    const Pen tickPen {ToArgb(axis.axesColour), kPenWidth};
    const Pen gridPen {ToArgb(axis.gridColour, DrawnGridAlpha(axis.gridAlpha)), kPenWidth};

    // x graduation: ticks and labels under the x axis, vertical grid lines.
    {
        const bool labels = axis.graduate && Contains(a.viewYMin, 0, a.viewYMax);
        const double range = a.viewXMax - a.viewXMin;
        const double step = GraduationStep(axis, range, w, k.s, axis.xGraduationCount);
        double v = std::floor(a.viewXMin / step) * step;
        const int64_t values = GraduationValues(range, step);
        for (int64_t i = 0; i < values; ++i) {
            const float px = X(v);
            // No tick or label at the origin; the grid line is drawn there too.
            if (std::fabs(v / step) > 1e-8 && labels) {
                g.DrawLine(tickPen, px, y0, px, y0 + k.k4);
                if (hasFont) {
                    const std::string text = platform::CFormat("%G", v);
                    const float top = y0 + k.k4 + k.k5;
                    const TextSize size = g.MeasureString(text, font, px, top);
                    g.DrawString(text, font, px - size.width * 0.5f, top, kBlack);
                }
            }
            if (axis.drawGrid)
                g.DrawLine(gridPen, px, Y(a.viewYMin), px, Y(a.viewYMax));
            v = v + step;
        }
    }

    // y graduation: ticks and labels left of the y axis, horizontal grid lines.
    {
        const bool labels = axis.graduate && Contains(a.viewXMin, 0, a.viewXMax);
        const double range = a.viewYMax - a.viewYMin;
        const double step = GraduationStep(axis, range, h, k.s, axis.yGraduationCount);
        double v = std::floor(a.viewYMin / step) * step;
        const int64_t values = GraduationValues(range, step);
        for (int64_t i = 0; i < values; ++i) {
            const float py = Y(v);
            if (std::fabs(v / step) > 1e-8 && labels) {
                g.DrawLine(tickPen, x0, py, x0 - k.k4, py);
                if (hasFont) {
                    const std::string text = platform::CFormat("%G", v);
                    const float right = x0 - k.k4 - k.k5;
                    const TextSize size = g.MeasureString(text, font, right, py);
                    g.DrawString(text, font, right - size.width, py - size.height * 0.5f, kBlack);
                }
            }
            if (axis.drawGrid)
                g.DrawLine(gridPen, X(a.viewXMin), py, X(a.viewXMax), py);
            v = v + step;
        }
    }
}

namespace {

void DrawCurve(Graphics& g, const CFunctionsContext& context, int32_t colour,
    const std::vector<PlotPoint>& points)
{
    const Pen pen {ToArgb(colour), kPenWidth};
    if (context.params.joinedLines) {
        PlotPoint last {0, 0, false};
        bool lastDown = false;
        for (const PlotPoint& p : points) {
            if (p.penDown) {
                if (lastDown)
                    g.DrawLine(pen, last.x, last.y, p.x, p.y);
                last = p;
            }
            lastDown = p.penDown;
        }
    } else {
        // Each point as a one-pixel diagonal dash.
        for (const PlotPoint& p : points)
            if (p.penDown)
                g.DrawLine(pen, p.x - 0.5f, p.y - 0.5f, p.x + 0.5f, p.y + 0.5f);
    }
}

} // namespace

void DrawFunctions(
    Graphics& g, CFunctionsContext& context, const PlotPointsObserver& observer, PlotCache* cache)
{
    if (cache != nullptr) {
        const std::vector<std::vector<PlotPoint>>& all = cache->PointsFor(context);
        for (int i = 0; i < context.GetCount(); ++i) {
            if (observer)
                observer(i, all[static_cast<size_t>(i)]);
            DrawCurve(g, context, context.GetAt(i).function.colour, all[static_cast<size_t>(i)]);
        }
        return;
    }
    std::vector<PlotPoint> points;
    for (int i = 0; i < context.GetCount(); ++i) {
        CFunctionEntry& entry = context.GetAt(i);
        points.clear();
        SampleFunction(entry, context, points);
        if (observer)
            observer(i, points);
        DrawCurve(g, context, entry.function.colour, points);
    }
}

void RenderTo(
    Graphics& g, CFunctionsContext& context, const PlotPointsObserver& observer, PlotCache* cache)
{
    g.SetSmoothingMode(context.params.antialias ? SmoothingMode::AntiAlias : SmoothingMode::None);
    DrawAxes(g, context);
    DrawFunctions(g, context, observer, cache);
}

void DrawPlot(Graphics& g, CFunctionsContext& context, const PlotSurface& surface,
    const PlotPointsObserver& observer, PlotCache* cache)
{
    switch (surface.medium) {
    case Medium::Screen:
        g.SetSmoothingMode(
            context.params.antialias ? SmoothingMode::AntiAlias : SmoothingMode::None);
        g.SetPageUnit(PageUnit::Pixel);
        g.SetPageScale(1.0f);
        PrepareSurface(context, surface.width, surface.height, surface.dpi);
        DrawAxes(g, context);
        DrawFunctions(g, context, observer, cache);
        break;
    case Medium::Printer: {
        // The page's size, dpi and view stay on the page: the window's mouse coordinates and
        // the next save still use the screen's.
        CFunctionsContext page = context;
        DrawPlot(g, page,
            {Medium::Screen, surface.width, surface.height, surface.dpi, surface.overlay},
            observer);
        return;
    }
    case Medium::File:
        g.Clear(kWhite);
        PrepareSurface(context, surface.width, surface.height, surface.dpi);
        RenderTo(g, context, observer, cache);
        break;
    case Medium::Document:
        PrepareSurface(context, surface.width, surface.height, surface.dpi);
        RenderTo(g, context, observer, cache);
        break;
    case Medium::LastScreen:
        g.Clear(kWhite);
        RenderTo(g, context, observer, cache);
        break;
    }
    if (surface.overlay != nullptr)
        DrawOverlay(g, context, *surface.overlay);
}
