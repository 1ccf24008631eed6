#include "engine/Operators.h"

#include <cmath>
#include <cstdint>

#include "engine/DepthGuard.h"
#include "engine/EvaluationRules.h"
#include "engine/QuietEvaluation.h"
#include "platform/Numeric.h"

using platform::TruncToInt32;

// The order in which operands are evaluated decides which error wins when both would fail, and
// the order of random draws; it is part of each operator's definition.

double PlusOperator::Evaluate() const
{
    const double b = EvaluateRight();
    const double a = EvaluateLeft();
    return a + b;
}

double MinusOperator::Evaluate() const
{
    const double a = EvaluateLeft();
    const double b = EvaluateRight();
    return a - b;
}

double MultiplyOperator::Evaluate() const
{
    const double b = EvaluateRight();
    const double a = EvaluateLeft();
    return a * b;
}

double DivideOperator::Evaluate() const
{
    const double b = EvaluateRight();
    if (b == 0)
        return EvaluationError(kErrorDivisionByZero);
    return EvaluateLeft() / b;
}

double ModulusOperator::Evaluate() const
{
    // A divisor that truncates to 0 never reaches the integer remainder. The remainder is taken in
    // 64 bits so that INT32_MIN % -1 gives 0 instead of trapping.
    const int32_t b = TruncToInt32(EvaluateRight());
    if (b == 0)
        return EvaluationError(kErrorDivisionByZero);
    const int32_t a = TruncToInt32(EvaluateLeft());
    return static_cast<double>(static_cast<int64_t>(a) % static_cast<int64_t>(b));
}

double PowerOperator::Evaluate() const
{
    const double a = EvaluateLeft();
    const double b = EvaluateRight();
    return ApplyPower(a, b);
}

double IsLessThanOperator::Evaluate() const
{
    const double a = EvaluateLeft();
    return a < EvaluateRight() ? 1.0 : 0.0;
}

double IsGreaterThanOperator::Evaluate() const
{
    const double a = EvaluateLeft();
    return a > EvaluateRight() ? 1.0 : 0.0;
}

double IsEqualToOperator::Evaluate() const
{
    const double a = EvaluateLeft();
    return a == EvaluateRight() ? 1.0 : 0.0;
}

double IsNotEqualToOperator::Evaluate() const
{
    const double a = EvaluateLeft();
    return a == EvaluateRight() ? 0.0 : 1.0;
}

double IsLessThanOrEqualToOperator::Evaluate() const
{
    const double a = EvaluateLeft();
    return a <= EvaluateRight() ? 1.0 : 0.0;
}

double IsGreaterThanOrEqualToOperator::Evaluate() const
{
    const double a = EvaluateLeft();
    return a >= EvaluateRight() ? 1.0 : 0.0;
}

double AndOperator::Evaluate() const
{
    if (EvaluateLeft() == 0)
        return 0.0;
    return EvaluateRight() == 0 ? 0.0 : 1.0;
}

double OrOperator::Evaluate() const
{
    if (EvaluateLeft() != 0)
        return 1.0;
    return EvaluateRight() == 0 ? 0.0 : 1.0;
}

double BitwiseAndOperator::Evaluate() const
{
    const int32_t b = TruncToInt32(EvaluateRight());
    const int32_t a = TruncToInt32(EvaluateLeft());
    return static_cast<double>(a & b);
}

double BitwiseInclusiveOrOperator::Evaluate() const
{
    const int32_t b = TruncToInt32(EvaluateRight());
    const int32_t a = TruncToInt32(EvaluateLeft());
    return static_cast<double>(a | b);
}

double BitwiseExclusiveOrOperator::Evaluate() const
{
    const int32_t b = TruncToInt32(EvaluateRight());
    const int32_t a = TruncToInt32(EvaluateLeft());
    return static_cast<double>(a ^ b);
}

// ---- Constness: one constant operand can fix the result whatever the other holds ----

namespace {

bool IsZero(double v)
{
    return v == 0;
}
bool IsOneOrZero(double v)
{
    return v == 1 || v == 0;
}
bool IsNonZero(double v)
{
    return v != 0;
}
bool IsMinusOne(double v)
{
    return v == -1;
}
bool Never(double)
{
    return false;
}

} // namespace

bool MultiplyOperator::IsConstant() const
{
    return IsConstantOrFixedBy(IsZero, IsZero);
}

bool DivideOperator::IsConstant() const
{
    return IsConstantOrFixedBy(IsZero, Never);
}

bool PowerOperator::IsConstant() const
{
    return IsConstantOrFixedBy(IsOneOrZero, IsZero);
}

bool AndOperator::IsConstant() const
{
    return IsConstantOrFixedBy(IsZero, IsZero);
}

bool OrOperator::IsConstant() const
{
    return IsConstantOrFixedBy(IsNonZero, IsNonZero);
}

bool BitwiseAndOperator::IsConstant() const
{
    return IsConstantOrFixedBy(IsZero, IsZero);
}

bool BitwiseInclusiveOrOperator::IsConstant() const
{
    return IsConstantOrFixedBy(IsMinusOne, IsMinusOne);
}

// ---- The conditional pair ----

double ThenElseOperator::Evaluate() const
{
    return EvaluationError(kErrorMissingQuestionMark);
}

double ThenElseOperator::EvaluateBranch(bool takeThen) const
{
    return takeThen ? EvaluateLeft() : EvaluateRight();
}

void ThenElseOperator::CollapseConditional(Parser* owner, double selector)
{
    Parser* const ifNode = parent;
    if (owner == nullptr || ifNode == nullptr)
        return;
    Parser** slot = selector != 0 ? &left : &right;
    NodePtr branch(*slot);
    *slot = nullptr; // detached, so that destroying the IfOperator spares it
    try {
        if (owner->ReplaceChild(ifNode, std::move(branch)))
            return; // this node is gone now
    } catch (...) {
        *slot = branch.release();
        throw;
    }
    *slot = branch.release();
}

bool ThenElseOperator::HasEqualBranches() const
{
    DepthGuard guard;
    return left->IsEqual(right);
}

IfOperator::IfOperator(TextRange* leftRange, TextRange* rightRange)
    : OperationParser(leftRange, rightRange)
{
    if (dynamic_cast<const ThenElseOperator*>(right) == nullptr)
        RaiseError(kErrorMissingColon, rightRange->first, rightRange->last);
}

IfOperator::IfOperator(NodePtr a, NodePtr b) : OperationParser(std::move(a), std::move(b))
{
    if (dynamic_cast<const ThenElseOperator*>(right) == nullptr)
        RaiseError(kErrorMissingColon, -1, -1);
}

bool IfOperator::ReplaceChild(const Parser* old, NodePtr&& replacement)
{
    // The right operand stays a ":" node whatever a caller asks.
    if (old == right && dynamic_cast<const ThenElseOperator*>(replacement.get()) == nullptr)
        return false;
    return OperationParser::ReplaceChild(old, std::move(replacement));
}

double IfOperator::Evaluate() const
{
    const bool takeThen = EvaluateLeft() != 0;
    DepthGuard guard;
    return static_cast<const ThenElseOperator*>(right)->EvaluateBranch(takeThen);
}
