#pragma once

// The plot: axes with their arrows, graduation ticks, number labels and grid, then every curve.
// DrawPlot is the one way to draw it: the window, the printer, "Export PNG..." and every file
// written from the command line only say which surface they draw on.

#include <cstdint>
#include <functional>
#include <vector>

#include "model/Sampler.h"
#include "view/Graphics.h"

class CFunctionsContext;
class PlotCache;
struct PlotOverlay;

// Receives the plot points of each curve as it is drawn (curve index, points).
using PlotPointsObserver = std::function<void(int, const std::vector<PlotPoint>&)>;

// The surfaces a plot is drawn on, each with its own way of measuring and clearing.
enum class Medium {
    // The window: measured at every paint; drawn over what the window's background left.
    Screen,
    // A printed page, measured at the printer's resolution. Drawn from a copy of the model, so
    // that the window keeps its own surface size, dpi and view.
    Printer,
    // A picture written from the command line: measured, on opaque white.
    File,
    // A document written from the command line: measured and sampled, drawn nowhere useful; the
    // document then stores the surface it was drawn for.
    Document,
    // "Export PNG...": on opaque white, not measured: it uses the surface, view and dpi that the
    // last screen paint left in the model.
    LastScreen,
};

struct PlotSurface {
    Medium medium = Medium::Screen;
    int width = 0; // ignored by LastScreen
    int height = 0;
    int dpi = 96;
    // What the view shows over the plot and the document does not hold (the marks, the tangent),
    // drawn last when given; the caller keeps it.
    const PlotOverlay* overlay = nullptr;
};

// Measures the target: stores its size and horizontal dots per inch in the context, then
// normalises the working area for that size.
void PrepareSurface(CFunctionsContext& context, int width, int height, int dpi);

// The opacity the grid is drawn with: the low byte of the stored transparency, whatever the
// rest of it holds.
inline uint8_t DrawnGridAlpha(int32_t gridAlpha)
{
    return static_cast<uint8_t>(gridAlpha & 0xFF);
}

// 0.2, 0.5 or 1 times a power of base, between about a tenth and a half of raw.
double SnapStep(double raw, double base);

void DrawAxes(Graphics& g, const CFunctionsContext& context);
// Samples every curve (or takes its points from cache when nothing they depend on changed) and
// draws it.
void DrawFunctions(Graphics& g, CFunctionsContext& context, const PlotPointsObserver& observer = {},
    PlotCache* cache = nullptr);

// Smoothing from the parameters, then axes, then curves. The surface must have been prepared.
void RenderTo(Graphics& g, CFunctionsContext& context, const PlotPointsObserver& observer = {},
    PlotCache* cache = nullptr);

// The whole drawing of a plot on one medium, and the surface's overlay over it.
void DrawPlot(Graphics& g, CFunctionsContext& context, const PlotSurface& surface,
    const PlotPointsObserver& observer = {}, PlotCache* cache = nullptr);
