#pragma once

// Curve definitions. A curve is one or two formula texts, a kind that says which variable they
// use, and, for the kinds that run over a parameter, an interval, an iteration count and a colour.
// A definition compiles its formulas into interpreters lazily, on first evaluation; every failure
// (parse error, wrong variable, domain error) evaluates to NaN, never to an error.

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/ParseErrorMsg.h"

class Archive;
class FunctionInterpreter;

// A 32-bit integer in memory, one byte in files. There is no kind 3; any other value compiles
// like a curve without variable check but is never sampled.
enum CurveType : int32_t {
    CurveNone = 0,
    CurveCartesian = 1, // formula1 = y(x)
    CurveParametric = 2, // formula1 = x(t), formula2 = y(t)
    CurvePolar = 4, // formula1 = r(theta)
};

// The variable a kind's formulas use ("x", "t", "theta"), or nullptr for the other kinds.
const char* CurveVariable(CurveType type);

// The rule every curve compiles with, once its formula parses: at most one variable, and that one
// the kind's (variable, or any when it is nullptr), compared without regard to case.
enum class VariableVerdict { Accepted, TooMany, Wrong };
VariableVerdict CheckVariables(const FunctionInterpreter& f, const char* variable);

// The value of every failed evaluation: the processor's default quiet NaN (sign bit set).
double DefaultNaN();

class CEasyFunction {
public:
    CEasyFunction();
    // Copies never share interpreters: they compile again, lazily.
    CEasyFunction(const CEasyFunction& other);
    CEasyFunction& operator=(const CEasyFunction& other);
    virtual ~CEasyFunction();

    // The kind and texts can only change through these setters, and any change drops the
    // compiled interpreters and the failed mark: a definition never evaluates with interpreters
    // compiled from texts it no longer holds. Setting what it already holds changes nothing.
    void SetDefinition(CurveType newType, const std::string& text1, const std::string& text2);
    void SetType(CurveType newType);
    void SetFormula1(const std::string& text);
    void SetFormula2(const std::string& text);
    // Copies kind and texts, drops the interpreters, clears failed.
    void CopyDefinition(const CEasyFunction& other);

    CurveType Type() const { return type; }
    const std::string& Formula1() const { return formula1; }
    const std::string& Formula2() const { return formula2; }

    // Kind and texts; compiled state is not part of a definition's value.
    bool operator==(const CEasyFunction& other) const;

    bool Compile();
    double EvaluateFormula1(double v);
    double EvaluateFormula2(double v);
    // The values EvaluateFormula1 (2) would give at n points, computed together; false, with
    // nothing evaluated, when they must be asked one at a time (random draws keep their order
    // only so).
    bool EvaluateFormula1Many(const double* vs, double* out, size_t n);
    bool EvaluateFormula2Many(const double* vs, double* out, size_t n);
    // Writes the derivative of this definition (by its kind's variable) into target.
    bool DeriveDefinition(CEasyFunction& target) const;

    bool IsFailed() const { return failed; }
    bool IsCompiled() const { return interpreter1 != nullptr; }

private:
    double Evaluate(std::unique_ptr<FunctionInterpreter>& interpreter, double v);
    bool EvaluateMany(
        std::unique_ptr<FunctionInterpreter>& interpreter, const double* vs, double* out, size_t n);
    static bool CompileFormula(
        const std::string& text, const char* variable, std::unique_ptr<FunctionInterpreter>& out);
    void DropCompiled();

    bool failed = false;
    CurveType type = CurveNone;
    std::string formula1;
    std::string formula2; // Parametric only
    std::unique_ptr<FunctionInterpreter> interpreter1;
    std::unique_ptr<FunctionInterpreter> interpreter2;
};

class CFunction : public CEasyFunction {
public:
    CFunction() = default;
    CFunction(const CFunction& other) = default;
    CFunction& operator=(const CFunction& other) = default;

    void Set(CurveType newType, const std::string& text1, const std::string& text2, double min,
        double max, int32_t newColour, double newIterations);
    // One curve record of a document file; colour comes before iterations there.
    void Serialize(Archive& ar);

    // Every field of the record; numbers compare by value, and a NaN equals the same NaN, so that
    // a record always equals its copy.
    bool operator==(const CFunction& other) const;
    // Whether both curves have the same points: only the colour may differ.
    bool SamePoints(const CFunction& other) const;

    double paramMin = 0.0;
    double paramMax = 0.0;
    double iterations = 136.0; // steps across [paramMin, paramMax]
    int32_t colour = 0; // 0x00BBGGRR
};

// An element of the document's curve list: a curve and its symbolic derivative, a cache reset
// whenever the curve is set and refreshed at the start of every sampling pass.
class CFunctionEntry {
public:
    CFunctionEntry() = default;
    CFunctionEntry(const CFunctionEntry& other) = default;
    CFunctionEntry& operator=(const CFunctionEntry& other) = default;

    void SetFunction(const CFunction& f);
    CEasyFunction& UpdateDerivative();

    // The curve only: the derivative is a cache of it.
    bool operator==(const CFunctionEntry& other) const { return function == other.function; }

    CFunction function;
    CEasyFunction derivative;

    // How many times entries were asked for their derivative, and how many times they had to
    // derive their curve's text (for tests and benchmarks).
    // Counted across threads: curves are sampled side by side.
    static std::atomic<long> derivativeRequests;
    static std::atomic<long> derivativeComputations;

private:
    // The curve texts the derivative was last written from. While they are unchanged the
    // derivative text is the same, so it is not computed again.
    CurveType derivedType = CurveNone;
    std::string derivedFrom1;
    std::string derivedFrom2;
    bool derivedValid = false;
};

// The derivative of a formula by a variable as the derivative tool shows it (simplified, printed,
// lower case). Returns false, leaving out unchanged, when the formula cannot be parsed or derived.
bool DeriveText(const std::string& text, const char* variable, std::string& out);
