// A curve's values at one point for the trace: the exact derivative, undefined values kept apart
// from numbers, the tangent's direction for each kind, and the formula that does not compile.

#include <cmath>
#include <numbers>
#include <string>

#include <gtest/gtest.h>

#include "model/CurveValues.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

CFunction Curve(CurveType type, const char* f1, const char* f2 = "")
{
    CFunction f;
    f.Set(type, f1, f2, 0, 1, 0, 10);
    return f;
}

// Equal as the pane would print them: the same double, or both NaN.
void ExpectSame(double actual, double expected, const char* what, const std::string& row)
{
    if (std::isnan(expected))
        EXPECT_TRUE(std::isnan(actual)) << row << ": " << what << " = " << actual;
    else
        EXPECT_EQ(actual, expected) << row << ": " << what;
}

struct ValuesCase {
    const char* name;
    CurveType type;
    const char* f1;
    const char* f2;
    double v;
    bool defined;
    double x, y, dx, dy, slope;
};

TEST(CurveValues, ValuesPointAndExactDerivative)
{
    const double pi = std::numbers::pi;
    const double inf = std::numeric_limits<double>::infinity();
    const ValuesCase rows[] = {
        // cos(pi/2) is 6.123233995736766e-17, not 0: the derivative is evaluated, not estimated.
        {"sine at its top", CurveCartesian, "sin(x)", "", pi / 2, true, pi / 2, 1, 1,
            std::cos(pi / 2), std::cos(pi / 2)},
        {"sine at 1", CurveCartesian, "sin(x)", "", 1, true, 1, std::sin(1.0), 1, std::cos(1.0),
            std::cos(1.0)},
        // A difference quotient would not give 0 exactly at the minimum.
        {"cubic at its minimum", CurveCartesian, "x^3-3*x", "", 1, true, 1, -2, 1, 0, 0},
        {"constant", CurveCartesian, "3", "", 7, true, 7, 3, 1, 0, 0},
        {"variable in upper case", CurveCartesian, "X^2", "", 3, true, 3, 9, 1, 6, 6},
        {"outside the domain", CurveCartesian, "ln(x)", "", -1, false, -1, kNaN, 1, kNaN, kNaN},
        {"derivative undefined at 0", CurveCartesian, "sqrt(x)", "", 0, true, 0, 0, 1, kNaN, kNaN},
        {"circle crossing the x axis", CurveParametric, "cos(t)", "sin(t)", 0, true, 1, 0, -0.0, 1,
            -inf},
        {"circle at its top", CurveParametric, "cos(t)", "sin(t)", pi / 2, true, std::cos(pi / 2),
            1, -1, std::cos(pi / 2), -std::cos(pi / 2)},
        {"parametric standing still", CurveParametric, "t^2", "t^3", 0, true, 0, 0, 0, 0, kNaN},
        {"parametric y undefined", CurveParametric, "t", "ln(t)", -1, false, -1, kNaN, 1, kNaN,
            kNaN},
        {"polar unit circle", CurvePolar, "1", "", 0, true, 1, 0, 0, 1, inf},
        {"polar spiral", CurvePolar, "theta", "", pi, true, -pi, std::sin(pi) * pi,
            std::cos(pi) - pi * std::sin(pi), std::sin(pi) + pi * std::cos(pi),
            (std::sin(pi) + pi * std::cos(pi)) / (std::cos(pi) - pi * std::sin(pi))},
    };
    for (const ValuesCase& row : rows) {
        CurveEvaluator evaluator(Curve(row.type, row.f1, row.f2));
        ASSERT_TRUE(evaluator.Compiled()) << row.name;
        const CurveValues values = evaluator.At(row.v);
        EXPECT_EQ(values.variable, row.v) << row.name;
        EXPECT_EQ(values.defined, row.defined) << row.name;
        ExpectSame(values.x, row.x, "x", row.name);
        ExpectSame(values.y, row.y, "y", row.name);
        ExpectSame(values.dx, row.dx, "dx", row.name);
        ExpectSame(values.dy, row.dy, "dy", row.name);
        ExpectSame(values.Slope(), row.slope, "slope", row.name);
        if (!std::isnan(row.x) && !std::isnan(row.y)) {
            double x = 0, y = 0;
            EXPECT_TRUE(evaluator.PointAt(row.v, x, y)) << row.name;
            EXPECT_EQ(x, row.x) << row.name;
            EXPECT_EQ(y, row.y) << row.name;
        }
    }
}

TEST(CurveValues, AFormulaWithoutDerivativeHasNoSlope)
{
    CurveEvaluator evaluator(Curve(CurveCartesian, "rand(x)"));
    ASSERT_TRUE(evaluator.Compiled());
    const CurveValues values = evaluator.At(0.5);
    EXPECT_TRUE(values.defined);
    EXPECT_TRUE(std::isnan(values.derivative1));
    EXPECT_TRUE(std::isnan(values.Slope()));
}

TEST(CurveValues, TheFormulaThatDoesNotCompileIsNamed)
{
    const struct {
        CurveType type;
        const char* f1;
        const char* f2;
        int failed;
    } rows[] = {
        {CurveCartesian, "sin(x)", "", -1},
        {CurveCartesian, "sin(", "", 0},
        {CurveCartesian, "sin(t)", "", 0}, // not the kind's variable
        {CurveCartesian, "x*y", "", 0},
        {CurveParametric, "t", "sin(", 1},
        {CurveParametric, "x", "t", 0},
        {CurvePolar, "theta", "", -1},
        {CurvePolar, "t", "", 0},
        {CurveNone, "x", "", 0},
        {static_cast<CurveType>(3), "x", "", 0},
    };
    for (const auto& row : rows) {
        CurveEvaluator evaluator(Curve(row.type, row.f1, row.f2));
        EXPECT_EQ(evaluator.FailedFormula(), row.failed) << row.f1 << " " << row.f2;
        EXPECT_EQ(evaluator.Compiled(), row.failed < 0) << row.f1;
        if (!evaluator.Compiled()) {
            const CurveValues values = evaluator.At(0);
            EXPECT_FALSE(values.defined) << row.f1;
            EXPECT_TRUE(std::isnan(values.Slope())) << row.f1;
        }
    }
}

} // namespace
