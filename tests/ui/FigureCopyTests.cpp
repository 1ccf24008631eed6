// The figures of the marks drawn through QtGraphics: on a raster surface a bitmap drawn once is
// copied to each place, and it must give the picture that stroking the figure's lines gives.

#include <algorithm>
#include <cstdlib>

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include "ui/QtGraphics.h"

namespace {

Figure Square(float a, Argb colour)
{
    Figure f;
    f.polylines = {{{-a, -a}, {a, -a}, {a, a}, {-a, a}, {-a, -a}}, {{0, -a}, {0, a}}};
    f.pens = {{0xFFFFFFFF, 3.5f}, {colour, 1.5f}};
    return f;
}

Figure Triangle(float a, Argb colour)
{
    Figure f;
    f.polylines = {{{0, -1.3f * a}, {a, 0.8f * a}, {-a, 0.8f * a}, {0, -1.3f * a}}};
    f.pens = {{0xFFFFFFFF, 3.5f}, {colour, 1.5f}};
    return f;
}

struct Difference {
    int largest = 0; // of a channel, 0 to 255
    int pixels = 0; // differing by more than a sixteenth
    int lit = 0; // pixels not of the background
};

Difference Compare(const QImage& a, const QImage& b, QRgb background)
{
    Difference d;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            const int channel = std::max({std::abs(qRed(p) - qRed(q)),
                std::abs(qGreen(p) - qGreen(q)), std::abs(qBlue(p) - qBlue(q))});
            d.largest = std::max(d.largest, channel);
            d.pixels += channel > 16 ? 1 : 0;
            d.lit += p != background ? 1 : 0;
        }
    return d;
}

TEST(QtGraphics, ACopiedFigureLooksAsItsStrokedLines)
{
    struct Row {
        Figure figure;
        float x, y;
        qreal ratio; // of the image: a high-dpi surface
        int shiftX, shiftY; // a translation the caller set
    };
    const Row rows[] = {
        {Square(4, 0xFF2050C0), 20, 20, 1, 0, 0},
        {Triangle(4, 0xFFC03030), 31, 17, 1, 0, 0},
        {Triangle(4, 0x80C03030), 12, 25, 1, 7, 3}, // faint, under a translation
        {Square(4, 0xFF2050C0), 20, 20, 2, 0, 0},
        {Triangle(6, 0xFF000000), 23, 19, 2, 0, 0},
        {Square(4, 0xFF2050C0), 20.25f, 19.75f, 1, 0, 0}, // between pixels: to an eighth
        {Triangle(4, 0xFFC03030), 20.4f, 19.1f, 2, 0, 0},
    };
    for (const Row& r : rows) {
        const auto draw = [&](bool copy) {
            QImage image(static_cast<int>(48 * r.ratio), static_cast<int>(40 * r.ratio),
                QImage::Format_RGB32);
            image.setDevicePixelRatio(r.ratio);
            image.fill(0xFFE0E0E0);
            QPainter painter(&image);
            painter.translate(r.shiftX, r.shiftY);
            QtGraphics g(painter);
            g.SetSmoothingMode(SmoothingMode::AntiAlias);
            if (copy)
                g.DrawFigure(r.figure, r.x, r.y);
            else
                g.Graphics::DrawFigure(r.figure, r.x, r.y); // line by line
            g.Flush();
            painter.end();
            return image;
        };
        const QImage stroked = draw(false);
        const QImage copied = draw(true);
        const Difference d = Compare(copied, stroked, 0xFFE0E0E0);
        EXPECT_GT(d.lit, 20) << r.x << ", " << r.y << " at " << r.ratio;
        // The same shapes at the same places: only the rounding of blended edges differs.
        EXPECT_LE(d.largest, 24) << r.x << ", " << r.y << " at " << r.ratio;
        EXPECT_LE(d.pixels, d.lit / 10) << r.x << ", " << r.y << " at " << r.ratio;
    }
}

TEST(QtGraphics, FiguresOffARasterOrUnsmoothedAreStrokedAsLines)
{
    // Without smoothing a copy would differ from the stroked lines: it is not used.
    const Figure f = Square(4, 0xFF000000);
    const auto draw = [&](bool copy) {
        QImage image(40, 40, QImage::Format_RGB32);
        image.fill(0xFFFFFFFF);
        QPainter painter(&image);
        QtGraphics g(painter);
        g.SetSmoothingMode(SmoothingMode::None);
        if (copy)
            g.DrawFigure(f, 20, 20);
        else
            g.Graphics::DrawFigure(f, 20, 20);
        g.Flush();
        painter.end();
        return image;
    };
    EXPECT_EQ(draw(true), draw(false));
}

} // namespace
