#pragma once

// OperationParser: base of the two-operand nodes. Both operands are owned and never null once the
// node is built.

#include "engine/Parser.h"

enum class OperandOrder; // EvaluationRules.h

class OperationParser : public Parser {
public:
    // Parses the left range, then the right one, so that variables of the left text enter the
    // variable table first.
    OperationParser(TextRange* leftRange, TextRange* rightRange);
    // Takes both operands; a null one raises error 25.
    OperationParser(NodePtr left, NodePtr right);
    ~OperationParser() override;

    bool IsConstantNode() const override { return false; }
    bool IsConstant() const override;
    int GetPrecedence() const override;
    bool ReplaceChild(const Parser* old, NodePtr&& replacement) override;
    void Bind(FunctionInterpreter* interpreter) override;
    void Simplify() override;
    std::string ToText() const override;
    void AppendText(std::string& out) const override;
    NodePtr Clone() const override;
    bool IsDifferent(const Parser* other) const override;
    bool IsEqual(const Parser* other) const override { return !IsDifferent(other); }
    // Every operator's interval rule, by its code (IntervalEvaluation.cpp).
    IntervalBounds EvaluateInterval(const IntervalInput& input) const override;

    virtual int GetTypeCode() const { return 0; }
    // Replaces this node, in its parent, by one of its own operands. This node is destroyed by
    // the call when it succeeds: nothing may touch it afterwards.
    virtual bool ReplaceByOperand(Parser* operand);

    const Parser* GetLeft() const { return left; }
    const Parser* GetRight() const { return right; }

protected:
    void ReleaseOperands(std::vector<Parser*>& out) override;
    double EvaluateLeft() const;
    double EvaluateRight() const;
    // The evaluation shapes of the operators' rules (EvaluationRules.h), defined with the
    // operators: both operands in the given order then the rule; a division's divisor first,
    // tested before the dividend; a short circuit that may skip the right operand.
    template <OperandOrder order, double (*rule)(double, double)> double EvaluateBoth() const;
    template <class Rule> double EvaluateQuotient() const;
    template <class Rule> double EvaluateShortCircuit() const;
    // Operand tests of the constness and simplification rules: constant, with exactly this value.
    // Reading the value evaluates the operand, so its evaluation errors propagate.
    static bool IsConstantValue(const Parser* node, double value);
    // Constness of an operator that one constant operand can fix whatever the other holds:
    // leftFixes (rightFixes) tells whether a constant left (right) operand of that value does.
    // Each operand's constness is asked once, so that the walk stays linear in the tree.
    bool IsConstantOrFixedBy(bool (*leftFixes)(double), bool (*rightFixes)(double)) const;
    // Replaces this node, in its parent, by a new node. Returns false, leaving the tree unchanged,
    // when there is no parent or the replacement cannot be built for lack of memory.
    bool ReplaceByNew(NodePtr (*build)(const OperationParser* self));
    bool ReplaceByNumber(double value);
    // The simplification step shared by every operator: simplify and fold left, then right.
    // Returns whether the node's own rules may run (they need a parent to rewrite through).
    bool SimplifyOperands();

    Parser* left = nullptr;
    Parser* right = nullptr;
};
