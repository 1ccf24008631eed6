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
