// Simplification rules and derivatives, checked on their printed text; derivatives are also
// checked numerically against a central difference of the formula.

#include <cmath>

#include "platform/CLocale.h"
#include "tests/engine/EngineTestSupport.h"

namespace {

struct TextCase {
    const char* formula;
    const char* text;
};

void PrintTo(const TextCase& c, std::ostream* os)
{
    *os << c.formula;
}

class Simplified : public ::testing::TestWithParam<TextCase> { };

TEST_P(Simplified, PrintsAsExpected)
{
    FunctionInterpreter interpreter(GetParam().formula);
    EXPECT_EQ(interpreter.ToText(), GetParam().text) << "formula: " << GetParam().formula;
}

INSTANTIATE_TEST_SUITE_P(Rules, Simplified,
    ::testing::Values(TextCase {"x + x", "= 2 * x"}, TextCase {"x * x", "= x ^ 2"},
        TextCase {"x - x", "= 0"}, TextCase {"0 - x", "= NEG( x )"}, TextCase {"0 + x", "= x"},
        TextCase {"x + 0", "= x"}, TextCase {"x - 0", "= x"}, TextCase {"1 * x", "= x"},
        TextCase {"x * 1", "= x"}, TextCase {"0 * x", "= 0"}, TextCase {"x * 0", "= 0"},
        TextCase {"0 / x", "= 0"}, TextCase {"x / x", "= 1"}, TextCase {"0 / 0 + x", "= x"},
        TextCase {"x ^ 1", "= x"}, TextCase {"1 ^ x", "= 1"}, TextCase {"x ^ 0", "= 1"},
        TextCase {"0 ^ 0", "= 0"}, TextCase {"0 ^ x", "= 0"}, TextCase {"x % x", "= 0"},
        TextCase {"x < x", "= 0"}, TextCase {"x > x", "= 0"}, TextCase {"x != x", "= 0"},
        TextCase {"x <= x", "= 1"}, TextCase {"x == x", "= 1"}, TextCase {"x >= x", "= 1"},
        TextCase {"x && 0", "= 0"}, TextCase {"0 && x", "= 0"}, TextCase {"1 && x", "= 1 && x"},
        TextCase {"2 && 3", "= 1"}, TextCase {"x || 1", "= 1"}, TextCase {"1 || x", "= 1"},
        TextCase {"0 || x", "= 0 || x"}, TextCase {"x || 0", "= x || 0"}, TextCase {"x & x", "= x"},
        TextCase {"x & -1", "= x"}, TextCase {"-1 & x", "= x"}, TextCase {"x & 0", "= 0"},
        TextCase {"x | -1", "= -1"}, TextCase {"x | 0", "= x"}, TextCase {"0 | x", "= x"},
        TextCase {"x !& 0", "= x"}, TextCase {"0 !& x", "= x"}, TextCase {"x > 0 ? y : y", "= y"},
        TextCase {"1 ? x : y", "= x"}, TextCase {"0 ? x : y", "= y"},
        TextCase {"x ? (2 ? a : b) : c", "= x ? a : c"},
        // A new node is not simplified again in the same pass; its parent folds it.
        TextCase {"2*2", "= 4"}, TextCase {"(2*2)+x", "= 4 + x"},
        TextCase {"rand(x) - rand(x)", "= RAND( x ) - RAND( x )"},
        TextCase {"sin(x) + sin(x)", "= 2 * SIN( x )"}, TextCase {"(x+1)*(x+1)", "= ( x + 1 ) ^ 2"},
        TextCase {"sin(2*3)*x", "= -0.279 * x"}));

struct DerivativeCase {
    const char* formula;
    const char* variable;
    const char* raw; // as built, before simplification; nullptr: not checked
    const char* simplified; // after Simplify
};

void PrintTo(const DerivativeCase& c, std::ostream* os)
{
    *os << c.formula << " by " << c.variable;
}

class Derivative : public ::testing::TestWithParam<DerivativeCase> { };

TEST_P(Derivative, PrintsAsExpected)
{
    const DerivativeCase& c = GetParam();
    if (c.raw != nullptr) {
        EXPECT_EQ(RawDerivative(c.formula, c.variable), c.raw)
            << "d/d" << c.variable << " " << c.formula;
    }
    EXPECT_EQ(SimplifiedDerivative(c.formula, c.variable), c.simplified)
        << "d/d" << c.variable << " " << c.formula;
}

INSTANTIATE_TEST_SUITE_P(Rules, Derivative,
    ::testing::Values(DerivativeCase {"sin(x)", "x", "1 * COS( x )", "1 * COS( x )"},
        DerivativeCase {"sin(x)", "y", "0 * COS( x )", "0 * COS( x )"},
        DerivativeCase {"sin(x)", "X", "0 * COS( x )", "0 * COS( x )"},
        DerivativeCase {"x/y", "x", "( 1 * y - x * 0 ) / y ^ 2", "y / y ^ 2"},
        DerivativeCase {"exp(2*x)", "x", "EXP( 2 * x ) * ( 0 * x + 2 * 1 )", "EXP( 2 * x ) * 2"},
        DerivativeCase {"log(x)", "x", "1 / ( x * 2.3 )", "1 / ( x * 2.3 )"},
        DerivativeCase {"lb(x)", "x", "1 / ( x * 0.693 )", "1 / ( x * 0.693 )"},
        DerivativeCase {"x > 0 ? x : -x", "x", "x > 0 ? 1 : NEG( 1 )", "x > 0 ? 1 : -1"},
        DerivativeCase {
            "x^2", "x", "1 * ( 2 * x ^ ( 2 - 1 ) ) + x ^ 2 * ( 0 * LN( x ) )", "2 * x + 0"},
        DerivativeCase {"sin(2*x)", "x", nullptr, "2 * COS( 2 * x )"},
        DerivativeCase {"5", "x", "0", "0"}, DerivativeCase {"ceil(x % 2)", "x", "0", "0"},
        DerivativeCase {"floor(x)+sgn(x)", "x", "0 + 0", "0 + 0"},
        DerivativeCase {"-x", "x", "NEG( 1 )", "NEG( 1 )"},
        DerivativeCase {"asec(x)", "x", "1 / ( ABS( x ) * SQRT( x ^ 2 - 1 ) )",
            "1 / ( ABS( x ) * SQRT( x ^ 2 - 1 ) )"},
        DerivativeCase {"acsc(x)", "x", "NEG( 1 ) / ( ABS( x ) * SQRT( x ^ 2 - 1 ) )",
            "-1 / ( ABS( x ) * SQRT( x ^ 2 - 1 ) )"},
        DerivativeCase {"acsch(x)", "x", "NEG( 1 / ( x * SQRT( 1 + x ^ 2 ) ) )",
            "NEG( 1 / ( x * SQRT( 1 + x ^ 2 ) ) )"},
        // The interpreter has already turned x*x into x^2 before it is derived.
        DerivativeCase {
            "x*x", "x", "1 * ( 2 * x ^ ( 2 - 1 ) ) + x ^ 2 * ( 0 * LN( x ) )", "2 * x + 0"}));

TEST(Derivative, NonDifferentiableNodesRaiseError10)
{
    for (const char* formula : {"x % 2", "x + (x > 1)", "x * (x > 1)", "rand(x)", "!x", "x | 1",
             "~x", "x && 1", "x || y", "x !& 3", "x & 3", "x == 1"}) {
        FunctionInterpreter interpreter(formula);
        try {
            interpreter.Derive("x");
            ADD_FAILURE() << formula << " was derived";
        } catch (const ParseErrorMsg& e) {
            EXPECT_EQ(e.code, 10) << formula;
            EXPECT_EQ(e.from, -1);
        }
    }
}

TEST(Derivative, IsAFreeUnboundTreeThatMustBeBoundBeforeEvaluation)
{
    FunctionInterpreter square("x*x");
    NodePtr d = square.Derive("x");
    EXPECT_EQ(d->parent, nullptr);
    EXPECT_THROW(d->Evaluate(), ParseErrorMsg);
    FunctionInterpreter other("x");
    other.SetVariableValueAt(0, 3);
    d->Bind(&other);
    EXPECT_DOUBLE_EQ(d->Evaluate(), 6);

    NodePtr byT = square.Derive("t");
    byT->Bind(&other);
    EXPECT_EQ(byT->Evaluate(), 0);
}

// Every differentiable rule, checked against a central difference of the formula itself.
struct NumericCase {
    const char* formula;
    double x;
};

// ASECH is only defined on (0, 1], where u and |u| agree.

void PrintTo(const NumericCase& c, std::ostream* os)
{
    *os << c.formula << " at " << c.x;
}

class DerivativeValue : public ::testing::TestWithParam<NumericCase> { };

TEST_P(DerivativeValue, MatchesCentralDifference)
{
    const NumericCase& c = GetParam();
    FunctionInterpreter f(c.formula);
    NodePtr d = f.Derive("x");
    d->Simplify();
    // Evaluate the printed derivative as a formula of its own, as the curve model does.
    FunctionInterpreter derivative(d->ToText());
    derivative.SetVariableValue("x", c.x);
    const double exact = derivative.Evaluate();
    const double h = 1e-6 * std::max(1.0, std::fabs(c.x));
    f.SetVariableValue("x", c.x + h);
    const double up = f.Evaluate();
    f.SetVariableValue("x", c.x - h);
    const double down = f.Evaluate();
    const double numeric = (up - down) / (2 * h);
    // Printed constants keep three significant digits, hence the tolerance.
    EXPECT_NEAR(exact, numeric, 2e-3 * std::max(1.0, std::fabs(numeric)))
        << c.formula << " at " << c.x;
}

INSTANTIATE_TEST_SUITE_P(Rules, DerivativeValue,
    ::testing::Values(NumericCase {"x^3-2*x+1", 1.5}, NumericCase {"x*sin(x)", 0.7},
        NumericCase {"x/(1+x^2)", 0.3}, NumericCase {"x^x", 1.3}, NumericCase {"ln(x^2+1)", 0.8},
        NumericCase {"log(x)", 3}, NumericCase {"lb(x)", 3}, NumericCase {"exp(-x*x)", 0.5},
        NumericCase {"sqrt(1+x)", 2}, NumericCase {"abs(x)", -2}, NumericCase {"-x^2", 1.2},
        NumericCase {"cos(3*x)", 0.4}, NumericCase {"tan(x)", 0.4}, NumericCase {"sec(x)", 0.4},
        NumericCase {"csc(x)", 0.4}, NumericCase {"cot(x)", 0.4}, NumericCase {"asin(x/2)", 0.4},
        NumericCase {"acos(x/2)", 0.4}, NumericCase {"atan(x)", 0.4}, NumericCase {"asec(x)", 2.5},
        NumericCase {"acsc(x)", 2.5}, NumericCase {"acot(x)", 0.4}, NumericCase {"sinh(x)", 0.4},
        NumericCase {"cosh(x)", 0.4}, NumericCase {"tanh(x)", 0.4}, NumericCase {"sech(x)", 0.4},
        NumericCase {"csch(x)", 0.4}, NumericCase {"coth(x)", 0.4}, NumericCase {"asinh(x)", 0.4},
        NumericCase {"acosh(x)", 2.5}, NumericCase {"atanh(x)", 0.4}, NumericCase {"asech(x)", 0.4},
        NumericCase {"acsch(x)", 0.4}, NumericCase {"acoth(x)", 2.5},
        NumericCase {"x > 0 ? x^2 : -x", 0.5}, NumericCase {"x > 0 ? x^2 : -x", -0.5},
        // The inverse secant and cosecant on both sides of their domain gap; ACSCH is even here
        // (it divides by |x|), so its derivative changes sign with x.
        NumericCase {"asec(x)", -3}, NumericCase {"asec(x)", -1.5}, NumericCase {"asec(x)", 1.5},
        NumericCase {"asec(x)", 3}, NumericCase {"acsc(x)", -3}, NumericCase {"acsc(x)", -1.5},
        NumericCase {"acsc(x)", 1.5}, NumericCase {"acsc(x)", 3}, NumericCase {"acsch(x)", -3},
        NumericCase {"acsch(x)", -1.5}, NumericCase {"acsch(x)", -0.5},
        NumericCase {"acsch(x)", 0.5}, NumericCase {"acsch(x)", 1.5}, NumericCase {"acsch(x)", 3},
        NumericCase {"asec(2*x)", -1}, NumericCase {"acsc(-x)", 2}, NumericCase {"acsch(x^3)", -1},
        NumericCase {"sin(1/x)", 0.3}, NumericCase {"tan(x)*exp(-x*x/50)", 1.1}));

TEST(Derivative, CliLowerCaseText)
{
    EXPECT_EQ(platform::CToLower(SimplifiedDerivative("sin(2*x)", "x")), "2 * cos( 2 * x )");
}

} // namespace
