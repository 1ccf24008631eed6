#pragma once

// The drawing of a document written to an image file: a PNG bitmap on white, or the same drawing
// as SVG or PDF vector output. A QGuiApplication must exist (see QtRuntime).

#include <string>

#include "view/PlotRenderer.h"

class CFunctionsContext;

enum class ImageFormat { Png, Svg, Pdf };

// Draws the plot on white on the surface (Medium::File: measured at the given size; LastScreen:
// a picture of the given size, or the last paint's, drawn with the view and dpi of the last
// screen paint), and writes the file through a temporary, so
// that a failure leaves no partial file and an existing file is replaced whole. On failure
// returns false with a French message naming the file and the reason.
bool ExportDrawing(const std::string& path, ImageFormat format, CFunctionsContext& context,
    const PlotSurface& surface, const PlotPointsObserver& observer, std::string& error);
