#pragma once

// The built-in one-operand functions, the prefix operators "-", "!" and "~", and the random draw.
// Every function of FunctionTable.h is one BuiltinFunction: it evaluates its operand once and
// applies its row's rule, which raises the row's error (with no text position) when its domain
// test fails. Its derivative rule is in Derivatives.cpp.

#include "engine/EvaluationRules.h"
#include "engine/FunctionParser.h"

template <FunctionCode code> class BuiltinFunction final : public FunctionParser {
public:
    using FunctionParser::FunctionParser;
    double Evaluate() const override { return ApplyFunction(code, EvaluateOperand()); }
    int GetTypeCode() const override { return code; }
};

#define CURVANA_FUNCTION_CLASS(Stem, code, name, Class, ...)                                       \
    using Class = BuiltinFunction<kFunction##Stem>;
CURVANA_FUNCTIONS(CURVANA_FUNCTION_CLASS)
#undef CURVANA_FUNCTION_CLASS

// A random draw from 0 to its scale (or to its operand's value), in 32768 steps. Derives from
// Parser directly because its operand is optional; a constant operand is kept only as the scale.
class RandomFunction final : public Parser {
public:
    // From the text of the argument, parentheses included; "rand()" has no operand.
    explicit RandomFunction(TextRange* range);
    // From a node; null gives no operand and scale 1.
    explicit RandomFunction(NodePtr node);
    ~RandomFunction() override;

    double Evaluate() const override;
    bool IsConstantNode() const override { return false; }
    bool IsConstant() const override { return false; }
    int GetPrecedence() const override;
    bool ReplaceChild(const Parser* old, NodePtr&& replacement) override;
    void Bind(FunctionInterpreter* interpreter) override;
    void Simplify() override { }
    std::string ToText() const override;
    void AppendText(std::string& out) const override;
    NodePtr Clone() const override;
    // Two draws never count as equal, not even a draw and itself.
    bool IsDifferent(const Parser*) const override { return true; }
    bool IsEqual(const Parser*) const override { return false; }
    IntervalBounds EvaluateInterval(const IntervalInput& input) const override;

    virtual int GetTypeCode() const { return kFunctionRand; }

    const Parser* GetOperand() const { return operand; }
    double GetScale() const { return scale; }

protected:
    void ReleaseOperands(std::vector<Parser*>& out) override;

private:
    void Adopt(NodePtr node);

    Parser* operand = nullptr; // optional
    double scale = 1.0;
};

// The program-wide generator of the draws: starts at 1 at program start and is never reseeded.
// Returns 0 to 32767.
int NextRandomDraw();
// Puts the generator back to its start state (tests only).
void ResetRandomGenerator();
