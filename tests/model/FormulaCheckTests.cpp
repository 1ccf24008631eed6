// The formula check the function editor shows while the user types: it must agree with the curve
// model's compilation, and place the fault where the user can see it.

#include <ostream>
#include <string>

#include <gtest/gtest.h>

#include "model/FormulaCheck.h"
#include "platform/CLocale.h"

namespace {

using Status = FormulaCheck::Status;

struct CheckCase {
    const char* name;
    const char* text;
    CurveType kind;
    Status status;
    int code; // engine error code, for EngineError
    const char* variable; // the offending variable, for the variable statuses
    int from;
    int to;
};

void PrintTo(const CheckCase& c, std::ostream* os)
{
    *os << c.name;
}

class FormulaCheckTable : public ::testing::TestWithParam<CheckCase> { };

TEST_P(FormulaCheckTable, SaysWhatIsWrongAndWhere)
{
    const CheckCase& c = GetParam();
    const FormulaCheck check = CheckFormula(c.text, c.kind);
    ASSERT_EQ(check.status, c.status);
    if (c.status == Status::EngineError) {
        EXPECT_EQ(check.error.code, c.code);
        EXPECT_EQ(check.error.from, c.from);
        EXPECT_EQ(check.error.to, c.to);
    } else if (c.status == Status::TooManyVariables || c.status == Status::WrongVariable) {
        EXPECT_EQ(check.variable, c.variable);
        EXPECT_EQ(check.from, c.from);
        EXPECT_EQ(check.to, c.to);
    }
}

constexpr CurveType kOtherKind = static_cast<CurveType>(3);

INSTANTIATE_TEST_SUITE_P(Model, FormulaCheckTable,
    ::testing::Values(CheckCase {"Cartesian", "sin(x)", CurveCartesian, Status::Ok, 0, "", 0, 0},
        CheckCase {"CaseIgnored", "sin(X)", CurveCartesian, Status::Ok, 0, "", 0, 0},
        CheckCase {"Constant", "3", CurveCartesian, Status::Ok, 0, "", 0, 0},
        CheckCase {"PolarUpper", "THETA*2", CurvePolar, Status::Ok, 0, "", 0, 0},
        CheckCase {"AnyVariableForAnotherKind", "q", kOtherKind, Status::Ok, 0, "", 0, 0},
        CheckCase {"WrongVariable", "sin(t)", CurveCartesian, Status::WrongVariable, 0, "t", 4, 4},
        CheckCase {"WrongLongVariable", "2*abc", CurvePolar, Status::WrongVariable, 0, "abc", 2, 4},
        CheckCase {"PrefixPlusBelongsToTheName", "2*+t", CurveCartesian, Status::WrongVariable, 0,
            "+t", 2, 3},
        CheckCase {
            "LeadingEqualsCounts", "=t", CurveCartesian, Status::WrongVariable, 0, "t", 1, 1},
        CheckCase {"SecondVariable", "x+y", CurveCartesian, Status::TooManyVariables, 0, "y", 2, 2},
        CheckCase {"FirstOfTwoIsTheWrongOne", "y+x", CurveCartesian, Status::TooManyVariables, 0,
            "y", 0, 0},
        CheckCase {
            "SameLetterOtherCase", "x+X", CurveCartesian, Status::TooManyVariables, 0, "X", 2, 2},
        CheckCase {"TwoForAnotherKind", "a+b", kOtherKind, Status::TooManyVariables, 0, "b", 2, 2},
        // "t" first occurs inside "theta": the name of its own stands at the end.
        CheckCase {
            "NameInsideAnotherName", "theta+t", CurvePolar, Status::TooManyVariables, 0, "t", 6, 6},
        // An exponent sign makes one name of "2e-x".
        CheckCase {"ExponentSignInAName", "2e-x+t", CurveCartesian, Status::TooManyVariables, 0,
            "2e-x", 0, 3},
        CheckCase {"SyntaxSign", "-(x+1)", CurveCartesian, Status::EngineError, 27, "", 0, 0},
        CheckCase {"BlankInsideALeaf", "sin x", CurveCartesian, Status::EngineError, 26, "", 3, 3},
        CheckCase {"Empty", "", CurveCartesian, Status::EngineError, 25, "", 0, -1},
        CheckCase {"MissingOperand", "x+", CurveCartesian, Status::EngineError, 25, "", 2, 1},
        CheckCase {
            "UnknownFunction", "2*log10(x)", CurveCartesian, Status::EngineError, 29, "", 7, 2},
        CheckCase {"UnclosedParenthesis", "(x", CurvePolar, Status::EngineError, 28, "", 0, 0},
        CheckCase {
            "ConstantFoldingError", "1/0", CurveCartesian, Status::EngineError, 0, "", -1, -1},
        CheckCase {"NoKind", "x", CurveNone, Status::NoCurveKind, 0, "", 0, 0}),
    [](const ::testing::TestParamInfo<CheckCase>& info) { return std::string(info.param.name); });

// The check answers exactly what the curve model does, for each kind and each formula of a
// parametric curve.
TEST(FormulaCheck, AgreesWithTheCurveModel)
{
    const char* formulas[] = {"sin(x)", "X^2", "t", "T*2", "theta", "Theta+1", "3", "x+y", "x+X",
        "t*tt", "", "   ", "sin(", "1/0", "ln(0)", "=x", "+x", "2e-t", "a", "x ? 1 : 2", "x ? 1",
        "f(x)", "sqrt(-1)", "theta*t", "((t))"};
    const CurveType kinds[] = {CurveCartesian, CurveParametric, CurvePolar, CurveNone, kOtherKind};
    for (const char* text : formulas) {
        for (const CurveType kind : kinds) {
            CFunction first;
            first.Set(kind, text, kind == CurveParametric ? "t" : "", 0, 1, 0, 10);
            EXPECT_EQ(CheckFormula(text, kind).Ok(), first.Compile())
                << "formula1 '" << text << "' kind " << kind;
        }
        CFunction second;
        second.Set(CurveParametric, "t", text, 0, 1, 0, 10);
        EXPECT_EQ(CheckFormula(text, CurveParametric).Ok(), second.Compile())
            << "formula2 '" << text << "'";
    }
}

TEST(FormulaCheck, LocatesOnlyNamesOfTheirOwn)
{
    int from = -1;
    int to = -1;
    EXPECT_TRUE(LocateVariable("xx+x", "x", from, to));
    EXPECT_EQ(from, 3);
    EXPECT_EQ(to, 3);
    EXPECT_FALSE(LocateVariable("xx+1", "x", from, to));
    EXPECT_FALSE(LocateVariable("sin(x)", "", from, to));
}

struct DeriveCase {
    const char* text;
    const char* variable;
};

TEST(DeriveFormula, GivesWhatTheCurveModelStores)
{
    const DeriveCase cases[] = {{"sin(x)", "x"}, {"X^2", "X"}, {"theta*THETA", "theta"},
        {"exp(2*t)", "t"}, {"x*y", "y"}, {"3", "x"}};
    for (const DeriveCase& c : cases) {
        std::string expected;
        ASSERT_TRUE(DeriveText(c.text, c.variable, expected)) << c.text;
        std::string out = "old";
        ParseErrorMsg error {-7, -7, -7};
        EXPECT_TRUE(DeriveFormula(c.text, c.variable, out, error)) << c.text;
        EXPECT_EQ(out, expected) << c.text;
        EXPECT_EQ(out, platform::CToLower(out)) << c.text;
    }
}

TEST(DeriveFormula, KeepsTheEngineErrorAndEmptiesTheResult)
{
    const struct {
        const char* text;
        int code;
        int from;
        int to;
    } cases[] = {{"sin(", 28, 3, 3}, {"x%2", 10, -1, -1}, {"", 25, 0, -1}, {"f(x)", 29, 1, 0}};
    for (const auto& c : cases) {
        std::string out = "earlier result";
        ParseErrorMsg error {-7, -7, -7};
        EXPECT_FALSE(DeriveFormula(c.text, "x", out, error)) << c.text;
        EXPECT_TRUE(out.empty()) << c.text;
        EXPECT_EQ(error.code, c.code) << c.text;
        EXPECT_EQ(error.from, c.from) << c.text;
        EXPECT_EQ(error.to, c.to) << c.text;
    }
}

} // namespace
