// Parsing: the tree each formula becomes (printed back by the interpreter) and the error, with
// its positions, of each malformed formula.

#include <cmath>
#include <string>

#include "engine/Functions.h"
#include "engine/Leaves.h"
#include "engine/Operators.h"
#include "tests/engine/EngineTestSupport.h"

namespace {

struct TreeCase {
    const char* formula;
    const char* text;
};

void PrintTo(const TreeCase& c, std::ostream* os)
{
    *os << c.formula;
}

class ParsedTree : public ::testing::TestWithParam<TreeCase> { };

TEST_P(ParsedTree, PrintsAsExpected)
{
    FunctionInterpreter interpreter(GetParam().formula);
    EXPECT_EQ(interpreter.ToText(), GetParam().text) << "formula: " << GetParam().formula;
}

INSTANTIATE_TEST_SUITE_P(Engine, ParsedTree,
    ::testing::Values(
        // Precedence and associativity: splits at the rightmost loosest operator.
        TreeCase {"x^2", "= x ^ 2"}, TreeCase {"a-b-c", "= ( a - b ) - c"},
        TreeCase {"a-(b-c)", "= a - ( b - c )"}, TreeCase {"(a+b)+c", "= ( a + b ) + c"},
        TreeCase {"a+b*c", "= a + b * c"}, TreeCase {"a*b+c", "= a * b + c"},
        TreeCase {"x^y^z", "= ( x ^ y ) ^ z"}, TreeCase {"a<b==c", "= a < b == c"},
        TreeCase {"a||b&&c", "= a || b && c"}, TreeCase {"a|b!&c&d", "= a | b !& c & d"},
        TreeCase {"a % b / c", "= ( a % b ) / c"},
        // Prefix signs and operators.
        TreeCase {"-x^2", "= NEG( x ) ^ 2"}, TreeCase {"2*-x", "= 2 * NEG( x )"},
        TreeCase {"x^-y", "= x ^ NEG( y )"}, TreeCase {"x^-1", "= x ^ -1"},
        TreeCase {"(-x)", "= NEG( x )"}, TreeCase {"sin(-x)", "= SIN( NEG( x ) )"},
        TreeCase {"x+-y", "= x + NEG( y )"}, TreeCase {"x--y", "= x - NEG( y )"},
        TreeCase {"!a+b", "= !( a ) + b"}, TreeCase {"~x", "= ~( x )"},
        TreeCase {"-sin(x)", "= NEG( SIN( x ) )"}, TreeCase {"-.5*x", "= -0.5 * x"},
        TreeCase {"x > 0 ? 1 : -1", "= x > 0 ? 1 : -1"},
        // Numbers: only the decimal forms; "d" exponents too.
        TreeCase {"1e-5*x", "= 1e-05 * x"}, TreeCase {"1d3*x", "= 1e+03 * x"},
        TreeCase {"3.*x", "= 3 * x"}, TreeCase {".5*x", "= 0.5 * x"},
        TreeCase {"1.5e3*x", "= 1.5e+03 * x"}, TreeCase {"+5", "= 5"},
        TreeCase {"12345", "= 1.23e+04"}, TreeCase {"3.14159265", "= 3.14"},
        TreeCase {"0.5", "= 0.5"},
        // Names that are not numbers.
        TreeCase {"1e", "= 1e"}, TreeCase {"0x10", "= 0x10"}, TreeCase {"inf", "= inf"},
        TreeCase {"nan", "= nan"}, TreeCase {"2e-x", "= 2e-x"}, TreeCase {"1d-3", "= 1d - 3"},
        TreeCase {"+x", "= +x"}, TreeCase {"2x", "= 2x"}, TreeCase {"x_1", "= x_1"},
        TreeCase {"th\xE9ta", "= th\xE9ta"}, TreeCase {"rand", "= rand"},
        // Named constants in any case; e in ‘2*e-1’ is the constant.
        TreeCase {"2*e-1", "= 4.44"}, TreeCase {"pI", "= 3.14"}, TreeCase {"True+FALSE", "= 1"},
        // Function names in any case, with blanks before "(".
        TreeCase {"Sin(X)", "= SIN( X )"}, TreeCase {"sin (x)", "= SIN( x )"},
        TreeCase {"ASINH(x)", "= ASINH( x )"}, TreeCase {"neg(x)", "= NEG( x )"},
        TreeCase {"((x))", "= x"}, TreeCase {"( ( x ) )", "= x"}, TreeCase {"=x+1", "= x + 1"},
        TreeCase {"=sin(x)", "= SIN( x )"}, TreeCase {" x ", "= x"},
        // The conditional, comparison and exclusive or.
        TreeCase {"c ? a : b", "= c ? a : b"}, TreeCase {"x == 1", "= x == 1"},
        TreeCase {"a !& b", "= a !& b"}, TreeCase {"a != b", "= a != b"},
        TreeCase {"c1 ? a : (c2 ? b : d)", "= c1 ? a : ( c2 ? b : d )"},
        // Random draws: a constant argument becomes the scale and is not printed.
        TreeCase {"rand(10)", "= RAND(  )"}, TreeCase {"rand()", "= RAND(  )"},
        TreeCase {"rand(x)", "= RAND( x )"}, TreeCase {"rand(1)+x", "= RAND(  ) + x"},
        // Constant parts are folded when the formula is built.
        TreeCase {"2*3+x", "= 6 + x"}, TreeCase {"2^3^2", "= 64"}, TreeCase {"8/4/2", "= 1"},
        TreeCase {"x+1+1", "= ( x + 1 ) + 1"}, TreeCase {"2*x+3*x", "= 2 * x + 3 * x"},
        TreeCase {"x*y*x", "= ( x * y ) * x"}));

struct ErrorCase {
    const char* formula;
    int code;
    int from;
    int to;
};

void PrintTo(const ErrorCase& c, std::ostream* os)
{
    *os << c.formula;
}

class ParseFailure : public ::testing::TestWithParam<ErrorCase> { };

TEST_P(ParseFailure, RaisesCodeAtPositions)
{
    const ErrorCase& c = GetParam();
    const std::optional<ParseErrorMsg> e = BuildError(c.formula);
    ASSERT_TRUE(e.has_value()) << "formula: " << c.formula;
    EXPECT_EQ(e->code, c.code) << "formula: " << c.formula;
    EXPECT_EQ(e->from, c.from) << "formula: " << c.formula;
    EXPECT_EQ(e->to, c.to) << "formula: " << c.formula;
}

INSTANTIATE_TEST_SUITE_P(Engine, ParseFailure,
    ::testing::Values(
        // Empty expressions: the range's positions before stripping.
        ErrorCase {"", 25, 0, -1}, ErrorCase {"   ", 25, 0, 2}, ErrorCase {"=", 25, 1, 0},
        ErrorCase {"()", 25, 0, 1}, ErrorCase {"x+", 25, 2, 1}, ErrorCase {"sin()", 25, 3, 4},
        ErrorCase {"sin( )", 25, 3, 5}, ErrorCase {"2*(  )", 25, 2, 5},
        // Blanks inside a leaf, groups side by side.
        ErrorCase {"2 x", 26, 1, 1}, ErrorCase {"sin x", 26, 3, 3}, ErrorCase {"a   b", 26, 1, 3},
        ErrorCase {"(a)(b)", 26, 2, 3}, ErrorCase {"f(x)(y)", 26, 3, 4},
        // Signs that start a range must be followed by a name, a number or a point.
        ErrorCase {"-(x+1)", 27, 0, 0}, ErrorCase {"-(2)", 27, 0, 0}, ErrorCase {"x*-", 27, 2, 2},
        ErrorCase {"-", 27, 0, 0}, ErrorCase {"--x", 27, 0, 0}, ErrorCase {"- -x", 27, 0, 0},
        ErrorCase {"+-x", 27, 0, 0}, ErrorCase {"-+x", 27, 0, 0}, ErrorCase {"2e-", 27, 2, 2},
        ErrorCase {"2*-(x)", 27, 2, 2},
        // Text before a prefix "!" or "~", text after a group.
        ErrorCase {"2!x", 27, 0, 0}, ErrorCase {"(2) ~x", 27, 1, 1}, ErrorCase {"!!x", 27, 0, 0},
        ErrorCase {"(x)y", 27, 2, 3}, ErrorCase {"sin(x)2", 27, 5, 6},
        // Unbalanced parentheses.
        ErrorCase {"(x", 28, 0, 0}, ErrorCase {"x)", 28, 1, 1}, ErrorCase {"sin(x", 28, 3, 3},
        ErrorCase {"x+(y))", 28, 5, 5}, ErrorCase {"((x)", 28, 0, 0},
        // The same behind and inside whole groups, which the parser steps over.
        ErrorCase {"(a)+(b))", 28, 7, 7}, ErrorCase {"(x+(y)", 28, 0, 0},
        ErrorCase {"(a)*((b)", 28, 0, 0}, ErrorCase {"sin((x)(y))", 26, 6, 7},
        ErrorCase {"((a))(b)", 26, 4, 5}, ErrorCase {"(a)((b))c", 26, 2, 3},
        ErrorCase {"(a = b) + c", 30, 3, 3}, ErrorCase {"((a))b", 27, 4, 5},
        // Unknown or over-long function names: "(" first, then the name's first character.
        ErrorCase {"f(x)", 29, 1, 0}, ErrorCase {"2*log10(x)", 29, 7, 2},
        ErrorCase {"sinus(x)", 29, 5, 0}, ErrorCase {"+sin(x)", 29, 4, 0},
        ErrorCase {"e(x)", 29, 1, 0}, ErrorCase {"abcdef(x)", 29, 6, 0},
        // A single "=" is no operator, wherever it stands.
        ErrorCase {"x = 1", 30, 2, 2}, ErrorCase {"y=x", 30, 1, 1}, ErrorCase {" =x", 30, 1, 1},
        ErrorCase {"sin(x=1)", 30, 5, 5},
        // The conditional pair.
        ErrorCase {"c ? a", 32, 4, 4}, ErrorCase {"x + 2 : 3", 31, -1, -1},
        ErrorCase {"a : b", 31, -1, -1},
        // Evaluation errors while folding constant parts.
        ErrorCase {"1/0", 0, -1, -1}, ErrorCase {"sqrt(-1)", 1, -1, -1},
        ErrorCase {"(-8)^(1/3)", 3, -1, -1}, ErrorCase {"rand(ln(0))", 3, -1, -1},
        ErrorCase {"x + 1 % 0.5", 0, -1, -1}));

TEST(Parser, PiAndEAreTheirTableValues)
{
    EXPECT_EQ(EvaluateWith("PI", {}).value, 3.14159265);
    EXPECT_EQ(EvaluateWith("e", {}).value, std::exp(1.0));
}

TEST(Parser, BuildsTheDocumentedNodeClasses)
{
    FunctionInterpreter power("x^2");
    const auto* pow = dynamic_cast<const PowerOperator*>(power.GetRoot());
    ASSERT_NE(pow, nullptr);
    EXPECT_NE(dynamic_cast<const Variable*>(pow->GetLeft()), nullptr);
    EXPECT_NE(dynamic_cast<const Constant*>(pow->GetRight()), nullptr);

    FunctionInterpreter conditional("c ? a : b");
    const auto* condition = dynamic_cast<const IfOperator*>(conditional.GetRoot());
    ASSERT_NE(condition, nullptr);
    EXPECT_NE(dynamic_cast<const ThenElseOperator*>(condition->GetRight()), nullptr);

    FunctionInterpreter sine("Sin(X)");
    ASSERT_NE(dynamic_cast<const SinFunction*>(sine.GetRoot()), nullptr);
    EXPECT_STREQ(sine.GetVariableName(0), "X");

    FunctionInterpreter random("rand(10)");
    const auto* draw = dynamic_cast<const RandomFunction*>(random.GetRoot());
    ASSERT_NE(draw, nullptr);
    EXPECT_EQ(draw->GetOperand(), nullptr);
    EXPECT_EQ(draw->GetScale(), 10.0);
}

TEST(Parser, LeadingEqualsCountsInErrorPositions)
{
    const std::optional<ParseErrorMsg> e = BuildError("=2 x");
    ASSERT_TRUE(e);
    EXPECT_EQ(e->code, 26);
    EXPECT_EQ(e->from, 2);
}

// Printed text reads back as the same tree, however deeply its groups nest.
class RoundTrip : public ::testing::TestWithParam<std::string> { };

TEST_P(RoundTrip, PrintedTextReadsBackAsTheSameTree)
{
    FunctionInterpreter original(GetParam());
    const std::string text = original.ToText();
    FunctionInterpreter reread(text);
    EXPECT_TRUE(reread.IsEqualTo(original)) << text;
    EXPECT_EQ(reread.ToText(), text);
}

// sin(a + sin(a + ... )) and ((a - b) - ...) nested n deep.
std::string NestedCalls(int n)
{
    std::string s;
    for (int i = 0; i < n; ++i)
        s += "sin(a + ";
    s += "b";
    s += std::string(static_cast<size_t>(n), ')');
    return s;
}
std::string NestedDifferences(int n)
{
    std::string s(static_cast<size_t>(n), '(');
    s += "a";
    for (int i = 0; i < n; ++i)
        s += " - b" + std::to_string(i) + ")";
    return s;
}

INSTANTIATE_TEST_SUITE_P(Engine, RoundTrip,
    ::testing::Values("((a - b) - (c - d)) / (g ^ (f ^ h))", "a - (b - (c - d))", "-x * (-y) ^ -z",
        "x > 0 ? (y < 1 ? a : b) : (c ? d : f)", "!(a && b) || ~c", "sqrt(x) + sin( ( ( x ) ) )",
        "a / b / c * d % f", NestedCalls(300), NestedDifferences(400),
        "(" + NestedCalls(50) + ") ^ (" + NestedDifferences(50) + ")"));

} // namespace
