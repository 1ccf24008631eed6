#include "engine/Operators.h"

#include "engine/DepthGuard.h"
#include "engine/EvaluationRules.h"
#include "engine/QuietEvaluation.h"

// ---- Evaluation: each operator's rule, in its order ----

template <OperandOrder order, double (*rule)(double, double)>
double OperationParser::EvaluateBoth() const
{
    if constexpr (order == OperandOrder::RightFirst) {
        const double b = EvaluateRight();
        const double a = EvaluateLeft();
        return rule(a, b);
    } else {
        const double a = EvaluateLeft();
        const double b = EvaluateRight();
        return rule(a, b);
    }
}

template <class Rule> double OperationParser::EvaluateQuotient() const
{
    const double b = EvaluateRight();
    if (Rule::DivisorFails(b))
        return DivisionByZero();
    return Rule::Apply(EvaluateLeft(), b);
}

template <class Rule> double OperationParser::EvaluateShortCircuit() const
{
    const double a = EvaluateLeft();
    if (Rule::Decides(a))
        return Rule::kDecided;
    return Truth(EvaluateRight());
}

#define CURVANA_PLAIN_EVALUATE(Stem, code, Class, order, value)                                    \
    double Class::Evaluate() const                                                                 \
    {                                                                                              \
        return EvaluateBoth<OperandOrder::order, Apply##Stem>();                                   \
    }
CURVANA_PLAIN_OPERATORS(CURVANA_PLAIN_EVALUATE)
#undef CURVANA_PLAIN_EVALUATE

double DivideOperator::Evaluate() const
{
    return EvaluateQuotient<DivideRule>();
}

double ModulusOperator::Evaluate() const
{
    return EvaluateQuotient<ModulusRule>();
}

double PowerOperator::Evaluate() const
{
    return EvaluateBoth<kPowerOrder, ApplyPower>();
}

double AndOperator::Evaluate() const
{
    return EvaluateShortCircuit<AndRule>();
}

double OrOperator::Evaluate() const
{
    return EvaluateShortCircuit<OrRule>();
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
    const bool takeThen = SelectsThen(EvaluateLeft());
    DepthGuard guard;
    return static_cast<const ThenElseOperator*>(right)->EvaluateBranch(takeThen);
}
