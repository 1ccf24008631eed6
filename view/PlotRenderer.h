#pragma once

// The plot: axes with their arrows, graduation ticks, number labels and grid, then every curve.
// The same drawing serves the window, the printer and every exported file. Everything is
// recomputed at each drawing.

#include <functional>
#include <vector>

#include "model/Sampler.h"
#include "view/Graphics.h"

class CFunctionsContext;

// Receives the plot points of each curve as it is drawn (curve index, points).
using PlotPointsObserver = std::function<void(int, const std::vector<PlotPoint>&)>;

// Measures the target: stores its size and horizontal dots per inch in the context, then
// normalises the working area for that size.
void PrepareSurface(CFunctionsContext& context, int width, int height, int dpi);

// 0.2, 0.5 or 1 times a power of base, between about a tenth and a half of raw.
double SnapStep(double raw, double base);

void DrawAxes(Graphics& g, const CFunctionsContext& context);
void DrawFunctions(
    Graphics& g, CFunctionsContext& context, const PlotPointsObserver& observer = {});

// Smoothing from the parameters, then axes, then curves. The surface must have been prepared.
void RenderTo(Graphics& g, CFunctionsContext& context, const PlotPointsObserver& observer = {});

// The whole drawing of a window or a printed page: page unit pixel, scale 1, PrepareSurface,
// then RenderTo.
void DrawPlot(Graphics& g, CFunctionsContext& context, int width, int height, int dpi,
    const PlotPointsObserver& observer = {});
