// The local algebraic rules of the operators. Each Simplify first simplifies and folds both
// operands, then applies its class's rules in order: the first that holds rewrites the node
// through its parent and ends the step. The rules know no commutativity and never look again at
// what they produced; a node without a parent (the root of a free tree) is never rewritten.

#include <new>

#include "engine/DepthGuard.h"
#include "engine/Functions.h"
#include "engine/Leaves.h"
#include "engine/Operators.h"
#include "engine/Tables.h"

namespace {

NodePtr TwiceLeft(const OperationParser* self)
{
    return Parser::MakeOperation(
        kOperatorMultiply, NewNode<Constant>(2.0), self->GetLeft()->Clone());
}

NodePtr LeftSquared(const OperationParser* self)
{
    return Parser::MakeOperation(kOperatorPower, self->GetLeft()->Clone(), NewNode<Constant>(2.0));
}

} // namespace

void PlusOperator::Simplify()
{
    if (!SimplifyOperands())
        return;
    if (IsConstantValue(left, 0))
        ReplaceByOperand(right);
    else if (IsConstantValue(right, 0))
        ReplaceByOperand(left);
    else if (left->IsEqual(right))
        ReplaceByNew(TwiceLeft);
}

void MinusOperator::Simplify()
{
    if (!SimplifyOperands())
        return;
    if (IsConstantValue(left, 0)) {
        // NEG takes the detached right operand itself, not a clone. The node's memory is taken
        // first, so that a failed allocation leaves this node as it was.
        void* memory = ::operator new(sizeof(NegFunction), std::nothrow);
        if (memory == nullptr)
            return;
        Parser* const operand = right;
        right = nullptr;
        NodePtr negation(new (memory) NegFunction(NodePtr(operand)));
        parent->ReplaceChild(this, std::move(negation));
    } else if (IsConstantValue(right, 0)) {
        ReplaceByOperand(left);
    } else if (right->IsEqual(left)) {
        ReplaceByNumber(0);
    }
}

void MultiplyOperator::Simplify()
{
    if (!SimplifyOperands())
        return;
    if (IsConstantValue(left, 0))
        ReplaceByNumber(0);
    else if (IsConstantValue(left, 1))
        ReplaceByOperand(right);
    else if (IsConstantValue(right, 0))
        ReplaceByNumber(0);
    else if (IsConstantValue(right, 1))
        ReplaceByOperand(left);
    else if (left->IsEqual(right))
        ReplaceByNew(LeftSquared);
}

void DivideOperator::Simplify()
{
    if (!SimplifyOperands())
        return;
    if (IsConstantValue(left, 0))
        ReplaceByNumber(0);
    else if (left->IsEqual(right))
        ReplaceByNumber(1);
}

void ModulusOperator::Simplify()
{
    if (!SimplifyOperands())
        return;
    if (left->IsEqual(right))
        ReplaceByNumber(0);
}

void PowerOperator::Simplify()
{
    if (!SimplifyOperands())
        return;
    if (IsConstantValue(left, 1))
        ReplaceByNumber(1);
    else if (IsConstantValue(left, 0))
        ReplaceByNumber(0);
    else if (IsConstantValue(right, 0))
        ReplaceByNumber(1);
    else if (IsConstantValue(right, 1))
        ReplaceByOperand(left);
}

// Comparisons of a subtree with itself.
void IsLessThanOperator::Simplify()
{
    if (SimplifyOperands() && left->IsEqual(right))
        ReplaceByNumber(0);
}

void IsGreaterThanOperator::Simplify()
{
    if (SimplifyOperands() && left->IsEqual(right))
        ReplaceByNumber(0);
}

void IsNotEqualToOperator::Simplify()
{
    if (SimplifyOperands() && left->IsEqual(right))
        ReplaceByNumber(0);
}

void IsEqualToOperator::Simplify()
{
    if (SimplifyOperands() && left->IsEqual(right))
        ReplaceByNumber(1);
}

void IsLessThanOrEqualToOperator::Simplify()
{
    if (SimplifyOperands() && left->IsEqual(right))
        ReplaceByNumber(1);
}

void IsGreaterThanOrEqualToOperator::Simplify()
{
    if (SimplifyOperands() && left->IsEqual(right))
        ReplaceByNumber(1);
}

void AndOperator::Simplify()
{
    if (!SimplifyOperands())
        return;
    if (IsConstantValue(left, 0)) {
        ReplaceByNumber(0);
    } else if (left->IsConstant()) {
        if (right->IsConstant())
            ReplaceByNumber(Evaluate());
        // otherwise stop: ‘1 && x’ stays as it is
    } else if (IsConstantValue(right, 0)) {
        ReplaceByNumber(0);
    }
}

void OrOperator::Simplify()
{
    if (!SimplifyOperands())
        return;
    if (left->IsConstant() && left->Evaluate() != 0) {
        ReplaceByNumber(1);
    } else if (IsConstantValue(left, 0)) {
        if (right->IsConstant())
            ReplaceByNumber(right->Evaluate() == 0 ? 0 : 1);
        // otherwise stop: ‘0 || x’ stays as it is
    } else if (right->IsConstant() && right->Evaluate() != 0) {
        ReplaceByNumber(1);
    }
}

void BitwiseAndOperator::Simplify()
{
    if (!SimplifyOperands())
        return;
    if (left->IsEqual(right))
        ReplaceByOperand(right);
    else if (IsConstantValue(left, 0))
        ReplaceByNumber(0);
    else if (IsConstantValue(right, 0))
        ReplaceByNumber(0);
    else if (IsConstantValue(left, -1))
        ReplaceByOperand(right);
    else if (IsConstantValue(right, -1))
        ReplaceByOperand(left);
}

void BitwiseInclusiveOrOperator::Simplify()
{
    if (!SimplifyOperands())
        return;
    if (IsConstantValue(left, -1) || IsConstantValue(right, -1))
        ReplaceByNumber(-1);
    else if (IsConstantValue(left, 0))
        ReplaceByOperand(right);
    else if (IsConstantValue(right, 0))
        ReplaceByOperand(left);
}

void BitwiseExclusiveOrOperator::Simplify()
{
    if (!SimplifyOperands())
        return;
    if (IsConstantValue(left, 0))
        ReplaceByOperand(right);
    else if (IsConstantValue(right, 0))
        ReplaceByOperand(left);
}

void ThenElseOperator::Simplify()
{
    SimplifyOperands();
    if (dynamic_cast<const IfOperator*>(parent) == nullptr)
        RaiseError(kErrorMissingQuestionMark, -1, -1);
}

void IfOperator::Simplify()
{
    if (!SimplifyOperands())
        return;
    auto* branches = static_cast<ThenElseOperator*>(right);
    if (left->IsConstant())
        branches->CollapseConditional(parent, left->Evaluate() != 0 ? 1.0 : 0.0);
    else if (branches->HasEqualBranches())
        branches->CollapseConditional(parent, 1.0);
}
