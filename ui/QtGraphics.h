#pragma once

// The renderer's drawing operations over a QPainter: the window, the printer and every exported
// file (QImage, QSvgGenerator, QPdfWriter) draw through it.

#include <QPolygonF>
#include <QTransform>

#include "view/Graphics.h"

class QFont;
class QPointF;
class QPainter;
class QString;

class QtGraphics final : public Graphics {
public:
    // Draws with painter, which must be active; the painter and its device stay the caller's.
    // Sets the painter's transform: the page scale and the pixel-centre shift over the one it
    // had.
    explicit QtGraphics(QPainter& painter);
    // Draws what is still batched.
    ~QtGraphics() override;
    QtGraphics(const QtGraphics&) = delete;
    QtGraphics& operator=(const QtGraphics&) = delete;

    // Lines that continue one another with the same pen are drawn as one polyline, when the chain
    // ends: at the next call of another kind, at Flush or at destruction.
    void Flush();

    void SetSmoothingMode(SmoothingMode mode) override;
    void SetPageUnit(PageUnit unit) override;
    void SetPageScale(float scale) override;
    void Clear(Argb colour) override;
    void DrawLine(const Pen& pen, float x1, float y1, float x2, float y2) override;
    void DrawFigure(const Figure& figure, float x, float y) override;
    bool HasFontFamily(const std::string& family) override;
    TextSize MeasureString(const std::string& text, const Font& font, float x, float y) override;
    void DrawString(
        const std::string& text, const Font& font, float x, float y, Argb brush) override;

private:
    // The Qt font for a label font; false when its em size cannot make one.
    bool ToQFont(const Font& font, QFont& out) const;
    void ApplyPageTransform();
    // Draws the line as the rectangle it covers, when that gives the same pixels faster.
    bool FillAsRectangle(const QPointF& a, const QPointF& b, const Pen& pen);
    // Copies a bitmap of the figure drawn once, where that gives its picture faster.
    bool CopyFigure(const Figure& figure, float x, float y);

    QPainter& painter_;
    Pen chainPen_ {0, 0};
    QPolygonF chain_;
    float chainEndX_ = 0;
    float chainEndY_ = 0;
    QTransform base_; // the painter's own transform, under the page scale
    float scale_ = 1.0f;
    bool antialias_ = false;
};
