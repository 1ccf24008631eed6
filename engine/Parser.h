#pragma once

// Parser: the root of every expression node class. Its virtual interface holds the node
// operations (evaluate, simplify, print, derive, clone, compare, re-parent) followed by the
// text-parsing machinery, which is defined once here and never overridden, so that any node and
// the FunctionInterpreter front end can parse text.

#include <memory>
#include <string>
#include <vector>

#include "engine/ParseErrorMsg.h"

class FunctionInterpreter;
class Parser;
class Variable;
struct IntervalBounds; // IntervalRules.h
struct IntervalInput;

using NodePtr = std::unique_ptr<Parser>;

// A slice of formula text. Positions are offsets from text, so that every error position is an
// offset into the formula as typed. The slice is empty when last < first.
struct TextRange {
    const char* text;
    int first;
    int last; // inclusive
    FunctionInterpreter* owner;
    // For each "(" of the text, the position of the ")" that closes it, or -1; null until the
    // outermost Parse has indexed the text. Each level skips whole groups through it instead of
    // scanning them again, which keeps parsing linear in the text's length.
    const int* closing = nullptr;
};

// An operator recognised in the text.
struct OperatorToken {
    int code; // operator type code; 0: no operator
    int position;
    int length; // 1 or 2
    short precedence;
};

class Parser {
public:
    Parser() = default;
    Parser(const Parser&) = delete;
    Parser& operator=(const Parser&) = delete;

    // Node operations.
    virtual double Evaluate() const;
    virtual bool IsConstantNode() const;
    virtual bool IsConstant() const;
    virtual int GetPrecedence() const;
    // If old is an operand of this node: destroys it, takes the replacement in its place (moving
    // from it) and returns true. Otherwise returns false and leaves the replacement untouched.
    virtual bool ReplaceChild(const Parser* old, NodePtr&& replacement);
    virtual void Bind(FunctionInterpreter* interpreter);
    virtual void Simplify();
    virtual std::string ToText() const;
    // Appends what ToText gives to out. Nodes with operands print through this, into one buffer,
    // so that printing costs the length of the text and not that times the depth.
    virtual void AppendText(std::string& out) const;
    virtual NodePtr Derive(const char* variable) const;
    virtual NodePtr Clone() const;
    virtual bool IsDifferent(const Parser* other) const;
    virtual bool IsEqual(const Parser* other) const;
    virtual ~Parser();
    // The bounds of the node's values over a range of one variable (IntervalEvaluation.cpp).
    virtual IntervalBounds EvaluateInterval(const IntervalInput& input) const;
    // This node as a variable, or null: cheaper than a cast where every node is asked.
    virtual const Variable* AsVariable() const { return nullptr; }

    // Text parsing.
    virtual OperatorToken ScanOperator(const TextRange* range, int at) const;
    virtual bool ParseNumber(const TextRange* range, NodePtr* out) const;
    virtual bool ParseNamedConstant(const TextRange* range, NodePtr* out) const;
    virtual NodePtr ParseFunctionCall(TextRange* range, int functionCode) const;
    static NodePtr MakeFunction(int functionCode, NodePtr operand);
    virtual NodePtr ParseOperation(TextRange* range, const OperatorToken& token) const;
    static NodePtr MakeOperation(int operatorCode, NodePtr left, NodePtr right);
    virtual int ClassifySign(const TextRange* range, int at) const;
    virtual NodePtr ParseLeaf(TextRange* range) const;
    virtual int FindFunctionName(const TextRange* range) const;
    virtual OperatorToken FindLowestOperator(const TextRange* range) const;
    virtual bool IsBlank(const TextRange* range) const;
    virtual NodePtr Parse(TextRange* range) const;
    virtual void TrimBlanks(TextRange* range) const;
    [[noreturn]] virtual void RaiseError(int code, int from, int to) const;
    virtual void StripParentheses(TextRange* range) const;

    // The node that owns this one, or null for a free tree. Set by whoever attaches the node.
    Parser* parent = nullptr;

    // The slot of this node's interval bounds in its interpreter's memo, shared by every subtree
    // equal to it (derivatives repeat their subtrees many times); -1 when it has none.
    int intervalSlot = -1;

    // A note that IsConstant() is false, taken by simplification once a subtree is simplified and
    // folded, so that the constness questions of every level above need not walk it again.
    // Replacing an operand anywhere below drops the note (ForgetConstness); a clone keeps it.
    bool IsKnownNotConstant() const { return knownNotConstant; }
    void NoteNotConstant() { knownNotConstant = true; }
    // Drops the note of this node and of the ancestors holding one. Simplification drops a
    // node's note before simplifying it, so that the walk stops at once below any node in work.
    void ForgetConstness();

protected:
    // The node of a function code built from the text of its argument, or null when the code
    // cannot be called by name.
    static NodePtr MakeFunctionFromText(int functionCode, TextRange* argument);
    // The operator node of a code built from its two operand texts, or null for a code that is
    // not a two-operand operator.
    static NodePtr MakeOperationFromText(int operatorCode, TextRange* left, TextRange* right);

    // Detaches this node's operands so that the destructor can free a tree of any depth without
    // recursing: the operands are handed to the caller, which destroys them in turn.
    virtual void ReleaseOperands(std::vector<Parser*>& out);
    static void DestroyOperands(Parser* node);

private:
    bool knownNotConstant = false;
};

// Allocation of a node through the engine: exhausted memory raises error 4 with 0, 0.
template <class T, class... Args> std::unique_ptr<T> NewNode(Args&&... args)
{
    try {
        return std::make_unique<T>(std::forward<Args>(args)...);
    } catch (const std::bad_alloc&) {
        RaiseError(kErrorOutOfMemory, 0, 0);
    }
}
