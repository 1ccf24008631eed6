#pragma once

// The plot on one printed page, at the printer's resolution, from a copy of the model: printing
// never changes what the window shows or what the next save stores.

class CFunctionsContext;
class QPrinter;
struct PlotOverlay;

// Draws the page on printer (a print, a preview page or a PDF file), with overlay over the plot
// when given. Returns false when the printer cannot be painted on.
bool PrintPlot(QPrinter& printer, CFunctionsContext& context, const PlotOverlay* overlay = nullptr);
