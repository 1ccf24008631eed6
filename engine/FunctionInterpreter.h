#pragma once

// FunctionInterpreter: the object held for one formula. Built from the formula text, it parses it,
// keeps the root of the tree and owns the formula's variable table (every distinct variable name
// in order of first appearance, each with a current value). It is a Parser only in form: most node
// operations are answered by its root.

#include <deque>
#include <string>
#include <vector>

#include "engine/Parser.h"

class Variable;

class FunctionInterpreter final : public Parser {
public:
    // Parses and simplifies the formula; a leading "=" is skipped but still counted by error
    // positions. Raises the ParseErrorMsg of any syntax error, and of any evaluation error met
    // while folding constant parts.
    explicit FunctionInterpreter(const char* formula);
    explicit FunctionInterpreter(const std::string& formula) : FunctionInterpreter(formula.c_str())
    {
    }
    ~FunctionInterpreter() override;

    double Evaluate() const override;
    bool IsConstantNode() const override { return false; }
    bool IsConstant() const override;
    int GetPrecedence() const override { return 0; }
    bool ReplaceChild(const Parser* old, NodePtr&& replacement) override;
    void Bind(FunctionInterpreter*) override { }
    void Simplify() override;
    std::string ToText() const override;
    NodePtr Derive(const char* variable) const override;
    bool IsDifferent(const Parser* other) const override;
    bool IsEqual(const Parser* other) const override;

    virtual NodePtr CloneTree() const;
    virtual int GetVariableCount() const { return static_cast<int>(values.size()); }
    virtual int FindVariable(const char* name) const;
    // Null when i is out of range. The string stays owned by the interpreter.
    virtual const char* GetVariableName(int i) const;
    virtual double GetVariableValue(const char* name) const;
    virtual double GetVariableValueAt(int i) const;
    virtual NodePtr DeriveByVariable(const Variable* v) const;
    virtual NodePtr DeriveByIndex(int i) const;
    virtual bool SetVariableValue(const char* name, double x);
    virtual bool SetVariableValueAt(int i, double x);
    virtual bool IsDifferentFrom(const FunctionInterpreter& other) const;
    virtual bool IsEqualTo(const FunctionInterpreter& other) const;
    virtual const char* AddVariable(const char* name);
    virtual int GetVariableIndex(const char* name);

    const Parser* GetRoot() const { return root; }

protected:
    void ReleaseOperands(std::vector<Parser*>& out) override;

private:
    Parser* root = nullptr;
    // The variable table. Records are never removed or reordered: index i names the same
    // variable for the interpreter's whole life. Names live in a deque so that a name handed out
    // by GetVariableName stays valid when the table grows.
    std::deque<std::string> names;
    std::vector<double> values;
};
