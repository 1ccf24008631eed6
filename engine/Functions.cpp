#include "engine/Functions.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "engine/DepthGuard.h"
#include "engine/Leaves.h"
#include "engine/QuietEvaluation.h"
#include "engine/Tables.h"
#include "platform/Numeric.h"

// Domain tests are exact comparisons with no tolerance; a NaN operand passes every test and gives
// NaN. The bounds of the logarithms include 0, and ASEC/ACSC refuse +-1 as well.

double LnFunction::Evaluate() const
{
    const double x = EvaluateOperand();
    if (x <= 0)
        return EvaluationError(kErrorLnNegative);
    return std::log(x);
}

double LogFunction::Evaluate() const
{
    const double x = EvaluateOperand();
    if (x <= 0)
        return EvaluationError(kErrorLogNegative);
    return std::log10(x);
}

double ExpFunction::Evaluate() const
{
    return std::exp(EvaluateOperand());
}

double AbsFunction::Evaluate() const
{
    return std::fabs(EvaluateOperand());
}

double SqrtFunction::Evaluate() const
{
    const double x = EvaluateOperand();
    if (x < 0)
        return EvaluationError(kErrorSqrtNegative);
    return std::sqrt(x);
}

double NegFunction::Evaluate() const
{
    return EvaluateOperand() * -1.0;
}

double SinFunction::Evaluate() const
{
    return std::sin(EvaluateOperand());
}

double CosFunction::Evaluate() const
{
    return std::cos(EvaluateOperand());
}

double TanFunction::Evaluate() const
{
    const double x = EvaluateOperand();
    if (std::cos(x) == 0)
        return EvaluationError(kErrorTanInfinite);
    return std::tan(x);
}

double SecFunction::Evaluate() const
{
    const double c = std::cos(EvaluateOperand());
    if (c == 0)
        return EvaluationError(kErrorSecInfinite);
    return 1 / c;
}

double CscFunction::Evaluate() const
{
    const double s = std::sin(EvaluateOperand());
    if (s == 0)
        return EvaluationError(kErrorCscInfinite);
    return 1 / s;
}

double CotFunction::Evaluate() const
{
    const double x = EvaluateOperand();
    if (std::sin(x) == 0)
        return EvaluationError(kErrorCotInfinite);
    return 1 / std::tan(x);
}

double ArcSinFunction::Evaluate() const
{
    const double x = EvaluateOperand();
    if (x > 1 || x < -1)
        return EvaluationError(kErrorArcSinDomain);
    return std::asin(x);
}

double ArcCosFunction::Evaluate() const
{
    const double x = EvaluateOperand();
    if (x > 1 || x < -1)
        return EvaluationError(kErrorArcCosDomain);
    return std::acos(x);
}

double ArcTanFunction::Evaluate() const
{
    return std::atan(EvaluateOperand());
}

double ArcSecFunction::Evaluate() const
{
    const double x = EvaluateOperand();
    if (x >= -1 && x <= 1)
        return EvaluationError(kErrorArcSecDomain);
    return std::acos(1 / x);
}

double ArcCscFunction::Evaluate() const
{
    const double x = EvaluateOperand();
    if (x >= -1 && x <= 1)
        return EvaluationError(kErrorArcCscDomain);
    return std::asin(1 / x);
}

double ArcCotFunction::Evaluate() const
{
    const double x = EvaluateOperand();
    if (x == 0)
        return EvaluationError(kErrorArcCotDomain);
    return std::atan(1 / x);
}

double HSinFunction::Evaluate() const
{
    return std::sinh(EvaluateOperand());
}

double HCosFunction::Evaluate() const
{
    return std::cosh(EvaluateOperand());
}

double HTanFunction::Evaluate() const
{
    const double x = EvaluateOperand();
    if (std::cosh(x) == 0)
        return EvaluationError(kErrorTanhInfinite);
    return std::tanh(x);
}

double HSecFunction::Evaluate() const
{
    const double c = std::cosh(EvaluateOperand());
    if (c == 0)
        return EvaluationError(kErrorSechInfinite);
    return 1 / c;
}

double HCscFunction::Evaluate() const
{
    const double s = std::sinh(EvaluateOperand());
    if (s == 0)
        return EvaluationError(kErrorCschInfinite);
    return 1 / s;
}

double HCotFunction::Evaluate() const
{
    const double t = std::tanh(EvaluateOperand());
    if (t == 0)
        return EvaluationError(kErrorCothInfinite);
    return 1 / t;
}

double ArgHSinFunction::Evaluate() const
{
    const double x = EvaluateOperand();
    return std::log(std::sqrt(x * x + 1) + x);
}

double ArgHCosFunction::Evaluate() const
{
    const double x = EvaluateOperand();
    if (x < 1)
        return EvaluationError(kErrorAcoshDomain);
    return std::log(x + std::sqrt(x * x - 1));
}

double ArgHTanFunction::Evaluate() const
{
    const double x = EvaluateOperand();
    if (x <= -1 || x >= 1)
        return EvaluationError(kErrorAtanhDomain);
    return 0.5 * std::log((x + 1) / (1 - x));
}

double ArgHSecFunction::Evaluate() const
{
    const double x = EvaluateOperand();
    if (x <= 0 || x > 1)
        return EvaluationError(kErrorAsechDomain);
    return std::log((std::sqrt(1 - x * x) + 1) / x);
}

double ArgHCscFunction::Evaluate() const
{
    const double x = EvaluateOperand();
    if (x == 0)
        return EvaluationError(kErrorAcschDomain);
    return std::log((std::sqrt(x * x + 1) + 1) / std::fabs(x));
}

double ArgHCotFunction::Evaluate() const
{
    const double x = EvaluateOperand();
    if (x >= -1 && x <= 1)
        return EvaluationError(kErrorAcothDomain);
    return 0.5 * std::log((x + 1) / (x - 1));
}

double NotFunction::Evaluate() const
{
    return EvaluateOperand() == 0 ? 1.0 : 0.0;
}

double BitwiseCompliment::Evaluate() const
{
    return static_cast<double>(~platform::TruncToInt32(EvaluateOperand()));
}

double CeilingFunction::Evaluate() const
{
    return std::ceil(EvaluateOperand());
}

double FloorFunction::Evaluate() const
{
    return std::floor(EvaluateOperand());
}

double SgnFunction::Evaluate() const
{
    return EvaluateOperand() < 0 ? -1.0 : 1.0;
}

double LbFunction::Evaluate() const
{
    const double x = EvaluateOperand();
    if (x <= 0)
        return EvaluationError(kErrorLbNegative);
    return std::log(x) / std::log(2.0);
}

// ---- RandomFunction ----

namespace {

// The draw sequence is the same at every program start.
uint32_t gRandomState = 1;

} // namespace

int NextRandomDraw()
{
    gRandomState = gRandomState * 214013u + 2531011u;
    return static_cast<int>((gRandomState >> 16) & 0x7FFF);
}

void ResetRandomGenerator()
{
    gRandomState = 1;
}

RandomFunction::RandomFunction(TextRange* range)
{
    StripParentheses(range);
    if (range->last < range->first)
        return;
    Adopt(Parse(range));
}

RandomFunction::RandomFunction(NodePtr node)
{
    if (node)
        Adopt(std::move(node));
}

// A constant operand only fixes the scale of the draw; its node is not kept.
void RandomFunction::Adopt(NodePtr node)
{
    if (node->IsConstant()) {
        scale = node->Evaluate();
        return;
    }
    operand = node.release();
    operand->parent = this;
}

RandomFunction::~RandomFunction()
{
    DestroyOperands(this);
}

void RandomFunction::ReleaseOperands(std::vector<Parser*>& out)
{
    if (operand)
        out.push_back(operand);
    operand = nullptr;
}

double RandomFunction::Evaluate() const
{
    double s = scale;
    if (operand) {
        DepthGuard guard;
        s = operand->Evaluate();
    }
    // A quiet evaluation goes on after an error; the draw it would not have reached is not made.
    if (QuietEvaluation::ErrorPending())
        return std::numeric_limits<double>::quiet_NaN();
    const int r = NextRandomDraw();
    return r * s * (1.0 / 32767);
}

int RandomFunction::GetPrecedence() const
{
    return kFunctionPrecedence;
}

bool RandomFunction::ReplaceChild(const Parser* old, NodePtr&& replacement)
{
    if (old != operand || operand == nullptr)
        return false;
    Parser* previous = operand;
    operand = replacement.release();
    operand->parent = this;
    delete previous;
    ForgetConstness();
    return true;
}

void RandomFunction::Bind(FunctionInterpreter* interpreter)
{
    if (operand) {
        DepthGuard guard;
        operand->Bind(interpreter);
    }
}

std::string RandomFunction::ToText() const
{
    std::string text;
    AppendText(text);
    return text;
}

void RandomFunction::AppendText(std::string& out) const
{
    DepthGuard guard;
    out += kFunctionNames[kFunctionRand];
    out += "( ";
    if (operand)
        operand->AppendText(out);
    out += " )";
}

NodePtr RandomFunction::Clone() const
{
    DepthGuard guard;
    NodePtr copy = operand ? operand->Clone() : NewNode<Constant>(scale);
    return NewNode<RandomFunction>(std::move(copy));
}
