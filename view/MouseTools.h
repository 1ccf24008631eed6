#pragma once

// The mouse tools of the plot view, without any window: the one-shot zoom and translation tools
// and the pan, with their state, and the arithmetic of every tool, wheel zoom and pan included.
// Each changes the displayed range and the stored working area together.

#include "model/CWorkingArea.h"

struct PixelPoint {
    int x = 0;
    int y = 0;
    bool operator==(const PixelPoint&) const = default;
};

enum class Tool { None = 0, ZoomIn = 1, ZoomOut = 2, Translation = 3 };
enum class BandKind { None = 0, Line = 1, Rectangle = 2 };

enum class ToolOutcome {
    Changed,
    Unchanged, // a translation of zero length: nothing happens
    Refused, // a rectangle without width or height: the zoom tools say so
};

// Zooms in on the rectangle of corners a and b (pixels of a w x h surface).
ToolOutcome ZoomIn(CWorkingArea& area, int w, int h, PixelPoint a, PixelPoint b);
// Shrinks the current view into the rectangle of corners a and b.
ToolOutcome ZoomOut(CWorkingArea& area, int w, int h, PixelPoint a, PixelPoint b);
// Moves the plot by the line from anchor to current: the plot follows the mouse.
ToolOutcome Translate(CWorkingArea& area, int w, int h, PixelPoint anchor, PixelPoint current);

// Zooms by 1.25 per notch (a fraction of a notch zooms proportionally; negative notches zoom out)
// about the point (px, py), which stays under the pointer. Refuses (Unchanged) a zoom whose ranges
// would stop being finite numbers a plot can be drawn with.
ToolOutcome WheelZoom(CWorkingArea& area, int w, int h, double px, double py, double notches);

// The buttons the tools tell apart.
enum class MouseButton { Left, Middle, Other };

// What the pointer over the view looks like.
enum class PointerShape { Arrow, ZoomIn, ZoomOut, Translation, ClosedHand, Cross };

// What the left button does when no one-shot tool is armed. A mode stays until another is chosen.
enum class DragMode {
    Pan, // drags the plot
    Trace, // picks the curve to trace; the middle button still pans
};

// What a button going up asks of the view.
struct ButtonUp {
    enum Kind {
        Ignored, // not the tools' button
        ToolUsed, // run tool with anchor and current
        PanEnded, // the pan is over; moved tells whether the area differs from before
    };
    Kind kind = Ignored;
    Tool tool = Tool::None;
    CWorkingArea before; // PanEnded: the area when the pan started
    bool moved = false;
};

// The tool state of the view, without any window: the one-shot tools (armed by their command, used
// by one drag with the left button, then idle again), the persistent drag mode, and the pan that a
// drag with the left button (in the pan mode, no tool armed) or with the middle button does. The
// view hands it every mouse event and does what the answer says.
class ToolState {
public:
    void Arm(Tool tool);
    // Disarms without using the tool.
    void Cancel();

    bool IsArmed() const { return bandKind != BandKind::None; }
    bool IsDragging() const { return dragging; }
    bool IsPanning() const { return panButton_ != MouseButton::Other; }
    DragMode Mode() const { return mode_; }
    void SetMode(DragMode mode) { mode_ = mode; }

    // The left button went down at p; returns true when it starts a band.
    bool Press(PixelPoint p);
    // Every move, with or without a tool.
    void Move(PixelPoint p) { current = p; }
    // The left button went up: the tool to use with anchor and current (None when nothing was
    // armed). The state is idle afterwards.
    Tool Release();

    // ---- the view's events ----
    // A button went down at p, over area. True when the tools take it (a band or a pan starts).
    bool ButtonDown(MouseButton button, PixelPoint p, const CWorkingArea& area);
    // The pointer moved to p. A pan moves area with it, on a surface of w x h pixels. True when
    // the view must repaint (the band or the plot moved).
    bool PointerMoved(PixelPoint p, CWorkingArea& area, int w, int h);
    // A button went up at p.
    ButtonUp ButtonReleased(MouseButton button, PixelPoint p, const CWorkingArea& area);
    // Escape puts an armed tool down, unless its band is being dragged. True when it did.
    bool EscapePressed();
    // The wheel does not zoom under a pan.
    bool WheelZooms() const { return !IsPanning(); }
    // Whether button going down (and not taken by ButtonDown) picks the curve to trace.
    bool PicksCurve(MouseButton button) const
    {
        return mode_ == DragMode::Trace && button == MouseButton::Left && !IsArmed();
    }
    PointerShape Pointer() const;

    BandKind bandKind = BandKind::None;
    Tool tool = Tool::None;
    PixelPoint anchor;
    PixelPoint current;
    bool dragging = false;

private:
    DragMode mode_ = DragMode::Pan;
    // The button that pans (Other: none), where it went down and the area then.
    MouseButton panButton_ = MouseButton::Other;
    PixelPoint panStart_;
    CWorkingArea panArea_;
};

// Runs tool with the anchor and current points of a band.
ToolOutcome RunTool(
    Tool tool, CWorkingArea& area, int w, int h, PixelPoint anchor, PixelPoint current);
