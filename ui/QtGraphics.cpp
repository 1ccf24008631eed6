#include "ui/QtGraphics.h"

#include <cmath>

#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QLineF>
#include <QPaintEngine>
#include <QPainter>
#include <QPen>
#include <QString>

#include "ui/Cp1252Text.h"

namespace {

// The renderer's coordinates put pixel centres on whole numbers, as the original drawing library
// does by default; Qt puts them half a pixel further. Without this shift a line at a whole
// coordinate would light two rows at half strength.
constexpr qreal kPixelCentre = 0.5;

// The bitmaps of the figures drawn lately on this thread, by figure, scale and phase (about a
// kilobyte each). A view draws a few kinds of marks in a few colours, thousands of times.
constexpr qsizetype kMaxFigureCopies = 4096;

// A figure's centre is placed to a quarter of a device pixel: a bitmap per phase.
constexpr int kPhases = 4;

QByteArray FigureKey(const Figure& figure, qreal scale, QPoint phase)
{
    QByteArray key;
    const auto add = [&key](const auto& v) {
        key.append(reinterpret_cast<const char*>(&v), static_cast<qsizetype>(sizeof v));
    };
    add(scale);
    add(phase);
    for (const Pen& pen : figure.pens) {
        add(pen.colour);
        add(pen.width);
    }
    for (const auto& line : figure.polylines) {
        add(line.size());
        for (const auto& [x, y] : line) {
            add(x);
            add(y);
        }
    }
    return key;
}

// The figure drawn at scale device pixels a unit, its centre phase quarters of a pixel right of
// and below the corner of its middle pixel.
QImage FigureBitmap(const Figure& figure, qreal scale, QPoint phase)
{
    float reach = 0;
    for (const auto& line : figure.polylines)
        for (const auto& [x, y] : line)
            reach = std::max({reach, std::fabs(x), std::fabs(y)});
    float widest = 0;
    for (const Pen& pen : figure.pens)
        widest = std::max(widest, pen.width);
    const double extent = (reach + widest / 2.0) * scale;
    if (!std::isfinite(extent) || extent > 256)
        return {};
    const int half = static_cast<int>(std::ceil(extent)) + 1;
    QImage bitmap(2 * half + 1, 2 * half + 1, QImage::Format_ARGB32_Premultiplied);
    bitmap.fill(Qt::transparent);
    QPainter p(&bitmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(half + static_cast<qreal>(phase.x()) / kPhases,
        half + static_cast<qreal>(phase.y()) / kPhases);
    p.scale(scale, scale);
    for (const Pen& pen : figure.pens) {
        QPen qpen(QColor::fromRgba(pen.colour));
        qpen.setWidthF(pen.width);
        qpen.setCapStyle(Qt::FlatCap); // as the chains of lines are drawn
        p.setPen(qpen);
        for (const auto& line : figure.polylines) {
            QPolygonF polyline;
            for (const auto& [x, y] : line)
                polyline.append(QPointF(x, y));
            p.drawPolyline(polyline);
        }
    }
    return bitmap;
}

} // namespace

QtGraphics::QtGraphics(QPainter& painter)
    : painter_(painter), base_(painter.transform()),
      antialias_(painter.testRenderHint(QPainter::Antialiasing))
{
    ApplyPageTransform();
}

QtGraphics::~QtGraphics()
{
    Flush();
}

void QtGraphics::Flush()
{
    if (chain_.isEmpty())
        return;
    if (chain_.size() == 2 && FillAsRectangle(chain_[0], chain_[1], chainPen_)) {
        chain_.clear();
        return;
    }
    QPen qpen(QColor::fromRgba(chainPen_.colour));
    qpen.setWidthF(chainPen_.width);
    qpen.setCapStyle(Qt::FlatCap);
    painter_.setPen(qpen);
    if (chain_.size() == 2)
        painter_.drawLine(QLineF(chain_[0], chain_[1]));
    else
        painter_.drawPolyline(chain_);
    chain_.clear();
}

bool QtGraphics::FillAsRectangle(const QPointF& a, const QPointF& b, const Pen& pen)
{
    // Grid lines and axes: on a raster surface without scaling, a horizontal or vertical line of
    // width 1 between whole coordinates covers exactly the rectangle around it, and the raster
    // engine fills a rectangle several times faster than it strokes a line (the tests compare
    // the pixels of both). Elsewhere, and in vector files, lines stay lines.
    const auto isWhole = [](qreal v) { return v == std::floor(v); };
    const QTransform t = painter_.deviceTransform();
    // Whole coordinates must land on pixel centres: only the centre shift, or that and whole
    // pixels more.
    if (painter_.paintEngine() == nullptr || painter_.paintEngine()->type() != QPaintEngine::Raster
        || t.type() > QTransform::TxTranslate || !isWhole(t.dx() - kPixelCentre)
        || !isWhole(t.dy() - kPixelCentre))
        return false;
    if (pen.width != 1.0f || !isWhole(a.x()) || !isWhole(a.y()) || !isWhole(b.x())
        || !isWhole(b.y()) || (a.x() != b.x() && a.y() != b.y()) || a == b)
        return false;
    const QRectF rect = a.x() == b.x()
        ? QRectF(a.x() - 0.5, std::min(a.y(), b.y()), 1, std::fabs(b.y() - a.y()))
        : QRectF(std::min(a.x(), b.x()), a.y() - 0.5, std::fabs(b.x() - a.x()), 1);
    painter_.fillRect(rect, QColor::fromRgba(pen.colour));
    return true;
}

void QtGraphics::SetSmoothingMode(SmoothingMode mode)
{
    Flush();
    antialias_ = mode == SmoothingMode::AntiAlias;
    painter_.setRenderHint(QPainter::Antialiasing, antialias_);
    painter_.setRenderHint(QPainter::TextAntialiasing, antialias_);
}

void QtGraphics::SetPageUnit(PageUnit)
{
    // Pixels are the only page unit: the renderer asks for nothing else, and world units are not
    // a page unit the original drawing library accepts either.
}

void QtGraphics::SetPageScale(float scale)
{
    Flush();
    if (!std::isfinite(scale) || scale <= 0)
        return;
    scale_ = scale;
    ApplyPageTransform();
}

void QtGraphics::ApplyPageTransform()
{
    // Over the transform the painter came with (a printer's, a window's), never in its place.
    painter_.setTransform(QTransform::fromScale(scale_, scale_)
        * QTransform::fromTranslate(kPixelCentre, kPixelCentre) * base_);
}

void QtGraphics::Clear(Argb colour)
{
    Flush();
    QPaintDevice* device = painter_.device();
    if (device == nullptr)
        return;
    painter_.save();
    painter_.resetTransform();
    // Clearing replaces the pixels, alpha included, where the engine can do so.
    if (painter_.paintEngine() != nullptr
        && painter_.paintEngine()->hasFeature(QPaintEngine::PorterDuff))
        painter_.setCompositionMode(QPainter::CompositionMode_Source);
    painter_.fillRect(QRect(0, 0, device->width(), device->height()), QColor::fromRgba(colour));
    painter_.restore();
}

void QtGraphics::DrawLine(const Pen& pen, float x1, float y1, float x2, float y2)
{
    // A degenerate view can bring NaN or infinite coordinates here; there is nothing to draw.
    if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2)) {
        Flush();
        return;
    }
    // Exact: a line continues the chain only if it starts where the last one ended.
    const bool continues
        = !chain_.isEmpty() && pen == chainPen_ && x1 == chainEndX_ && y1 == chainEndY_;
    if (!continues) {
        Flush();
        chainPen_ = pen;
        chain_.append(QPointF(x1, y1));
    }
    chain_.append(QPointF(x2, y2));
    chainEndX_ = x2;
    chainEndY_ = y2;
}

void QtGraphics::DrawFigure(const Figure& figure, float x, float y)
{
    if (!CopyFigure(figure, x, y))
        Graphics::DrawFigure(figure, x, y);
}

bool QtGraphics::CopyFigure(const Figure& figure, float x, float y)
{
    // Only smoothed, on a raster surface scaled alike on both axes: there a copy of the bitmap
    // gives the pixels that stroking the lines again would (the centre placed to an eighth of a
    // device pixel), for the cost of a copy instead of a stroke per line.
    if (!antialias_ || !std::isfinite(x) || !std::isfinite(y) || painter_.paintEngine() == nullptr
        || painter_.paintEngine()->type() != QPaintEngine::Raster)
        return false;
    const QTransform device = painter_.deviceTransform();
    if (device.type() > QTransform::TxScale || device.m11() != device.m22() || !(device.m11() > 0))
        return false;
    Flush();
    const qreal scale = device.m11();
    // The corner of the centre's pixel, and where in it the centre lies, in quarters.
    const QPointF centre = device.map(QPointF(x, y));
    const auto split = [](qreal v, int& phase) {
        qreal whole = std::floor(v);
        phase = static_cast<int>(std::lround((v - whole) * kPhases));
        if (phase == kPhases) {
            phase = 0;
            whole += 1;
        }
        return whole;
    };
    QPoint phase;
    const QPointF pixel(split(centre.x(), phase.rx()), split(centre.y(), phase.ry()));
    thread_local QHash<QByteArray, QImage> copies;
    const QByteArray key = FigureKey(figure, scale, phase);
    auto found = copies.constFind(key);
    if (found == copies.cend()) {
        if (copies.size() >= kMaxFigureCopies)
            copies.clear();
        found = copies.insert(key, FigureBitmap(figure, scale, phase));
    }
    const QImage& bitmap = *found;
    if (bitmap.isNull())
        return false;
    const int half = bitmap.width() / 2;
    const QPointF corner(pixel.x() - half, pixel.y() - half);
    // The device rectangle, in the coordinates the painter takes: changing its transform for
    // each copy would cost more than the copy.
    const QPointF at = device.inverted().map(corner);
    if (scale == 1) {
        painter_.drawImage(at, bitmap);
    } else {
        painter_.drawImage(
            QRectF(at, QSizeF(bitmap.width() / scale, bitmap.height() / scale)), bitmap);
    }
    return true;
}

bool QtGraphics::HasFontFamily(const std::string& family)
{
    // fontconfig substitutes a family it lacks by a metric-compatible one (Arial becomes
    // Liberation Sans): what matters is that the font Qt settles on is installed.
    const QFontInfo resolved(QFont(FromCp1252(family)));
    return !resolved.family().isEmpty() && QFontDatabase::hasFamily(resolved.family());
}

bool QtGraphics::ToQFont(const Font& font, QFont& out) const
{
    // The renderer's em sizes are whole pixels; a fractional one is rounded, as QFont keeps pixel
    // sizes whole. Below half a pixel there is no font, and labels are not drawn.
    if (!std::isfinite(font.emSize) || font.emSize < 0.5f || font.emSize > 1e6f)
        return false;
    out = QFont(FromCp1252(font.family));
    out.setPixelSize(static_cast<int>(std::lround(font.emSize)));
    out.setStyle(QFont::StyleNormal);
    out.setWeight(QFont::Normal);
    // The render hint alone does not stop fontconfig from smoothing glyphs.
    if (!antialias_)
        out.setStyleStrategy(QFont::NoAntialias);
    return true;
}

TextSize QtGraphics::MeasureString(const std::string& text, const Font& font, float, float)
{
    QFont qfont;
    if (!ToQFont(font, qfont))
        return {0, 0};
    const QFontMetricsF metrics(qfont, painter_.device());
    // The layout box: the advance of the text by one line's height.
    return {static_cast<float>(metrics.horizontalAdvance(FromCp1252(text))),
        static_cast<float>(metrics.height())};
}

void QtGraphics::DrawString(const std::string& text, const Font& font, float x, float y, Argb brush)
{
    Flush();
    QFont qfont;
    if (!ToQFont(font, qfont) || !std::isfinite(x) || !std::isfinite(y))
        return;
    const QFontMetricsF metrics(qfont, painter_.device());
    painter_.setFont(qfont);
    painter_.setPen(QColor::fromRgba(brush));
    // (x, y) is the top-left corner of the layout box, whose baseline lies one ascent lower.
    painter_.drawText(QPointF(x, y + metrics.ascent()), FromCp1252(text));
}
