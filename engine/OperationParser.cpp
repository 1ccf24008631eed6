#include "engine/OperationParser.h"

#include <typeinfo>

#include "engine/DepthGuard.h"
#include "engine/FunctionParser.h"
#include "engine/Leaves.h"
#include "engine/Tables.h"

OperationParser::OperationParser(TextRange* leftRange, TextRange* rightRange)
{
    NodePtr a = Parse(leftRange);
    NodePtr b = Parse(rightRange);
    left = a.release();
    right = b.release();
    left->parent = this;
    right->parent = this;
}

OperationParser::OperationParser(NodePtr a, NodePtr b)
{
    if (!a || !b)
        RaiseError(kErrorEmptyExpression, -1, -1);
    left = a.release();
    right = b.release();
    left->parent = this;
    right->parent = this;
}

OperationParser::~OperationParser()
{
    DestroyOperands(this);
}

void OperationParser::ReleaseOperands(std::vector<Parser*>& out)
{
    if (left)
        out.push_back(left);
    if (right)
        out.push_back(right);
    left = right = nullptr;
}

double OperationParser::EvaluateLeft() const
{
    DepthGuard guard;
    return left->Evaluate();
}

double OperationParser::EvaluateRight() const
{
    DepthGuard guard;
    return right->Evaluate();
}

bool OperationParser::IsConstantValue(const Parser* node, double value)
{
    DepthGuard guard;
    return node->IsConstant() && node->Evaluate() == value;
}

bool OperationParser::IsConstantOrFixedBy(
    bool (*leftFixes)(double), bool (*rightFixes)(double)) const
{
    if (IsKnownNotConstant())
        return false;
    DepthGuard guard;
    const bool leftConstant = left->IsConstant();
    if (leftConstant && leftFixes(left->Evaluate()))
        return true;
    const bool rightConstant = right->IsConstant();
    if (rightConstant && rightFixes(right->Evaluate()))
        return true;
    return leftConstant && rightConstant;
}

bool OperationParser::IsConstant() const
{
    if (IsKnownNotConstant())
        return false;
    DepthGuard guard;
    return left->IsConstant() && right->IsConstant();
}

int OperationParser::GetPrecedence() const
{
    return kOperators[static_cast<size_t>(GetTypeCode())].precedence;
}

bool OperationParser::ReplaceChild(const Parser* old, NodePtr&& replacement)
{
    Parser** slot = nullptr;
    if (old == left && left != nullptr)
        slot = &left;
    else if (old == right && right != nullptr)
        slot = &right;
    if (slot == nullptr)
        return false;
    Parser* previous = *slot;
    *slot = replacement.release();
    (*slot)->parent = this;
    delete previous;
    ForgetConstness();
    return true;
}

void OperationParser::Bind(FunctionInterpreter* interpreter)
{
    DepthGuard guard;
    left->Bind(interpreter);
    right->Bind(interpreter);
}

bool OperationParser::SimplifyOperands()
{
    DepthGuard guard;
    FoldOperand(this, left);
    FoldOperand(this, right);
    return parent != nullptr;
}

void OperationParser::Simplify()
{
    SimplifyOperands();
}

std::string OperationParser::ToText() const
{
    std::string text;
    AppendText(text);
    return text;
}

void OperationParser::AppendText(std::string& out) const
{
    DepthGuard guard;
    // Equal precedences are parenthesised too, so the text always reads back as the same tree.
    const int precedence = GetPrecedence();
    const bool wrapLeft = precedence >= left->GetPrecedence();
    const bool wrapRight = precedence >= right->GetPrecedence();
    out += wrapLeft ? "( " : "";
    left->AppendText(out);
    out += wrapLeft ? " ) " : " ";
    out += kOperators[static_cast<size_t>(GetTypeCode())].symbol;
    out += wrapRight ? " ( " : " ";
    right->AppendText(out);
    out += wrapRight ? " )" : "";
}

NodePtr OperationParser::Clone() const
{
    DepthGuard guard;
    NodePtr a = left->Clone();
    NodePtr b = right->Clone();
    NodePtr copy = MakeOperation(GetTypeCode(), std::move(a), std::move(b));
    if (IsKnownNotConstant())
        copy->NoteNotConstant();
    return copy;
}

bool OperationParser::IsDifferent(const Parser* other) const
{
    DepthGuard guard;
    if (other == nullptr || typeid(*this) != typeid(*other))
        return true;
    const auto* that = static_cast<const OperationParser*>(other);
    if (IsConstant() && that->IsConstant())
        return Evaluate() != that->Evaluate();
    if (left->IsDifferent(that->left))
        return true;
    return right->IsDifferent(that->right);
}

bool OperationParser::ReplaceByOperand(Parser* operand)
{
    if (parent == nullptr || operand == nullptr)
        return false;
    Parser** slot = operand == left ? &left : (operand == right ? &right : nullptr);
    if (slot == nullptr)
        return false;
    NodePtr survivor(operand);
    *slot = nullptr; // so that destroying this node spares the operand
    Parser* const owner = parent;
    if (owner->ReplaceChild(this, std::move(survivor)))
        return true;
    *slot = survivor.release();
    return false;
}

bool OperationParser::ReplaceByNew(NodePtr (*build)(const OperationParser* self))
{
    if (parent == nullptr)
        return false;
    NodePtr replacement;
    try {
        replacement = build(this);
    } catch (const ParseErrorMsg& e) {
        if (e.code == kErrorOutOfMemory)
            return false; // lack of memory leaves the node as it was
        throw;
    }
    return parent->ReplaceChild(this, std::move(replacement));
}

bool OperationParser::ReplaceByNumber(double value)
{
    if (parent == nullptr)
        return false;
    std::unique_ptr<Constant> number;
    try {
        number = NewNode<Constant>(value);
    } catch (const ParseErrorMsg&) {
        return false;
    }
    return parent->ReplaceChild(this, std::move(number));
}
