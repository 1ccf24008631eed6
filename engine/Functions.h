#pragma once

// The built-in one-operand functions, the prefix operators "-", "!" and "~", and the random draw.
// Each class evaluates its operand once, applies its rule with the exact domain test of its row in
// Functions.cpp, and raises the row's error code (with no text position) when the test fails.

#include "engine/FunctionParser.h"

#define CURVANA_FUNCTION_CLASS(ClassName, typeCode)                                                \
    class ClassName final : public FunctionParser {                                                \
    public:                                                                                        \
        using FunctionParser::FunctionParser;                                                      \
        double Evaluate() const override;                                                          \
        int GetTypeCode() const override { return typeCode; }                                      \
        NodePtr Derive(const char* variable) const override;                                       \
    }

CURVANA_FUNCTION_CLASS(LnFunction, 1);
CURVANA_FUNCTION_CLASS(LogFunction, 2);
CURVANA_FUNCTION_CLASS(ExpFunction, 3);
CURVANA_FUNCTION_CLASS(AbsFunction, 4);
CURVANA_FUNCTION_CLASS(SqrtFunction, 5);
CURVANA_FUNCTION_CLASS(NegFunction, 6);
CURVANA_FUNCTION_CLASS(SinFunction, 8);
CURVANA_FUNCTION_CLASS(CosFunction, 9);
CURVANA_FUNCTION_CLASS(TanFunction, 10);
CURVANA_FUNCTION_CLASS(SecFunction, 11);
CURVANA_FUNCTION_CLASS(CscFunction, 12);
CURVANA_FUNCTION_CLASS(CotFunction, 13);
CURVANA_FUNCTION_CLASS(ArcSinFunction, 14);
CURVANA_FUNCTION_CLASS(ArcCosFunction, 15);
CURVANA_FUNCTION_CLASS(ArcTanFunction, 16);
CURVANA_FUNCTION_CLASS(ArcSecFunction, 17);
CURVANA_FUNCTION_CLASS(ArcCscFunction, 18);
CURVANA_FUNCTION_CLASS(ArcCotFunction, 19);
CURVANA_FUNCTION_CLASS(HSinFunction, 20);
CURVANA_FUNCTION_CLASS(HCosFunction, 21);
CURVANA_FUNCTION_CLASS(HTanFunction, 22);
CURVANA_FUNCTION_CLASS(HSecFunction, 23);
CURVANA_FUNCTION_CLASS(HCscFunction, 24);
CURVANA_FUNCTION_CLASS(HCotFunction, 25);
CURVANA_FUNCTION_CLASS(ArgHSinFunction, 26);
CURVANA_FUNCTION_CLASS(ArgHCosFunction, 27);
CURVANA_FUNCTION_CLASS(ArgHTanFunction, 28);
CURVANA_FUNCTION_CLASS(ArgHSecFunction, 29);
CURVANA_FUNCTION_CLASS(ArgHCscFunction, 30);
CURVANA_FUNCTION_CLASS(ArgHCotFunction, 31);
CURVANA_FUNCTION_CLASS(NotFunction, 32);
CURVANA_FUNCTION_CLASS(BitwiseCompliment, 33);
CURVANA_FUNCTION_CLASS(CeilingFunction, 34);
CURVANA_FUNCTION_CLASS(FloorFunction, 35);
CURVANA_FUNCTION_CLASS(SgnFunction, 36);
CURVANA_FUNCTION_CLASS(LbFunction, 37);

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

    virtual int GetTypeCode() const { return 7; }

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
