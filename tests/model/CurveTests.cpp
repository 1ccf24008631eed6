// Curve definitions: lazy compilation with the kind's variable, NaN on every failure, derivative
// definitions, copies, and the working-area mapping.

#include <bit>
#include <climits>
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/FunctionInterpreter.h"
#include "engine/Functions.h"
#include "engine/QuietEvaluation.h"
#include "model/CFunctionsContext.h"
#include "model/FormulaCheck.h"

namespace {

CFunction Curve(CurveType type, const char* f1, const char* f2 = "")
{
    CFunction f;
    f.Set(type, f1, f2, 0, 1, 0, 10);
    return f;
}

bool IsDefaultNaN(double v)
{
    return std::bit_cast<uint64_t>(v) == UINT64_C(0xFFF8000000000000);
}

struct CompileCase {
    CurveType type;
    const char* f1;
    const char* f2;
    bool compiles;
};

void PrintTo(const CompileCase& c, std::ostream* os)
{
    *os << c.type << " " << c.f1 << " " << c.f2;
}

class Compilation : public ::testing::TestWithParam<CompileCase> { };

TEST_P(Compilation, ChecksTheKindsVariable)
{
    CFunction f = Curve(GetParam().type, GetParam().f1, GetParam().f2);
    EXPECT_EQ(f.Compile(), GetParam().compiles);
    EXPECT_EQ(f.IsFailed(), !GetParam().compiles);
}

INSTANTIATE_TEST_SUITE_P(Model, Compilation,
    ::testing::Values(CompileCase {CurveCartesian, "sin(x)", "", true},
        CompileCase {CurveCartesian, "sin(X)", "", true}, // case ignored here
        CompileCase {CurveCartesian, "sin(t)", "", false},
        CompileCase {CurveCartesian, "3", "", true}, CompileCase {CurveCartesian, "x+y", "", false},
        CompileCase {CurveCartesian, "sin(", "", false},
        CompileCase {CurveCartesian, "1/0", "", false},
        CompileCase {CurveParametric, "cos(t)", "sin(T)", true},
        CompileCase {CurveParametric, "cos(t)", "sin(x)", false},
        CompileCase {CurveParametric, "cos(x)", "sin(t)", false},
        CompileCase {CurvePolar, "THETA*2", "", true}, CompileCase {CurvePolar, "t", "", false},
        CompileCase {CurveNone, "x", "", false},
        CompileCase {static_cast<CurveType>(3), "anything", "", true}));

TEST(Curve, CheckFormulaListsTheVariables)
{
    using Status = FormulaCheck::Status;
    struct Row {
        const char* text;
        CurveType kind;
        Status status;
        std::vector<std::string> variables;
        int code; // EngineError only
    };
    const Row rows[] = {
        {"x^2-1", CurveCartesian, Status::Ok, {"x"}, 0},
        {"X^2", CurveCartesian, Status::Ok, {"X"}, 0},
        {"2*pi", CurvePolar, Status::Ok, {}, 0},
        {"t^2", CurveCartesian, Status::WrongVariable, {"t"}, 0},
        {"thet", CurvePolar, Status::WrongVariable, {"thet"}, 0},
        {"x*y+x", CurveCartesian, Status::TooManyVariables, {"x", "y"}, 0},
        {"y", static_cast<CurveType>(3), Status::Ok, {"y"}, 0},
        {"sin(", CurveCartesian, Status::EngineError, {}, -1},
        {"1/0", CurveCartesian, Status::EngineError, {}, kErrorDivisionByZero},
    };
    for (const Row& r : rows) {
        const FormulaCheck check = CheckFormula(r.text, r.kind);
        EXPECT_EQ(check.status, r.status) << r.text;
        EXPECT_EQ(check.variables, r.variables) << r.text;
        if (r.status == Status::EngineError && r.code >= 0) {
            EXPECT_EQ(check.error.code, r.code) << r.text;
        }
    }
    // The error is the one the engine raises for the text.
    const FormulaCheck bad = CheckFormula("2**x", CurveCartesian);
    ASSERT_EQ(bad.status, Status::EngineError);
    try {
        FunctionInterpreter f("2**x");
        ADD_FAILURE() << "2**x parsed";
    } catch (const ParseErrorMsg& e) {
        EXPECT_EQ(bad.error.code, e.code);
        EXPECT_EQ(bad.error.from, e.from);
        EXPECT_EQ(bad.error.to, e.to);
    }
}

TEST(Curve, EveryFailureEvaluatesToTheDefaultNaN)
{
    CFunction bad = Curve(CurveCartesian, "x+y");
    EXPECT_TRUE(IsDefaultNaN(bad.EvaluateFormula1(1)));
    CFunction domain = Curve(CurveCartesian, "sin(1/x)");
    EXPECT_TRUE(IsDefaultNaN(domain.EvaluateFormula1(0)));
    EXPECT_FALSE(domain.IsFailed()); // a domain error undefines one value only
    EXPECT_DOUBLE_EQ(domain.EvaluateFormula1(2 / 3.14159265358979323846), 1);
    CFunction constant = Curve(CurveCartesian, "3");
    EXPECT_EQ(constant.EvaluateFormula1(-5), 3);
    EXPECT_EQ(constant.EvaluateFormula1(1e9), 3);
}

TEST(Curve, ParametricWithABadSecondFormulaIsUndefinedEverywhere)
{
    CFunction f = Curve(CurveParametric, "cos(t)", "sin(x)");
    // Every evaluation of either formula, the first one included.
    EXPECT_TRUE(std::isnan(f.EvaluateFormula1(0)));
    EXPECT_TRUE(std::isnan(f.EvaluateFormula2(0)));
    EXPECT_TRUE(std::isnan(f.EvaluateFormula1(1)));
    EXPECT_TRUE(f.IsFailed());
}

TEST(Curve, CopiesCompileAgain)
{
    CFunction f = Curve(CurveCartesian, "x*2");
    EXPECT_EQ(f.EvaluateFormula1(2), 4);
    ASSERT_TRUE(f.IsCompiled());
    CFunction copy = f;
    EXPECT_FALSE(copy.IsCompiled());
    EXPECT_EQ(copy.EvaluateFormula1(3), 6);
    CFunction failed = Curve(CurveCartesian, "x+y");
    failed.Compile();
    CFunction assigned = Curve(CurveCartesian, "x");
    assigned = failed;
    EXPECT_FALSE(assigned.IsFailed()); // a copy starts uncompiled
    CEasyFunction reset;
    reset.SetDefinition(CurveCartesian, "x", "");
    reset.CopyDefinition(failed);
    EXPECT_EQ(reset.Formula1(), "x+y");
}

// Every way of changing a curve's kind or text drops what was compiled from the old one.
struct EditCase {
    const char* name;
    void (*edit)(CFunction&);
    double atTwo; // formula1 at 2 after the edit
};

class Editing : public ::testing::TestWithParam<EditCase> { };

TEST_P(Editing, NeverEvaluatesWithTheOldInterpreters)
{
    CFunction f = Curve(CurveCartesian, "x*2");
    ASSERT_EQ(f.EvaluateFormula1(2), 4);
    ASSERT_TRUE(f.IsCompiled());
    GetParam().edit(f);
    const double v = f.EvaluateFormula1(2);
    if (std::isnan(GetParam().atTwo))
        EXPECT_TRUE(std::isnan(v));
    else
        EXPECT_EQ(v, GetParam().atTwo);
}

INSTANTIATE_TEST_SUITE_P(Model, Editing,
    ::testing::Values(EditCase {"SetFormula1", [](CFunction& f) { f.SetFormula1("x*3"); }, 6},
        EditCase {
            "SetDefinition", [](CFunction& f) { f.SetDefinition(CurveCartesian, "x+10", ""); }, 12},
        EditCase {"SetTypeToPolar", [](CFunction& f) { f.SetType(CurvePolar); }, NAN},
        EditCase {"SetAll", [](CFunction& f) { f.Set(CurveCartesian, "x^3", "", 0, 1, 0, 9); }, 8},
        EditCase {"Assign", [](CFunction& f) { f = Curve(CurveCartesian, "x-1"); }, 1},
        EditCase {"SameTextKeepsTheValue", [](CFunction& f) { f.SetFormula1("x*2"); }, 4},
        EditCase {"Colour", [](CFunction& f) { f.colour = 255; }, 4}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Curve, SettingTheSameTextKeepsTheCompiledState)
{
    CFunction f = Curve(CurveParametric, "cos(t)", "sin(x)");
    EXPECT_TRUE(std::isnan(f.EvaluateFormula1(0)));
    ASSERT_TRUE(f.IsFailed());
    f.SetDefinition(CurveParametric, "cos(t)", "sin(x)");
    EXPECT_TRUE(f.IsFailed()); // still undefined everywhere, the first formula included
    EXPECT_TRUE(std::isnan(f.EvaluateFormula1(0)));
    f.SetFormula2("sin(t)");
    EXPECT_FALSE(f.IsFailed());
    EXPECT_EQ(f.EvaluateFormula1(0), 1);
}

TEST(Curve, RecordsEqualTheirCopiesAndDifferInAnyField)
{
    CFunction base = DefaultCurve();
    base.paramMin = NAN;
    CFunction copy = base;
    (void)copy.EvaluateFormula1(1); // compiled state is not part of the value
    EXPECT_TRUE(copy == base);
    const std::vector<void (*)(CFunction&)> edits = {
        [](CFunction& f) { f.SetType(CurvePolar); },
        [](CFunction& f) { f.SetFormula1("x"); },
        [](CFunction& f) { f.SetFormula2("t"); },
        [](CFunction& f) { f.paramMin = 0; },
        [](CFunction& f) { f.paramMax = 2; },
        [](CFunction& f) { f.iterations = 1010; },
        [](CFunction& f) { f.colour = 0; },
    };
    for (size_t i = 0; i < edits.size(); ++i) {
        CFunction changed = base;
        edits[i](changed);
        EXPECT_FALSE(changed == base) << "edit " << i;
        CFunctionEntry a;
        CFunctionEntry b;
        a.SetFunction(base);
        b.SetFunction(changed);
        EXPECT_FALSE(a == b) << "edit " << i;
    }
}

struct DerivativeCase {
    CurveType type;
    const char* f1;
    const char* f2;
    bool ok;
    const char* d1;
    const char* d2;
};

void PrintTo(const DerivativeCase& c, std::ostream* os)
{
    *os << c.f1 << " " << c.f2;
}

class DerivativeDefinition : public ::testing::TestWithParam<DerivativeCase> { };

TEST_P(DerivativeDefinition, IsTheLowerCaseSimplifiedText)
{
    const DerivativeCase& c = GetParam();
    CFunction f = Curve(c.type, c.f1, c.f2);
    CEasyFunction target;
    target.SetDefinition(CurveCartesian, "untouched", "");
    EXPECT_EQ(f.DeriveDefinition(target), c.ok);
    EXPECT_EQ(target.Formula1(), c.d1);
    EXPECT_EQ(target.Formula2(), c.d2);
}

INSTANTIATE_TEST_SUITE_P(Model, DerivativeDefinition,
    ::testing::Values(DerivativeCase {CurveCartesian, "SIN(2*x)", "", true, "2 * cos( 2 * x )", ""},
        DerivativeCase {CurveCartesian, "sin(X)", "", true, "0 * cos( x )", ""}, // names are exact
        DerivativeCase {CurveCartesian, "x % 2", "", false, "untouched", ""},
        DerivativeCase {CurveCartesian, "sin(", "", false, "untouched", ""},
        DerivativeCase {CurveParametric, "t^2", "LN(t)", true, "2 * t + 0", "1 / t"},
        DerivativeCase {CurveParametric, "t", "t > 1", false, "untouched", ""},
        DerivativeCase {CurvePolar, "theta*3", "", true, "3 + 0", ""},
        DerivativeCase {CurveNone, "x", "", false, "", ""}));

TEST(Curve, EntryCachesItsDerivativeUntilTheCurveChanges)
{
    CFunctionEntry entry;
    entry.SetFunction(Curve(CurveCartesian, "x^3"));
    const long before = CFunctionEntry::derivativeComputations;
    EXPECT_EQ(entry.UpdateDerivative().Formula1(), "3 * x ^ 2 + 0");
    entry.UpdateDerivative();
    entry.UpdateDerivative();
    EXPECT_EQ(CFunctionEntry::derivativeComputations - before, 1);
    EXPECT_DOUBLE_EQ(entry.derivative.EvaluateFormula1(2), 12);

    // A curve changed in place is derived again, from an empty derivative.
    entry.function.SetDefinition(CurveCartesian, "x^2", "");
    EXPECT_EQ(entry.UpdateDerivative().Formula1(), "2 * x + 0");
    EXPECT_DOUBLE_EQ(entry.derivative.EvaluateFormula1(2), 4);
    EXPECT_EQ(CFunctionEntry::derivativeComputations - before, 2);

    entry.SetFunction(Curve(CurveCartesian, "x % 2"));
    EXPECT_EQ(entry.UpdateDerivative().Type(), CurveNone);
}

TEST(Context, NewDocumentDefaults)
{
    CFunctionsContext context;
    EXPECT_EQ(context.area.areaXMin, -1);
    EXPECT_EQ(context.GetCount(), 0);
    EXPECT_EQ(context.formatNumber, 2000);
    context.axis.gridAlpha = 99;
    context.screenWidth = 640;
    context.ApplyNewDocumentDefaults();
    EXPECT_EQ(context.area.areaXMin, -22);
    EXPECT_EQ(context.area.areaXMax, 18);
    EXPECT_EQ(context.area.areaYMin, -10);
    EXPECT_EQ(context.area.areaYMax, 10);
    EXPECT_TRUE(context.area.normaliseX);
    EXPECT_FALSE(context.area.normaliseY);
    ASSERT_EQ(context.GetCount(), 1);
    const CFunction& f = context.GetAt(0).function;
    EXPECT_EQ(f.Type(), CurveCartesian);
    EXPECT_EQ(f.Formula1(), "sin(1/x)");
    EXPECT_EQ(f.colour, 12352897);
    EXPECT_EQ(f.iterations, 1009);
    EXPECT_EQ(f.paramMax, 1);
    // What a new document does not reset.
    EXPECT_EQ(context.axis.gridAlpha, 99);
    EXPECT_EQ(context.screenWidth, 640);
}

TEST(Context, EraseRangeStaysInsideTheList)
{
    CFunctionsContext context;
    for (const char* formula : {"a", "b", "c", "d"}) {
        CFunctionEntry e;
        e.SetFunction(Curve(CurveCartesian, formula));
        context.Append(e);
    }
    context.EraseRange(1, 2);
    ASSERT_EQ(context.GetCount(), 2);
    EXPECT_EQ(context.GetAt(1).function.Formula1(), "d");
    context.EraseRange(1, 100);
    context.EraseRange(5, 1);
    context.EraseRange(-1, 1);
    EXPECT_EQ(context.GetCount(), 1);
}

TEST(Context, EraseRangeTakesCountsUpToIntMax)
{
    CFunctionsContext context;
    for (const char* formula : {"a", "b", "c"}) {
        CFunctionEntry e;
        e.SetFunction(Curve(CurveCartesian, formula));
        context.Append(e);
    }
    context.EraseRange(2, INT_MAX); // 2 + INT_MAX does not fit in an int
    ASSERT_EQ(context.GetCount(), 2);
    EXPECT_EQ(context.GetAt(1).function.Formula1(), "b");
    context.EraseRange(1, INT_MAX - 1);
    ASSERT_EQ(context.GetCount(), 1);
    EXPECT_EQ(context.GetAt(0).function.Formula1(), "a");
    context.EraseRange(0, INT_MAX);
    EXPECT_EQ(context.GetCount(), 0);
}

struct NormaliseCase {
    bool normaliseX, normaliseY;
    double xMin, xMax, yMin, yMax;
};

void PrintTo(const NormaliseCase& c, std::ostream* os)
{
    *os << c.normaliseX << c.normaliseY;
}

class Normalisation : public ::testing::TestWithParam<NormaliseCase> { };

TEST_P(Normalisation, StretchesOneAxis)
{
    CWorkingArea a;
    a.areaXMin = 0;
    a.areaXMax = 10;
    a.areaYMin = 0;
    a.areaYMax = 1;
    a.normaliseX = GetParam().normaliseX;
    a.normaliseY = GetParam().normaliseY;
    a.Normalise(100, 50);
    EXPECT_DOUBLE_EQ(a.viewXMin, GetParam().xMin);
    EXPECT_DOUBLE_EQ(a.viewXMax, GetParam().xMax);
    EXPECT_DOUBLE_EQ(a.viewYMin, GetParam().yMin);
    EXPECT_DOUBLE_EQ(a.viewYMax, GetParam().yMax);
}

INSTANTIATE_TEST_SUITE_P(Model, Normalisation,
    ::testing::Values(NormaliseCase {true, false, 0, 10, -2, 3},
        NormaliseCase {false, true, 4, 6, 0, 1}, NormaliseCase {true, true, 0, 10, -2, 3},
        NormaliseCase {false, false, 0, 10, 0, 1}));

TEST(Mapping, NewDocumentOn800By600)
{
    CFunctionsContext context;
    context.ApplyNewDocumentDefaults();
    context.screenWidth = 800;
    context.screenHeight = 600;
    context.area.Normalise(800, 600);
    EXPECT_EQ(context.area.viewXMin, -22);
    EXPECT_EQ(context.area.viewXMax, 18);
    EXPECT_EQ(context.area.viewYMin, -15);
    EXPECT_EQ(context.area.viewYMax, 15);
    EXPECT_EQ(context.PixelToWorldX(0), -22);
    EXPECT_EQ(context.PixelToWorldX(800), 18);
    EXPECT_EQ(context.PixelToWorldY(0), 15);
    EXPECT_EQ(context.PixelToWorldY(600), -15);
    EXPECT_EQ(context.WorldToPixelX(0), 440);
    EXPECT_EQ(context.WorldToPixelY(0), 300);
    EXPECT_EQ(context.WorldToPixelY(15), 0);
    EXPECT_EQ(context.WorldToPixelX(-22), 0);
    EXPECT_EQ(context.PixelToWorldX(100), -17);
    EXPECT_EQ(context.PixelToWorldY(250), 2.5);
}

} // namespace

namespace {

// Curves evaluate quietly (no exception per undefined sample); the values and the sequence of
// random draws must be exactly those of the throwing evaluation.
TEST(Curve, QuietEvaluationGivesTheThrowingResults)
{
    const char* const formulas[] = {"ln(x)", "rand() + ln(x)", "ln(x) - rand()", "rand() - ln(x)",
        "x && rand()", "1/x ? rand() : 2", "sqrt(x) * rand(x)", "x % 0.5 + rand()", "acosh(x)",
        "x > 0 ? ln(x) : rand()", "(1/x) ^ rand()"};
    for (const char* formula : formulas) {
        for (double x : {-2.0, -0.25, 0.0, 0.25, 2.0}) {
            ResetRandomGenerator();
            double thrown;
            try {
                FunctionInterpreter interpreter(formula);
                interpreter.SetVariableValueAt(0, x);
                thrown = interpreter.Evaluate();
            } catch (const ParseErrorMsg&) {
                thrown = std::nan("");
            }
            const int nextAfterThrown = NextRandomDraw();

            ResetRandomGenerator();
            CFunction f = Curve(CurveCartesian, formula);
            const double quiet = f.EvaluateFormula1(x);
            const int nextAfterQuiet = NextRandomDraw();
            if (std::isnan(thrown))
                EXPECT_TRUE(IsDefaultNaN(quiet)) << formula << " at " << x;
            else
                EXPECT_EQ(quiet, thrown) << formula << " at " << x;
            EXPECT_EQ(nextAfterQuiet, nextAfterThrown) << formula << " at " << x;
        }
    }
}

TEST(Curve, QuietEvaluationRecordsTheFirstError)
{
    FunctionInterpreter interpreter("ln(x) - sqrt(x)");
    interpreter.SetVariableValueAt(0, -1);
    {
        QuietEvaluation quiet;
        EXPECT_TRUE(std::isnan(interpreter.Evaluate()));
        EXPECT_TRUE(quiet.Failed());
        EXPECT_EQ(quiet.Error().code, 3);
    }
    // Outside a quiet evaluation the error is thrown again.
    EXPECT_THROW(interpreter.Evaluate(), ParseErrorMsg);
}

} // namespace
