// The mouse tools' arithmetic and state, on the new document's view (x -22 to 18, y -15 to 15 on
// 800 x 600 pixels).

#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "model/CFunctionsContext.h"
#include "view/MouseTools.h"
#include "view/PlotRenderer.h"

namespace {

CWorkingArea DefaultView()
{
    CFunctionsContext c;
    c.ApplyNewDocumentDefaults();
    PrepareSurface(c, 800, 600, 96);
    return c.area;
}

struct ToolCase {
    const char* name;
    Tool tool;
    PixelPoint a, b;
    ToolOutcome outcome;
    double xMin = 0, xMax = 0, yMin = 0, yMax = 0;
};

class Tools : public ::testing::TestWithParam<ToolCase> { };

TEST_P(Tools, ChangeViewAndAreaTogether)
{
    const ToolCase& t = GetParam();
    CWorkingArea area = DefaultView();
    const CWorkingArea before = area;
    EXPECT_EQ(RunTool(t.tool, area, 800, 600, t.a, t.b), t.outcome);
    if (t.outcome != ToolOutcome::Changed) {
        EXPECT_EQ(area.areaXMin, before.areaXMin);
        EXPECT_EQ(area.viewYMax, before.viewYMax);
        return;
    }
    EXPECT_DOUBLE_EQ(area.viewXMin, t.xMin);
    EXPECT_DOUBLE_EQ(area.viewXMax, t.xMax);
    EXPECT_DOUBLE_EQ(area.viewYMin, t.yMin);
    EXPECT_DOUBLE_EQ(area.viewYMax, t.yMax);
    EXPECT_EQ(area.areaXMin, area.viewXMin);
    EXPECT_EQ(area.areaXMax, area.viewXMax);
    EXPECT_EQ(area.areaYMin, area.viewYMin);
    EXPECT_EQ(area.areaYMax, area.viewYMax);
}

INSTANTIATE_TEST_SUITE_P(View, Tools,
    ::testing::Values(ToolCase {"ZoomInRectangle", Tool::ZoomIn, {100, 100}, {300, 250},
                          ToolOutcome::Changed, -17, -7, 2.5, 10},
        ToolCase {"ZoomInCornersInAnyOrder", Tool::ZoomIn, {300, 100}, {100, 250},
            ToolOutcome::Changed, -17, -7, 2.5, 10},
        ToolCase {"ZoomInClick", Tool::ZoomIn, {100, 100}, {100, 100}, ToolOutcome::Refused},
        ToolCase {"ZoomInFlat", Tool::ZoomIn, {100, 100}, {300, 100}, ToolOutcome::Refused},
        ToolCase {"ZoomOutWholeView", Tool::ZoomOut, {0, 0}, {800, 600}, ToolOutcome::Changed, -22,
            18, -15, 15},
        ToolCase {"ZoomOutMiddleHalf", Tool::ZoomOut, {200, 150}, {600, 450}, ToolOutcome::Changed,
            -42, 38, -30, 30},
        ToolCase {"ZoomOutThin", Tool::ZoomOut, {5, 7}, {5, 300}, ToolOutcome::Refused},
        ToolCase {"TranslateRight", Tool::Translation, {10, 10}, {50, 10}, ToolOutcome::Changed,
            -24, 16, -15, 15},
        ToolCase {"TranslateDown", Tool::Translation, {10, 10}, {10, 30}, ToolOutcome::Changed, -22,
            18, -14, 16},
        ToolCase {
            "TranslateNowhere", Tool::Translation, {10, 10}, {10, 10}, ToolOutcome::Unchanged}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Tools, ZoomInOnTheViewsAspectKeepsItAfterNormalisation)
{
    CFunctionsContext c;
    c.ApplyNewDocumentDefaults();
    PrepareSurface(c, 800, 600, 96);
    ASSERT_EQ(ZoomIn(c.area, 800, 600, {100, 100}, {300, 250}), ToolOutcome::Changed);
    PrepareSurface(c, 800, 600, 96);
    EXPECT_DOUBLE_EQ(c.area.viewXMin, -17);
    EXPECT_DOUBLE_EQ(c.area.viewYMin, 2.5);
    EXPECT_DOUBLE_EQ(c.area.viewYMax, 10);
}

struct WheelCase {
    const char* name;
    double px, py, notches;
};

class Wheel : public ::testing::TestWithParam<WheelCase> { };

TEST_P(Wheel, KeepsThePointUnderThePointer)
{
    const WheelCase& k = GetParam();
    CWorkingArea area = DefaultView();
    const CWorkingArea before = area;
    const auto worldX = [](const CWorkingArea& a, double px) {
        return a.viewXMin + (a.viewXMax - a.viewXMin) * px / 800;
    };
    const auto worldY = [](const CWorkingArea& a, double py) {
        return a.viewYMax + (a.viewYMin - a.viewYMax) * py / 600;
    };
    const double x = worldX(area, k.px);
    const double y = worldY(area, k.py);
    ASSERT_EQ(WheelZoom(area, 800, 600, k.px, k.py, k.notches), ToolOutcome::Changed);
    EXPECT_NEAR(worldX(area, k.px), x, 1e-9);
    EXPECT_NEAR(worldY(area, k.py), y, 1e-9);
    const double factor = std::pow(1.25, k.notches);
    EXPECT_NEAR((area.viewXMax - area.viewXMin) * factor, 40, 1e-9);
    EXPECT_NEAR((area.viewYMax - area.viewYMin) * factor, 30, 1e-9);
    EXPECT_EQ(area.areaXMin, area.viewXMin);
    EXPECT_EQ(area.areaYMax, area.viewYMax);
    // The opposite turn comes back.
    ASSERT_EQ(WheelZoom(area, 800, 600, k.px, k.py, -k.notches), ToolOutcome::Changed);
    EXPECT_NEAR(area.viewXMin, before.viewXMin, 1e-9);
    EXPECT_NEAR(area.viewYMax, before.viewYMax, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(View, Wheel,
    ::testing::Values(WheelCase {"InAtTheCentre", 400, 300, 1},
        WheelCase {"OutAtACorner", 0, 0, -1}, WheelCase {"ThreeNotches", 123.5, 77.25, 3},
        WheelCase {"TouchpadFraction", 640, 500, 0.125}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Wheel, StopsBeforeTheRangesStopBeingDrawable)
{
    CWorkingArea area = DefaultView();
    EXPECT_EQ(WheelZoom(area, 800, 600, 400, 300, 0), ToolOutcome::Unchanged);
    int changes = 0;
    while (WheelZoom(area, 800, 600, 400, 300, 10) == ToolOutcome::Changed && changes < 10000)
        ++changes;
    EXPECT_GT(changes, 5);
    EXPECT_LT(changes, 10000);
    EXPECT_GT(area.viewXMax, area.viewXMin);
    area = DefaultView();
    changes = 0;
    while (WheelZoom(area, 800, 600, 10, 10, -10) == ToolOutcome::Changed && changes < 10000)
        ++changes;
    EXPECT_LT(changes, 10000);
    EXPECT_TRUE(std::isfinite(area.viewXMax - area.viewXMin));
}

TEST(ToolState, IsUsedOnceThenIdle)
{
    ToolState s;
    EXPECT_FALSE(s.Press({1, 1})); // idle: the press is not the tool's
    EXPECT_EQ(s.Release(), Tool::None);
    s.Arm(Tool::ZoomOut);
    EXPECT_EQ(s.bandKind, BandKind::Rectangle);
    EXPECT_TRUE(s.Press({10, 20}));
    s.Move({30, 40});
    EXPECT_TRUE(s.IsDragging());
    EXPECT_EQ(s.anchor, (PixelPoint {10, 20}));
    EXPECT_EQ(s.current, (PixelPoint {30, 40}));
    EXPECT_EQ(s.Release(), Tool::ZoomOut);
    EXPECT_FALSE(s.IsArmed());
    EXPECT_FALSE(s.IsDragging());
    EXPECT_EQ(s.Release(), Tool::None);

    s.Arm(Tool::Translation);
    EXPECT_EQ(s.bandKind, BandKind::Line);
    s.Move({5, 5}); // released without a press in the view: runs with the last points
    EXPECT_EQ(s.Release(), Tool::Translation);
    s.Arm(Tool::ZoomIn);
    s.Cancel();
    EXPECT_EQ(s.Release(), Tool::None);
}

} // namespace
