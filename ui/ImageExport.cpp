#include "ui/ImageExport.h"

#include <cmath>
#include <string>
#include <vector>

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include "model/CFunctionsContext.h"
#include "platform/FileIO.h"
#include "platform/LargeBuffer.h"
#include "platform/PngEncoder.h"
#include "ui/QtGraphics.h"
#include "ui/SerialRaster.h"

namespace {

constexpr double kMetresPerInch = 0.0254;
constexpr double kPointsPerInch = 72.0;

// The size of the picture, whatever the medium measures.
struct Surface {
    int width;
    int height;
    int dpi;
};

void Draw(QPainter& painter, CFunctionsContext& context, const PlotSurface& plot,
    const PlotPointsObserver& observer)
{
    QtGraphics graphics(painter);
    DrawPlot(graphics, context, plot, observer);
}

bool EncodePng(CFunctionsContext& context, const PlotSurface& plot, const Surface& surface,
    const PlotPointsObserver& observer, QByteArray& bytes, std::string& reason)
{
    // The pixels in huge pages where the system has them: a fresh image of small pages costs more
    // page faults than its drawing takes.
    const size_t bytesPerLine = static_cast<size_t>(surface.width) * 4;
    const platform::LargeBuffer pixels(bytesPerLine * static_cast<size_t>(surface.height));
    QImage image;
    if (pixels.data() != nullptr)
        image = QImage(pixels.data(), surface.width, surface.height,
            static_cast<qsizetype>(bytesPerLine), QImage::Format_RGB32);
    if (image.isNull()) {
        reason = "mémoire insuffisante pour une image de " + std::to_string(surface.width) + " × "
            + std::to_string(surface.height) + " pixels";
        return false;
    }
    PaintSerially([&] {
        QPainter painter(&image);
        Draw(painter, context, plot, observer);
    });
    const auto dotsPerMetre = static_cast<uint32_t>(std::lround(surface.dpi / kMetresPerInch));
    const std::vector<uint8_t> png
        = platform::EncodePng({reinterpret_cast<const uint32_t*>(image.constBits()), image.width(),
            image.height(), static_cast<size_t>(image.bytesPerLine()) / 4, dotsPerMetre});
    if (png.empty()) {
        reason = "encodage PNG impossible";
        return false;
    }
    bytes
        = QByteArray(reinterpret_cast<const char*>(png.data()), static_cast<qsizetype>(png.size()));
    return true;
}

bool EncodeSvg(CFunctionsContext& context, const PlotSurface& plot, const Surface& surface,
    const PlotPointsObserver& observer, QByteArray& bytes, std::string& reason)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(QSize(surface.width, surface.height));
    generator.setViewBox(QRect(0, 0, surface.width, surface.height));
    generator.setResolution(surface.dpi);
    generator.setTitle(QStringLiteral("Curvana"));
    QPainter painter;
    if (!painter.begin(&generator)) {
        reason = "encodage SVG impossible";
        return false;
    }
    Draw(painter, context, plot, observer);
    if (!painter.end()) {
        reason = "encodage SVG impossible";
        return false;
    }
    return true;
}

bool EncodePdf(CFunctionsContext& context, const PlotSurface& plot, const Surface& surface,
    const PlotPointsObserver& observer, QByteArray& bytes, std::string& reason)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(surface.dpi);
    writer.setCreator(QStringLiteral("Curvana"));
    writer.setTitle(QStringLiteral("Curvana"));
    // One page of the surface's size at its resolution, without margins. PDF pages are measured
    // in whole points, so the page is exact when the size in points is whole (any multiple of
    // four pixels at 96 dpi).
    const QSizeF points(surface.width * kPointsPerInch / surface.dpi,
        surface.height * kPointsPerInch / surface.dpi);
    const QPageSize page(points, QPageSize::Point, QString(), QPageSize::ExactMatch);
    if (!writer.setPageLayout(
            QPageLayout(page, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0), QPageLayout::Point))) {
        reason = "taille de page PDF impossible";
        return false;
    }
    QPainter painter;
    if (!painter.begin(&writer)) {
        reason = "encodage PDF impossible";
        return false;
    }
    Draw(painter, context, plot, observer);
    if (!painter.end()) {
        reason = "encodage PDF impossible";
        return false;
    }
    return true;
}

} // namespace

bool ExportDrawing(const std::string& path, ImageFormat format, CFunctionsContext& context,
    const PlotSurface& plot, const PlotPointsObserver& observer, std::string& error)
{
    // "Export PNG..." makes a bitmap of the view's size (given, or else the last paint's) and
    // draws it with the dpi the last paint measured.
    const Surface surface = plot.medium != Medium::LastScreen
        ? Surface {plot.width, plot.height, plot.dpi}
        : plot.width > 0 && plot.height > 0
        ? Surface {plot.width, plot.height, context.dpi}
        : Surface {context.screenWidth, context.screenHeight, context.dpi};
    if (surface.width <= 0 || surface.height <= 0 || surface.dpi <= 0) {
        error = platform::FileMessage(path, "taille de dessin impossible");
        return false;
    }
    QByteArray bytes;
    std::string reason;
    bool encoded = false;
    switch (format) {
    case ImageFormat::Png:
        encoded = EncodePng(context, plot, surface, observer, bytes, reason);
        break;
    case ImageFormat::Svg:
        encoded = EncodeSvg(context, plot, surface, observer, bytes, reason);
        break;
    case ImageFormat::Pdf:
        encoded = EncodePdf(context, plot, surface, observer, bytes, reason);
        break;
    }
    if (!encoded) {
        error = platform::FileMessage(path, reason);
        return false;
    }
    if (!platform::WriteFileAtomically(
            path, bytes.constData(), static_cast<size_t>(bytes.size()), reason)) {
        error = platform::FileMessage(path, "écriture impossible : " + reason);
        return false;
    }
    return true;
}
