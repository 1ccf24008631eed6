#include "ui/Printing.h"

#include <QPageLayout>
#include <QPainter>
#include <QPrinter>

#include "ui/QtGraphics.h"
#include "view/PlotRenderer.h"

bool PrintPlot(QPrinter& printer, CFunctionsContext& context, const PlotOverlay* overlay)
{
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    // The printable area in device pixels; the painter's origin is its top-left corner.
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    {
        QtGraphics graphics(painter);
        DrawPlot(graphics, context,
            {Medium::Printer, page.width(), page.height(), printer.logicalDpiX(), overlay});
    }
    return painter.end();
}
