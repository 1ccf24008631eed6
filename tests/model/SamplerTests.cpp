// The sampler: which plot points and pen-up markers a curve yields, with and without the break
// and domain searches.

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/Functions.h"
#include "model/CFunctionsContext.h"
#include "engine/Functions.h"
#include "model/Sampler.h"
#include "model/SamplerWalk.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// A context showing x from xMin to xMax and y from yMin to yMax on a w x h surface.
CFunctionsContext View(double xMin, double xMax, double yMin, double yMax, int w, int h)
{
    CFunctionsContext c;
    c.area.areaXMin = xMin;
    c.area.areaXMax = xMax;
    c.area.areaYMin = yMin;
    c.area.areaYMax = yMax;
    c.screenWidth = w;
    c.screenHeight = h;
    c.area.Normalise(w, h);
    return c;
}

CFunctionEntry Entry(CurveType type, const char* f1, double min = 0, double max = 1,
    double iterations = 100, const char* f2 = "")
{
    CFunction f;
    f.Set(type, f1, f2, min, max, 0, iterations);
    CFunctionEntry e;
    e.SetFunction(f);
    return e;
}

std::vector<PlotPoint> Sample(CFunctionEntry& e, const CFunctionsContext& c)
{
    std::vector<PlotPoint> points;
    SampleFunction(e, c, points);
    return points;
}

int PenUps(const std::vector<PlotPoint>& points)
{
    int n = 0;
    for (const PlotPoint& p : points)
        n += p.penDown ? 0 : 1;
    return n;
}

TEST(Sampler, SingleUndefinedSampleWithSearchesOff)
{
    // Samples at x = -3, -2, ..., 4; the curve (x+1 with a hole) is undefined at x = 1 only.
    CFunctionsContext c = View(-3, 5, -10, 10, 8, 8);
    c.params.searchBreakPoints = false;
    c.params.searchDiscontinuities = false;
    CFunctionEntry e = Entry(CurveCartesian, "(x*x-1)/(x-1)");
    const std::vector<PlotPoint> points = Sample(e, c);
    // The first sample is never appended by itself; nothing for the undefined sample (x = 1)
    // nor for the one after it (x = 2); no pen-up marker in between.
    std::vector<float> xs;
    for (const PlotPoint& p : points) {
        EXPECT_TRUE(p.penDown);
        xs.push_back(p.x);
    }
    EXPECT_EQ(xs, (std::vector<float> {1, 2, 3, 6, 7}));
}

// World x of a pixel column on the new-document view.
double WorldX(float px)
{
    return -22 + 40.0 * px / 800;
}

TEST(Sampler, TanJumpsAreBracketedByPenUpMarkers)
{
    CFunctionsContext c;
    c.ApplyNewDocumentDefaults();
    c.screenWidth = 800;
    c.screenHeight = 600;
    c.area.Normalise(800, 600);
    CFunctionEntry e = Entry(CurveCartesian, "tan(x)");
    const std::vector<PlotPoint> points = Sample(e, c);
    // Thirteen asymptotes lie between -22 and 18: (k + 1/2) pi for k = -7 ... 5.
    std::vector<double> asymptotes;
    for (int k = -7; k <= 5; ++k)
        asymptotes.push_back((k + 0.5) * kPi);
    int found = 0;
    for (size_t i = 1; i + 1 < points.size(); ++i) {
        if (points[i].penDown)
            continue;
        // The last point before the jump, the marker on it, the first point after.
        const PlotPoint& a = points[i - 1];
        const PlotPoint& b = points[i + 1];
        ASSERT_TRUE(a.penDown && b.penDown);
        EXPECT_EQ(a.x, points[i].x);
        EXPECT_EQ(a.y, points[i].y);
        EXPECT_LT(a.y, 0.0f) << "tan rises to the top before the jump";
        EXPECT_GT(b.y, 600.0f) << "and comes back from the bottom";
        const double xa = WorldX(a.x);
        const double xb = WorldX(b.x);
        ASSERT_LT(static_cast<size_t>(found), asymptotes.size());
        EXPECT_LE(xa, asymptotes[static_cast<size_t>(found)]);
        EXPECT_GE(xb, asymptotes[static_cast<size_t>(found)]);
        EXPECT_LT(xb - xa, 0.05); // within one column
        ++found;
    }
    EXPECT_EQ(found, 13);

    // Without the search there is no marker: the renderer joins across the rejected sample.
    c.params.searchBreakPoints = false;
    const std::vector<PlotPoint> joined = Sample(e, c);
    EXPECT_EQ(PenUps(joined), 0);
    EXPECT_LT(joined.size(), points.size());
}

TEST(Sampler, JumpThatCannotBeBracketedIsNeverJoined)
{
    // 1/x with a sample exactly on 0: the exit search ends the left branch far below, the break
    // search cannot bracket the jump (0 is undefined), the entry search starts the right branch.
    CFunctionsContext c = View(-4, 4, -4, 4, 8, 8);
    CFunctionEntry e = Entry(CurveCartesian, "1/x");
    const std::vector<PlotPoint> points = Sample(e, c);
    // Column 4 is x = 0: no segment may go from one side of it to the other.
    bool lastDown = false;
    float lastX = 0;
    for (const PlotPoint& p : points) {
        if (p.penDown && lastDown) {
            EXPECT_FALSE(lastX < 4 && p.x > 4) << "a segment joins the two branches";
        }
        if (p.penDown)
            lastX = p.x;
        lastDown = p.penDown;
    }
    EXPECT_GE(PenUps(points), 1);
}

TEST(Sampler, DomainEntryOfSqrtLiesOnTheBoundary)
{
    // x from -4 to 4 over 800 columns: sqrt is undefined on the left half.
    CFunctionsContext c = View(-4, 4, -3, 3, 800, 600);
    CFunctionEntry e = Entry(CurveCartesian, "sqrt(x)");
    const std::vector<PlotPoint> points = Sample(e, c);
    size_t first = 0;
    while (first < points.size() && !points[first].penDown)
        ++first;
    ASSERT_LT(first, points.size());
    EXPECT_GT(first, 350u) << "pen-up markers for the undefined part";
    // The boundary point maps x = 0 to column 400 (the float keeps about 1e-5 of a pixel).
    EXPECT_NEAR(points[first].x, 400.0f, 1e-4f);
    EXPECT_NEAR(points[first].y, 300.0f, 1e-2f);
    // Then the regular samples from the second defined one on.
    ASSERT_LT(first + 1, points.size());
    EXPECT_GT(points[first + 1].x, 400.5f);
    EXPECT_LE(points[first + 1].x, 402.0f);
    for (size_t i = first; i < points.size(); ++i)
        EXPECT_TRUE(points[i].penDown);

    c.params.searchDiscontinuities = false;
    const std::vector<PlotPoint> plain = Sample(e, c);
    size_t plainFirst = 0;
    while (!plain[plainFirst].penDown)
        ++plainFirst;
    EXPECT_GT(plain[plainFirst].x, 400.5f) << "without the search the curve starts one column late";
}

TEST(Sampler, DomainExitBisectsWithinAFractionOfAStep)
{
    // sqrt(-x) is defined up to 0: the search must end within step / 2^48 of it.
    CFunctionsContext c = View(-4, 4, -3, 3, 800, 600);
    CFunctionEntry e = Entry(CurveCartesian, "sqrt(-x)");
    const double step = 0.01;
    SamplePoint cur, curD;
    PlotPoint found {};
    ASSERT_TRUE(FindDomainExit(e, c, 0.005, step, cur, curD, found));
    EXPECT_TRUE(cur.valid);
    EXPECT_LE(cur.wx, 0.0);
    EXPECT_GE(cur.wx, -step * std::ldexp(1.0, -48) * 1.0001);
    EXPECT_DOUBLE_EQ(curD.wx, cur.wx);
}

TEST(Sampler, PolarCurveStopsBeforeTheEndOfItsInterval)
{
    CFunctionsContext c = View(-2, 2, -2, 2, 400, 400);
    const double twoPi = 2 * kPi;
    CFunctionEntry e = Entry(CurvePolar, "1", 0, twoPi, 1009);
    const std::vector<PlotPoint> points = Sample(e, c);
    // The values taken: 0, step, 2 step, ... accumulated while below 2 pi.
    const double step = twoPi / 1009;
    std::vector<double> angles;
    for (double v = 0; v < twoPi; v += step)
        angles.push_back(v);
    ASSERT_GE(angles.size(), 1009u);
    ASSERT_LE(angles.size(), 1010u);
    // A circle never jumps: every sample but the first is a point.
    ASSERT_EQ(points.size(), angles.size() - 1);
    const PlotPoint& last = points.back();
    const double a = angles.back();
    EXPECT_NEAR(last.x, 200 + 100 * std::cos(a), 1e-3);
    EXPECT_NEAR(last.y, 200 - 100 * std::sin(a), 1e-3);
    EXPECT_LT(a, twoPi);
}

TEST(Sampler, ConstantCurveGivesOnePointPerColumnFromTheSecond)
{
    CFunctionsContext c;
    c.ApplyNewDocumentDefaults();
    c.screenWidth = 800;
    c.screenHeight = 600;
    c.area.Normalise(800, 600);
    CFunctionEntry e = Entry(CurveCartesian, "2");
    const std::vector<PlotPoint> points = Sample(e, c);
    ASSERT_GE(points.size(), 799u);
    ASSERT_LE(points.size(), 800u);
    for (size_t i = 0; i < points.size(); ++i) {
        EXPECT_TRUE(points[i].penDown);
        EXPECT_NEAR(points[i].x, static_cast<float>(i + 1), 1e-3f);
        EXPECT_FLOAT_EQ(points[i].y, 260.0f); // y = 2 on a 30-unit, 600-pixel range
    }
}

TEST(Sampler, CurveWithoutDerivativeDrawsNothing)
{
    CFunctionsContext c = View(-5, 5, -5, 5, 100, 100);
    for (const char* formula : {"x % 2", "x > 1", "x & 3", "sin(", "x+y"}) {
        CFunctionEntry e = Entry(CurveCartesian, formula);
        const std::vector<PlotPoint> points = Sample(e, c);
        EXPECT_EQ(PenUps(points), static_cast<int>(points.size())) << formula;
    }
}

TEST(Sampler, FarValuesInterruptTheLine)
{
    // A spike at x = 0.25 sends that one sample billions of pixels away.
    CFunctionsContext c = View(-1, 1, -1, 1, 8, 8);
    c.params.searchDiscontinuities = false;
    CFunctionEntry e = Entry(CurveCartesian, "1 + 1e12*exp(-1e4*(x-0.25)^2)");
    const std::vector<PlotPoint> points = Sample(e, c);
    for (const PlotPoint& p : points) {
        EXPECT_GE(p.y, kMinPixel);
        EXPECT_LE(p.y, kMaxPixel);
        EXPECT_NE(p.x, 5.0f) << "the far sample is not plotted";
    }
    std::vector<float> xs;
    for (const PlotPoint& p : points)
        xs.push_back(p.x);
    EXPECT_EQ(xs, (std::vector<float> {1, 2, 3, 4, 7}));
}

struct BranchCase {
    const char* formula;
    double xMin, xMax; // wholly inside the domain
};

void PrintTo(const BranchCase& c, std::ostream* os)
{
    *os << c.formula << " on " << c.xMin << ".." << c.xMax;
}

class SmoothBranch : public ::testing::TestWithParam<BranchCase> { };

// The sampler reads a derivative of the wrong sign as a jump at every step, so these branches
// were drawn as isolated dots or not at all.
TEST_P(SmoothBranch, IsDrawnAsOneLine)
{
    const BranchCase& b = GetParam();
    CFunctionsContext c = View(b.xMin, b.xMax, -4, 4, 100, 100);
    CFunctionEntry e = Entry(CurveCartesian, b.formula);
    const std::vector<PlotPoint> points = Sample(e, c);
    EXPECT_EQ(PenUps(points), 0);
    // One point per column from the second on.
    EXPECT_GE(points.size(), 99u);
}

INSTANTIATE_TEST_SUITE_P(Model, SmoothBranch,
    ::testing::Values(BranchCase {"asec(x)", -5, -1.2}, BranchCase {"acsc(x)", -5, -1.2},
        BranchCase {"acsch(x)", -5, -0.2}, BranchCase {"asec(x)", 1.2, 5},
        BranchCase {"acsc(x)", 1.2, 5}, BranchCase {"acsch(x)", 0.2, 5}));

struct DegenerateCase {
    const char* name;
    CurveType type;
    double min, max, iterations;
    size_t maxPoints;
};

void PrintTo(const DegenerateCase& c, std::ostream* os)
{
    *os << c.name;
}

class DegenerateInterval : public ::testing::TestWithParam<DegenerateCase> { };

// Intervals and steps that could keep the walk going forever must end it quickly.
TEST_P(DegenerateInterval, EndsTheWalk)
{
    const DegenerateCase& d = GetParam();
    CFunctionsContext c = View(-5, 5, -5, 5, 100, 100);
    CFunctionEntry e = Entry(d.type, "cos(t)", d.min, d.max, d.iterations, "sin(t)");
    if (d.type == CurvePolar)
        e = Entry(d.type, "1", d.min, d.max, d.iterations);
    const std::vector<PlotPoint> points = Sample(e, c);
    EXPECT_LE(points.size(), d.maxPoints);
}

INSTANTIATE_TEST_SUITE_P(Model, DegenerateInterval,
    ::testing::Values(DegenerateCase {"empty", CurveParametric, 1, 1, 10, 0},
        DegenerateCase {"reversed", CurvePolar, 2, 1, 10, 0},
        DegenerateCase {"zero_iterations", CurveParametric, 0, 1, 0, 1},
        DegenerateCase {"negative_iterations", CurveParametric, 0, 1, -10, 1},
        DegenerateCase {"nan_iterations", CurvePolar, 0, 1, std::nan(""), 1},
        DegenerateCase {"infinite_iterations", CurvePolar, 0, 1, INFINITY, 1},
        DegenerateCase {"infinite_end", CurveParametric, 0, INFINITY, 10, 1},
        DegenerateCase {"nan_end", CurveParametric, 0, std::nan(""), 10, 0},
        DegenerateCase {"step_too_small_to_move", CurveParametric, 1e16, 1e16 + 4, 136, 3},
        DegenerateCase {"huge_iterations", CurvePolar, 0, 6.28, 1e15,
            static_cast<size_t>(kMaxSamplesPerCurve)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Sampler, EmptyOrDegenerateViewsGiveNoPoints)
{
    CFunctionEntry e = Entry(CurveCartesian, "x");
    CFunctionsContext zeroWidth = View(-1, 1, -1, 1, 0, 100);
    EXPECT_TRUE(Sample(e, zeroWidth).empty());
    CFunctionsContext reversed = View(1, -1, -1, 1, 100, 100);
    EXPECT_TRUE(Sample(e, reversed).empty());
    // A flat y range maps every value to NaN or infinity: nothing is plotted.
    CFunctionsContext flat = View(-1, 1, 0, 0, 100, 100);
    for (const PlotPoint& p : Sample(e, flat))
        EXPECT_FALSE(p.penDown);
}

// Every curve of a context, one after the other on this thread.
std::vector<std::vector<PlotPoint>> SampleInTurn(CFunctionsContext& c)
{
    std::vector<std::vector<PlotPoint>> all(c.functions.size());
    for (size_t i = 0; i < c.functions.size(); ++i)
        SampleFunction(c.functions[i], c, all[i]);
    return all;
}

bool SamePoints(const std::vector<std::vector<PlotPoint>>& a,
    const std::vector<std::vector<PlotPoint>>& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i].size() != b[i].size())
            return false;
        for (size_t j = 0; j < a[i].size(); ++j)
            if (a[i][j].penDown != b[i][j].penDown
                || std::memcmp(&a[i][j].x, &b[i][j].x, sizeof(float)) != 0
                || std::memcmp(&a[i][j].y, &b[i][j].y, sizeof(float)) != 0)
                return false;
    }
    return true;
}

struct ManyCurvesCase {
    const char* name;
    std::vector<const char*> formulas;
};

class SampleAll : public ::testing::TestWithParam<ManyCurvesCase> { };

// Side by side or in turn, the points are the same bits (curves using random numbers are sampled
// in turn).
TEST_P(SampleAll, GivesThePointsOfEachCurveSampledInTurn)
{
    // Fresh contexts: the formulas compile on the sampling threads, as in a new document.
    const auto make = [] {
        CFunctionsContext c = View(-10, 10, -5, 5, 8000, 6000); // long enough to overlap
        for (const char* f : GetParam().formulas)
            c.Append(Entry(CurveCartesian, f));
        c.Append(Entry(CurveParametric, "cos(3*t)", 0, 6.2832, 500, "sin(2*t)"));
        c.Append(Entry(CurvePolar, "sin(4*theta)", 0, 6.2832, 500));
        return c;
    };
    CFunctionsContext inTurn = make();
    ResetRandomGenerator();
    const auto expected = SampleInTurn(inTurn);
    CFunctionsContext sideBySide = make();
    ResetRandomGenerator();
    std::vector<std::vector<PlotPoint>> all;
    SampleFunctions(sideBySide, all);
    EXPECT_TRUE(SamePoints(all, expected));
}

INSTANTIATE_TEST_SUITE_P(Sampler, SampleAll,
    ::testing::Values(ManyCurvesCase {"Plain",
                          {"sin(1/x)", "tan(x)", "sqrt(4-x*x)", "ln(x)", "x>0?1:-1", "asin(x/3)",
                              "x^3-2*x+1", "exp(-x*x)", "1/x", "abs(x)-3"}},
        ManyCurvesCase {"SomeUseRandom",
            {"sin(x)+rand()", "RAND()*x", "cos(x)-rand()", "x/3+rand()", "rand()", "x*x*rand()",
                "rand()-x", "sqrt(abs(x))*rand()"}},
        ManyCurvesCase {"None", {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Sampler, RandomNumbersAreSeenInAnyFormulaOfTheCurve)
{
    const struct {
        CurveType type;
        const char* f1;
        const char* f2;
        bool random;
    } cases[] = {
        {CurveCartesian, "sin(x)", "", false},
        {CurveCartesian, "x*Rand()", "", true},
        {CurveParametric, "t", "rand()*t", true},
        {CurveCartesian, "x", "rand()", false}, // the second formula of a y(x) curve is unused
        {CurvePolar, "2+RAND()", "", true},
    };
    for (const auto& k : cases) {
        CFunction f;
        f.Set(k.type, k.f1, k.f2, 0, 1, 0, 10);
        EXPECT_EQ(MayDrawRandom(f), k.random) << k.f1 << " / " << k.f2;
    }
}

TEST(Sampler, ParametricAndOtherKinds)
{
    CFunctionsContext c = View(-2, 2, -2, 2, 200, 200);
    CFunctionEntry circle = Entry(CurveParametric, "cos(t)", 0, 1, 10, "sin(t)");
    const std::vector<PlotPoint> points = Sample(circle, c);
    ASSERT_EQ(points.size(), 10u);
    // Ten additions of 0.1 fall just short of 1: the walk takes an eleventh sample there.
    EXPECT_NEAR(points.back().x, 100 + 50 * std::cos(1.0), 1e-3);
    EXPECT_NEAR(points.back().y, 100 - 50 * std::sin(1.0), 1e-3);
    CFunctionEntry other = Entry(static_cast<CurveType>(3), "x");
    EXPECT_TRUE(Sample(other, c).empty());
}

} // namespace

namespace {

// The walk as it ran before the regular steps were evaluated a block at a time: the same curve
// seen through a definition that only gives one value per call.
struct OneByOne {
    CEasyFunction& d;
    double paramMin, paramMax, iterations;
    CurveType Type() const { return d.Type(); }
    double EvaluateFormula1(double v) { return d.EvaluateFormula1(v); }
    double EvaluateFormula2(double v) { return d.EvaluateFormula2(v); }
};

struct OneByOneEntry {
    CFunctionEntry& entry;
    OneByOne function;
    OneByOne derivative;
    explicit OneByOneEntry(CFunctionEntry& e)
        : entry(e), function {e.function, e.function.paramMin, e.function.paramMax,
                        e.function.iterations},
          derivative {e.UpdateDerivative(), 0, 0, 1}
    {
    }
    OneByOne& UpdateDerivative()
    {
        entry.UpdateDerivative();
        return derivative;
    }
};

struct BlockCase {
    CurveType type;
    const char* f1;
    const char* f2;
    double min, max, iterations;
};

void PrintTo(const BlockCase& c, std::ostream* os)
{
    *os << c.f1 << " " << c.f2;
}

class BlockEvaluation : public ::testing::TestWithParam<BlockCase> { };

TEST_P(BlockEvaluation, GivesThePointsOfTheOneByOneWalk)
{
    const BlockCase& c = GetParam();
    for (const bool searches : {true, false}) {
        CFunctionsContext view = View(-22, 18, -9, 9, 1920, 1080);
        view.params.searchBreakPoints = view.params.searchDiscontinuities = searches;
        CFunctionEntry blocks = Entry(c.type, c.f1, c.min, c.max, c.iterations, c.f2);
        CFunctionEntry single = Entry(c.type, c.f1, c.min, c.max, c.iterations, c.f2);
        OneByOneEntry oneByOne(single);
        std::vector<PlotPoint> expected;
        ResetRandomGenerator();
        SampleFunctionOf(oneByOne, view, expected);
        ResetRandomGenerator();
        const std::vector<PlotPoint> actual = Sample(blocks, view);
        EXPECT_GT(actual.size(), 0u) << c.f1;
        ASSERT_EQ(actual.size(), expected.size()) << c.f1;
        for (size_t i = 0; i < actual.size(); ++i) {
            ASSERT_EQ(std::bit_cast<uint32_t>(actual[i].x), std::bit_cast<uint32_t>(expected[i].x))
                << c.f1 << " point " << i;
            ASSERT_EQ(std::bit_cast<uint32_t>(actual[i].y), std::bit_cast<uint32_t>(expected[i].y))
                << c.f1 << " point " << i;
            ASSERT_EQ(actual[i].penDown, expected[i].penDown) << c.f1 << " point " << i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Curves, BlockEvaluation,
    ::testing::Values(BlockCase {CurveCartesian, "sin(1/x)", "", 0, 1, 1},
        BlockCase {CurveCartesian, "tan(x)", "", 0, 1, 1},
        BlockCase {CurveCartesian, "ln(x)", "", 0, 1, 1},
        BlockCase {CurveCartesian, "sqrt(1-x*x)", "", 0, 1, 1},
        BlockCase {CurveCartesian, "x^3-2*x+1", "", 0, 1, 1},
        BlockCase {CurveCartesian, "1/(x*x-4)", "", 0, 1, 1},
        BlockCase {CurveCartesian, "x>0?ln(x):-x", "", 0, 1, 1}, // branches: one by one
        BlockCase {CurveCartesian, "sin(x)+rand()", "", 0, 1, 1}, // draws: one by one
        BlockCase {CurveCartesian, "3", "", 0, 1, 1},
        BlockCase {CurveParametric, "cos(t)*3", "sin(2*t)*ln(t)", -1, 7, 1000},
        BlockCase {CurvePolar, "1/sin(theta)", "", 0, 2 * kPi, 2000},
        BlockCase {CurveCartesian, "x/0.5+", "", 0, 1, 1}));

} // namespace
