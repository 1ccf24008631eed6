// Remarkable points of curves whose points are known in closed form: every expected point found,
// of the right kind, at the right place; no point that is not there; undecided ranges only
// where the function oscillates without bound.

#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "model/RemarkablePoints.h"

namespace {

constexpr double kPi = 3.141592653589793;
// The engine's PI is this decimal literal.
constexpr double kEnginePi = 3.14159265;

CFunction Cartesian(const char* formula)
{
    CFunction f;
    f.Set(CurveCartesian, formula, "", 0, 1, 0, 100);
    return f;
}

struct Expected {
    PointKind kind;
    double x;
    PointStatus status = PointStatus::Proven;
};

struct AnalysisCase {
    const char* name;
    const char* formula;
    double a;
    double b;
    std::vector<Expected> points; // all of them, in order
};

void PrintTo(const AnalysisCase& c, std::ostream* os)
{
    *os << c.formula << " over [" << c.a << ", " << c.b << "]";
}

bool Near(double x, double expected)
{
    return std::fabs(x - expected) <= 1e-12 * std::max(1.0, std::fabs(expected));
}

std::string Describe(const CurveAnalysis& r)
{
    std::string s;
    for (const RemarkablePoint& p : r.points)
        s += std::string(PointKindName(p.kind)) + " " + std::to_string(p.x)
            + (p.status == PointStatus::Proven ? " proven\n" : " likely\n");
    for (const UndecidedRange& u : r.undecided)
        s += "undecided " + std::to_string(u.lo) + " " + std::to_string(u.hi) + "\n";
    return s;
}

class KnownPoints : public ::testing::TestWithParam<AnalysisCase> { };

TEST_P(KnownPoints, AreFoundAndNothingElse)
{
    const AnalysisCase& c = GetParam();
    const CurveAnalysis r = AnalyseCurve({Cartesian(c.formula)}, 0, c.a, c.b);
    EXPECT_TRUE(r.undecided.empty()) << Describe(r);
    ASSERT_EQ(r.points.size(), c.points.size()) << Describe(r);
    for (size_t i = 0; i < c.points.size(); ++i) {
        const RemarkablePoint& p = r.points[i];
        EXPECT_EQ(PointKindName(p.kind), std::string(PointKindName(c.points[i].kind)))
            << "point " << i << "\n"
            << Describe(r);
        EXPECT_TRUE(Near(p.x, c.points[i].x))
            << "point " << i << " at " << p.x << ", expected " << c.points[i].x;
        EXPECT_EQ(p.status, c.points[i].status) << "point " << i << "\n" << Describe(r);
        EXPECT_EQ(p.curve, 0);
    }
}

using K = PointKind;
const PointStatus kLikely = PointStatus::Likely;

INSTANTIATE_TEST_SUITE_P(Trigonometric, KnownPoints,
    ::testing::Values(
        AnalysisCase {"SineOverTwoTurns", "sin(x)", -7, 7,
            {{K::Root, -2 * kPi}, {K::Inflection, -2 * kPi}, {K::Maximum, -1.5 * kPi},
                {K::Root, -kPi}, {K::Inflection, -kPi}, {K::Minimum, -kPi / 2}, {K::Root, 0},
                {K::Inflection, 0}, {K::Maximum, kPi / 2}, {K::Root, kPi}, {K::Inflection, kPi},
                {K::Minimum, 1.5 * kPi}, {K::Root, 2 * kPi}, {K::Inflection, 2 * kPi}}},
        AnalysisCase {"TangentPolesAreNotRootsOrInflections", "tan(x)", -2, 2,
            {{K::Pole, -kPi / 2}, {K::Root, 0}, {K::Inflection, 0}, {K::Pole, kPi / 2}}},
        AnalysisCase {"CosineExtremaAtMultiplesOfPi", "cos(x)", 1, 7,
            {{K::Root, kPi / 2}, {K::Inflection, kPi / 2}, {K::Minimum, kPi}, {K::Root, 1.5 * kPi},
                {K::Inflection, 1.5 * kPi}, {K::Maximum, 2 * kPi}}}));

INSTANTIATE_TEST_SUITE_P(Polynomials, KnownPoints,
    ::testing::Values(AnalysisCase {"SimpleRootsExtremaInflection", "x^3-3*x", -4, 4,
                          {{K::Root, -std::sqrt(3.0)}, {K::Maximum, -1}, {K::Root, 0},
                              {K::Inflection, 0}, {K::Minimum, 1}, {K::Root, std::sqrt(3.0)}}},
        AnalysisCase {"IrrationalRoots", "x^2-2", -3, 3,
            {{K::Root, -std::sqrt(2.0)}, {K::Minimum, 0}, {K::Root, std::sqrt(2.0)}}},
        // A double root touches the axis: no change of sign proves it.
        AnalysisCase {"DoubleRootIsLikely", "(x-1)^2*(x+2)", -3, 3,
            {{K::Root, -2}, {K::Maximum, -1}, {K::Inflection, 0}, {K::Root, 1, kLikely},
                {K::Minimum, 1}}},
        AnalysisCase {
            "SquareTouchesAtZero", "x^2", -1, 1, {{K::Root, 0, kLikely}, {K::Minimum, 0}}},
        // x^3 crosses at 0 without a slope: a change of sign proves the root.
        AnalysisCase {"TripleRootIsProven", "x^3", -1, 1, {{K::Root, 0}, {K::Inflection, 0}}}));

INSTANTIATE_TEST_SUITE_P(Rational, KnownPoints,
    ::testing::Values(
        // 1/x changes sign across its pole: no root, no inflection.
        AnalysisCase {"Pole", "1/x", -2, 2, {{K::Pole, 0}}},
        AnalysisCase {"TwoPolesAndAMaximumBetween", "1/(x^2-1)", -3, 3,
            {{K::Pole, -1}, {K::Maximum, 0}, {K::Pole, 1}}}));

INSTANTIATE_TEST_SUITE_P(EdgesAndSteps, KnownPoints,
    ::testing::Values(AnalysisCase {"FloorJumps", "floor(x)", 0.5, 3.5,
                          {{K::Jump, 1}, {K::Jump, 2}, {K::Jump, 3}}},
        // The modulus truncates its operands and has no derivative: constant between the jumps,
        // so nothing is left undecided.
        AnalysisCase {"TruncatedModulusJumps", "x%2", -2.5, 2.5,
            {{K::Jump, -2}, {K::Jump, -1}, {K::Jump, 1}, {K::Jump, 2}}},
        AnalysisCase {"UndefinedEverywhere", "x%0.001", -1, 1, {}},
        AnalysisCase {
            "AbsoluteValueKink", "abs(x)", -1, 1, {{K::Root, 0, kLikely}, {K::Minimum, 0}}},
        AnalysisCase {"HalfCircleEdges", "sqrt(1-x^2)", -2, 2,
            {{K::Edge, -1}, {K::Maximum, 0}, {K::Edge, 1}}},
        // The domain of ln begins at the smallest positive double.
        AnalysisCase {
            "LogarithmEdge", "ln(x)", -1, 2, {{K::Edge, 4.9406564584124654e-324}, {K::Root, 1}}},
        // A spike far narrower than a pixel of any view.
        AnalysisCase {"NarrowSpike", "1/(1+1e8*(x-pi)^2)", 0, 6,
            {{K::Inflection, kEnginePi - 1e-4 / std::sqrt(3.0)}, {K::Maximum, kEnginePi},
                {K::Inflection, kEnginePi + 1e-4 / std::sqrt(3.0)}}}));

// The slope of (x^2-4)/(x-2) is 1, but computed with cancellations that grow without bound toward
// the hole: close to it, no sign of the slope can be proven, and the search says so.
TEST(RemarkablePoints, HoleOfACancelledFactor)
{
    const CurveAnalysis r = AnalyseCurve({Cartesian("(x^2-4)/(x-2)")}, 0, -4, 3);
    ASSERT_EQ(r.points.size(), 2u) << Describe(r);
    EXPECT_EQ(r.points[0].kind, PointKind::Root);
    EXPECT_TRUE(Near(r.points[0].x, -2));
    EXPECT_EQ(r.points[1].kind, PointKind::Hole);
    EXPECT_EQ(r.points[1].x, 2);
    EXPECT_TRUE(Near(r.points[1].y, 4));
    for (const UndecidedRange& u : r.undecided) {
        EXPECT_GE(u.lo, 1.9) << Describe(r);
        EXPECT_LE(u.hi, 2.1) << Describe(r);
    }
}

TEST(RemarkablePoints, AJumpIsPlacedAtTheRounderOfItsTwoDoubles)
{
    // trunc(x) changes between -2 and the next double up: -2 is the place to show.
    const CurveAnalysis r = AnalyseCurve({Cartesian("x%2")}, 0, -2.5, -1.5);
    ASSERT_EQ(r.points.size(), 1u) << Describe(r);
    EXPECT_EQ(r.points[0].x, -2.0);
    EXPECT_EQ(r.points[0].y, 0.0);
    EXPECT_EQ(r.points[0].yRight, -1.0);
}

TEST(RemarkablePoints, JumpsGiveBothLimits)
{
    const CurveAnalysis r = AnalyseCurve({Cartesian("floor(x)")}, 0, 1.5, 2.5);
    ASSERT_EQ(r.points.size(), 1u) << Describe(r);
    EXPECT_EQ(r.points[0].y, 1);
    EXPECT_EQ(r.points[0].yRight, 2);
}

TEST(RemarkablePoints, IntersectionsOfSineAndCosine)
{
    const CurveAnalysis r = AnalyseCurve({Cartesian("sin(x)"), Cartesian("cos(x)")}, 0, -4, 4);
    std::vector<double> found;
    for (const RemarkablePoint& p : r.points)
        if (p.kind == PointKind::Intersection) {
            EXPECT_EQ(p.otherCurve, 1);
            EXPECT_EQ(p.status, PointStatus::Proven);
            found.push_back(p.x);
        }
    ASSERT_EQ(found.size(), 3u) << Describe(r);
    EXPECT_TRUE(Near(found[0], -0.75 * kPi)) << found[0];
    EXPECT_TRUE(Near(found[1], 0.25 * kPi)) << found[1];
    EXPECT_TRUE(Near(found[2], 1.25 * kPi)) << found[2];
    // The later curve does not report them again.
    for (const RemarkablePoint& p :
        AnalyseCurve({Cartesian("sin(x)"), Cartesian("cos(x)")}, 1, -4, 4).points)
        EXPECT_NE(p.kind, PointKind::Intersection);
}

TEST(RemarkablePoints, UndecidedOnlyWhereTheFunctionOscillatesWithoutBound)
{
    const CurveAnalysis r = AnalyseCurve({Cartesian("sin(1/x)")}, 0, -2, 2);
    ASSERT_FALSE(r.undecided.empty());
    for (const UndecidedRange& u : r.undecided) {
        EXPECT_GE(u.lo, -0.1) << Describe(r);
        EXPECT_LE(u.hi, 0.1) << Describe(r);
    }
    // Away from 0 every root 1/(k pi) is found.
    for (int k = 1; k <= 3; ++k) {
        bool found = false;
        for (const RemarkablePoint& p : r.points)
            found = found || (p.kind == PointKind::Root && Near(p.x, 1 / (k * kPi)));
        EXPECT_TRUE(found) << k;
    }
}

TEST(RemarkablePoints, TooManyPointsLeaveTheRestUndecided)
{
    const CurveAnalysis r = AnalyseCurve({Cartesian("sin(x)")}, 0, -1e7, 1e7);
    EXPECT_LE(r.points.size(), static_cast<size_t>(kMaxPointsPerCurve));
    ASSERT_FALSE(r.undecided.empty());
    EXPECT_EQ(r.undecided.back().hi, 1e7);
}

TEST(RemarkablePoints, FormulasThatDoNotCompileGiveNothing)
{
    for (const char* formula : {"sin(", "t+1", "x+y"}) {
        const CurveAnalysis r = AnalyseCurve({Cartesian(formula)}, 0, -1, 1);
        EXPECT_TRUE(r.points.empty()) << formula;
        EXPECT_TRUE(r.undecided.empty()) << formula;
    }
}

TEST(RemarkablePoints, ParametricCircleMeetsTheAxes)
{
    CFunction circle;
    circle.Set(CurveParametric, "cos(t)", "sin(t)", 0.5, 7, 0, 100);
    const CurveAnalysis r = AnalyseCurve({circle}, 0, -1, 1);
    const std::vector<std::pair<PointKind, double>> expected = {{PointKind::AxisY, kPi / 2},
        {PointKind::AxisX, kPi}, {PointKind::AxisY, 1.5 * kPi}, {PointKind::AxisX, 2 * kPi}};
    ASSERT_EQ(r.points.size(), expected.size()) << Describe(r);
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(r.points[i].kind, expected[i].first) << i;
        EXPECT_TRUE(Near(r.points[i].parameter, expected[i].second)) << r.points[i].parameter;
    }
}

TEST(RemarkablePoints, PolarRoseGoesThroughTheOrigin)
{
    CFunction rose;
    rose.Set(CurvePolar, "sin(2*theta)", "", 0.25, 3, 0, 100);
    const CurveAnalysis r = AnalyseCurve({rose}, 0, -1, 1);
    std::vector<double> origins;
    for (const RemarkablePoint& p : r.points)
        if (p.kind == PointKind::Origin)
            origins.push_back(p.parameter);
    ASSERT_EQ(origins.size(), 1u) << Describe(r);
    EXPECT_TRUE(Near(origins[0], kPi / 2));
}

} // namespace
