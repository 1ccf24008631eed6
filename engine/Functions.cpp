#include "engine/Functions.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "engine/DepthGuard.h"
#include "engine/EvaluationRules.h"
#include "engine/Leaves.h"
#include "engine/QuietEvaluation.h"
#include "engine/Tables.h"
#include "platform/Numeric.h"

// Each function's rule lives in EvaluationRules.h, shared with the compiled program.

double LnFunction::Evaluate() const
{
    return ApplyFunction(kFunctionLn, EvaluateOperand());
}

double LogFunction::Evaluate() const
{
    return ApplyFunction(kFunctionLog, EvaluateOperand());
}

double ExpFunction::Evaluate() const
{
    return ApplyFunction(kFunctionExp, EvaluateOperand());
}

double AbsFunction::Evaluate() const
{
    return ApplyFunction(kFunctionAbs, EvaluateOperand());
}

double SqrtFunction::Evaluate() const
{
    return ApplyFunction(kFunctionSqrt, EvaluateOperand());
}

double NegFunction::Evaluate() const
{
    return ApplyFunction(kFunctionNeg, EvaluateOperand());
}

double SinFunction::Evaluate() const
{
    return ApplyFunction(kFunctionSin, EvaluateOperand());
}

double CosFunction::Evaluate() const
{
    return ApplyFunction(kFunctionCos, EvaluateOperand());
}

double TanFunction::Evaluate() const
{
    return ApplyFunction(kFunctionTan, EvaluateOperand());
}

double SecFunction::Evaluate() const
{
    return ApplyFunction(kFunctionSec, EvaluateOperand());
}

double CscFunction::Evaluate() const
{
    return ApplyFunction(kFunctionCsc, EvaluateOperand());
}

double CotFunction::Evaluate() const
{
    return ApplyFunction(kFunctionCot, EvaluateOperand());
}

double ArcSinFunction::Evaluate() const
{
    return ApplyFunction(kFunctionAsin, EvaluateOperand());
}

double ArcCosFunction::Evaluate() const
{
    return ApplyFunction(kFunctionAcos, EvaluateOperand());
}

double ArcTanFunction::Evaluate() const
{
    return ApplyFunction(kFunctionAtan, EvaluateOperand());
}

double ArcSecFunction::Evaluate() const
{
    return ApplyFunction(kFunctionAsec, EvaluateOperand());
}

double ArcCscFunction::Evaluate() const
{
    return ApplyFunction(kFunctionAcsc, EvaluateOperand());
}

double ArcCotFunction::Evaluate() const
{
    return ApplyFunction(kFunctionAcot, EvaluateOperand());
}

double HSinFunction::Evaluate() const
{
    return ApplyFunction(kFunctionSinh, EvaluateOperand());
}

double HCosFunction::Evaluate() const
{
    return ApplyFunction(kFunctionCosh, EvaluateOperand());
}

double HTanFunction::Evaluate() const
{
    return ApplyFunction(kFunctionTanh, EvaluateOperand());
}

double HSecFunction::Evaluate() const
{
    return ApplyFunction(kFunctionSech, EvaluateOperand());
}

double HCscFunction::Evaluate() const
{
    return ApplyFunction(kFunctionCsch, EvaluateOperand());
}

double HCotFunction::Evaluate() const
{
    return ApplyFunction(kFunctionCoth, EvaluateOperand());
}

double ArgHSinFunction::Evaluate() const
{
    return ApplyFunction(kFunctionAsinh, EvaluateOperand());
}

double ArgHCosFunction::Evaluate() const
{
    return ApplyFunction(kFunctionAcosh, EvaluateOperand());
}

double ArgHTanFunction::Evaluate() const
{
    return ApplyFunction(kFunctionAtanh, EvaluateOperand());
}

double ArgHSecFunction::Evaluate() const
{
    return ApplyFunction(kFunctionAsech, EvaluateOperand());
}

double ArgHCscFunction::Evaluate() const
{
    return ApplyFunction(kFunctionAcsch, EvaluateOperand());
}

double ArgHCotFunction::Evaluate() const
{
    return ApplyFunction(kFunctionAcoth, EvaluateOperand());
}

double NotFunction::Evaluate() const
{
    return ApplyFunction(kFunctionNot, EvaluateOperand());
}

double BitwiseCompliment::Evaluate() const
{
    return ApplyFunction(kFunctionComplement, EvaluateOperand());
}

double CeilingFunction::Evaluate() const
{
    return ApplyFunction(kFunctionCeil, EvaluateOperand());
}

double FloorFunction::Evaluate() const
{
    return ApplyFunction(kFunctionFloor, EvaluateOperand());
}

double SgnFunction::Evaluate() const
{
    return ApplyFunction(kFunctionSgn, EvaluateOperand());
}

double LbFunction::Evaluate() const
{
    return ApplyFunction(kFunctionLb, EvaluateOperand());
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
