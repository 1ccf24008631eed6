// Interval evaluation: the enclosure holds every value the point evaluator gives, a dac or com
// decoration never meets a point error or NaN, the decorations say what each function and
// operator does over a range, and the enclosures are tight where the rules can make them so.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/IntervalEvaluator.h"
#include "tests/engine/FormulaGenerator.h"
#include "tests/engine/IntervalPromise.h"

namespace {

using interval::Interval;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kHalfPi = 1.5707963267948966;
constexpr double kMax = std::numeric_limits<double>::max();
constexpr double kTiny = std::numeric_limits<double>::denorm_min();

IntervalBounds Evaluate(const char* formula, double lo, double hi)
{
    FunctionInterpreter f(formula);
    const int index = f.GetVariableCount() > 0 ? 0 : -1;
    return IntervalEvaluator(f, index).Evaluate({lo, hi});
}

struct DecorationCase {
    const char* formula;
    double lo;
    double hi;
    Decoration decoration;
};

void PrintTo(const DecorationCase& c, std::ostream* os)
{
    *os << c.formula << " over [" << c.lo << ", " << c.hi << "]";
}

class Decorations : public ::testing::TestWithParam<DecorationCase> { };

TEST_P(Decorations, SayWhereTheFormulaIsDefinedAndContinuous)
{
    const DecorationCase& c = GetParam();
    EXPECT_EQ(DecorationName(Evaluate(c.formula, c.lo, c.hi).decoration()),
        std::string(DecorationName(c.decoration)));
}

INSTANTIATE_TEST_SUITE_P(Interval, Decorations,
    ::testing::Values(
        // Defined, continuous and bounded.
        DecorationCase {"sin(x)", 0, 3, Decoration::com},
        DecorationCase {"sqrt(1-x*x)", -1, 1, Decoration::com},
        DecorationCase {"ln(x)", 1, 2, Decoration::com},
        DecorationCase {"abs(x)", -1, 1, Decoration::com},
        DecorationCase {"x^3-2*x+1", -4, 4, Decoration::com},
        DecorationCase {"floor(x)", 0.5, 0.9, Decoration::com},
        DecorationCase {"x>0?ln(x):-x", 0.5, 2, Decoration::com},
        DecorationCase {"tan(x)", -1.5, 1.5, Decoration::com},
        DecorationCase {"asec(x)", 1.5, 3, Decoration::com},
        DecorationCase {"atanh(x)", -0.5, 0.5, Decoration::com},
        // Unbounded: infinite ends, overflow.
        DecorationCase {"x", 0, kInf, Decoration::dac},
        DecorationCase {"exp(x)", 0, 1000, Decoration::dac},
        DecorationCase {"atan(x)", -kInf, kInf, Decoration::com},
        // Defined, but jumps: steps, comparisons, undecided conditions, truncations.
        DecorationCase {"floor(x)", 0.5, 1.5, Decoration::def},
        DecorationCase {"sgn(x)", -1, 1, Decoration::def},
        DecorationCase {"x<1", 0, 2, Decoration::def},
        DecorationCase {"x>0?ln(x):-x", -1, 1, Decoration::def},
        DecorationCase {"x%3", 0, 7, Decoration::def},
        DecorationCase {"x&1", 0, 7, Decoration::def},
        DecorationCase {"x^y", -1, 1, Decoration::def}, // y = 0: 0^0 is 0 here, 1 around it
        // Perhaps undefined: poles, domain edges crossed, division by zero, rand, NaN.
        DecorationCase {"1/x", -1, 1, Decoration::trv},
        DecorationCase {"tan(x)", 1, 2, Decoration::trv},
        DecorationCase {"sec(x)", 1, 2, Decoration::trv},
        DecorationCase {"cot(x)", -1, 1, Decoration::trv},
        DecorationCase {"ln(x)", -1, 1, Decoration::trv},
        DecorationCase {"asec(x)", -2, 2, Decoration::trv},
        DecorationCase {"acosh(x)", 0, 2, Decoration::trv},
        DecorationCase {"x^0.5", -1, 1, Decoration::trv},
        DecorationCase {"7%x", -2, 2, Decoration::trv},
        DecorationCase {"rand()", 0, 1, Decoration::trv},
        DecorationCase {"sin(x)", 0, kInf, Decoration::trv}, // sin(inf) is NaN
        DecorationCase {"x-2*x", -kInf, 0, Decoration::trv}, // inf - inf
        // Nowhere defined.
        DecorationCase {"ln(x)", -2, -1, Decoration::ill},
        DecorationCase {"asin(x)", 2, 3, Decoration::ill},
        DecorationCase {"sqrt(-1-x*x)", 0, 1, Decoration::ill},
        // A NaN base takes the negative bases' road: a fractional power of it fails.
        DecorationCase {"((exp(1000)+neg(exp(1000)))^x<1)+x", 0.4, 0.6, Decoration::ill},
        // NaN inside a formula is a value: a comparison turns it into a number.
        DecorationCase {"sin(x)<2", 0, kInf, Decoration::def},
        DecorationCase {"sgn(x-2*x)", -kInf, 0, Decoration::def},
        DecorationCase {"x^0.5", -3, -1, Decoration::ill}));

// Enclosures that should be as tight as their rules allow: every value of the true range is
// inside, and the enclosure is no wider than a few ulps (or a stated factor) beyond it.
struct TightCase {
    const char* formula;
    double lo;
    double hi;
    double trueLo;
    double trueHi;
    double slack; // allowed width beyond the true range, in units of its magnitude
};

void PrintTo(const TightCase& c, std::ostream* os)
{
    *os << c.formula << " over [" << c.lo << ", " << c.hi << "]";
}

class Tightness : public ::testing::TestWithParam<TightCase> { };

TEST_P(Tightness, HoldsTheTrueRangeAndLittleMore)
{
    const TightCase& c = GetParam();
    const IntervalBounds b = Evaluate(c.formula, c.lo, c.hi);
    EXPECT_LE(b.range.lo, c.trueLo);
    EXPECT_GE(b.range.hi, c.trueHi);
    const double scale = std::max({std::fabs(c.trueLo), std::fabs(c.trueHi), 1e-300});
    EXPECT_GE(b.range.lo, c.trueLo - c.slack * scale) << b.range.lo;
    EXPECT_LE(b.range.hi, c.trueHi + c.slack * scale) << b.range.hi;
}

INSTANTIATE_TEST_SUITE_P(Interval, Tightness,
    ::testing::Values(TightCase {"sin(x)", 0, 3, 0, 1, 1e-15},
        TightCase {"cos(x)", -1, 4, -1, 1, 1e-15},
        TightCase {"exp(x)", -1, 1, std::exp(-1.0), std::exp(1.0), 4e-15},
        TightCase {"x*x", -1, 1, 0, 1, 0}, TightCase {"x^3", -2, 1, -8, 1, 0},
        TightCase {"x-x", -5, 7, 0, 0, 0}, TightCase {"2*x+1", -1, 1, -1, 3, 0},
        TightCase {"x^3-2*x+1", -4, 4, -55, 57, 1e-3},
        TightCase {"x*sin(x)", -1, 1, 0, std::sin(1.0), 1e-2},
        TightCase {"sqrt(1-x*x)", -1, 1, 0, 1, 0},
        TightCase {"x>0?ln(x):-x", -1, 1, std::log(kTiny), 1, 4e-15}));

// Ends of ranges where things happen: poles and domain edges, signed zeros, huge and tiny
// magnitudes, the infinities, the limits of the integer truncation.
const double kEnds[]
    = {0.0, -0.0, 1, -1, 0.5, -0.5, 2, -2, 3, kHalfPi, -kHalfPi, 3.14159265, 3.141592653589793,
        1e-300, -1e-300, kTiny, 1e300, -1e300, kMax, -kMax, kInf, -kInf, 2147483647.0, 2147483648.0,
        -2147483648.0, -2147483649.0, 0.999999999999, 1e-17, 7.25, -13, 100, 1e15};

class RangeMaker {
public:
    explicit RangeMaker(uint32_t seed) : random_(seed) { }

    Interval Next()
    {
        const double a = Pick();
        const double b = random_() % 3 == 0 ? Near(a) : Pick();
        return {std::min(a, b), std::max(a, b)};
    }
    // A point of x: an end, the middle, or a random place.
    double Inside(const Interval& x)
    {
        switch (random_() % 5) {
        case 0:
            return x.lo;
        case 1:
            return x.hi;
        default:
            break;
        }
        if (!x.IsBounded())
            return Pick(x);
        const double t = std::uniform_real_distribution<double>(0, 1)(random_);
        const double v = x.lo + t * (x.hi - x.lo);
        return std::isfinite(v) && x.Contains(v) ? v : x.lo;
    }

private:
    double Pick()
    {
        if (random_() % 2 == 0)
            return kEnds[random_() % std::size(kEnds)];
        return std::uniform_real_distribution<double>(-10, 10)(random_);
    }
    // A finite or infinite point of an unbounded x.
    double Pick(const Interval& x)
    {
        for (int i = 0; i < 8; ++i) {
            const double v = Pick();
            if (x.Contains(v))
                return v;
        }
        return x.lo;
    }
    double Near(double a)
    {
        if (!std::isfinite(a))
            return a;
        const double w = std::ldexp(1.0, -static_cast<int>(random_() % 40)) * (std::fabs(a) + 1);
        return a + (random_() % 2 ? w : -w);
    }

    std::mt19937 random_;
};

// A million triples (formula, range, point): the promise holds for the plain walk, the centred
// form and the split evaluation alike.
TEST(IntervalPromise, HoldsForRandomFormulasRangesAndPoints)
{
    FormulaGenerator generator(20261209);
    RangeMaker ranges(42);
    long triples = 0;
    long decided = 0; // points under dac or better
    long undefinedPoints = 0;
    int formulas = 0;
    while (triples < 1000000) {
        const std::string text = generator.Formula();
        std::optional<FunctionInterpreter> f;
        try {
            f.emplace(text);
        } catch (const ParseErrorMsg&) {
            continue;
        }
        ++formulas;
        const int x = f->FindVariable("x");
        const int y = f->FindVariable("y");
        for (int r = 0; r < 4; ++r) {
            if (y >= 0)
                f->SetVariableValueAt(y, ranges.Inside({-3, 3}));
            const Interval range = ranges.Next();
            const IntervalEvaluator evaluator(*f, x);
            IntervalBounds bounds[3];
            try {
                bounds[0] = evaluator.Plain(range);
                bounds[1] = evaluator.Centred(range);
                bounds[2] = evaluator.Evaluate(range, 2);
            } catch (const ParseErrorMsg& e) {
                ASSERT_EQ(e.code, kErrorTooDeep) << text;
                continue;
            }
            const double yValue = y >= 0 ? f->GetVariableValueAt(y) : 0;
            for (int p = 0; p < 25; ++p) {
                const double at = ranges.Inside(range);
                for (const IntervalBounds& b : bounds) {
                    if (y >= 0)
                        f->SetVariableValueAt(y, yValue);
                    const std::optional<std::string> v = Violation(*f, x, range, b, at);
                    ASSERT_FALSE(v) << text << ": " << *v;
                    decided += b.decoration() >= Decoration::dac ? 1 : 0;
                    ++triples;
                }
                QuietEvaluation quiet;
                undefinedPoints += std::isnan(f->Evaluate()) || quiet.Failed() ? 1 : 0;
            }
        }
    }
    // The test must reach what it claims: many formulas, decided ranges, undefined points.
    EXPECT_GT(formulas, 2000);
    EXPECT_GT(decided, 100000);
    EXPECT_GT(undefinedPoints, 10000);
}

// Chosen nasty places, each point checked against each range.
TEST(IntervalPromise, HoldsAtPolesEdgesZerosAndLimits)
{
    const char* const kFormulas[] = {"tan(x)", "sec(x)", "csc(x)", "cot(x)", "1/x", "x/0.5",
        "ln(x)", "log(x)", "lb(x)", "sqrt(x)", "asin(x)", "acos(x)", "asec(x)", "acsc(x)",
        "acot(x)", "acosh(x)", "atanh(x)", "asech(x)", "acsch(x)", "acoth(x)", "asinh(x)",
        "coth(x)", "csch(x)", "sech(x)", "tanh(x)", "sinh(x)", "cosh(x)", "exp(x)", "x^2", "x^3",
        "x^-1", "x^-2", "x^0.5", "x^2.5", "(-2)^x", "x^x", "0^x", "x^(3+1e-15)", "x%3", "7%x",
        "x%x", "x&3", "x|3", "x!&x", "~x", "!x", "x&&1/x", "x||1/(x-1)", "floor(x)", "ceil(x)",
        "sgn(x)", "abs(x)", "x-x", "x*x", "x*0", "x/x", "(x+1)-x", "x==0", "x!=1", "x<=2",
        "x>0?ln(x):-x", "x<1?1/(x-1):x", "rand(x)", "x*1e300", "x/1e-300", "sin(1/x)", "x*sin(1/x)",
        "sqrt(1-x*x)", "tan(x)*exp(-x*x/50)"};
    int checked = 0;
    for (const char* text : kFormulas) {
        FunctionInterpreter f(text);
        const IntervalEvaluator evaluator(f, f.FindVariable("x"));
        for (const double a : kEnds)
            for (const double b : kEnds) {
                if (!(a <= b))
                    continue;
                const Interval range {a, b};
                const IntervalBounds bounds[] = {
                    evaluator.Plain(range), evaluator.Centred(range), evaluator.Evaluate(range, 3)};
                for (const double at : kEnds) {
                    if (!range.Contains(at))
                        continue;
                    for (const IntervalBounds& bound : bounds) {
                        const std::optional<std::string> v
                            = Violation(f, f.FindVariable("x"), range, bound, at);
                        ASSERT_FALSE(v) << text << ": " << *v;
                        ++checked;
                    }
                }
            }
    }
    EXPECT_GT(checked, 100000);
}

// A draw's scale near the top of the doubles: r * s overflows to an infinity, and 0 times an
// infinite scale is NaN, which a comparison turns into 0.
TEST(IntervalPromise, HoldsForEveryDrawOfRand)
{
    const Interval kRanges[]
        = {{-1.1e304, 1e-300}, {1e200, 1e300}, {-kMax, kMax}, {1e305, kInf}, {-kInf, kInf}, {0, 1}};
    int checked = 0;
    for (const char* text : {"rand(x)", "rand(x*x)", "rand(x*x)<1", "rand(x*x)>=0", "rand(-x*x)"}) {
        FunctionInterpreter f(text);
        const int index = f.FindVariable("x");
        const IntervalEvaluator evaluator(f, index);
        for (const Interval& range : kRanges) {
            const IntervalBounds bound = evaluator.Plain(range);
            for (const double at : {range.lo, range.hi, range.lo / 2 + range.hi / 2})
                for (int draw = 0; draw < 2000; ++draw) {
                    const std::optional<std::string> v = Violation(f, index, range, bound, at);
                    ASSERT_FALSE(v) << text << ": " << *v;
                    ++checked;
                }
        }
    }
    EXPECT_EQ(checked, 5 * 6 * 3 * 2000);
}

TEST(IntervalEvaluation, FormulaWithoutVariableIsItsValue)
{
    FunctionInterpreter f("2+sqrt(2)");
    const IntervalBounds b = IntervalEvaluator(f, -1).Evaluate({0, 1});
    EXPECT_EQ(b.decoration(), Decoration::com);
    EXPECT_LE(b.range.lo, f.Evaluate());
    EXPECT_GE(b.range.hi, f.Evaluate());
    EXPECT_LT(b.range.Width(), 1e-14);
}

TEST(IntervalEvaluation, OtherVariablesKeepTheirValues)
{
    FunctionInterpreter f("a*x+b");
    f.SetVariableValue("a", 2);
    f.SetVariableValue("b", -1);
    const IntervalBounds b = IntervalEvaluator(f, f.FindVariable("x")).Evaluate({0, 1});
    EXPECT_EQ(b.range.lo, -1);
    EXPECT_EQ(b.range.hi, 1);
    f.SetVariableValue("b", std::nan(""));
    EXPECT_EQ(
        IntervalEvaluator(f, f.FindVariable("x")).Evaluate({0, 1}).decoration(), Decoration::ill);
}

// The centred form narrows what the plain walk overestimates, on a small range.
TEST(IntervalEvaluation, CentredFormNarrowsRepeatedVariables)
{
    FunctionInterpreter f("x^3-2*x+1");
    const IntervalEvaluator evaluator(f, 0);
    const Interval x {0.80, 0.84}; // around the minimum at sqrt(2/3)
    const double plain = evaluator.Plain(x).range.Width();
    const double centred = evaluator.Centred(x).range.Width();
    EXPECT_LT(centred, plain / 10);
}

} // namespace
