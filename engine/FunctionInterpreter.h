#pragma once

// FunctionInterpreter: the object held for one formula. Built from the formula text, it parses it,
// keeps the root of the tree and owns the formula's variable table (every distinct variable name
// in order of first appearance, each with a current value). It is a Parser only in form: most node
// operations are answered by its root.

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "engine/DepthGuard.h"
#include "engine/EvaluationProgram.h"
#include "engine/IntervalRules.h"
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

    // Runs the compiled program, or walks the tree when there is none (a tree too deep for it).
    // Inline, for the curve model calls it per sample.
    double Evaluate() const override
    {
        if (root == nullptr)
            RaiseError(kErrorEmptyExpression, -1, -1);
        DepthGuard guard;
        if (!program.Empty())
            return program.Run(values.data());
        return root->Evaluate();
    }
    // The same value, errors and draws by the tree walk, which the program must match bit for bit.
    double EvaluateTree() const;
    bool HasProgram() const { return !program.Empty(); }
    // Evaluates at n values of variable i, errors quiet as in a QuietEvaluation each: out[k] is
    // the value and failed[k] whether it raised an error. Served only when the values are those
    // of n separate evaluations in any order (no random draw, no branch, a compiled program);
    // returns false otherwise, evaluating nothing. The variable keeps the last value.
    bool EvaluateQuietMany(int i, const double* xs, size_t n, double* out, bool* failed)
    {
        if (!program.CanRunMany() || i < 0)
            return false;
        const bool known = i < GetVariableCount(); // else a formula without it: values unused
        program.RunMany(values.data(), known ? i : -1, xs, n, out, failed);
        if (known && n > 0)
            values[static_cast<size_t>(i)] = xs[n - 1];
        return true;
    }
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
    IntervalBounds EvaluateInterval(const IntervalInput& input) const override;

    // The derivative by variable i as an interpreter of its own: the exact tree, simplified (not
    // printed and parsed again), its variables bound by name. Raises the engine's error when the
    // formula has no derivative.
    std::unique_ptr<FunctionInterpreter> DerivativeInterpreter(int i) const;
    // An interpreter of a tree built with the factories: bound, simplified and compiled as a
    // parsed formula is. Raises the engine's error of a fold that fails.
    static std::unique_ptr<FunctionInterpreter> FromTree(NodePtr tree);
    // Sets each variable of this interpreter to the value of the variable of the same name in
    // other, when it has one.
    void CopyVariableValues(const FunctionInterpreter& other);

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
    // Inline: the curve model sets its variable before every evaluation.
    virtual bool SetVariableValueAt(int i, double x)
    {
        if (i < 0 || i >= GetVariableCount())
            return false;
        values[static_cast<size_t>(i)] = x;
        return true;
    }
    virtual bool IsDifferentFrom(const FunctionInterpreter& other) const;
    virtual bool IsEqualTo(const FunctionInterpreter& other) const;
    virtual const char* AddVariable(const char* name);
    virtual int GetVariableIndex(const char* name);

    const Parser* GetRoot() const { return root; }

protected:
    void ReleaseOperands(std::vector<Parser*>& out) override;

private:
    // An interpreter of a tree built elsewhere (DerivativeInterpreter).
    explicit FunctionInterpreter(NodePtr tree);
    // Takes the parsed tree as root, binds and simplifies it; on an error frees it and throws.
    void Adopt(NodePtr tree);
    // Rebuilds the program from the tree; without memory for it the tree walk serves.
    void CompileProgram();

    Parser* root = nullptr;
    // The tree flattened for evaluation; empty while the tree is being rewritten.
    EvaluationProgram program;
    // The interval walks' memo, its slots given to the tree's nodes on the first walk after the
    // tree changed.
    std::unique_ptr<IntervalMemo> intervalMemo;
    mutable bool intervalSlotsValid = false;
    bool simplifying = false;
    // The variable table. Records are never removed or reordered: index i names the same
    // variable for the interpreter's whole life. Names live in a deque so that a name handed out
    // by GetVariableName stays valid when the table grows.
    std::deque<std::string> names;
    std::vector<double> values;
};

// The derivative of a formula by a variable as it is shown and stored: parsed, derived,
// simplified, printed and lower-cased. Raises the ParseErrorMsg of any engine error.
std::string DerivativeText(const std::string& formula, const char* variable);
