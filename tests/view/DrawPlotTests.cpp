// The one drawing entry point on each medium, and the plot points kept between drawings.

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "model/CFunctionsContext.h"
#include "view/PlotCache.h"
#include "view/PlotRenderer.h"
#include "view/RecordingGraphics.h"

namespace {

using Kind = RecordingGraphics::Kind;

CFunctionsContext NewDocument()
{
    CFunctionsContext c;
    c.ApplyNewDocumentDefaults();
    return c;
}

std::vector<Kind> FirstKinds(const RecordingGraphics& g, size_t n)
{
    std::vector<Kind> out;
    for (size_t i = 0; i < n && i < g.calls.size(); ++i)
        out.push_back(g.calls[i].kind);
    return out;
}

struct MediumCase {
    const char* name;
    Medium medium;
    std::vector<Kind> opening; // the calls before the first line
    bool measures; // the context takes the surface's size
};

class Media : public ::testing::TestWithParam<MediumCase> { };

TEST_P(Media, OpenAndMeasureAsTheirSurfaceWants)
{
    const MediumCase& m = GetParam();
    CFunctionsContext c = NewDocument();
    RecordingGraphics screen;
    DrawPlot(screen, c, {Medium::Screen, 800, 600, 96});
    RecordingGraphics g;
    DrawPlot(g, c, {m.medium, 400, 100, 192});
    EXPECT_EQ(FirstKinds(g, m.opening.size()), m.opening);
    EXPECT_EQ(g.calls.at(m.opening.size()).kind, Kind::Line);
    if (m.medium == Medium::File || m.medium == Medium::LastScreen) {
        EXPECT_EQ(g.calls.at(0).colour, 0xFFFFFFFFu); // opaque white
    }
    EXPECT_EQ(c.screenWidth, m.measures ? 400 : 800);
    EXPECT_EQ(c.screenHeight, m.measures ? 100 : 600);
    EXPECT_EQ(c.dpi, m.measures ? 192 : 96);
    // Normalised for the surface that was measured: 40 units across, so 10 or 30 units high.
    EXPECT_EQ(c.area.viewYMax, m.measures ? 5 : 15);
}

INSTANTIATE_TEST_SUITE_P(View, Media,
    ::testing::Values(MediumCase {"Screen", Medium::Screen,
                          {Kind::SmoothingMode, Kind::PageUnit, Kind::PageScale}, true},
        MediumCase {"Printer", Medium::Printer,
            {Kind::SmoothingMode, Kind::PageUnit, Kind::PageScale}, false},
        MediumCase {"File", Medium::File, {Kind::Clear, Kind::SmoothingMode}, true},
        MediumCase {"Document", Medium::Document, {Kind::SmoothingMode}, true},
        MediumCase {"LastScreen", Medium::LastScreen, {Kind::Clear, Kind::SmoothingMode}, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DrawPlot, APrintedPageIsDrawnAtThePrintersSizeFromACopy)
{
    CFunctionsContext c = NewDocument();
    RecordingGraphics screen;
    DrawPlot(screen, c, {Medium::Screen, 800, 600, 96});
    const double mouseX = c.PixelToWorldX(100);
    RecordingGraphics page;
    DrawPlot(page, c, {Medium::Printer, 4800, 7200, 600});
    // The x axis spans the page and the labels are sized for 600 dpi.
    const RecordingGraphics::Call axis = page.Of(Kind::Line).at(0);
    EXPECT_EQ(axis.x2, 4800);
    EXPECT_EQ(page.Of(Kind::Measure).at(0).font.emSize, 59); // 9.5 * 6.25
    // The window's model is as the screen left it.
    EXPECT_EQ(c.screenWidth, 800);
    EXPECT_EQ(c.dpi, 96);
    EXPECT_EQ(c.PixelToWorldX(100), mouseX);
    EXPECT_EQ(c.area.viewYMax, 15);
}

TEST(DrawPlot, LastScreenUsesTheViewOfTheLastPaintEvenAfterTheAreaChanged)
{
    CFunctionsContext c = NewDocument();
    RecordingGraphics screen;
    DrawPlot(screen, c, {Medium::Screen, 800, 600, 96});
    c.area.areaXMin = -1000; // not yet painted
    RecordingGraphics exported;
    DrawPlot(exported, c, {Medium::LastScreen});
    EXPECT_EQ(c.area.viewXMin, -22);
    // Apart from the white clear, the same picture as the screen's.
    ASSERT_EQ(exported.calls.size(), screen.calls.size() - 1);
    EXPECT_EQ(exported.Of(Kind::Line).size(), screen.Of(Kind::Line).size());
}

// The plot points are kept until something they depend on changes.
struct CacheCase {
    const char* name;
    std::function<void(CFunctionsContext&)> change;
    bool samplesAgain;
    bool samePicture = false;
};

class Cache : public ::testing::TestWithParam<CacheCase> { };

TEST_P(Cache, SamplesAgainOnlyWhenThePointsDependOnTheChange)
{
    CFunctionsContext c = NewDocument();
    PlotCache cache;
    RecordingGraphics first;
    DrawPlot(first, c, {Medium::Screen, 800, 600, 96}, {}, &cache);
    ASSERT_EQ(cache.Samplings(), 1);
    const PlotInputs before = PlotInputs::Of(c);
    GetParam().change(c);
    RecordingGraphics second;
    DrawPlot(second, c, {Medium::Screen, 800, 600, 96}, {}, &cache);
    EXPECT_EQ(cache.Samplings(), GetParam().samplesAgain ? 2 : 1);
    EXPECT_EQ(PlotInputs::Of(c) == before, GetParam().samePicture);
}

INSTANTIATE_TEST_SUITE_P(View, Cache,
    ::testing::Values(CacheCase {"Nothing", [](CFunctionsContext&) {}, false, true},
        CacheCase {
            "StoredScreenSizeOnly", [](CFunctionsContext& c) { c.formatNumber = 1; }, false, true},
        CacheCase {"AxisColour", [](CFunctionsContext& c) { c.axis.axesColour = 255; }, false},
        CacheCase {"Antialias", [](CFunctionsContext& c) { c.params.antialias = false; }, false},
        CacheCase {"Dots", [](CFunctionsContext& c) { c.params.joinedLines = false; }, false},
        CacheCase {
            "CurveColour", [](CFunctionsContext& c) { c.GetAt(0).function.colour = 255; }, false},
        CacheCase {"Area", [](CFunctionsContext& c) { c.area.areaXMin = -21; }, true},
        CacheCase {"Normalisation", [](CFunctionsContext& c) { c.area.normaliseX = false; }, true},
        CacheCase {
            "Formula", [](CFunctionsContext& c) { c.GetAt(0).function.SetFormula1("x"); }, true},
        CacheCase {
            "Iterations", [](CFunctionsContext& c) { c.GetAt(0).function.iterations = 5; }, true},
        CacheCase {
            "BreakSearch", [](CFunctionsContext& c) { c.params.searchBreakPoints = false; }, true},
        CacheCase {"DomainSearch",
            [](CFunctionsContext& c) { c.params.searchDiscontinuities = false; }, true},
        CacheCase {"NewCurve", [](CFunctionsContext& c) { c.Append(c.GetAt(0)); }, true},
        CacheCase {"NoCurve", [](CFunctionsContext& c) { c.Clear(); }, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Cache, ASurfaceOfAnotherSizeIsSampledAgainAndTheDrawingIsTheSame)
{
    CFunctionsContext c = NewDocument();
    PlotCache cache;
    RecordingGraphics a;
    DrawPlot(a, c, {Medium::Screen, 800, 600, 96}, {}, &cache);
    RecordingGraphics b;
    DrawPlot(b, c, {Medium::Screen, 640, 480, 96}, {}, &cache);
    EXPECT_EQ(cache.Samplings(), 2);
    RecordingGraphics kept;
    DrawPlot(kept, c, {Medium::Screen, 640, 480, 96}, {}, &cache);
    EXPECT_EQ(cache.Samplings(), 2);
    RecordingGraphics fresh;
    DrawPlot(fresh, c, {Medium::Screen, 640, 480, 96});
    ASSERT_EQ(kept.calls.size(), fresh.calls.size());
    for (size_t i = 0; i < kept.calls.size(); ++i) {
        EXPECT_EQ(kept.calls[i].x1, fresh.calls[i].x1) << i;
        EXPECT_EQ(kept.calls[i].y2, fresh.calls[i].y2) << i;
    }
}

TEST(Cache, InvalidateDrawsRandomCurvesAnew)
{
    CFunctionsContext c = NewDocument();
    // The derivative of floor is 0 without reaching the draw, so the curve is sampled.
    c.GetAt(0).function.SetFormula1("floor(rand(1000))");
    PlotCache cache;
    std::vector<PlotPoint> seen;
    const auto keep = [&](int, const std::vector<PlotPoint>& p) { seen = p; };
    RecordingGraphics g;
    DrawPlot(g, c, {Medium::Screen, 200, 100, 96}, keep, &cache);
    const std::vector<PlotPoint> first = seen;
    DrawPlot(g, c, {Medium::Screen, 200, 100, 96}, keep, &cache);
    ASSERT_EQ(seen.size(), first.size());
    EXPECT_EQ(seen[3].y, first[3].y); // kept
    cache.Invalidate();
    DrawPlot(g, c, {Medium::Screen, 200, 100, 96}, keep, &cache);
    EXPECT_EQ(cache.Samplings(), 2);
    bool differs = false;
    for (size_t i = 0; i < seen.size() && i < first.size(); ++i)
        differs |= seen[i].y != first[i].y;
    EXPECT_TRUE(differs);
}

} // namespace
