#include "view/MouseTools.h"

#include <algorithm>
#include <cmath>

namespace {

void SetViewAndArea(CWorkingArea& a, double xMin, double xMax, double yMin, double yMax)
{
    a.viewXMin = a.areaXMin = xMin;
    a.viewXMax = a.areaXMax = xMax;
    a.viewYMin = a.areaYMin = yMin;
    a.viewYMax = a.areaYMax = yMax;
}

bool Degenerate(PixelPoint a, PixelPoint b)
{
    return a.x == b.x || a.y == b.y;
}

// A range the mapping can still divide by, with room left between its bounds.
bool Drawable(double min, double max)
{
    const double span = max - min;
    const double magnitude = std::max(std::fabs(min), std::fabs(max));
    return std::isfinite(min) && std::isfinite(max) && std::isfinite(span) && span > 0
        && span > magnitude * 1e-12 && span < 1e300;
}

} // namespace

ToolOutcome ZoomIn(CWorkingArea& area, int w, int h, PixelPoint a, PixelPoint b)
{
    if (Degenerate(a, b))
        return ToolOutcome::Refused;
    const double x1 = area.PixelToWorldX(std::min(a.x, b.x), w);
    const double x2 = area.PixelToWorldX(std::max(a.x, b.x), w);
    const double y1 = area.PixelToWorldY(std::max(a.y, b.y), h);
    const double y2 = area.PixelToWorldY(std::min(a.y, b.y), h);
    SetViewAndArea(area, x1, x2, y1, y2);
    return ToolOutcome::Changed;
}

ToolOutcome ZoomOut(CWorkingArea& area, int w, int h, PixelPoint a, PixelPoint b)
{
    if (Degenerate(a, b))
        return ToolOutcome::Refused;
    // The old range then occupies the fractions o to m of the new one (rows from the top for y).
    const double m = static_cast<double>(std::max(a.x, b.x)) / w;
    const double o = static_cast<double>(std::min(a.x, b.x)) / w;
    const double t = (1 - o) * m - o * (1 - m);
    const double xMin = (area.viewXMin * m - area.viewXMax * o) / t;
    const double xMax = (area.viewXMax * (1 - o) - area.viewXMin * (1 - m)) / t;
    const double M = static_cast<double>(std::max(a.y, b.y)) / h;
    const double A = static_cast<double>(std::min(a.y, b.y)) / h;
    const double B = (1 - A) * M - A * (1 - M);
    const double yMin = (area.viewYMin * M - area.viewYMax * A) / B;
    const double yMax = (area.viewYMax * (1 - A) - area.viewYMin * (1 - M)) / B;
    SetViewAndArea(area, xMin, xMax, yMin, yMax);
    return ToolOutcome::Changed;
}

ToolOutcome Translate(CWorkingArea& area, int w, int h, PixelPoint anchor, PixelPoint current)
{
    const double dx = (current.x - anchor.x) * (area.viewXMax - area.viewXMin) / w;
    const double dy = (current.y - anchor.y) * (area.viewYMax - area.viewYMin) / h;
    if (dx == 0 && dy == 0)
        return ToolOutcome::Unchanged;
    SetViewAndArea(
        area, area.viewXMin - dx, area.viewXMax - dx, area.viewYMin + dy, area.viewYMax + dy);
    return ToolOutcome::Changed;
}

ToolOutcome WheelZoom(CWorkingArea& area, int w, int h, double px, double py, double notches)
{
    if (w <= 0 || h <= 0 || !std::isfinite(notches) || notches == 0)
        return ToolOutcome::Unchanged;
    const double factor = std::pow(1.25, notches);
    const double x = area.viewXMin + (area.viewXMax - area.viewXMin) * px / w;
    const double y = area.viewYMax + (area.viewYMin - area.viewYMax) * py / h;
    const double xMin = x - (x - area.viewXMin) / factor;
    const double xMax = x + (area.viewXMax - x) / factor;
    const double yMin = y - (y - area.viewYMin) / factor;
    const double yMax = y + (area.viewYMax - y) / factor;
    if (!Drawable(xMin, xMax) || !Drawable(yMin, yMax))
        return ToolOutcome::Unchanged;
    SetViewAndArea(area, xMin, xMax, yMin, yMax);
    return ToolOutcome::Changed;
}

void ToolState::Arm(Tool newTool)
{
    tool = newTool;
    switch (newTool) {
    case Tool::ZoomIn:
    case Tool::ZoomOut:
        bandKind = BandKind::Rectangle;
        break;
    case Tool::Translation:
        bandKind = BandKind::Line;
        break;
    case Tool::None:
        bandKind = BandKind::None;
        break;
    }
    dragging = false;
}

void ToolState::Cancel()
{
    bandKind = BandKind::None;
    tool = Tool::None;
    dragging = false;
}

bool ToolState::Press(PixelPoint p)
{
    if (!IsArmed())
        return false;
    anchor = current = p;
    dragging = true;
    return true;
}

Tool ToolState::Release()
{
    // Armed but released without a press in the view: the tool still runs, with the last points.
    const Tool used = IsArmed() ? tool : Tool::None;
    Cancel();
    return used;
}

bool ToolState::ButtonDown(MouseButton button, PixelPoint p, const CWorkingArea& area)
{
    if (button == MouseButton::Left && IsArmed())
        return Press(p);
    bool pans = false;
    switch (mode_) {
    case DragMode::Pan:
        pans = button == MouseButton::Left || button == MouseButton::Middle;
        break;
    case DragMode::Trace:
        pans = button == MouseButton::Middle;
        break;
    }
    if (!pans || IsPanning() || IsDragging())
        return false;
    panButton_ = button;
    panStart_ = p;
    panArea_ = area;
    return true;
}

bool ToolState::PointerMoved(PixelPoint p, CWorkingArea& area, int w, int h)
{
    Move(p);
    bool repaint = IsDragging(); // the band over the kept plot: nothing is sampled
    if (IsPanning()) {
        CWorkingArea moved = panArea_;
        area = Translate(moved, w, h, panStart_, p) == ToolOutcome::Changed ? moved : panArea_;
        repaint = true;
    }
    return repaint;
}

ButtonUp ToolState::ButtonReleased(MouseButton button, PixelPoint p, const CWorkingArea& area)
{
    ButtonUp up;
    if (button == MouseButton::Left && IsArmed()) {
        Move(p);
        up.kind = ButtonUp::ToolUsed;
        up.tool = Release();
        return up;
    }
    if (button != panButton_ || !IsPanning())
        return up;
    panButton_ = MouseButton::Other;
    up.kind = ButtonUp::PanEnded;
    up.before = panArea_;
    up.moved = area.areaXMin != panArea_.areaXMin || area.areaXMax != panArea_.areaXMax
        || area.areaYMin != panArea_.areaYMin || area.areaYMax != panArea_.areaYMax;
    return up;
}

bool ToolState::EscapePressed()
{
    if (!IsArmed() || IsDragging())
        return false;
    Cancel();
    return true;
}

PointerShape ToolState::Pointer() const
{
    if (IsPanning())
        return PointerShape::ClosedHand;
    switch (IsArmed() ? tool : Tool::None) {
    case Tool::ZoomIn:
        return PointerShape::ZoomIn;
    case Tool::ZoomOut:
        return PointerShape::ZoomOut;
    case Tool::Translation:
        return PointerShape::Translation;
    case Tool::None:
        break;
    }
    return mode_ == DragMode::Trace ? PointerShape::Cross : PointerShape::Arrow;
}

ToolOutcome RunTool(
    Tool tool, CWorkingArea& area, int w, int h, PixelPoint anchor, PixelPoint current)
{
    switch (tool) {
    case Tool::ZoomIn:
        return ZoomIn(area, w, h, anchor, current);
    case Tool::ZoomOut:
        return ZoomOut(area, w, h, anchor, current);
    case Tool::Translation:
        return Translate(area, w, h, anchor, current);
    case Tool::None:
        break;
    }
    return ToolOutcome::Unchanged;
}
