// The trace without a window, on the new document's view (x -22 to 18, y -15 to 15 on 800 x 600,
// 20 pixels a unit, the origin at pixel (440, 300)): its texts, where the cursor stands after each
// move, snapping and the visit of remarkable points. The points are given as the search reports
// them (sorted by their variable), so that the trace is tested apart from the search.

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "model/CFunctionsContext.h"
#include "view/PlotRenderer.h"
#include "view/RemarkableSet.h"
#include "view/Trace.h"
#include "view/TraceText.h"

namespace {

const double kSqrt3 = std::sqrt(3.0);

CFunction Cartesian(const char* formula)
{
    CFunction f;
    f.Set(CurveCartesian, formula, "", 0, 0, 0, 136);
    return f;
}

CFunction Parametric(const char* fx, const char* fy, double min, double max, double steps)
{
    CFunction f;
    f.Set(CurveParametric, fx, fy, min, max, 0, steps);
    return f;
}

CFunction Polar(const char* formula, double min, double max, double steps)
{
    CFunction f;
    f.Set(CurvePolar, formula, "", min, max, 0, steps);
    return f;
}

CFunctionsContext View(const std::vector<CFunction>& curves)
{
    CFunctionsContext c;
    c.ApplyNewDocumentDefaults();
    c.Clear();
    for (const CFunction& f : curves) {
        CFunctionEntry entry;
        entry.SetFunction(f);
        c.Append(entry);
    }
    PrepareSurface(c, 800, 600, 96);
    return c;
}

RemarkablePoint Point(int curve, PointKind kind, double x, double y, int other = -1)
{
    RemarkablePoint p;
    p.curve = curve;
    p.otherCurve = other;
    p.kind = kind;
    p.x = x;
    p.y = y;
    p.yRight = std::nan("");
    p.parameter = std::nan("");
    return p;
}

std::vector<CurveType> TypesOf(const CFunctionsContext& c)
{
    std::vector<CurveType> types;
    for (const CFunctionEntry& e : c.functions)
        types.push_back(e.function.Type());
    return types;
}

// x^3 - 3x over the default view, as the search reports it.
RemarkableSet CubicPoints(const CFunctionsContext& c)
{
    CurveMarks marks;
    marks.analysis.points = {
        Point(0, PointKind::Root, -kSqrt3, 0),
        Point(0, PointKind::Maximum, -1, 2),
        Point(0, PointKind::Root, 0, 0),
        Point(0, PointKind::Inflection, 0, 0),
        Point(0, PointKind::Minimum, 1, -2),
        Point(0, PointKind::Root, kSqrt3, 0),
    };
    RemarkableSet set;
    set.Reset(c.GetCount());
    set.Set(0, marks, TypesOf(c));
    return set;
}

TEST(TraceText, TheValuesOfEachKindOfCurve)
{
    const double pi = std::numbers::pi;
    const struct {
        CFunction curve;
        double v;
        const char* text;
    } rows[] = {
        {Cartesian("sin(x)"), pi / 2,
            "Courbe 0 : x = 1.570796327, f(x) = 1, f'(x) = 6.123233996e-17"},
        {Cartesian("sin(x)"), 1, "Courbe 0 : x = 1, f(x) = 0.8414709848, f'(x) = 0.5403023059"},
        {Cartesian("x^3-3*x"), 1, "Courbe 0 : x = 1, f(x) = -2, f'(x) = 0"},
        {Cartesian("ln(x)"), -1, "Courbe 0 : f n'est pas définie en x = -1"},
        {Cartesian("sqrt(x)"), 0, "Courbe 0 : x = 0, f(x) = 0, f'(x) non définie"},
        {Cartesian("-x"), 0, "Courbe 0 : x = 0, f(x) = 0, f'(x) = -1"}, // never "-0"
        {Parametric("cos(t)", "sin(t)", 0, 6.3, 100), 0,
            "Courbe 0 : t = 0, x(t) = 1, y(t) = 0, dy/dx infinie"},
        {Parametric("t", "t^2", 0, 1, 10), 0.5,
            "Courbe 0 : t = 0.5, x(t) = 0.5, y(t) = 0.25, dy/dx = 1"},
        {Parametric("t^2", "t^3", -1, 1, 10), 0,
            "Courbe 0 : t = 0, x(t) = 0, y(t) = 0, dy/dx non définie"},
        {Parametric("ln(t)", "t", -1, 1, 10), -1, "Courbe 0 : x(t) n'est pas définie en t = -1"},
        {Parametric("t", "ln(t)", -1, 1, 10), -1, "Courbe 0 : y(t) n'est pas définie en t = -1"},
        {Polar("2", 0, 6.3, 100), 0, "Courbe 0 : θ = 0, r = 2, x = 2, y = 0"},
        {Polar("ln(theta)", 0, 6.3, 100), -1, "Courbe 0 : r n'est pas définie en θ = -1"},
    };
    for (const auto& row : rows) {
        CurveEvaluator e(row.curve);
        EXPECT_EQ(TraceStatusText(0, row.curve.Type(), e.At(row.v), nullptr, false), row.text);
    }
}

TEST(TraceText, NamedAfterTheRemarkablePointWithItsLimits)
{
    RemarkablePoint jump = Point(0, PointKind::Jump, 0, -1);
    jump.yRight = 1;
    RemarkablePoint likely = Point(0, PointKind::Root, 2, 0);
    likely.status = PointStatus::Likely;
    const struct {
        const char* formula;
        RemarkablePoint point;
        int traced;
        const char* text;
    } rows[] = {
        {"x^3-3*x", Point(0, PointKind::Maximum, -1, 2), 0,
            "Courbe 0, maximum local : x = -1, f(x) = 2, f'(x) = 0"},
        {"x^3-3*x", Point(0, PointKind::Minimum, 1, -2), 0,
            "Courbe 0, minimum local : x = 1, f(x) = -2, f'(x) = 0"},
        {"x^3-3*x", Point(0, PointKind::Inflection, 0, 0), 0,
            "Courbe 0, point d'inflexion : x = 0, f(x) = 0, f'(x) = -3"},
        {"x^2-4", likely, 0, "Courbe 0, racine (probable) : x = 2, f(x) = 0, f'(x) = 4"},
        {"x", Point(0, PointKind::Intersection, 0, 0, 2), 0,
            "Courbe 0, intersection avec la courbe 2 : x = 0, f(x) = 0, f'(x) = 1"},
        {"-x", Point(0, PointKind::Intersection, 0, 0, 2), 2,
            "Courbe 2, intersection avec la courbe 0 : x = 0, f(x) = 0, f'(x) = -1"},
        {"1/x", Point(0, PointKind::Pole, 0, std::nan("")), 0,
            "Courbe 0, pôle : f n'est pas définie en x = 0"},
        {"x^2/x", Point(0, PointKind::Hole, 0, 0), 0,
            "Courbe 0, trou : f n'est pas définie en x = 0, limite 0"},
        {"x<0?-1:1", jump, 0,
            "Courbe 0, saut : x = 0, f(x) = 1, f'(x) = 0, limite à gauche -1, limite à droite 1"},
        {"ln(x)", Point(0, PointKind::Edge, 0, std::nan("")), 0,
            "Courbe 0, bord du domaine : f n'est pas définie en x = 0"},
        {"sqrt(x)", Point(0, PointKind::Edge, 0, 0), 0,
            "Courbe 0, bord du domaine : x = 0, f(x) = 0, f'(x) non définie, limite 0"},
    };
    for (const auto& row : rows) {
        CurveEvaluator e(Cartesian(row.formula));
        EXPECT_EQ(TraceStatusText(row.traced, CurveCartesian, e.At(row.point.x), &row.point, false),
            row.text);
    }
    const struct {
        PointKind kind;
        const char* name;
    } axes[] = {
        {PointKind::AxisX, "intersection avec l'axe des x"},
        {PointKind::AxisY, "intersection avec l'axe des y"},
        {PointKind::Origin, "passage par l'origine"},
    };
    for (const auto& row : axes)
        EXPECT_EQ(PointName(Point(0, row.kind, 0, 0), 0), row.name);
}

TEST(TraceText, TheTangentsEquation)
{
    const auto values = [](double x, double y, double dx, double dy) {
        CurveValues v;
        v.defined = true;
        v.x = x;
        v.y = y;
        v.dx = dx;
        v.dy = dy;
        return v;
    };
    const struct {
        CurveValues v;
        const char* equation;
    } rows[] = {
        {values(1, 1, 1, 2), "y = 2x - 1"},
        {values(2, 2, 1, -0.5), "y = -0.5x + 3"},
        {values(5, 4, 1, 0), "y = 4"},
        {values(5, 4, 1, -0.0), "y = 4"},
        {values(3, 3, 1, 1), "y = x"},
        {values(3, -1, 1, -1), "y = -x + 2"},
        {values(0, 0, 1, 0), "y = 0"},
        {values(3, 7, 0, 1), "x = 3"}, // vertical, as a parametric curve may be
        {values(3, 7, -2, 4), "y = -2x + 13"},
        {values(1, 0.8414709848078965, 1, 0.5403023058681398), "y = 0.5403023059x + 0.3011686789"},
        {values(1, 1, 0, 0), ""}, // a curve standing still has no tangent
        {values(1, 1, 1, std::nan("")), ""},
        {CurveValues {}, ""},
    };
    for (const auto& row : rows)
        EXPECT_EQ(TangentEquation(row.v), row.equation) << row.v.dx << " " << row.v.dy;

    CurveEvaluator e(Cartesian("x^2"));
    EXPECT_EQ(TraceStatusText(0, CurveCartesian, e.At(1), nullptr, true),
        "Courbe 0 : x = 1, f(x) = 1, f'(x) = 2 ; tangente : y = 2x - 1");
    CurveEvaluator root(Cartesian("sqrt(x)"));
    EXPECT_EQ(TraceStatusText(1, CurveCartesian, root.At(0), nullptr, true),
        "Courbe 1 : x = 0, f(x) = 0, f'(x) non définie ; pas de tangente en ce point");
}

TEST(TraceText, TooltipsClipboardAndTheUntraceableCurve)
{
    RemarkablePoint axis = Point(1, PointKind::AxisX, -1, 0);
    axis.parameter = std::numbers::pi;
    RemarkablePoint likely = Point(0, PointKind::Minimum, 1, -2);
    likely.status = PointStatus::Likely;
    const struct {
        RemarkablePoint point;
        CurveType type;
        const char* text;
    } rows[] = {
        {Point(0, PointKind::Maximum, -1, 2), CurveCartesian,
            "Courbe 0, maximum local : x = -1, y = 2\nPoint prouvé par le calcul d'intervalles"},
        {likely, CurveCartesian,
            "Courbe 0, minimum local : x = 1, y = -2\nPoint probable : trouvé numériquement, sans "
            "preuve"},
        {Point(0, PointKind::Pole, 1.5707963267948966, std::nan("")), CurveCartesian,
            "Courbe 0, pôle : x = 1.570796327\nPoint prouvé par le calcul d'intervalles"},
        {axis, CurveParametric,
            "Courbe 1, intersection avec l'axe des x : t = 3.141592654, x = -1, y = 0\nPoint "
            "prouvé par le calcul d'intervalles"},
        {axis, CurvePolar,
            "Courbe 1, intersection avec l'axe des x : θ = 3.141592654, x = -1, y = 0\nPoint "
            "prouvé par le calcul d'intervalles"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(MarkToolTip(row.point, row.type), row.text);
    EXPECT_EQ(UndecidedToolTip({3, -0.25, 1e-7}, CurveCartesian),
        "Courbe 3 : recherche non conclusive pour x de -0.25 à 1e-07");
    EXPECT_EQ(ClipboardCoordinates(1.5707963267948966, -0.5), "1.570796327\t-0.5");
    EXPECT_EQ(ClipboardCoordinates(-1e-20, 12345678901.0), "-1e-20\t1.23456789e+10");
    EXPECT_EQ(SearchingText(1), "Courbe 1 : recherche des points remarquables en cours");
    EXPECT_EQ(NoPointText(0), "Courbe 0 : aucun point remarquable trouvé");
    EXPECT_EQ(UntraceableText(2, "y(x)", "Erreur de syntaxe, caractère 5"),
        "La courbe 2 ne peut pas être suivie (y(x) : Erreur de syntaxe, caractère 5)");
}

TEST(Trace, FollowsTheCartesianCurveAtThePointersX)
{
    CFunctionsContext c = View({Cartesian("sin(x)")});
    RemarkableSet none;
    Trace trace;
    EXPECT_FALSE(trace.Active());
    trace.Start(c, 0, {460, 123}, none);
    ASSERT_TRUE(trace.Active());
    EXPECT_EQ(trace.StatusText(), "Courbe 0 : x = 1, f(x) = 0.8414709848, f'(x) = 0.5403023059");
    trace.Follow(c, {400, 5}, none); // the pointer's height does not matter
    EXPECT_EQ(trace.Variable(), -2);
    EXPECT_EQ(trace.Values().y, std::sin(-2.0));
    trace.Step(c, +1, none);
    EXPECT_EQ(trace.Variable(), c.PixelToWorldX(401));
    trace.Step(c, -1, none);
    trace.Step(c, -1, none);
    EXPECT_EQ(trace.Variable(), c.PixelToWorldX(399));
    trace.ShowTangent(true);
    EXPECT_NE(trace.StatusText().find(" ; tangente : y = "), std::string::npos);
    trace.Leave();
    EXPECT_FALSE(trace.Active());
    EXPECT_FALSE(trace.TangentShown());
    EXPECT_EQ(trace.StatusText(), "");
}

TEST(Trace, StepsStopAtTheEdgesOfTheView)
{
    CFunctionsContext c = View({Cartesian("x")});
    RemarkableSet none;
    Trace trace;
    trace.Start(c, 0, {1, 0}, none);
    trace.Step(c, -1, none);
    EXPECT_EQ(trace.Variable(), -22);
    trace.Step(c, -1, none);
    EXPECT_EQ(trace.Variable(), -22);
    trace.Follow(c, {799, 0}, none);
    trace.Step(c, +1, none);
    trace.Step(c, +1, none);
    EXPECT_EQ(trace.Variable(), 18);
}

TEST(Trace, SnapsToAPointWithinAFewPixelsAndNamesIt)
{
    CFunctionsContext c = View({Cartesian("x^3-3*x")});
    const RemarkableSet points = CubicPoints(c);
    Trace trace;
    const struct {
        PixelPoint pointer;
        const char* text;
    } rows[] = {
        // x = -0.9 lies 2 pixels from the maximum (420, 260).
        {{422, 0}, "Courbe 0, maximum local : x = -1, f(x) = 2, f'(x) = 0"},
        {{418, 599}, "Courbe 0, maximum local : x = -1, f(x) = 2, f'(x) = 0"},
        {{430, 0}, "Courbe 0 : x = -0.5, f(x) = 1.375, f'(x) = -2.25"},
        {{461, 0}, "Courbe 0, minimum local : x = 1, f(x) = -2, f'(x) = 0"},
        // Root and inflection at 0: the first listed wins a tie.
        {{441, 0}, "Courbe 0, racine : x = 0, f(x) = 0, f'(x) = -3"},
    };
    for (const auto& row : rows) {
        trace.Start(c, 0, row.pointer, points);
        EXPECT_EQ(trace.StatusText(), row.text) << row.pointer.x;
    }
}

TEST(Trace, ArrowKeysStopAtRemarkablePointsOnTheWay)
{
    CFunctionsContext c = View({Cartesian("x^3-3*x")});
    const RemarkableSet points = CubicPoints(c);
    Trace trace;
    // The root -sqrt(3) stands at pixel 405.36.
    trace.Start(c, 0, {395, 0}, points);
    int steps = 0;
    while (!trace.Snapped() && steps < 20) {
        trace.Step(c, +1, points);
        ++steps;
    }
    EXPECT_EQ(steps, 6); // at 401 the root is within five pixels ahead
    ASSERT_TRUE(trace.Snapped());
    EXPECT_EQ(trace.Snapped()->kind, PointKind::Root);
    EXPECT_EQ(trace.Variable(), -kSqrt3);
    trace.Step(c, +1, points); // on, not back to the point just left
    EXPECT_FALSE(trace.Snapped());
    EXPECT_EQ(trace.Variable(), c.PixelToWorldX(406));
    trace.Step(c, -1, points); // passing over it again stops there
    ASSERT_TRUE(trace.Snapped());
    EXPECT_EQ(trace.Variable(), -kSqrt3);
}

TEST(Trace, APoleOrAHoleIsUndefinedWhateverTheNearestDoubleGives)
{
    CFunctionsContext c = View({Cartesian("tan(x)"), Cartesian("sin(x)/x")});
    CurveMarks poles;
    poles.analysis.points = {Point(0, PointKind::Pole, std::numbers::pi / 2, std::nan(""))};
    CurveMarks holes;
    holes.analysis.points = {Point(1, PointKind::Hole, 0, 1)};
    RemarkableSet set;
    set.Reset(2);
    set.Set(0, poles, TypesOf(c));
    set.Set(1, holes, TypesOf(c));
    Trace trace;
    trace.Start(c, 0, {471, 0}, set); // pi/2 lies at pixel 471.4
    ASSERT_TRUE(trace.Snapped());
    EXPECT_FALSE(trace.Values().defined);
    EXPECT_EQ(trace.StatusText(), "Courbe 0, pôle : f n'est pas définie en x = 1.570796327");
    trace.Start(c, 1, {441, 0}, set);
    EXPECT_EQ(trace.StatusText(), "Courbe 1, trou : f n'est pas définie en x = 0, limite 1");
    trace.ShowTangent(true);
    EXPECT_EQ(trace.StatusText(),
        "Courbe 1, trou : f n'est pas définie en x = 0, limite 1 ; pas de tangente en ce point");
}

TEST(Trace, TabVisitsThePointsInOrderAndComesRound)
{
    CFunctionsContext c = View({Cartesian("x^3-3*x")});
    const RemarkableSet points = CubicPoints(c);
    Trace trace;
    trace.Start(c, 0, {0, 0}, points);
    const struct {
        PointKind kind;
        double x;
    } order[] = {
        {PointKind::Root, -kSqrt3},
        {PointKind::Maximum, -1},
        {PointKind::Root, 0},
        {PointKind::Inflection, 0},
        {PointKind::Minimum, 1},
        {PointKind::Root, kSqrt3},
        {PointKind::Root, -kSqrt3},
    };
    for (const auto& expected : order) {
        ASSERT_EQ(trace.JumpToPoint(+1, points), Trace::Jump::Moved);
        ASSERT_TRUE(trace.Snapped());
        EXPECT_EQ(trace.Snapped()->kind, expected.kind);
        EXPECT_EQ(trace.Variable(), expected.x);
    }
    trace.JumpToPoint(-1, points);
    EXPECT_EQ(trace.Variable(), kSqrt3);
    trace.JumpToPoint(-1, points);
    EXPECT_EQ(trace.Snapped()->kind, PointKind::Minimum);
    // From a place between points, Shift+Tab takes the one before it.
    trace.Follow(c, {450, 0}, points); // x = 0.5
    EXPECT_FALSE(trace.Snapped());
    trace.JumpToPoint(-1, points);
    EXPECT_EQ(trace.Snapped()->kind, PointKind::Inflection);
}

TEST(Trace, TabWithoutPointsSaysWhetherTheSearchIsDone)
{
    CFunctionsContext c = View({Cartesian("x^2+1")});
    RemarkableSet set;
    set.Reset(1);
    Trace trace;
    trace.Start(c, 0, {100, 0}, set);
    EXPECT_EQ(trace.JumpToPoint(+1, set), Trace::Jump::Pending);
    set.Set(0, CurveMarks {}, TypesOf(c));
    EXPECT_EQ(trace.JumpToPoint(+1, set), Trace::Jump::NoPoint);
    EXPECT_FALSE(trace.Snapped());
}

TEST(Trace, UpAndDownSwitchCurvesAtTheSamePlace)
{
    CFunctionsContext c = View({Cartesian("sin(x)"), Cartesian("cos(x)"),
        Parametric("cos(t)", "sin(t)", 0, 2 * std::numbers::pi, 100)});
    RemarkableSet none;
    Trace trace;
    trace.Start(c, 0, {460, 0}, none); // x = 1
    trace.SwitchCurve(c, +1, none);
    EXPECT_EQ(trace.StatusText(), "Courbe 1 : x = 1, f(x) = 0.5403023059, f'(x) = -0.8414709848");
    // The circle's plotted point nearest (1, cos 1), in the direction of that point.
    trace.SwitchCurve(c, +1, none);
    EXPECT_EQ(trace.Curve(), 2);
    const double t = trace.Variable();
    const double step = 2 * std::numbers::pi / 100;
    EXPECT_NEAR(t, std::atan2(std::cos(1.0), 1.0), step / 2);
    EXPECT_NEAR(std::remainder(t / step, 1.0), 0, 1e-9);
    trace.SwitchCurve(c, +1, none); // round to the first
    EXPECT_EQ(trace.Curve(), 0);
    EXPECT_NEAR(trace.Variable(), std::cos(t), 1e-12);
    trace.SwitchCurve(c, -1, none);
    EXPECT_EQ(trace.Curve(), 2);
}

TEST(Trace, ParametricCurvesMoveAlongTheirPlottedSteps)
{
    const double step = 2 * std::numbers::pi / 100;
    CFunctionsContext c = View({Parametric("cos(t)", "sin(t)", 0, 2 * std::numbers::pi, 100)});
    RemarkableSet none;
    Trace trace;
    trace.Start(c, 0, {461, 300}, none); // near (1, 0): t = 0
    EXPECT_EQ(trace.Variable(), 0);
    EXPECT_EQ(trace.StatusText(), "Courbe 0 : t = 0, x(t) = 1, y(t) = 0, dy/dx infinie");
    trace.Step(c, +1, none);
    EXPECT_EQ(trace.Variable(), step); // 1.26 pixels further: another pixel
    trace.Step(c, -1, none);
    EXPECT_EQ(trace.Variable(), 0);
    trace.Step(c, -1, none); // nothing before the start
    EXPECT_EQ(trace.Variable(), 0);
    trace.Start(c, 0, {440, 280}, none); // (0, 1): t = pi/2, the step 25
    EXPECT_NEAR(trace.Variable(), std::numbers::pi / 2, 1e-12);

    // A point of the parameter is snapped to by its parameter.
    CurveMarks marks;
    RemarkablePoint top = Point(0, PointKind::AxisY, 0, 1);
    top.parameter = std::numbers::pi / 2;
    marks.analysis.points = {top};
    RemarkableSet set;
    set.Reset(1);
    set.Set(0, marks, TypesOf(c));
    trace.Start(c, 0, {441, 281}, set);
    ASSERT_TRUE(trace.Snapped());
    EXPECT_EQ(trace.Variable(), std::numbers::pi / 2);
    EXPECT_EQ(
        trace.StatusText().rfind("Courbe 0, intersection avec l'axe des y : t = 1.570796327", 0),
        0u)
        << trace.StatusText();
}

TEST(Trace, FollowsTheDocumentAsItChanges)
{
    CFunctionsContext c = View({Cartesian("sin(x)"), Cartesian("x")});
    RemarkableSet none;
    Trace trace;
    trace.Start(c, 1, {460, 0}, none);
    CFunction changed = Cartesian("2*x");
    c.GetAt(1).SetFunction(changed);
    trace.Refresh(c);
    EXPECT_EQ(trace.StatusText(), "Courbe 1 : x = 1, f(x) = 2, f'(x) = 2");
    c.EraseRange(1, 1);
    trace.Refresh(c);
    EXPECT_FALSE(trace.Active());

    CFunctionsContext broken = View({Cartesian("sin(")});
    trace.Start(broken, 0, {460, 0}, none);
    EXPECT_TRUE(trace.Active());
    EXPECT_FALSE(trace.Compiled());
    EXPECT_EQ(trace.FailedFormula(), 0);
    EXPECT_EQ(trace.JumpToPoint(+1, none), Trace::Jump::NoPoint);
}

TEST(Trace, TheNearestCurveByItsPlottedPoints)
{
    const std::vector<std::vector<PlotPoint>> plotted = {
        {{0, 100, true}, {100, 100, true}}, // a flat line at row 100
        {{40, 0, true}, {0, 0, false}, {60, 90, true}}, // two points apart
        {},
    };
    const struct {
        double x, y;
        bool joined;
        int curve;
    } rows[] = {
        {50, 110, true, 0}, // the line between its points
        {50, 110, false, 1}, // without lines, only the points count
        {45, 5, true, 1}, {40, 50, true, 1}, // the pen went up between (40, 0) and (60, 90)
    };
    for (const auto& row : rows)
        EXPECT_EQ(NearestCurve(plotted, row.joined, row.x, row.y), row.curve)
            << row.x << ", " << row.y;
    EXPECT_EQ(NearestCurve({{}, {{1, 1, false}}}, true, 0, 0), -1);
}

TEST(RemarkableSet, IntersectionsAreListedOnBothCurvesInOrder)
{
    CFunctionsContext c = View({Cartesian("x"), Cartesian("2-x"), Cartesian("x^2")});
    CurveMarks first;
    first.analysis.points
        = {Point(0, PointKind::Root, 0, 0), Point(0, PointKind::Intersection, 0, 0, 2),
            Point(0, PointKind::Intersection, 1, 1, 1), Point(0, PointKind::Intersection, 1, 1, 2)};
    CurveMarks second;
    second.analysis.points
        = {Point(1, PointKind::Intersection, -2, 4, 2), Point(1, PointKind::Root, 2, 0)};
    CurveMarks third;
    third.analysis.points = {Point(2, PointKind::Minimum, 0, 0)};
    RemarkableSet set;
    set.Reset(3);
    set.Set(2, third, TypesOf(c));
    EXPECT_FALSE(set.Known(1));
    EXPECT_TRUE(set.PointsOn(1).empty());
    ASSERT_EQ(set.PointsOn(2).size(), 1u);
    set.Set(0, first, TypesOf(c));
    set.Set(1, second, TypesOf(c));

    const auto describe = [&](int curve) {
        std::string text;
        for (const RemarkablePoint& p : set.PointsOn(curve))
            text += PointName(p, curve) + " " + TraceNumber(p.x) + "; ";
        return text;
    };
    EXPECT_EQ(describe(0),
        "racine 0; intersection avec la courbe 2 0; intersection avec la courbe 1 1; "
        "intersection avec la courbe 2 1; ");
    EXPECT_EQ(describe(1),
        "intersection avec la courbe 2 -2; intersection avec la courbe 0 1; "
        "racine 2; ");
    EXPECT_EQ(describe(2),
        "intersection avec la courbe 1 -2; minimum local 0; intersection avec la courbe 0 0; "
        "intersection avec la courbe 0 1; ");
    EXPECT_TRUE(set.PointsOn(7).empty());
    set.Reset(3);
    EXPECT_FALSE(set.Known(0));
}

} // namespace
