// Drawing through Qt: QtGraphics on a QImage, and real PNG, SVG and PDF files written by
// ExportDrawing, read back and checked pixel by pixel or parsed.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <QColor>
#include <QFont>
#include <QFontInfo>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <QString>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include "model/CurvanaDocument.h"
#include "ui/ImageExport.h"
#include "ui/QtGraphics.h"
#include "ui/QtRuntime.h"

namespace {

// The tests share one QGuiApplication, made before the first test and dropped after the last.
class QtEnvironment final : public ::testing::Environment {
public:
    void SetUp() override { runtime_ = std::make_unique<QtRuntime>(); }
    void TearDown() override { runtime_.reset(); }

private:
    std::unique_ptr<QtRuntime> runtime_;
};

[[maybe_unused]] const auto* const kQtEnvironment
    = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kDefaultCurve = 0xFF817DBC; // 0x00BC7D81 in the model
constexpr QRgb kGridColour = 0xFF102040; // 4202512 in the model

// A directory of its own for each test, removed afterwards.
class TempDir {
public:
    TempDir()
    {
        char name[] = "/tmp/curvana_ui_XXXXXX";
        path_ = mkdtemp(name);
    }
    ~TempDir() { std::filesystem::remove_all(path_); }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string File(const std::string& name) const { return path_ + "/" + name; }
    std::vector<std::string> Entries() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(path_))
            names.push_back(entry.path().filename().string());
        return names;
    }

private:
    std::string path_;
};

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

CFunctionsContext NewDocument()
{
    return CurvanaDocument().context;
}

CFunctionsContext Example(const char* name)
{
    CurvanaDocument document;
    std::string error;
    const bool loaded = document.Load(std::string(CURVANA_SOURCE_DIR) + "/examples/" + name, error);
    EXPECT_TRUE(loaded) << error;
    return document.context;
}

// The context drawn as a PNG file, read back.
QImage RenderPng(CFunctionsContext context, int width = 800, int height = 600, int dpi = 96)
{
    TempDir dir;
    const std::string path = dir.File("plot.png");
    std::string error;
    EXPECT_TRUE(ExportDrawing(
        path, ImageFormat::Png, context, {Medium::File, width, height, dpi}, {}, error))
        << error;
    QImage image(QString::fromStdString(path), "PNG");
    EXPECT_FALSE(image.isNull());
    return image;
}

// How much of colour covers a pixel drawn over white: 0 for white, 1 for the colour itself, and 0
// as well for a pixel that is not a blend of the two (black, grey, another colour).
double Coverage(QRgb pixel, QRgb colour)
{
    const int channels[3][2] = {{qRed(pixel), qRed(colour)}, {qGreen(pixel), qGreen(colour)},
        {qBlue(pixel), qBlue(colour)}};
    double low = 2, high = -1;
    for (const auto& [p, c] : channels) {
        if (255 - c < 40)
            continue; // too close to white to tell anything
        const double a = (255.0 - p) / (255.0 - c);
        low = std::min(low, a);
        high = std::max(high, a);
    }
    if (high < 0 || high - low > 0.2 || low < 0 || high > 1.1)
        return 0;
    return (low + high) / 2;
}

// Tan's colour in examples/tan.cvn: 0x00C04000.
constexpr QRgb kTanColour = 0xFF0040C0;

TEST(QtGraphics, LineAtWholeCoordinateLightsExactlyOneRow)
{
    // Pixel centres sit on whole coordinates, as in the renderer's arithmetic: a horizontal line
    // at y = 10 is one solid row, not two half-tone rows.
    QImage image(40, 20, QImage::Format_RGB32);
    image.fill(kWhite);
    QPainter painter(&image);
    QtGraphics g(painter);
    g.SetSmoothingMode(SmoothingMode::AntiAlias);
    g.DrawLine({0xFF000000, 1.0f}, 5, 10, 35, 10);
    g.Flush();
    painter.end();
    for (int x = 6; x < 34; ++x) {
        EXPECT_EQ(image.pixel(x, 10), 0xFF000000) << x;
        EXPECT_EQ(image.pixel(x, 9), kWhite) << x;
        EXPECT_EQ(image.pixel(x, 11), kWhite) << x;
    }
}

TEST(QtGraphics, NonFiniteLinesAreSkipped)
{
    constexpr float nan = std::numeric_limits<float>::quiet_NaN();
    constexpr float inf = std::numeric_limits<float>::infinity();
    struct Row {
        float x1, y1, x2, y2;
        bool drawn;
    };
    const Row rows[] = {
        {2, 2, 30, 30, true}, // the control: a finite line is drawn
        {nan, 2, 30, 30, false},
        {2, nan, 30, 30, false},
        {2, 2, inf, 30, false},
        {2, 2, 30, -inf, false},
    };
    for (const Row& r : rows) {
        QImage image(32, 32, QImage::Format_RGB32);
        image.fill(kWhite);
        QPainter painter(&image);
        QtGraphics g(painter);
        g.DrawLine({0xFF000000, 1.0f}, r.x1, r.y1, r.x2, r.y2);
        g.Flush();
        painter.end();
        bool touched = false;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                touched = touched || image.pixel(x, y) != kWhite;
        EXPECT_EQ(touched, r.drawn) << r.x1 << ' ' << r.y1 << ' ' << r.x2 << ' ' << r.y2;
    }
}

TEST(QtGraphics, JoinedLinesDrawTheSamePixelsAsSeparateOnes)
{
    // A chain with a pen change and a break in it: batching must not join across either.
    struct Segment {
        Argb colour;
        float x1, y1, x2, y2;
    };
    const Segment segments[] = {
        {0xFF000000, 2, 2, 20, 2},
        {0xFF000000, 20, 2, 20, 20},
        {0xFFFF0000, 20, 20, 2, 20}, // another pen
        {0xFFFF0000, 2, 20, 2, 8},
        {0xFFFF0000, 10, 8, 14, 14}, // starts elsewhere
        {0xFFFF0000, 14, 14, 18, 8},
    };
    const auto draw = [&](bool oneAtATime) {
        QImage image(24, 24, QImage::Format_RGB32);
        image.fill(kWhite);
        QPainter painter(&image);
        QtGraphics g(painter);
        g.SetSmoothingMode(SmoothingMode::None);
        for (const Segment& s : segments) {
            g.DrawLine({s.colour, 1.0f}, s.x1, s.y1, s.x2, s.y2);
            if (oneAtATime)
                g.Flush();
        }
        g.Flush();
        painter.end();
        return image;
    };
    const QImage batched = draw(false);
    const QImage separate = draw(true);
    int differing = 0;
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x)
            differing += batched.pixel(x, y) != separate.pixel(x, y);
    EXPECT_EQ(differing, 0);
    EXPECT_EQ(batched.pixel(11, 2), 0xFF000000u);
    EXPECT_EQ(batched.pixel(11, 20), 0xFFFF0000u);
    // No segment from the end of the third line to the start of the fifth.
    EXPECT_EQ(batched.pixel(6, 14), kWhite);
}

TEST(QtGraphics, AxisAlignedLinesLightTheSamePixelsAsStrokedOnes)
{
    // QtGraphics fills some lines as rectangles; the pixels must be those of the stroked line,
    // drawn here by QPainter itself with the renderer's pen and pixel-centre shift.
    struct Row {
        float x1, y1, x2, y2;
        Argb colour;
        bool antialias;
        int shiftX, shiftY; // a translation the caller set
    };
    const Row rows[] = {
        {10, 0, 10, 60, 0x10102040, true, 0, 0},
        {10, 60, 10, 0, 0x10102040, true, 0, 0},
        {0, 30, 80, 30, 0xFF000000, true, 0, 0},
        {80, 31, 3, 31, 0xFF336699, false, 0, 0},
        {5, 5, 5, 6, 0x80FF0000, true, 0, 0},
        {70, 12, 70, 50, 0xFF00FF00, false, 7, 3},
        {-10, 40, 200, 40, 0x40000000, true, 0, 0}, // beyond the surface
        {10.5f, 0, 10.5f, 60, 0x10102040, true, 0, 0}, // not whole: stroked anyway
        {20.25f, 7, 60.25f, 7, 0xFF000000, true, 0, 0},
    };
    for (const Row& r : rows) {
        const auto draw = [&](bool reference) {
            QImage image(90, 64, QImage::Format_RGB32);
            image.fill(kWhite);
            QPainter painter(&image);
            painter.translate(r.shiftX, r.shiftY);
            if (reference) {
                painter.setRenderHint(QPainter::Antialiasing, r.antialias);
                painter.translate(0.5, 0.5);
                QPen pen(QColor::fromRgba(r.colour));
                pen.setWidthF(1.0);
                pen.setCapStyle(Qt::FlatCap);
                painter.setPen(pen);
                painter.drawLine(QLineF(r.x1, r.y1, r.x2, r.y2));
            } else {
                QtGraphics g(painter);
                g.SetSmoothingMode(r.antialias ? SmoothingMode::AntiAlias : SmoothingMode::None);
                g.DrawLine({r.colour, 1.0f}, r.x1, r.y1, r.x2, r.y2);
            }
            painter.end();
            return image;
        };
        const QImage expected = draw(true);
        const QImage image = draw(false);
        int differing = 0, lit = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                differing += image.pixel(x, y) != expected.pixel(x, y);
                lit += image.pixel(x, y) != kWhite;
            }
        EXPECT_EQ(differing, 0) << r.x1 << ',' << r.y1 << ' ' << r.x2 << ',' << r.y2;
        EXPECT_GT(lit, 0) << r.x1 << ',' << r.y1 << ' ' << r.x2 << ',' << r.y2;
    }
}

TEST(QtGraphics, ClearFillsTheWholeDeviceAndPageScaleScales)
{
    QImage image(100, 40, QImage::Format_RGB32);
    image.fill(kWhite);
    QPainter painter(&image);
    painter.translate(7, 3); // a transform the caller set does not shift the clear
    QtGraphics g(painter);
    g.Clear(0xFF336699);
    g.SetPageUnit(PageUnit::Pixel);
    g.SetPageScale(2.0f);
    g.SetSmoothingMode(SmoothingMode::None);
    g.DrawLine({0xFFFF0000, 1.0f}, 0, 5, 40, 5); // lands on row 3 + 10, columns 7 to 87
    g.Flush();
    painter.end();
    EXPECT_EQ(image.pixel(0, 0), 0xFF336699);
    EXPECT_EQ(image.pixel(99, 39), 0xFF336699);
    EXPECT_EQ(image.pixel(80, 13), 0xFFFF0000);
    EXPECT_EQ(image.pixel(95, 13), 0xFF336699);
}

TEST(QtGraphics, LabelFontIsFoundAndTextSitsInItsMeasuredBox)
{
    QImage image(80, 60, QImage::Format_RGB32);
    image.fill(kWhite);
    QPainter painter(&image);
    QtGraphics g(painter);
    g.SetSmoothingMode(SmoothingMode::AntiAlias);
    ASSERT_TRUE(g.HasFontFamily("Arial")); // Liberation Sans stands in for it
    const Font font {"Arial", 9.0f};
    const TextSize size = g.MeasureString("-20", font, 0, 0);
    EXPECT_GT(size.width, 9.0f);
    EXPECT_LT(size.width, 30.0f);
    EXPECT_GE(size.height, 9.0f);
    EXPECT_LT(size.height, 14.0f);
    constexpr float left = 20, top = 25;
    g.DrawString("-20", font, left, top, 0xFF000000);
    painter.end();

    int dark = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const int grey = qGray(image.pixel(x, y));
            if (grey > 250)
                continue;
            // Every inked pixel lies in the layout box whose top-left corner is (left, top).
            EXPECT_GE(x, left - 1) << x << ',' << y;
            EXPECT_LE(x, left + size.width + 1) << x << ',' << y;
            EXPECT_GE(y, top - 1) << x << ',' << y;
            EXPECT_LE(y, top + size.height + 1) << x << ',' << y;
            dark += grey < 128;
        }
    }
    EXPECT_GT(dark, 10);
}

TEST(QtRuntime, LabelsAreLiberationSansWithArialsMetrics)
{
    // At 2048 pixels to the em, one pixel per unit of Arial's design: its advances and line
    // height, which Liberation Sans copies, come back exactly. Another sans serif would not.
    QImage image(8, 8, QImage::Format_RGB32);
    QPainter painter(&image);
    QtGraphics g(painter);
    ASSERT_TRUE(g.HasFontFamily("Arial"));
    EXPECT_EQ(QFontInfo(QFont(QStringLiteral("Arial"))).family().toStdString(), "Liberation Sans");
    struct Row {
        const char* text;
        float width;
    };
    for (const Row& r : {Row {"0", 1139}, Row {"7", 1139}, Row {"-", 682}, Row {".", 569},
             Row {"-20.5", 682 + 3 * 1139 + 569}}) {
        const TextSize size = g.MeasureString(r.text, {"Arial", 2048.0f}, 0, 0);
        EXPECT_EQ(size.width, r.width) << r.text;
        EXPECT_EQ(size.height, 1854 + 434) << r.text; // ascender and descender
    }
}

TEST(QtGraphics, NoFontBelowHalfAPixel)
{
    // At a very low dpi the renderer's label em size truncates to 0: no text, no failure.
    QImage image(40, 40, QImage::Format_RGB32);
    image.fill(kWhite);
    QPainter painter(&image);
    QtGraphics g(painter);
    const TextSize size = g.MeasureString("-20", {"Arial", 0.0f}, 0, 0);
    g.DrawString("-20", {"Arial", 0.0f}, 5, 5, 0xFF000000);
    painter.end();
    EXPECT_EQ(size.width, 0.0f);
    EXPECT_EQ(size.height, 0.0f);
    EXPECT_EQ(image.pixel(8, 10), kWhite);
}

TEST(PngExport, NewDocumentIsTheRequestedSizeOnOpaqueWhite)
{
    struct Row {
        int width, height, dpi;
    };
    for (const Row r : {Row {800, 600, 96}, Row {1000, 700, 96}, Row {333, 257, 192}}) {
        CFunctionsContext context = NewDocument();
        context.axis.drawGrid = false; // otherwise a grid line may touch the first column
        const QImage image = RenderPng(context, r.width, r.height, r.dpi);
        ASSERT_EQ(image.width(), r.width);
        ASSERT_EQ(image.height(), r.height);
        EXPECT_EQ(image.dotsPerMeterX(), std::lround(r.dpi / 0.0254));
        const int w = r.width - 1, h = r.height - 1;
        for (const auto& [x, y] : {std::pair {0, 0}, {w, 0}, {0, h}, {w, h}})
            EXPECT_EQ(image.pixel(x, y), kWhite)
                << r.width << 'x' << r.height << " at " << x << ',' << y;
    }
}

TEST(PngExport, DefaultCurveFollowsSinOfInverseX)
{
    // New-document view on 800 x 600: x from -22 to 18 and y from -15 to 15, 20 pixels a unit;
    // pixel column c is x = -22 + c / 20. Where sin(1/x) is smooth and clear of the x axis, the
    // curve's colour must stand on the row the curve passes through, and nowhere a few rows above
    // or below it. Grid columns are left out: the tint under the curve blurs its colour there.
    const QImage image = RenderPng(NewDocument());
    int checked = 0;
    for (int c = 0; c < 800; ++c) {
        const double x = -22 + c / 20.0;
        if (std::fabs(x) < 2.5 || std::fabs(x) > 6.5 || c % 40 == 0)
            continue;
        const double row = 300 - 20 * std::sin(1 / x);
        const int nearest = static_cast<int>(std::lround(row));
        double best = 0;
        for (int y = nearest - 1; y <= nearest + 1; ++y)
            best = std::max(best, Coverage(image.pixel(c, y), kDefaultCurve));
        EXPECT_GE(best, 0.4) << "column " << c << " row " << row;
        for (int y : {nearest - 6, nearest - 4, nearest + 4, nearest + 6})
            EXPECT_LT(Coverage(image.pixel(c, y), kDefaultCurve), 0.3)
                << "column " << c << " row " << y;
        ++checked;
    }
    EXPECT_GT(checked, 140);
}

// The longest vertical run of curve-coloured pixels in column c.
int LongestRun(const QImage& image, int c, QRgb colour)
{
    int longest = 0, run = 0;
    for (int y = 0; y < image.height(); ++y) {
        run = Coverage(image.pixel(c, y), colour) >= 0.25 ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    return longest;
}

// The tallest run tan(x) itself can light in column c of the new-document view on 800 x 600: the
// rows its continuous pieces cover within a pixel and a half on either side, merged where they
// overlap.
int AllowedRun(int c)
{
    constexpr double kPi = 3.14159265358979323846;
    const auto X = [](double column) { return -22 + column / 20; };
    const auto Row = [](double y) { return std::clamp(300 - 20 * y, -1.0, 600.0); };
    const double from = X(c - 1.5), to = X(c + 1.5);
    std::vector<double> cuts {from};
    for (double k = std::ceil(from / kPi - 0.5); (k + 0.5) * kPi < to; ++k)
        cuts.push_back((k + 0.5) * kPi);
    cuts.push_back(to);
    std::vector<std::pair<double, double>> spans; // rows, top first
    for (size_t i = 0; i + 1 < cuts.size(); ++i) {
        // tan rises across each piece: its top row is at the right end, the bottom at the left.
        const double top = i + 2 < cuts.size() ? -1.0 : Row(std::tan(cuts[i + 1]));
        const double bottom = i == 0 ? Row(std::tan(cuts[i])) : 600.0;
        spans.emplace_back(std::max(top, 0.0), std::min(bottom, 599.0));
    }
    std::sort(spans.begin(), spans.end());
    double longest = 0, start = spans[0].first, end = spans[0].second;
    for (const auto& [top, bottom] : spans) {
        if (top > end + 1) {
            longest = std::max(longest, end - start + 1);
            start = top;
        }
        end = std::max(end, bottom);
    }
    longest = std::max(longest, end - start + 1);
    return static_cast<int>(std::ceil(longest)) + 2;
}

TEST(PngExport, TanBranchesAreNotJoinedAcrossAsymptotes)
{
    struct Row {
        const char* name;
        bool antialias;
        bool searchBreakPoints;
        bool joined; // whether false vertical segments are expected
    };
    const Row rows[] = {
        {"antialiased", true, true, false},
        {"aliased", false, true, false},
        // Without the break search the sampler joins the branches: the check must see it.
        {"no break search", true, false, true},
    };
    for (const Row& r : rows) {
        CFunctionsContext context = Example("tan.cvn");
        context.axis.drawAxes = false;
        context.axis.graduate = false;
        context.axis.drawGrid = false;
        context.params.antialias = r.antialias;
        context.params.searchBreakPoints = r.searchBreakPoints;
        const QImage image = RenderPng(context);
        int joinedColumns = 0;
        for (int c = 0; c < image.width(); ++c) {
            const int run = LongestRun(image, c, kTanColour);
            const int allowed = AllowedRun(c);
            if (run > allowed) {
                ++joinedColumns;
                EXPECT_TRUE(r.joined) << r.name << ": column " << c << " has a run of " << run
                                      << " pixels, tan allows " << allowed;
            }
        }
        if (r.joined) {
            EXPECT_GT(joinedColumns, 5) << r.name;
        }
    }
}

TEST(PngExport, GridTakesItsAlphaFromGridAlpha)
{
    // x = -20 is column 40 and y = 9.5 is row 110: a vertical grid line between two horizontal
    // ones, away from the axes, labels and curve. Aliased drawing keeps the blend exact.
    for (int alpha : {0, 16, 255}) {
        CFunctionsContext context = NewDocument();
        context.axis.gridAlpha = alpha;
        context.params.antialias = false;
        const QImage image = RenderPng(context);
        const QRgb pixel = image.pixel(40, 110);
        const auto expected = [&](int channel) { return 255 + (channel - 255) * alpha / 255.0; };
        EXPECT_NEAR(qRed(pixel), expected(qRed(kGridColour)), 1.5) << alpha;
        EXPECT_NEAR(qGreen(pixel), expected(qGreen(kGridColour)), 1.5) << alpha;
        EXPECT_NEAR(qBlue(pixel), expected(qBlue(kGridColour)), 1.5) << alpha;
        if (alpha != 0)
            continue;
        // A transparent grid leaves white everything but the axes, labels and curve.
        for (int y = 0; y < 600; ++y) {
            if (y >= 270 && y < 330)
                continue; // x axis, its labels, the curve
            for (int x = 0; x < 800; ++x) {
                if (x >= 400 && x < 460)
                    continue; // y axis, its labels and arrow
                ASSERT_EQ(image.pixel(x, y), kWhite) << x << ',' << y;
            }
        }
    }
}

TEST(PngExport, AliasedDrawingHasOnlyPureColours)
{
    // Without antialiasing a pixel is the curve's colour, or white or black with at most a few
    // layers of the faint grid over it; never a blend of the curve or the label text with their
    // background.
    for (bool antialias : {false, true}) {
        CFunctionsContext context = NewDocument();
        context.params.antialias = antialias;
        const QImage image = RenderPng(context);
        int blends = 0, curve = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QRgb p = image.pixel(x, y);
                const int low = std::min({qRed(p), qGreen(p), qBlue(p)});
                const int high = std::max({qRed(p), qGreen(p), qBlue(p)});
                if (p == kDefaultCurve)
                    ++curve;
                else if (low < 220 && high > 40)
                    ++blends;
            }
        }
        EXPECT_GT(curve, antialias ? 0 : 800) << antialias;
        if (antialias) {
            EXPECT_GT(blends, 100);
        } else {
            EXPECT_EQ(blends, 0);
        }
    }
}

TEST(PngExport, FileHoldsExactlyTheDrawing)
{
    // The same plot drawn straight into an image on this thread: the file, decoded by Qt's own
    // reader, must give back every pixel of it.
    struct Row {
        const char* document; // nullptr: the new document
        int width, height, dpi;
        bool antialias;
    };
    const Row rows[] = {
        {nullptr, 800, 600, 96, true},
        {nullptr, 1920, 1080, 96, true},
        {nullptr, 1, 1, 96, true},
        {nullptr, 31, 17, 96, false},
        {"tan.cvn", 3000, 200, 192, true},
        {"tan.cvn", 640, 480, 96, false},
    };
    for (const Row& r : rows) {
        const CFunctionsContext context = r.document ? Example(r.document) : NewDocument();
        CFunctionsContext drawn = context;
        drawn.params.antialias = r.antialias;
        QImage expected(r.width, r.height, QImage::Format_RGB32);
        {
            QPainter painter(&expected);
            QtGraphics graphics(painter);
            DrawPlot(graphics, drawn, {Medium::File, r.width, r.height, r.dpi});
        }
        CFunctionsContext exported = context;
        exported.params.antialias = r.antialias;
        const QImage image
            = RenderPng(exported, r.width, r.height, r.dpi).convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(image.size(), expected.size()) << r.width << 'x' << r.height;
        int differing = 0;
        for (int y = 0; y < r.height; ++y)
            for (int x = 0; x < r.width; ++x)
                differing += image.pixel(x, y) != expected.pixel(x, y);
        EXPECT_EQ(differing, 0) << (r.document ? r.document : "new document") << ' ' << r.width
                                << 'x' << r.height;
        // Not a blank picture that would match anything blank.
        int white = 0;
        for (int y = 0; y < r.height; ++y)
            for (int x = 0; x < r.width; ++x)
                white += image.pixel(x, y) == kWhite;
        if (r.width * r.height > 100) {
            EXPECT_LT(white, r.width * r.height) << r.width << 'x' << r.height;
        }
    }
}

TEST(PngExport, ObserverSeesTheCurveAndFilesAreReplacedWhole)
{
    TempDir dir;
    const std::string path = dir.File("plot.png");
    {
        std::ofstream old(path, std::ios::binary);
        old << "an older, longer file that is not a picture at all";
    }
    CFunctionsContext context = NewDocument();
    std::vector<int> curves;
    size_t points = 0;
    const PlotPointsObserver observer = [&](int curve, const std::vector<PlotPoint>& p) {
        curves.push_back(curve);
        points = p.size();
    };
    std::string error;
    ASSERT_TRUE(ExportDrawing(
        path, ImageFormat::Png, context, {Medium::File, 800, 600, 96}, observer, error))
        << error;
    EXPECT_EQ(curves, std::vector<int> {0});
    EXPECT_GE(points, 800u);
    EXPECT_EQ(ReadFile(path).substr(0, 8), "\x89PNG\r\n\x1a\n");
    EXPECT_EQ(dir.Entries(), std::vector<std::string> {"plot.png"}); // no temporary left
}

TEST(ImageExport, UnwritablePathFailsWithAMessageAndLeavesNoFile)
{
    TempDir dir;
    const std::string inMissingDir = dir.File("missing/plot.png");
    const std::string isADir = dir.File("taken.svg");
    std::filesystem::create_directory(isADir);
    struct Row {
        std::string path;
        ImageFormat format;
    };
    for (const Row& r : {Row {inMissingDir, ImageFormat::Png}, Row {inMissingDir, ImageFormat::Pdf},
             Row {isADir, ImageFormat::Svg}}) {
        CFunctionsContext context = NewDocument();
        std::string error;
        EXPECT_FALSE(
            ExportDrawing(r.path, r.format, context, {Medium::File, 800, 600, 96}, {}, error));
        EXPECT_NE(error.find("« " + r.path + " »"), std::string::npos) << error;
        EXPECT_NE(error.find("écriture impossible"), std::string::npos) << error;
    }
    EXPECT_FALSE(std::filesystem::exists(inMissingDir));
    EXPECT_TRUE(std::filesystem::is_directory(isADir));
    EXPECT_EQ(dir.Entries(), std::vector<std::string> {"taken.svg"});
}

struct VectorSize {
    int width, height, dpi;
};

TEST(SvgExport, IsWellFormedXmlOfTheRequestedSize)
{
    for (const VectorSize s : {VectorSize {800, 600, 96}, {1000, 700, 96}, {640, 480, 192}}) {
        TempDir dir;
        const std::string path = dir.File("plot.svg");
        CFunctionsContext context = NewDocument();
        std::string error;
        ASSERT_TRUE(ExportDrawing(
            path, ImageFormat::Svg, context, {Medium::File, s.width, s.height, s.dpi}, {}, error))
            << error;
        const std::string text = ReadFile(path);
        QXmlStreamReader xml(QByteArray::fromStdString(text));
        bool root = true, curveStroke = false, label = false;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            const QXmlStreamAttributes a = xml.attributes();
            if (root) {
                root = false;
                EXPECT_EQ(xml.name(), QStringLiteral("svg"));
                EXPECT_EQ(a.value("viewBox").toString(),
                    QStringLiteral("0 0 %1 %2").arg(s.width).arg(s.height));
                // The physical size is the surface at its dpi, in millimetres.
                const QString width = a.value("width").toString();
                ASSERT_TRUE(width.endsWith("mm")) << width.toStdString();
                EXPECT_NEAR(width.chopped(2).toDouble() / 25.4 * s.dpi, s.width, 0.05);
            }
            curveStroke = curveStroke || a.value("stroke") == QStringLiteral("#817dbc");
            if (xml.name() == QStringLiteral("text"))
                label = label || xml.readElementText() == QStringLiteral("-20");
        }
        EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
        EXPECT_TRUE(curveStroke);
        EXPECT_TRUE(label);
    }
}

TEST(PdfExport, IsOnePageOfTheSurfaceSize)
{
    for (const VectorSize s : {VectorSize {800, 600, 96}, {1000, 700, 96}, {600, 900, 300}}) {
        TempDir dir;
        const std::string path = dir.File("plot.pdf");
        CFunctionsContext context = NewDocument();
        std::string error;
        ASSERT_TRUE(ExportDrawing(
            path, ImageFormat::Pdf, context, {Medium::File, s.width, s.height, s.dpi}, {}, error))
            << error;
        const std::string pdf = ReadFile(path);
        EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
        EXPECT_NE(pdf.rfind("%%EOF"), std::string::npos);
        char box[64];
        std::snprintf(box, sizeof box, "/MediaBox [0 0 %d.000000 %d.000000]", s.width * 72 / s.dpi,
            s.height * 72 / s.dpi);
        EXPECT_NE(pdf.find(box), std::string::npos) << box;
    }
}

} // namespace
