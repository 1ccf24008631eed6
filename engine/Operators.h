#pragma once

// The two-operand operators: arithmetic, comparison, logical, bitwise and the conditional pair
// "?" / ":". Truth values are 1.0 and 0.0; any other input value, NaN included, counts as true.
// What each evaluates, in which order, and what fails are their rules in EvaluationRules.h.

#include "engine/OperationParser.h"
#include "engine/Tables.h"

#define CURVANA_OPERATOR_CLASS(ClassName, typeCode, extraMembers)                                  \
    class ClassName final : public OperationParser {                                               \
    public:                                                                                        \
        using OperationParser::OperationParser;                                                    \
        double Evaluate() const override;                                                          \
        int GetTypeCode() const override { return typeCode; }                                      \
        void Simplify() override;                                                                  \
        extraMembers                                                                               \
    }

#define CURVANA_CONSTNESS bool IsConstant() const override;
#define CURVANA_DERIVATIVE NodePtr Derive(const char* variable) const override;

CURVANA_OPERATOR_CLASS(PlusOperator, kOperatorPlus, CURVANA_DERIVATIVE);
CURVANA_OPERATOR_CLASS(MinusOperator, kOperatorMinus, CURVANA_DERIVATIVE);
CURVANA_OPERATOR_CLASS(MultiplyOperator, kOperatorMultiply, CURVANA_CONSTNESS CURVANA_DERIVATIVE);
CURVANA_OPERATOR_CLASS(DivideOperator, kOperatorDivide, CURVANA_CONSTNESS CURVANA_DERIVATIVE);
CURVANA_OPERATOR_CLASS(ModulusOperator, kOperatorModulus, );
CURVANA_OPERATOR_CLASS(PowerOperator, kOperatorPower, CURVANA_CONSTNESS CURVANA_DERIVATIVE);
CURVANA_OPERATOR_CLASS(IsLessThanOperator, kOperatorLess, );
CURVANA_OPERATOR_CLASS(IsGreaterThanOperator, kOperatorGreater, );
CURVANA_OPERATOR_CLASS(IsEqualToOperator, kOperatorEqual, );
CURVANA_OPERATOR_CLASS(IsNotEqualToOperator, kOperatorNotEqual, );
CURVANA_OPERATOR_CLASS(IsLessThanOrEqualToOperator, kOperatorLessOrEqual, );
CURVANA_OPERATOR_CLASS(IsGreaterThanOrEqualToOperator, kOperatorGreaterOrEqual, );
CURVANA_OPERATOR_CLASS(AndOperator, kOperatorAnd, CURVANA_CONSTNESS);
CURVANA_OPERATOR_CLASS(OrOperator, kOperatorOr, CURVANA_CONSTNESS);
CURVANA_OPERATOR_CLASS(BitwiseAndOperator, kOperatorBitwiseAnd, CURVANA_CONSTNESS);
CURVANA_OPERATOR_CLASS(BitwiseInclusiveOrOperator, kOperatorBitwiseOr, CURVANA_CONSTNESS);
CURVANA_OPERATOR_CLASS(BitwiseExclusiveOrOperator, kOperatorBitwiseXor, );

#undef CURVANA_OPERATOR_CLASS
#undef CURVANA_CONSTNESS
#undef CURVANA_DERIVATIVE

// The ":" of a conditional: left is the then-branch, right the else-branch. It is meaningful
// only as the right operand of an IfOperator; evaluated or simplified elsewhere it raises 31.
class ThenElseOperator final : public OperationParser {
public:
    using OperationParser::OperationParser;
    double Evaluate() const override;
    bool IsConstant() const override { return false; }
    int GetTypeCode() const override { return kOperatorThenElse; }
    void Simplify() override;
    NodePtr Derive(const char* variable) const override;

    // The value of the then-branch or of the else-branch; only that branch is evaluated.
    virtual double EvaluateBranch(bool takeThen) const;
    // Replaces the IfOperator above this node, inside owner, by one branch (then when selector
    // is not 0). Destroys this node and the other branch.
    virtual void CollapseConditional(Parser* owner, double selector);
    virtual bool HasEqualBranches() const;
};

// The "?" of a conditional: left is the condition, right a ThenElseOperator.
class IfOperator final : public OperationParser {
public:
    // The right operand must be a ":" node, else error 32 (with the right range's positions).
    IfOperator(TextRange* leftRange, TextRange* rightRange);
    IfOperator(NodePtr left, NodePtr right);
    double Evaluate() const override;
    bool ReplaceChild(const Parser* old, NodePtr&& replacement) override;
    int GetTypeCode() const override { return kOperatorIf; }
    void Simplify() override;
    NodePtr Derive(const char* variable) const override;
};
