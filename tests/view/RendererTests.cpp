// The plot renderer, through the recording Graphics: the exact sequence of lines, labels, colours
// and coordinates of axes, arrows, graduation, grid and curves.

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "model/CFunctionsContext.h"
#include "platform/CLocale.h"
#include "view/PlotRenderer.h"
#include "view/RecordingGraphics.h"

namespace {

using Kind = RecordingGraphics::Kind;
using Call = RecordingGraphics::Call;

constexpr Argb kAxes = 0xFF000000;
constexpr Argb kGrid = 0x10102040; // gridColour 4202512 with alpha 16
constexpr Argb kCurve = 0xFF817DBC; // the default curve, red 129, green 125, blue 188

CFunctionsContext NewDocument()
{
    CFunctionsContext c;
    c.ApplyNewDocumentDefaults();
    return c;
}

RecordingGraphics Draw(CFunctionsContext& c, int w = 800, int h = 600, int dpi = 96)
{
    RecordingGraphics g;
    DrawPlot(g, c, {Medium::Screen, w, h, dpi});
    return g;
}

std::vector<Call> Lines(const RecordingGraphics& g, Argb colour)
{
    std::vector<Call> out;
    for (const Call& c : g.Of(Kind::Line))
        if (c.colour == colour)
            out.push_back(c);
    return out;
}

std::vector<std::string> Labels(const RecordingGraphics& g)
{
    std::vector<std::string> out;
    for (const Call& c : g.Of(Kind::Text))
        out.push_back(c.text);
    return out;
}

bool IsLine(const Call& c, float x1, float y1, float x2, float y2)
{
    return c.kind == Kind::Line && c.x1 == x1 && c.y1 == y1 && c.x2 == x2 && c.y2 == y2;
}

TEST(Renderer, NewDocumentOn800By600)
{
    CFunctionsContext c = NewDocument();
    RecordingGraphics g = Draw(c);
    ASSERT_GE(g.calls.size(), 3u);
    EXPECT_EQ(g.calls[0].kind, Kind::SmoothingMode);
    EXPECT_EQ(g.calls[0].value, 4);
    EXPECT_EQ(g.calls[1].kind, Kind::PageUnit);
    EXPECT_EQ(g.calls[1].value, 2);
    EXPECT_EQ(g.calls[2].kind, Kind::PageScale);
    EXPECT_EQ(g.calls[2].scale, 1.0f);
    EXPECT_EQ(c.screenWidth, 800);
    EXPECT_EQ(c.dpi, 96);

    // Axes through the origin at column 440 and row 300, then the unit-vector arrows.
    const std::vector<Call> lines = g.Of(Kind::Line);
    ASSERT_GE(lines.size(), 6u);
    EXPECT_TRUE(IsLine(lines[0], 0, 300, 800, 300));
    EXPECT_TRUE(IsLine(lines[1], 440, 0, 440, 600));
    EXPECT_TRUE(IsLine(lines[2], 460, 300, 454, 298));
    EXPECT_TRUE(IsLine(lines[3], 460, 300, 454, 302));
    EXPECT_TRUE(IsLine(lines[4], 440, 280, 438, 286));
    EXPECT_TRUE(IsLine(lines[5], 440, 280, 442, 286));
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(lines[static_cast<size_t>(i)].colour, kAxes);
        EXPECT_EQ(lines[static_cast<size_t>(i)].width, 1.0f);
    }

    // Step 2 on both axes: x visits -22 ... 20 (22 values), y visits -16 ... 16 (17 values).
    std::vector<std::string> expected;
    for (int v = -22; v <= 20; v += 2)
        if (v != 0)
            expected.push_back(std::to_string(v));
    for (int v = -16; v <= 16; v += 2)
        if (v != 0)
            expected.push_back(std::to_string(v));
    EXPECT_EQ(Labels(g), expected);

    const std::vector<Call> grid = Lines(g, kGrid);
    ASSERT_EQ(grid.size(), 22u + 17u);
    for (int i = 0; i < 22; ++i) {
        const float px = static_cast<float>((-22 + 2 * i + 22) * 20);
        EXPECT_TRUE(IsLine(grid[static_cast<size_t>(i)], px, 600, px, 0)) << i;
    }
    for (int i = 0; i < 17; ++i) {
        const float py = static_cast<float>((-16 + 2 * i - 15) * 600 / -30.0);
        EXPECT_TRUE(IsLine(grid[static_cast<size_t>(22 + i)], 0, py, 800, py)) << i;
    }
    EXPECT_FALSE(Lines(g, kCurve).empty());
}

TEST(Renderer, EachLabelComesWithItsTickBeforeItsGridLine)
{
    CFunctionsContext c = NewDocument();
    RecordingGraphics g = Draw(c);
    // Find the label "-20": tick, measure, text, grid line, in that order.
    const auto it = std::find_if(g.calls.begin(), g.calls.end(),
        [](const Call& k) { return k.kind == Kind::Text && k.text == "-20"; });
    ASSERT_NE(it, g.calls.end());
    const Call& measure = *(it - 1);
    const Call& tick = *(it - 2);
    const Call& gridLine = *(it + 1);
    EXPECT_TRUE(IsLine(tick, 40, 300, 40, 304));
    EXPECT_EQ(tick.colour, kAxes);
    EXPECT_EQ(measure.kind, Kind::Measure);
    EXPECT_EQ(measure.x1, 40);
    EXPECT_EQ(measure.y1, 309);
    EXPECT_EQ(measure.font, (Font {"Arial", 9}));
    // Centred under the tick: the recording measures 0.5 em per character.
    EXPECT_EQ(it->x1, 40 - 3 * 4.5f / 2);
    EXPECT_EQ(it->y1, 309);
    EXPECT_EQ(it->colour, 0xFF000000u);
    EXPECT_TRUE(IsLine(gridLine, 40, 600, 40, 0));

    // A y label is right-aligned left of its tick and centred on it.
    // The y labels come after the x labels: take the last "10".
    const auto last = std::find_if(g.calls.rbegin(), g.calls.rend(),
        [](const Call& k) { return k.kind == Kind::Text && k.text == "10"; });
    ASSERT_NE(last, g.calls.rend());
    const auto y = std::prev(last.base());
    const float row = (10 - 15) * 600 / -30.0f;
    EXPECT_TRUE(IsLine(*(y - 2), 440, row, 436, row));
    EXPECT_EQ((y - 1)->x1, 431);
    EXPECT_EQ(y->x1, 431 - 2 * 4.5f);
    EXPECT_EQ(y->y1, row - 1.25f * 9 / 2);
}

TEST(Renderer, ManualGraduation)
{
    CFunctionsContext c = NewDocument();
    c.axis.autoGraduation = false;
    c.axis.xGraduationCount = 4;
    c.axis.yGraduationCount = 3;
    RecordingGraphics g = Draw(c);
    const std::vector<Call> grid = Lines(g, kGrid);
    // x: step 10, values -30 ... 20; y: step 10, floor(-15/10)*10 = -20 ... 10.
    std::vector<float> xs, ys;
    for (const Call& k : grid)
        (k.y1 == 600 ? xs : ys).push_back(k.y1 == 600 ? k.x1 : k.y1);
    EXPECT_EQ(xs, (std::vector<float> {-160, 40, 240, 440, 640, 840}));
    EXPECT_EQ(ys, (std::vector<float> {700, 500, 300, 100, -100}));
    const std::vector<std::string> labels = Labels(g);
    EXPECT_EQ(std::count(labels.begin(), labels.end(), "-30"), 1);
    EXPECT_EQ(std::count(labels.begin(), labels.end(), "0"), 0);
}

TEST(Renderer, ViewWithoutZeroInItsYRangeHasNoXTicks)
{
    CFunctionsContext c = NewDocument();
    c.area.normaliseX = false;
    c.area.areaYMin = 1;
    c.area.areaYMax = 5;
    RecordingGraphics g = Draw(c);
    // The x axis line is still drawn, off the visible area (row 750).
    EXPECT_TRUE(IsLine(g.Of(Kind::Line)[0], 0, 750, 800, 750));
    for (const std::string& label : Labels(g)) {
        const double v = std::stod(label);
        EXPECT_TRUE(v >= 1 && v <= 5.2) << "only y labels remain: " << label;
    }
    // Vertical grid lines are still drawn.
    const std::vector<Call> grid = Lines(g, kGrid);
    EXPECT_EQ(
        std::count_if(grid.begin(), grid.end(), [](const Call& k) { return k.x1 == k.x2; }), 22);
}

TEST(Renderer, LargeAndSmallLabelsUseExponents)
{
    CFunctionsContext big = NewDocument();
    big.area.normaliseX = false;
    big.area.areaXMin = -1e6;
    big.area.areaXMax = 9e6;
    const std::vector<std::string> large = Labels(Draw(big));
    EXPECT_NE(std::find(large.begin(), large.end(), "1E+06"), large.end());
    // A step of 500000 is too large for the first rule; the fallback gives 1E+06.
    EXPECT_NE(std::find(large.begin(), large.end(), "2E+06"), large.end());
    EXPECT_EQ(std::find(large.begin(), large.end(), "500000"), large.end());

    CFunctionsContext small = NewDocument();
    small.area.normaliseX = false;
    small.area.areaXMin = -1e-5;
    small.area.areaXMax = 3e-5;
    const std::vector<std::string> tiny = Labels(Draw(small));
    EXPECT_NE(std::find(tiny.begin(), tiny.end(), "1E-05"), tiny.end());
    EXPECT_NE(std::find(tiny.begin(), tiny.end(), "5E-06"), tiny.end());
}

TEST(Renderer, SmoothingFollowsTheParameter)
{
    CFunctionsContext c = NewDocument();
    c.params.antialias = false;
    RecordingGraphics g = Draw(c);
    EXPECT_EQ(g.Of(Kind::SmoothingMode).at(0).value, 3);
    RecordingGraphics r;
    PrepareSurface(c, 800, 600, 96);
    RenderTo(r, c);
    EXPECT_EQ(r.calls.at(0).kind, Kind::SmoothingMode);
    EXPECT_EQ(r.calls.at(0).value, 3);
    EXPECT_TRUE(r.Of(Kind::PageUnit).empty());
}

TEST(Renderer, DotsAndJoinedLinesFollowThePenUpMarkers)
{
    CFunctionsContext c = NewDocument();
    CFunction tan;
    tan.Set(CurveCartesian, "tan(x)", "", 0, 1, 0x0000FF, 10);
    c.Clear();
    CFunctionEntry e;
    e.SetFunction(tan);
    c.Append(e);
    std::vector<PlotPoint> points;
    RecordingGraphics joined;
    DrawPlot(joined, c, {Medium::Screen, 800, 600, 96}, [&](int i, const std::vector<PlotPoint>& p) {
        EXPECT_EQ(i, 0);
        points = p;
    });
    // Joined: one segment between consecutive pen-down points, none across a marker.
    size_t segments = 0;
    for (size_t i = 1; i < points.size(); ++i)
        segments += points[i].penDown && points[i - 1].penDown;
    const std::vector<Call> lines = Lines(joined, 0xFFFF0000);
    EXPECT_EQ(lines.size(), segments);
    for (const Call& k : lines)
        EXPECT_FALSE(k.y1 < -1000 && k.y2 > 1000) << "a segment crosses a jump";

    c.params.joinedLines = false;
    RecordingGraphics dots = Draw(c);
    const std::vector<Call> dashes = Lines(dots, 0xFFFF0000);
    size_t down = 0;
    for (const PlotPoint& p : points)
        down += p.penDown;
    ASSERT_EQ(dashes.size(), down);
    size_t k = 0;
    for (const PlotPoint& p : points) {
        if (!p.penDown)
            continue;
        EXPECT_TRUE(IsLine(dashes[k++], p.x - 0.5f, p.y - 0.5f, p.x + 0.5f, p.y + 0.5f));
    }
}

TEST(Renderer, HighDpiDoublesArrowsTicksAndFont)
{
    CFunctionsContext c = NewDocument();
    c.axis.drawAxisEnds = true;
    RecordingGraphics g = Draw(c, 800, 600, 192);
    const std::vector<Call> lines = g.Of(Kind::Line);
    EXPECT_TRUE(IsLine(lines[2], 460, 300, 448, 296));
    EXPECT_TRUE(IsLine(lines[4], 440, 280, 436, 292));
    EXPECT_TRUE(IsLine(lines[6], 800, 300, 788, 296)); // the end of the x axis
    EXPECT_TRUE(IsLine(lines[8], 440, 0, 436, 12)); // the top of the y axis
    const Call measure = g.Of(Kind::Measure).at(0);
    EXPECT_EQ(measure.font.emSize, 19); // 9.5 * 2
    EXPECT_EQ(measure.y1, 300 + 8 + 10);
    // At 192 dpi the automatic step doubles: 40 / (800 / 600) = 30, so a step of 5.
    EXPECT_EQ(Labels(g).at(0), "-25");
}

TEST(Renderer, MissingFontSkipsLabelsOnly)
{
    CFunctionsContext c = NewDocument();
    RecordingGraphics g;
    g.fontAvailable = false;
    DrawPlot(g, c, {Medium::Screen, 800, 600, 96});
    EXPECT_TRUE(g.Of(Kind::Text).empty());
    EXPECT_TRUE(g.Of(Kind::Measure).empty());
    EXPECT_EQ(Lines(g, kGrid).size(), 39u);
}

TEST(Renderer, SettingsSwitchPartsOff)
{
    CFunctionsContext c = NewDocument();
    c.axis.drawAxes = false;
    c.axis.graduate = false;
    c.axis.gridAlpha = 0x1234; // only the low byte counts
    RecordingGraphics g = Draw(c);
    EXPECT_TRUE(g.Of(Kind::Text).empty());
    EXPECT_TRUE(Lines(g, kAxes).empty());
    EXPECT_EQ(Lines(g, 0x34102040).size(), 39u);
    c.axis.drawGrid = false;
    RecordingGraphics none = Draw(c);
    for (const Call& k : none.Of(Kind::Line))
        EXPECT_EQ(k.colour, kCurve);
}

TEST(Renderer, ManualCountsAskingForMillionsOfLinesAreBounded)
{
    CFunctionsContext c = NewDocument();
    c.axis.autoGraduation = false;
    c.axis.xGraduationCount = 1e12;
    c.axis.yGraduationCount = std::nan("");
    c.Clear();
    RecordingGraphics g = Draw(c);
    EXPECT_LE(g.Of(Kind::Line).size(), 200010u);
}

struct SnapCase {
    double raw;
    double step;
};

void PrintTo(const SnapCase& c, std::ostream* os)
{
    *os << c.raw;
}

class Snap : public ::testing::TestWithParam<SnapCase> { };

TEST_P(Snap, PicksOneTwoOrFiveTimesAPowerOfTen)
{
    EXPECT_DOUBLE_EQ(SnapStep(GetParam().raw, 10), GetParam().step);
}

INSTANTIATE_TEST_SUITE_P(View, Snap,
    ::testing::Values(SnapCase {15, 2}, SnapCase {10, 2}, SnapCase {20, 2}, SnapCase {22, 2},
        SnapCase {25, 5}, SnapCase {40, 5}, SnapCase {50, 10}, SnapCase {0.15, 0.02},
        SnapCase {3.75e6, 5e5}, SnapCase {1.5e-5, 2e-6}));

} // namespace
