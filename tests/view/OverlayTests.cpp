// What the view draws over the plot: marks, shading, tangent and crosshair, on the new document's
// view (x -22 to 18, y -15 to 15 on 800 x 600, 20 pixels a unit, the origin at (440, 300)), and
// through the one drawing of every medium.

#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "model/CFunctionsContext.h"
#include "view/PlotOverlay.h"
#include "view/PlotRenderer.h"
#include "view/RecordingGraphics.h"

namespace {

using Kind = RecordingGraphics::Kind;
using Call = RecordingGraphics::Call;

constexpr int32_t kRed = 0x0000FF; // 0x00BBGGRR
constexpr Argb kRedArgb = 0xFFFF0000;

CFunctionsContext NewView()
{
    CFunctionsContext c;
    c.ApplyNewDocumentDefaults();
    PrepareSurface(c, 800, 600, 96);
    return c;
}

std::vector<Call> Lines(const RecordingGraphics& g)
{
    std::vector<Call> lines;
    for (const Call& call : g.calls)
        if (call.kind == Kind::Line)
            lines.push_back(call);
    return lines;
}

// The box around the lines of one colour.
struct Box {
    float left = 1e9f, top = 1e9f, right = -1e9f, bottom = -1e9f;
    int lines = 0;
};
Box BoxOf(const RecordingGraphics& g, Argb colour)
{
    Box b;
    for (const Call& c : Lines(g)) {
        if (c.colour != colour)
            continue;
        b.left = std::min({b.left, c.x1, c.x2});
        b.right = std::max({b.right, c.x1, c.x2});
        b.top = std::min({b.top, c.y1, c.y2});
        b.bottom = std::max({b.bottom, c.y1, c.y2});
        ++b.lines;
    }
    return b;
}

PlotOverlay::Mark MarkAt(
    PointKind kind, double x, double y, PointStatus status = PointStatus::Proven)
{
    PlotOverlay::Mark m;
    m.kind = kind;
    m.status = status;
    m.x = x;
    m.y = y;
    m.yRight = std::nan("");
    m.colour = kRed;
    return m;
}

TEST(Overlay, MarksAreCentredOnTheirPointsEachKindItsShape)
{
    const CFunctionsContext c = NewView();
    const struct {
        PointKind kind;
        double x, y;
        float cx, cy; // the pixel the shape is centred on
        int lines;
    } rows[] = {
        {PointKind::Root, 1, 0, 460, 300, 4}, {PointKind::Maximum, -1, 2, 420, 260, 3},
        {PointKind::Minimum, 1, -2, 460, 340, 3}, {PointKind::Inflection, 0, 0, 440, 300, 4},
        {PointKind::Intersection, 2, 3, 480, 240, 2}, {PointKind::Hole, 0, 1, 440, 280, 12},
        {PointKind::Edge, 0, -1, 440, 320, 2}, {PointKind::AxisX, -1, 0, 420, 300, 4},
        {PointKind::AxisY, 0, 1, 440, 280, 5}, {PointKind::Origin, 0, 0, 440, 300, 6},
        {PointKind::Pole, 5, std::nan(""), 540, 300, 3}, // on the x axis
    };
    for (const auto& row : rows) {
        PlotOverlay overlay;
        overlay.marks.push_back(MarkAt(row.kind, row.x, row.y));
        RecordingGraphics g;
        DrawOverlay(g, c, overlay);
        const Box shape = BoxOf(g, kRedArgb);
        EXPECT_EQ(shape.lines, row.lines) << static_cast<int>(row.kind);
        EXPECT_FLOAT_EQ((shape.left + shape.right) / 2, row.cx) << static_cast<int>(row.kind);
        EXPECT_NEAR((shape.top + shape.bottom) / 2, row.cy, 1.1) << static_cast<int>(row.kind);
        EXPECT_LE(shape.right - shape.left, 12) << static_cast<int>(row.kind);
        // A white halo under the shape, as many lines, wider.
        const Box halo = BoxOf(g, 0xFFFFFFFF);
        EXPECT_EQ(halo.lines, row.lines);
        const std::vector<Call> lines = Lines(g);
        ASSERT_FALSE(lines.empty());
        EXPECT_GT(lines.front().width, lines.back().width);
    }
}

TEST(Overlay, AJumpSpansItsTwoLimits)
{
    const CFunctionsContext c = NewView();
    PlotOverlay overlay;
    PlotOverlay::Mark jump = MarkAt(PointKind::Jump, 0, -1);
    jump.yRight = 1;
    overlay.marks.push_back(jump);
    RecordingGraphics g;
    DrawOverlay(g, c, overlay);
    const Box shape = BoxOf(g, kRedArgb);
    EXPECT_FLOAT_EQ(shape.top, 280);
    EXPECT_FLOAT_EQ(shape.bottom, 320);
    EXPECT_FLOAT_EQ(shape.left, 436);
    EXPECT_FLOAT_EQ(shape.right, 444);
}

TEST(Overlay, MarksOffTheSurfaceOrOnOneAnotherAreNotDrawn)
{
    const CFunctionsContext c = NewView();
    PlotOverlay overlay;
    overlay.marks = {
        MarkAt(PointKind::Root, 30, 0), // beyond x = 18
        MarkAt(PointKind::Root, 0, -40), // below the surface
        MarkAt(PointKind::Root, 1, 0),
        MarkAt(PointKind::Root, 1.02, 0.01), // under half a pixel away: covered
        MarkAt(PointKind::Maximum, 1, 0), // another shape at the same place
        MarkAt(PointKind::Root, 1.5, 0), // ten pixels on
    };
    RecordingGraphics g;
    DrawOverlay(g, c, overlay);
    EXPECT_EQ(BoxOf(g, kRedArgb).lines, 4 + 3 + 4);
}

TEST(Overlay, ALikelyPointIsFainter)
{
    const CFunctionsContext c = NewView();
    PlotOverlay overlay;
    overlay.marks = {MarkAt(PointKind::Root, 1, 0, PointStatus::Likely)};
    RecordingGraphics g;
    DrawOverlay(g, c, overlay);
    EXPECT_EQ(BoxOf(g, kRedArgb).lines, 0);
    EXPECT_EQ(BoxOf(g, 0x80FF0000).lines, 4);
}

TEST(Overlay, TheTangentIsDashedAcrossTheSurfaceAlongItsSlope)
{
    const CFunctionsContext c = NewView();
    const struct {
        double x, y, dx, dy;
        float slope; // in pixels; NaN for a vertical line
    } rows[] = {
        {1, 1, 1, 2, -2}, // y = 2x - 1
        {0, 5, 1, 0, 0}, {3, 0, 0, 1, std::nanf("")},
        {1000, 1000, 1, 1, -1}, // the point far off, the line across the corner
    };
    for (const auto& row : rows) {
        PlotOverlay overlay;
        overlay.tangent = PlotOverlay::Tangent {row.x, row.y, row.dx, row.dy, kRed};
        RecordingGraphics g;
        DrawOverlay(g, c, overlay);
        const std::vector<Call> dashes = Lines(g);
        ASSERT_GT(dashes.size(), 10u) << row.dx << " " << row.dy;
        const float px = static_cast<float>(c.WorldToPixelX(row.x));
        const float py = static_cast<float>(c.WorldToPixelY(row.y));
        double drawn = 0;
        for (const Call& d : dashes) {
            EXPECT_EQ(d.colour, kRedArgb);
            for (const auto& [x, y] : {std::pair {d.x1, d.y1}, std::pair {d.x2, d.y2}}) {
                EXPECT_GE(x, -0.01f);
                EXPECT_LE(x, 800.01f);
                EXPECT_GE(y, -0.01f);
                EXPECT_LE(y, 600.01f);
                if (std::isnan(row.slope)) {
                    EXPECT_NEAR(x, px, 1e-3);
                } else {
                    EXPECT_NEAR(y - py, row.slope * (x - px), 0.05 * std::fabs(x - px) + 0.01);
                }
            }
            drawn += std::hypot(d.x2 - d.x1, d.y2 - d.y1);
            EXPECT_LE(std::hypot(d.x2 - d.x1, d.y2 - d.y1), 6.001);
        }
        // Dashes of 6 with gaps of 4: about three fifths of the line inside the surface.
        const Box box = BoxOf(g, kRedArgb);
        const double span = std::hypot(box.right - box.left, box.bottom - box.top);
        EXPECT_NEAR(drawn / span, 0.6, 0.05);
    }
}

TEST(Overlay, TheCrosshairMarksThePointOrOnlyItsX)
{
    const CFunctionsContext c = NewView();
    PlotOverlay overlay;
    overlay.crosshair = PlotOverlay::Crosshair {1, 2, kRed};
    RecordingGraphics g;
    DrawOverlay(g, c, overlay);
    const std::vector<Call> lines = Lines(g);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(std::vector<float>({lines[0].x1, lines[0].y1, lines[0].x2, lines[0].y2}),
        std::vector<float>({460, 0, 460, 600}));
    EXPECT_EQ(std::vector<float>({lines[1].x1, lines[1].y1, lines[1].x2, lines[1].y2}),
        std::vector<float>({0, 260, 800, 260}));
    const Box ring = BoxOf(g, kRedArgb);
    EXPECT_NEAR((ring.left + ring.right) / 2, 460, 1e-3);
    EXPECT_NEAR((ring.top + ring.bottom) / 2, 260, 1e-3);

    overlay.crosshair->y = std::nan("");
    RecordingGraphics undefined;
    DrawOverlay(undefined, c, overlay);
    ASSERT_EQ(Lines(undefined).size(), 1u);
    EXPECT_EQ(Lines(undefined)[0].x1, 460);
}

TEST(Overlay, UndecidedRangesAreShadedFaintlyAlongTheXAxis)
{
    CFunctionsContext c = NewView();
    PlotOverlay overlay;
    overlay.bands = {{-1, 2, kRed}, {5, 5, kRed}, {-100, -50, kRed}, {1.5, 3, kRed}, {2, 2.5, 0}};
    RecordingGraphics g;
    DrawOverlay(g, c, overlay);
    const std::vector<Call> lines = Lines(g);
    ASSERT_EQ(lines.size(), 4u);
    // In order of colour and place; ranges of one curve that meet make one band.
    EXPECT_EQ(std::vector<float>({lines[0].x1, lines[0].y1, lines[0].x2, lines[0].y2}),
        std::vector<float>({480, 300, 490, 300}));
    EXPECT_EQ(lines[0].colour, 0x40000000u);
    EXPECT_FLOAT_EQ(lines[1].x2 - lines[1].x1, 1); // off the surface: at its edge
    EXPECT_FLOAT_EQ(lines[1].x1, -1.5f);
    EXPECT_EQ(std::vector<float>({lines[2].x1, lines[2].y1, lines[2].x2, lines[2].y2}),
        std::vector<float>({420, 300, 500, 300}));
    EXPECT_EQ(lines[2].colour, 0x40FF0000u);
    EXPECT_EQ(lines[2].width, 6);
    EXPECT_FLOAT_EQ(lines[3].x2 - lines[3].x1, 1); // a point wide still shows
    EXPECT_FLOAT_EQ(lines[3].x1, 539.5f);

    // With the x axis off the view, the shading runs along the edge it lies beyond.
    const struct {
        double yMin, yMax;
        float row;
    } edges[] = {{20, 50, 597}, {-50, -20, 3}};
    for (const auto& edge : edges) {
        c.area.areaYMin = edge.yMin;
        c.area.areaYMax = edge.yMax;
        PrepareSurface(c, 800, 600, 96);
        RecordingGraphics off;
        DrawOverlay(off, c, overlay);
        EXPECT_EQ(Lines(off).at(0).y1, edge.row);
    }
}

TEST(Overlay, AddMarksTakesEachCurvesPointsInItsColour)
{
    CFunctionsContext c;
    c.ApplyNewDocumentDefaults();
    c.Clear();
    CFunction cartesian;
    cartesian.Set(CurveCartesian, "x^2-1", "", 0, 0, kRed, 136);
    CFunction circle;
    circle.Set(CurveParametric, "cos(t)", "sin(t)", 0, 6.28, 0x00FF00, 100);
    for (const CFunction& f : {cartesian, circle}) {
        CFunctionEntry e;
        e.SetFunction(f);
        c.Append(e);
    }
    CurveMarks first;
    RemarkablePoint root;
    root.kind = PointKind::Root;
    root.x = 1;
    first.analysis.points = {root, root};
    first.analysis.undecided = {{0, 3, 4}};
    CurveMarks second;
    second.analysis.undecided = {{1, 0, 1}};
    second.undecidedPaths = {{0, {{1, 0}, {0.5, 0.8}}}};
    RemarkableSet set;
    set.Reset(3); // a third curve the document no longer has
    set.Set(0, first, {CurveCartesian, CurveParametric});
    set.Set(1, second, {CurveCartesian, CurveParametric});
    set.Set(2, first, {CurveCartesian, CurveParametric});
    PlotOverlay overlay;
    AddMarks(overlay, c, set);
    ASSERT_EQ(overlay.marks.size(), 2u);
    EXPECT_EQ(overlay.marks[0].colour, kRed);
    ASSERT_EQ(overlay.bands.size(), 1u);
    EXPECT_EQ(overlay.bands[0].lo, 3);
    ASSERT_EQ(overlay.stretches.size(), 1u);
    EXPECT_EQ(overlay.stretches[0].colour, 0x00FF00);
    EXPECT_EQ(overlay.stretches[0].points.size(), 2u);
}

TEST(Overlay, DrawnLastOnEveryMediumAtItsScale)
{
    PlotOverlay overlay;
    overlay.marks = {MarkAt(PointKind::Maximum, -1, 2)};
    for (const Medium medium :
        {Medium::Screen, Medium::Printer, Medium::File, Medium::Document, Medium::LastScreen}) {
        CFunctionsContext c = NewView();
        CFunctionsContext bare = c;
        RecordingGraphics plain;
        DrawPlot(plain, bare, {medium, 400, 300, 192});
        RecordingGraphics marked;
        DrawPlot(marked, c, {medium, 400, 300, 192, &overlay});
        // The plot's own calls are unchanged, and the marks follow them.
        ASSERT_GT(marked.calls.size(), plain.calls.size());
        for (size_t i = 0; i < plain.calls.size(); ++i)
            ASSERT_EQ(marked.calls[i].kind, plain.calls[i].kind) << i;
        const std::vector<Call> lines = Lines(marked);
        const Call& last = lines.back();
        EXPECT_EQ(last.colour, kRedArgb);
        // Twice the dots per inch on the measured media: twice the mark.
        const bool measured = medium != Medium::LastScreen;
        EXPECT_FLOAT_EQ(last.width, measured ? 3.0f : 1.5f) << static_cast<int>(medium);
        // The printer draws its own page from a copy; the others keep the surface drawn on.
        if (medium == Medium::Printer) {
            EXPECT_EQ(c.screenWidth, 800);
        }
    }
}

TEST(Overlay, TheTooltipOfTheMarkOrShadingUnderThePointer)
{
    CFunctionsContext c;
    c.ApplyNewDocumentDefaults();
    c.Clear();
    CFunction cubic;
    cubic.Set(CurveCartesian, "x^3-3*x", "", 0, 0, kRed, 136);
    CFunction circle;
    circle.Set(CurveParametric, "cos(t)", "sin(t)", 0, 6.28, 0, 100);
    for (const CFunction& f : {cubic, circle}) {
        CFunctionEntry e;
        e.SetFunction(f);
        c.Append(e);
    }
    PrepareSurface(c, 800, 600, 96);
    CurveMarks first;
    RemarkablePoint top;
    top.kind = PointKind::Maximum;
    top.x = -1;
    top.y = 2;
    RemarkablePoint pole;
    pole.kind = PointKind::Pole;
    pole.x = 5;
    pole.y = std::nan("");
    first.analysis.points = {top, pole};
    first.analysis.undecided = {{0, 10, 12}};
    CurveMarks second;
    second.analysis.undecided = {{1, 0, 1}, {1, 2, 3}};
    second.undecidedPaths = {{1, {{-0.4161, 0.9093}, {-0.99, 0.1411}}}};
    RemarkableSet set;
    set.Reset(2);
    set.Set(0, first, {CurveCartesian, CurveParametric});
    set.Set(1, second, {CurveCartesian, CurveParametric});
    const struct {
        PixelPoint p;
        const char* tip; // its first line
    } rows[] = {
        {{420, 260}, "Courbe 0, maximum local : x = -1, y = 2"},
        {{425, 264}, "Courbe 0, maximum local : x = -1, y = 2"},
        {{430, 260}, ""},
        {{541, 302}, "Courbe 0, pôle : x = 5"}, // on the x axis
        {{660, 301}, "Courbe 0 : recherche non conclusive pour x de 10 à 12"},
        {{660, 310}, ""},
        {{636, 300}, ""},
        {{426, 289}, "Courbe 1 : recherche non conclusive pour t de 2 à 3"}, // between points
        {{415, 289}, ""},
    };
    for (const auto& row : rows) {
        const std::string tip = OverlayToolTip(c, set, row.p);
        EXPECT_EQ(tip.substr(0, tip.find('\n')), row.tip) << row.p.x << ", " << row.p.y;
    }
}

TEST(Overlay, ACurveDrawingRandomNumbersIsLeftUndecided)
{
    CFunction noisy;
    noisy.Set(CurveCartesian, "x+rand(1)", "", 0, 0, 0, 136);
    CFunction spiral;
    spiral.Set(CurvePolar, "RAND(theta)", "", -1, 4, 0, 100);
    const std::vector<CFunction> curves = {noisy, spiral};
    const CurveMarks first = FindCurveMarks(curves, 0, -3, 5);
    EXPECT_TRUE(first.analysis.points.empty());
    ASSERT_EQ(first.analysis.undecided.size(), 1u);
    EXPECT_EQ(first.analysis.undecided[0].lo, -3);
    EXPECT_EQ(first.analysis.undecided[0].hi, 5);
    const CurveMarks second = FindCurveMarks(curves, 1, -3, 5);
    ASSERT_EQ(second.analysis.undecided.size(), 1u);
    EXPECT_EQ(second.analysis.undecided[0].curve, 1);
    EXPECT_EQ(second.analysis.undecided[0].lo, -1);
    EXPECT_EQ(second.analysis.undecided[0].hi, 4);
    EXPECT_TRUE(second.undecidedPaths.empty());
    EXPECT_TRUE(FindCurveMarks(curves, 2, -3, 5).analysis.undecided.empty());
}

} // namespace
