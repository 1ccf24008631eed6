// The mouse tools' arithmetic and state, on the new document's view (x -22 to 18, y -15 to 15 on
// 800 x 600 pixels).

#include <cmath>
#include <string>
#include <vector>

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

// One event handed to the tool state, and what it must answer.
struct Event {
    enum Kind { Arm, Down, MoveTo, Up, Escape } kind;
    MouseButton button = MouseButton::Left;
    PixelPoint p;
    Tool tool = Tool::None; // Arm: the tool; Up: the tool used
    bool answer = false; // Down: taken; MoveTo: repaint; Escape: disarmed
    ButtonUp::Kind up = ButtonUp::Ignored;
    bool moved = false; // Up: the pan moved the area
    PointerShape pointer = PointerShape::Arrow; // afterwards
    bool wheel = true; // afterwards: the wheel zooms
    double xMin = -22; // afterwards: the area's x minimum
};

Event Arm(Tool tool, PointerShape pointer)
{
    return {Event::Arm, MouseButton::Left, {}, tool, false, ButtonUp::Ignored, false, pointer};
}
Event Down(MouseButton b, PixelPoint p, bool taken, PointerShape pointer, bool wheel = true,
    double xMin = -22)
{
    return {Event::Down, b, p, Tool::None, taken, ButtonUp::Ignored, false, pointer, wheel, xMin};
}
Event MoveTo(PixelPoint p, bool repaint, PointerShape pointer, bool wheel, double xMin)
{
    return {Event::MoveTo, MouseButton::Left, p, Tool::None, repaint, ButtonUp::Ignored, false,
        pointer, wheel, xMin};
}
Event Up(MouseButton b, PixelPoint p, ButtonUp::Kind up, Tool used, bool moved,
    PointerShape pointer, double xMin, bool wheel = true)
{
    return {Event::Up, b, p, used, false, up, moved, pointer, wheel, xMin};
}
Event Escape(bool disarmed, PointerShape pointer)
{
    return {Event::Escape, MouseButton::Left, {}, Tool::None, disarmed, ButtonUp::Ignored, false,
        pointer};
}

struct Script {
    const char* name;
    std::vector<Event> events;
};

void PrintTo(const Script& s, std::ostream* os)
{
    *os << s.name;
}

class ToolEvents : public ::testing::TestWithParam<Script> { };

// The view does what the answers say; the area is the one the view would hold (a pan moves it
// live, and its end puts it back for the undo step to apply).
TEST_P(ToolEvents, AnswerAsTheViewNeeds)
{
    ToolState s;
    CWorkingArea area = DefaultView();
    int i = 0;
    for (const Event& e : GetParam().events) {
        SCOPED_TRACE("event " + std::to_string(i++));
        switch (e.kind) {
        case Event::Arm:
            s.Arm(e.tool);
            break;
        case Event::Down:
            EXPECT_EQ(s.ButtonDown(e.button, e.p, area), e.answer);
            break;
        case Event::MoveTo:
            EXPECT_EQ(s.PointerMoved(e.p, area, 800, 600), e.answer);
            break;
        case Event::Up: {
            const ButtonUp up = s.ButtonReleased(e.button, e.p, area);
            EXPECT_EQ(up.kind, e.up);
            EXPECT_EQ(up.tool, e.tool);
            if (up.kind == ButtonUp::PanEnded) {
                EXPECT_EQ(up.moved, e.moved);
                EXPECT_EQ(up.before.areaXMin, -22);
                area = up.before;
            }
            break;
        }
        case Event::Escape:
            EXPECT_EQ(s.EscapePressed(), e.answer);
            break;
        }
        EXPECT_EQ(s.Pointer(), e.pointer);
        EXPECT_EQ(s.WheelZooms(), e.wheel);
        EXPECT_DOUBLE_EQ(area.areaXMin, e.xMin);
        EXPECT_DOUBLE_EQ(area.viewXMin, e.xMin); // the view moves with the area
    }
}

using P = PointerShape;
using B = MouseButton;

INSTANTIATE_TEST_SUITE_P(View, ToolEvents,
    ::testing::Values(
        // 40 pixels to the right move both x bounds down by 2 units.
        Script {"LeftDragPansWithNoTool",
            {Down(B::Left, {100, 100}, true, P::ClosedHand, false),
                MoveTo({140, 100}, true, P::ClosedHand, false, -24),
                Up(B::Left, {140, 100}, ButtonUp::PanEnded, Tool::None, true, P::Arrow, -22)}},
        Script {"APanBackToItsStartMovesNothing",
            {Down(B::Middle, {100, 100}, true, P::ClosedHand, false),
                MoveTo({140, 100}, true, P::ClosedHand, false, -24),
                MoveTo({100, 100}, true, P::ClosedHand, false, -22),
                Up(B::Middle, {100, 100}, ButtonUp::PanEnded, Tool::None, false, P::Arrow, -22)}},
        Script {"TheMiddleButtonPansUnderAnArmedTool",
            {Arm(Tool::ZoomIn, P::ZoomIn), Down(B::Middle, {100, 100}, true, P::ClosedHand, false),
                MoveTo({140, 100}, true, P::ClosedHand, false, -24),
                Up(B::Left, {140, 100}, ButtonUp::ToolUsed, Tool::ZoomIn, false, P::ClosedHand, -24,
                    false),
                Up(B::Middle, {140, 100}, ButtonUp::PanEnded, Tool::None, true, P::Arrow, -22)}},
        Script {"TheLeftButtonDragsTheArmedToolsBand",
            {Arm(Tool::Translation, P::Translation), Down(B::Left, {10, 10}, true, P::Translation),
                MoveTo({50, 10}, true, P::Translation, true, -22),
                Down(B::Middle, {50, 10}, false, P::Translation), // no pan under a band
                Escape(false, P::Translation), // nor is the band put down
                Up(B::Middle, {50, 10}, ButtonUp::Ignored, Tool::None, false, P::Translation, -22),
                Up(B::Left, {60, 10}, ButtonUp::ToolUsed, Tool::Translation, false, P::Arrow,
                    -22)}},
        Script {"OnePanAtATime",
            {Down(B::Left, {100, 100}, true, P::ClosedHand, false),
                Down(B::Middle, {100, 100}, false, P::ClosedHand, false),
                MoveTo({120, 100}, true, P::ClosedHand, false, -23),
                Up(B::Middle, {120, 100}, ButtonUp::Ignored, Tool::None, false, P::ClosedHand, -23,
                    false),
                Up(B::Left, {120, 100}, ButtonUp::PanEnded, Tool::None, true, P::Arrow, -22)}},
        Script {"OtherButtonsAndBareMovesAreNotTheTools",
            {Down(B::Other, {100, 100}, false, P::Arrow),
                MoveTo({140, 100}, false, P::Arrow, true, -22),
                Up(B::Other, {140, 100}, ButtonUp::Ignored, Tool::None, false, P::Arrow, -22),
                Up(B::Left, {140, 100}, ButtonUp::Ignored, Tool::None, false, P::Arrow, -22)}},
        Script {"EscapePutsAnArmedToolDown",
            {Escape(false, P::Arrow), Arm(Tool::ZoomOut, P::ZoomOut), Escape(true, P::Arrow),
                Down(B::Left, {10, 10}, true, P::ClosedHand, false)}}),
    [](const ::testing::TestParamInfo<Script>& info) { return std::string(info.param.name); });

TEST(ToolState, TheTraceModeLeavesTheLeftButtonToTheTrace)
{
    ToolState s;
    CWorkingArea area = DefaultView();
    EXPECT_FALSE(s.PicksCurve(MouseButton::Left));
    s.SetMode(DragMode::Trace);
    EXPECT_EQ(s.Pointer(), PointerShape::Cross);
    // The left button picks a curve instead of panning; the middle one still pans.
    EXPECT_FALSE(s.ButtonDown(MouseButton::Left, {100, 100}, area));
    EXPECT_TRUE(s.PicksCurve(MouseButton::Left));
    EXPECT_FALSE(s.PicksCurve(MouseButton::Middle));
    EXPECT_FALSE(s.PointerMoved({140, 100}, area, 800, 600));
    EXPECT_EQ(area.viewXMin, -22);
    EXPECT_EQ(s.ButtonReleased(MouseButton::Left, {140, 100}, area).kind, ButtonUp::Ignored);
    EXPECT_TRUE(s.ButtonDown(MouseButton::Middle, {100, 100}, area));
    EXPECT_EQ(s.Pointer(), PointerShape::ClosedHand);
    EXPECT_TRUE(s.PointerMoved({140, 100}, area, 800, 600));
    EXPECT_DOUBLE_EQ(area.viewXMin, -24);
    EXPECT_EQ(s.ButtonReleased(MouseButton::Middle, {140, 100}, area).kind, ButtonUp::PanEnded);
    EXPECT_EQ(s.Pointer(), PointerShape::Cross);
    // An armed tool takes the left button in any mode, and puts its own pointer up meanwhile.
    s.Arm(Tool::ZoomIn);
    EXPECT_FALSE(s.PicksCurve(MouseButton::Left));
    EXPECT_EQ(s.Pointer(), PointerShape::ZoomIn);
    EXPECT_TRUE(s.ButtonDown(MouseButton::Left, {10, 10}, area));
    s.ButtonReleased(MouseButton::Left, {50, 50}, area);
    EXPECT_EQ(s.Pointer(), PointerShape::Cross);
    s.SetMode(DragMode::Pan);
    EXPECT_EQ(s.Pointer(), PointerShape::Arrow);
}

} // namespace
