#pragma once

// The mouse tools of the plot view, without any window: the one-shot zoom and translation tools
// with their state (idle, armed, dragging), and the arithmetic of every tool, wheel zoom and pan
// included. Each changes the displayed range and the stored working area together.

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

// The one-shot tool state of the view. A tool is armed by its command, used by one drag with the
// left button, then the view is idle again.
class ToolState {
public:
    void Arm(Tool tool);
    // Disarms without using the tool.
    void Cancel();

    bool IsArmed() const { return bandKind != BandKind::None; }
    bool IsDragging() const { return dragging; }

    // The left button went down at p; returns true when it starts a band.
    bool Press(PixelPoint p);
    // Every move, with or without a tool.
    void Move(PixelPoint p) { current = p; }
    // The left button went up: the tool to use with anchor and current (None when nothing was
    // armed). The state is idle afterwards.
    Tool Release();

    BandKind bandKind = BandKind::None;
    Tool tool = Tool::None;
    PixelPoint anchor;
    PixelPoint current;
    bool dragging = false;
};

// Runs tool with the anchor and current points of a band.
ToolOutcome RunTool(
    Tool tool, CWorkingArea& area, int w, int h, PixelPoint anchor, PixelPoint current);
