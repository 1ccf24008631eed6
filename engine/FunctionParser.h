#pragma once

// FunctionParser: base of the one-operand nodes (the named functions and the prefix operators
// "-", "!" and "~"). Its operand is owned and never null once the node is built.

#include "engine/Parser.h"

class FunctionParser : public Parser {
public:
    // Parses the range into the operand.
    explicit FunctionParser(TextRange* range);
    // Takes the operand; a null operand raises error 25.
    explicit FunctionParser(NodePtr operand);
    ~FunctionParser() override;

    double Evaluate() const override { return EvaluateOperand(); }
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
    // The derivative rule of the function's code (Derivatives.cpp).
    NodePtr Derive(const char* variable) const override;
    // The interval rule of the function's code (IntervalRules.cpp).
    IntervalBounds EvaluateInterval(const IntervalInput& input) const override;

    virtual int GetTypeCode() const { return 0; }

    const Parser* GetOperand() const { return operand; }

protected:
    void ReleaseOperands(std::vector<Parser*>& out) override;
    double EvaluateOperand() const;
    NodePtr CloneOperand() const;
    NodePtr DeriveOperand(const char* variable) const;

    Parser* operand = nullptr;
};

// Constant folding of one operand slot of a node: simplifies the operand, then replaces it by a
// Constant of its value when it is constant but not yet a Constant. Evaluation errors propagate;
// lack of memory for the Constant keeps the operand unfolded.
void FoldOperand(Parser* owner, Parser*& slot);
