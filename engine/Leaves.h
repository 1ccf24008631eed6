#pragma once

// The leaves of an expression tree: numbers and variables.

#include <string>

#include "engine/Parser.h"

class Constant final : public Parser {
public:
    explicit Constant(double value) : value(value) { }

    double Evaluate() const override { return value; }
    bool IsConstantNode() const override { return true; }
    bool IsConstant() const override { return true; }
    int GetPrecedence() const override;
    std::string ToText() const override;
    NodePtr Derive(const char* variable) const override;
    NodePtr Clone() const override;
    bool IsDifferent(const Parser* other) const override;
    bool IsEqual(const Parser* other) const override { return !IsDifferent(other); }
    IntervalBounds EvaluateInterval(const IntervalInput& input) const override;

    const double value;
};

class Variable final : public Parser {
public:
    // Bound at once to owner when there is one, which enters the name into its variable table.
    Variable(std::string name, FunctionInterpreter* owner);

    double Evaluate() const override;
    bool IsConstantNode() const override { return false; }
    bool IsConstant() const override { return false; }
    int GetPrecedence() const override;
    void Bind(FunctionInterpreter* interpreter) override;
    std::string ToText() const override;
    NodePtr Derive(const char* variable) const override;
    NodePtr Clone() const override;
    bool IsDifferent(const Parser* other) const override;
    bool IsEqual(const Parser* other) const override { return !IsDifferent(other); }
    IntervalBounds EvaluateInterval(const IntervalInput& input) const override;
    const Variable* AsVariable() const override { return this; }

    virtual const std::string& GetName() const { return name; }
    virtual int GetIndex() const { return index; }
    const FunctionInterpreter* GetInterpreter() const { return interpreter; }

private:
    FunctionInterpreter* interpreter = nullptr; // null while unbound
    int index = -1; // position in the interpreter's table; -1 unbound
    std::string name; // as written, case kept
};
