#include "engine/FunctionParser.h"

#include <typeinfo>

#include "engine/DepthGuard.h"
#include "engine/Leaves.h"
#include "engine/Tables.h"

FunctionParser::FunctionParser(TextRange* range)
{
    operand = Parse(range).release();
    operand->parent = this;
}

FunctionParser::FunctionParser(NodePtr node)
{
    if (!node)
        RaiseError(kErrorEmptyExpression, -1, -1);
    operand = node.release();
    operand->parent = this;
}

FunctionParser::~FunctionParser()
{
    DestroyOperands(this);
}

void FunctionParser::ReleaseOperands(std::vector<Parser*>& out)
{
    if (operand)
        out.push_back(operand);
    operand = nullptr;
}

double FunctionParser::EvaluateOperand() const
{
    DepthGuard guard;
    return operand->Evaluate();
}

NodePtr FunctionParser::CloneOperand() const
{
    DepthGuard guard;
    return operand->Clone();
}

NodePtr FunctionParser::DeriveOperand(const char* variable) const
{
    DepthGuard guard;
    return operand->Derive(variable);
}

bool FunctionParser::IsConstant() const
{
    if (IsKnownNotConstant())
        return false;
    DepthGuard guard;
    return operand->IsConstant();
}

int FunctionParser::GetPrecedence() const
{
    return kFunctionPrecedence;
}

bool FunctionParser::ReplaceChild(const Parser* old, NodePtr&& replacement)
{
    if (old != operand)
        return false;
    Parser* previous = operand;
    operand = replacement.release();
    operand->parent = this;
    delete previous;
    ForgetConstness();
    return true;
}

void FunctionParser::Bind(FunctionInterpreter* interpreter)
{
    DepthGuard guard;
    operand->Bind(interpreter);
}

void FunctionParser::Simplify()
{
    DepthGuard guard;
    FoldOperand(this, operand);
}

std::string FunctionParser::ToText() const
{
    std::string text;
    AppendText(text);
    return text;
}

void FunctionParser::AppendText(std::string& out) const
{
    DepthGuard guard;
    out += kFunctionNames[static_cast<size_t>(GetTypeCode())];
    out += "( ";
    operand->AppendText(out);
    out += " )";
}

NodePtr FunctionParser::Clone() const
{
    NodePtr copy = MakeFunction(GetTypeCode(), CloneOperand());
    if (IsKnownNotConstant())
        copy->NoteNotConstant();
    return copy;
}

bool FunctionParser::IsDifferent(const Parser* other) const
{
    DepthGuard guard;
    if (other == nullptr || typeid(*this) != typeid(*other))
        return true;
    const auto* that = static_cast<const FunctionParser*>(other);
    const bool thisConstant = IsConstant();
    const bool thatConstant = that->IsConstant();
    if (thisConstant && thatConstant)
        return Evaluate() != that->Evaluate();
    if (thisConstant != thatConstant)
        return true;
    return operand->IsDifferent(that->operand);
}

void FoldOperand(Parser* owner, Parser*& slot)
{
    slot->ForgetConstness();
    slot->Simplify(); // may replace the operand through owner->ReplaceChild, updating slot
    // The operands of slot are folded now, so its constness is a question of one level.
    if (!slot->IsConstant()) {
        slot->NoteNotConstant();
        return;
    }
    if (slot->IsConstantNode())
        return;
    const double value = slot->Evaluate();
    std::unique_ptr<Constant> folded;
    try {
        folded = NewNode<Constant>(value);
    } catch (const ParseErrorMsg&) {
        return; // out of memory: keep the operand unfolded
    }
    Parser* old = slot;
    folded->parent = owner;
    slot = folded.release();
    delete old;
}
