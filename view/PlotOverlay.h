#pragma once

// What the view draws over the plot and the document does not hold: the marks of the remarkable
// points, the shading of the ranges their search left undecided, the trace's crosshair and the
// tangent. All in world coordinates, so that every medium draws them at its own scale through
// DrawPlot, and the window over its kept plot image.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/RemarkablePoints.h"
#include "view/Graphics.h"
#include "view/MouseTools.h"
#include "view/RemarkableSet.h"

class CFunctionsContext;

struct PlotOverlay {
    struct Mark {
        PointKind kind = PointKind::Root;
        PointStatus status = PointStatus::Proven;
        double x = 0;
        double y = 0; // NaN for a pole
        double yRight = 0; // a jump's right limit
        int32_t colour = 0; // the curve's, 0x00BBGGRR
    };
    // An undecided x range of a Cartesian curve, shaded along the x axis.
    struct Band {
        double lo = 0;
        double hi = 0;
        int32_t colour = 0;
    };
    // An undecided stretch of a parametric or polar curve, shaded along the curve.
    struct Stretch {
        std::vector<WorldPoint> points;
        int32_t colour = 0;
    };
    // The tangent: the line through (x, y) along (dx, dy).
    struct Tangent {
        double x = 0;
        double y = 0;
        double dx = 0;
        double dy = 0;
        int32_t colour = 0;
    };
    // The trace cursor at (x, y); y is NaN where the curve is undefined, and only x is marked.
    struct Crosshair {
        double x = 0;
        double y = 0;
        int32_t colour = 0;
    };

    std::vector<Mark> marks;
    std::vector<Band> bands;
    std::vector<Stretch> stretches;
    std::optional<Tangent> tangent;
    std::optional<Crosshair> crosshair;

    bool Empty() const
    {
        return marks.empty() && bands.empty() && stretches.empty() && !tangent && !crosshair;
    }
};

// Adds the marks and undecided ranges of every curve of set that the context still has, in the
// curves' colours.
void AddMarks(PlotOverlay& overlay, const CFunctionsContext& context, const RemarkableSet& set);

// Draws overlay over a prepared plot (the context holds the surface and the displayed range).
// Marks outside the surface, and marks that would cover one already drawn, are skipped.
void DrawOverlay(Graphics& g, const CFunctionsContext& context, const PlotOverlay& overlay);

// The tooltip at pixel p of the context's surface: the mark nearest p within a few pixels, else
// the undecided range shaded under p; empty when there is none.
std::string OverlayToolTip(
    const CFunctionsContext& context, const RemarkableSet& set, PixelPoint p);
