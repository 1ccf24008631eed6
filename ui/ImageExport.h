#pragma once

// The drawing of a document written to an image file: a PNG bitmap on white, or the same drawing
// as SVG or PDF vector output. A QGuiApplication must exist (see QtRuntime).

#include <string>

#include "view/PlotRenderer.h"

class CFunctionsContext;

enum class ImageFormat { Png, Svg, Pdf };

// Measures the surface (PrepareSurface), draws the plot on white with RenderTo, and writes the
// file through a temporary, so that a failure leaves no partial file and an existing file is
// replaced whole. On failure returns false with a French message naming the file and the reason.
bool ExportDrawing(const std::string& path, ImageFormat format, CFunctionsContext& context,
    int width, int height, int dpi, const PlotPointsObserver& observer, std::string& error);
