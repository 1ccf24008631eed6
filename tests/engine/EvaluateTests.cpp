// Evaluation of every operator and function: values at given variable values, and the error code
// of each domain test at its exact bounds.

#include <cmath>
#include <limits>

#include "engine/Functions.h"
#include "tests/engine/EngineTestSupport.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kPi = 3.14159265358979323846;

struct EvalCase {
    const char* formula;
    double x;
    double expected; // ignored when error is set
    int error; // -1: no error expected
};

void PrintTo(const EvalCase& c, std::ostream* os)
{
    *os << c.formula << " at " << c.x;
}

class Evaluation : public ::testing::TestWithParam<EvalCase> { };

TEST_P(Evaluation, GivesValueOrError)
{
    const EvalCase& c = GetParam();
    const Outcome out = EvaluateWith(c.formula, {{"x", c.x}});
    if (c.error >= 0) {
        ASSERT_TRUE(out.error.has_value())
            << c.formula << " at x = " << c.x << " gave " << out.value;
        EXPECT_EQ(*out.error, c.error) << c.formula << " at x = " << c.x;
    } else {
        ASSERT_FALSE(out.error.has_value())
            << c.formula << " at x = " << c.x << " raised " << *out.error;
        if (std::isnan(c.expected))
            EXPECT_TRUE(std::isnan(out.value)) << c.formula;
        else
            EXPECT_DOUBLE_EQ(out.value, c.expected) << c.formula << " at x = " << c.x;
    }
}

INSTANTIATE_TEST_SUITE_P(Operators, Evaluation,
    ::testing::Values(EvalCase {"x+2", 3, 5, -1}, EvalCase {"x-2", 3, 1, -1},
        EvalCase {"x*2", 3, 6, -1}, EvalCase {"x/2", 3, 1.5, -1}, EvalCase {"1/x", 0, 0, 0},
        EvalCase {"1/x", 1e-300, 1e300, -1},
        // Modulus: truncated operands, sign of the dividend, a divisor truncating to 0 refused.
        EvalCase {"x % 2", 7, 1, -1}, EvalCase {"x % 2", -7, -1, -1},
        EvalCase {"x % 2", 7.9, 1, -1}, EvalCase {"x % 2.5", 7.9, 1, -1},
        EvalCase {"x % 0.5", 7, 0, 0}, EvalCase {"x % -0.9", 7, 0, 0},
        EvalCase {"x % -1", -2147483648.0, 0, -1},
        // Power: integer exponents of negative bases only.
        EvalCase {"x^3", -2, -8, -1}, EvalCase {"x^-2", -2, 0.25, -1}, EvalCase {"x^0", -2, 1, -1},
        EvalCase {"x^(1/3)", -2, 0, 3}, EvalCase {"0^x", 0, 0, -1}, EvalCase {"x^(-1)", 0, 0, -1},
        EvalCase {"x^0.5", 4, 2, -1}, EvalCase {"x^(3-1e-15)", -2, 0, 3},
        EvalCase {"x^(3+1e-15)", -2, -8, -1}, EvalCase {"2^3^2", 0, 64, -1},
        EvalCase {"x^1e-18", -2, 1, -1}, EvalCase {"x^31", -1, -1, -1},
        EvalCase {"x^-2147483648", -1, 1, -1}, EvalCase {"x^1e300", -2, 0, 3},
        // Left-associative chains.
        EvalCase {"10-x-2", 3, 5, -1}, EvalCase {"8/x/2", 4, 1, -1}, EvalCase {"-x^2", 3, 9, -1},
        // Comparisons are exact.
        EvalCase {"x < 3", 2, 1, -1}, EvalCase {"x <= 3", 3, 1, -1}, EvalCase {"x > 3", 3, 0, -1},
        EvalCase {"x >= 3", 3, 1, -1}, EvalCase {"x == 3", 3, 1, -1}, EvalCase {"x != 3", 3, 0, -1},
        EvalCase {"x < 3", kNaN, 0, -1}, EvalCase {"x > 3", kNaN, 0, -1},
        EvalCase {"x == 3", kNaN, 0, -1}, EvalCase {"x >= 3", kNaN, 0, -1},
        EvalCase {"x != 3", kNaN, 1, -1},
        // Short circuits never evaluate the skipped side.
        EvalCase {"x && 1/x", 0, 0, -1}, EvalCase {"x || 1/(x-1)", 1, 1, -1},
        EvalCase {"x && 1/(x-1)", 1, 0, 0}, EvalCase {"x && 2", kNaN, 1, -1},
        EvalCase {"x || 0", 0, 0, -1},
        // Bitwise operators on truncated 32-bit integers.
        EvalCase {"x | 2", 5, 7, -1}, EvalCase {"x & 3", 6, 2, -1}, EvalCase {"x !& 3", 6, 5, -1},
        EvalCase {"x | 1", 2.9, 3, -1}, EvalCase {"x & -1", -6, -6, -1},
        // Truncation saturates beyond the 32-bit range; NaN truncates to 0.
        EvalCase {"x | 2", 1e300, 2147483647, -1}, EvalCase {"x | 2", -1e300, -2147483646.0, -1},
        EvalCase {"x & 1", kNaN, 0, -1},
        // The conditional evaluates only its chosen branch.
        EvalCase {"x > 0 ? 1 : -1", 2, 1, -1}, EvalCase {"x > 0 ? 1 : -1", 0, -1, -1},
        EvalCase {"x > 0 ? 1 : ln(-x)", 2, 1, -1}, EvalCase {"x ? 1 : 2", kNaN, 1, -1},
        EvalCase {"(x > 0 ? 1 : 2) + 1", 0, 3, -1}));

INSTANTIATE_TEST_SUITE_P(Functions, Evaluation,
    ::testing::Values(EvalCase {"ln(x)", 0, 0, 3}, EvalCase {"ln(x)", -1, 0, 3},
        EvalCase {"ln(x)", 1, 0, -1}, EvalCase {"lb(x)", 8, 3, -1}, EvalCase {"lb(x)", 0, 0, 33},
        EvalCase {"log(x)", 1000, 3, -1}, EvalCase {"log(x)", 0, 0, 2},
        EvalCase {"exp(x)", 0, 1, -1}, EvalCase {"abs(x)", -2, 2, -1},
        EvalCase {"sqrt(x)", 0, 0, -1}, EvalCase {"sqrt(x)", -0.0, 0, -1},
        EvalCase {"sqrt(x)", -1e-300, 0, 1}, EvalCase {"sqrt(x)", 9, 3, -1},
        EvalCase {"neg(x)", 2, -2, -1}, EvalCase {"sin(x)", kPi / 2, 1, -1},
        EvalCase {"cos(x)", 0, 1, -1}, EvalCase {"tan(x)", kPi / 4, 1, -1},
        EvalCase {"sec(x)", 0, 1, -1}, EvalCase {"csc(x)", kPi / 2, 1, -1},
        EvalCase {"cot(x)", kPi / 4, 1, -1}, EvalCase {"cot(x)", 0, 0, 12},
        EvalCase {"cot(x)", -0.0, 0, 12}, EvalCase {"csc(x)", 0, 0, 14},
        EvalCase {"asin(x)", 1, kPi / 2, -1}, EvalCase {"asin(x)", 1.0000001, 0, 5},
        EvalCase {"acos(x)", -1.5, 0, 6}, EvalCase {"acos(x)", 1, 0, -1},
        EvalCase {"atan(x)", 1, kPi / 4, -1}, EvalCase {"asec(x)", 1, 0, 7},
        EvalCase {"asec(x)", 2, kPi / 3, -1}, EvalCase {"acsc(x)", -1, 0, 8},
        EvalCase {"acsc(x)", 2, kPi / 6, -1}, EvalCase {"acot(x)", 0, 0, 9},
        EvalCase {"acot(x)", 1, kPi / 4, -1}, EvalCase {"sinh(x)", 0, 0, -1},
        EvalCase {"cosh(x)", 0, 1, -1}, EvalCase {"tanh(x)", 0, 0, -1},
        EvalCase {"sech(x)", 0, 1, -1}, EvalCase {"csch(x)", 0, 0, 17},
        EvalCase {"coth(x)", 0, 0, 18}, EvalCase {"asinh(x)", 0, 0, -1},
        EvalCase {"acosh(x)", 0.5, 0, 19}, EvalCase {"acosh(x)", 1, 0, -1},
        EvalCase {"atanh(x)", 1, 0, 20}, EvalCase {"atanh(x)", -1, 0, 20},
        EvalCase {"atanh(x)", 0, 0, -1}, EvalCase {"asech(x)", 0, 0, 21},
        EvalCase {"asech(x)", 1, 0, -1}, EvalCase {"asech(x)", 1.5, 0, 21},
        EvalCase {"acsch(x)", 0, 0, 22}, EvalCase {"acsch(x)", 1, 0.88137358701954305, -1},
        EvalCase {"acsch(x)", -1, 0.88137358701954305, -1}, EvalCase {"acoth(x)", 1, 0, 23},
        EvalCase {"acoth(x)", -1, 0, 23}, EvalCase {"acoth(x)", 3, 0.34657359027997264, -1},
        EvalCase {"sgn(x)", 0, 1, -1}, EvalCase {"sgn(x)", -3, -1, -1}, EvalCase {"!x", 0, 1, -1},
        EvalCase {"!x", 0.5, 0, -1}, EvalCase {"!x", kNaN, 0, -1}, EvalCase {"~x", 0, -1, -1},
        EvalCase {"~x", 5.7, -6, -1}, EvalCase {"~x", -1, 0, -1},
        EvalCase {"ceil(x)", -1.5, -1, -1}, EvalCase {"floor(x)", -1.5, -2, -1},
        // A NaN operand passes every domain test and gives NaN.
        EvalCase {"ln(x)", kNaN, kNaN, -1}, EvalCase {"sqrt(x)", kNaN, kNaN, -1},
        EvalCase {"asin(x)", kNaN, kNaN, -1}));

TEST(Evaluation, PowerOfNegativeBaseFollowsTheRule)
{
    EXPECT_EQ(EvaluateWith("x^y", {{"x", -2}, {"y", 3}}).value, -8);
    EXPECT_EQ(EvaluateWith("x^y", {{"x", -2}, {"y", -2}}).value, 0.25);
    EXPECT_EQ(EvaluateWith("x^y", {{"x", -2}, {"y", 0}}).value, 1);
    EXPECT_EQ(EvaluateWith("x^y", {{"x", -2}, {"y", 1.0 / 3}}).error, 3);
    EXPECT_EQ(EvaluateWith("x^y", {{"x", 0}, {"y", 0}}).value, 0);
    EXPECT_EQ(EvaluateWith("x^y", {{"x", 0}, {"y", -1}}).value, 0);
    EXPECT_EQ(EvaluateWith("x^y", {{"x", -2}, {"y", kNaN}}).error, 3);
}

TEST(Evaluation, OperandOrderDecidesWhichErrorWins)
{
    // Plus, multiply and the bitwise operators evaluate the right operand first; minus, power,
    // the comparisons and the logical operators the left one.
    EXPECT_EQ(EvaluateWith("ln(x) + sqrt(x)", {{"x", -1}}).error, 1);
    EXPECT_EQ(EvaluateWith("ln(x) * sqrt(x)", {{"x", -1}}).error, 1);
    EXPECT_EQ(EvaluateWith("ln(x) - sqrt(x)", {{"x", -1}}).error, 3);
    EXPECT_EQ(EvaluateWith("ln(x) ^ sqrt(x)", {{"x", -1}}).error, 3);
    EXPECT_EQ(EvaluateWith("ln(x) < sqrt(x)", {{"x", -1}}).error, 3);
    EXPECT_EQ(EvaluateWith("ln(x) & sqrt(x)", {{"x", -1}}).error, 1);
    // Division checks its divisor before it evaluates the dividend.
    EXPECT_EQ(EvaluateWith("ln(x) / (x + 1)", {{"x", -1}}).error, 0);
    EXPECT_EQ(EvaluateWith("ln(x) % (x + 1)", {{"x", -1}}).error, 0);
}

TEST(Evaluation, EvaluationErrorLeavesInterpreterUsable)
{
    FunctionInterpreter interpreter("sin(1/x)");
    interpreter.SetVariableValueAt(0, 0);
    EXPECT_THROW(interpreter.Evaluate(), ParseErrorMsg);
    interpreter.SetVariableValueAt(0, 2 / kPi);
    EXPECT_DOUBLE_EQ(interpreter.Evaluate(), 1);
}

TEST(Evaluation, TanNearHalfPiIsLargeButFinite)
{
    const Outcome out = EvaluateWith("tan(x)", {{"x", kPi / 2}});
    ASSERT_FALSE(out.error);
    EXPECT_GT(std::fabs(out.value), 1e15);
    EXPECT_FALSE(EvaluateWith("tanh(x)", {{"x", 0}}).error);
    EXPECT_FALSE(EvaluateWith("sech(x)", {{"x", 1000}}).error);
}

TEST(RandomDraw, FollowsTheGeneratorSequence)
{
    ResetRandomGenerator();
    EXPECT_EQ(EvaluateWith("rand()", {}).value, 41.0 / 32767);
    // The next values of the same linear congruential sequence.
    EXPECT_EQ(NextRandomDraw(), 18467);
    EXPECT_EQ(NextRandomDraw(), 6334);

    ResetRandomGenerator();
    FunctionInterpreter scaled("rand(10)");
    const double a = scaled.Evaluate();
    EXPECT_DOUBLE_EQ(a, 41 * 10.0 * (1.0 / 32767));
    FunctionInterpreter variable("rand(x)");
    variable.SetVariableValueAt(0, -4);
    for (int i = 0; i < 100; ++i) {
        const double v = variable.Evaluate();
        EXPECT_LE(v, 0);
        EXPECT_GE(v, -4);
    }
}

TEST(RandomDraw, DrawsAnewAtEveryEvaluation)
{
    ResetRandomGenerator();
    FunctionInterpreter interpreter("rand() - rand()");
    EXPECT_EQ(interpreter.ToText(), "= RAND(  ) - RAND(  )");
    // Minus evaluates its left operand first: 41 then 18467.
    EXPECT_DOUBLE_EQ(interpreter.Evaluate(), (41.0 - 18467.0) / 32767);
}

TEST(Variables, TableFollowsFirstAppearance)
{
    FunctionInterpreter a("x^2+y");
    ASSERT_EQ(a.GetVariableCount(), 2);
    EXPECT_STREQ(a.GetVariableName(0), "x");
    EXPECT_STREQ(a.GetVariableName(1), "y");
    a.SetVariableValue("x", 3);
    a.SetVariableValue("y", 1);
    EXPECT_EQ(a.Evaluate(), 10);

    FunctionInterpreter b("y+x^2");
    EXPECT_STREQ(b.GetVariableName(0), "y");
    FunctionInterpreter c("X+x");
    EXPECT_EQ(c.GetVariableCount(), 2);

    FunctionInterpreter constant("2*3");
    EXPECT_EQ(constant.GetVariableCount(), 0);
    EXPECT_EQ(constant.ToText(), "= 6");
    EXPECT_FALSE(constant.SetVariableValueAt(0, 1));
    EXPECT_EQ(constant.Evaluate(), 6);

    // Simplification may drop a variable from the tree but never from the table.
    FunctionInterpreter dropped("0*x");
    EXPECT_EQ(dropped.ToText(), "= 0");
    EXPECT_EQ(dropped.GetVariableCount(), 1);
    EXPECT_STREQ(dropped.GetVariableName(0), "x");
}

TEST(Variables, UnknownNamesAndIndices)
{
    FunctionInterpreter f("x+1");
    EXPECT_THROW(f.GetVariableValue("z"), ParseErrorMsg);
    EXPECT_FALSE(f.SetVariableValue("z", 1));
    EXPECT_EQ(f.GetVariableName(5), nullptr);
    EXPECT_EQ(f.GetVariableName(-1), nullptr);
    EXPECT_FALSE(f.SetVariableValueAt(-1, 1));
    EXPECT_EQ(f.FindVariable("x"), 0);
    EXPECT_EQ(f.FindVariable("X"), -1);
    try {
        f.DeriveByIndex(3);
        FAIL() << "no error";
    } catch (const ParseErrorMsg& e) {
        EXPECT_EQ(e.code, 24);
    }
    try {
        f.GetVariableValueAt(7);
        FAIL() << "no error";
    } catch (const ParseErrorMsg& e) {
        EXPECT_EQ(e.code, 24);
    }
}

TEST(Variables, NamesStayValidWhenTheTableGrows)
{
    FunctionInterpreter f("a");
    const char* first = f.GetVariableName(0);
    for (int i = 0; i < 100; ++i) {
        std::string name = "v"; // appended, not "v" + ...: g++ 12 warns falsely at -O3
        name += std::to_string(i);
        f.GetVariableIndex(name.c_str());
    }
    EXPECT_STREQ(first, "a");
    EXPECT_EQ(f.GetVariableCount(), 101);
}

} // namespace
