#include "model/CFunction.h"

#include <algorithm>
#include <bit>
#include <cstdint>

#include "engine/FunctionInterpreter.h"
#include "engine/QuietEvaluation.h"
#include "model/CurveKind.h"
#include "platform/Archive.h"
#include "platform/CLocale.h"
#include "platform/Numeric.h"

const char* CurveVariable(CurveType type)
{
    const CurveKind* kind = FindCurveKind(type);
    return kind != nullptr ? kind->variable : nullptr;
}

double DefaultNaN()
{
    return std::bit_cast<double>(UINT64_C(0xFFF8000000000000));
}

// ---- CEasyFunction ----

CEasyFunction::CEasyFunction(const CEasyFunction& other)
    : type(other.type), formula1(other.formula1), formula2(other.formula2)
{
}

CEasyFunction& CEasyFunction::operator=(const CEasyFunction& other)
{
    if (this != &other)
        CopyDefinition(other);
    return *this;
}

CEasyFunction::CEasyFunction() = default;
CEasyFunction::~CEasyFunction() = default;

void CEasyFunction::DropCompiled()
{
    interpreter1.reset();
    interpreter2.reset();
    failed = false;
}

void CEasyFunction::SetDefinition(
    CurveType newType, const std::string& text1, const std::string& text2)
{
    if (newType == type && text1 == formula1 && text2 == formula2)
        return;
    type = newType;
    formula1 = text1;
    formula2 = text2;
    DropCompiled();
}

void CEasyFunction::SetType(CurveType newType)
{
    SetDefinition(newType, formula1, formula2);
}

void CEasyFunction::SetFormula1(const std::string& text)
{
    SetDefinition(type, text, formula2);
}

void CEasyFunction::SetFormula2(const std::string& text)
{
    SetDefinition(type, formula1, text);
}

void CEasyFunction::CopyDefinition(const CEasyFunction& other)
{
    type = other.type;
    formula1 = other.formula1;
    formula2 = other.formula2;
    DropCompiled();
}

bool CEasyFunction::operator==(const CEasyFunction& other) const
{
    return type == other.type && formula1 == other.formula1 && formula2 == other.formula2;
}

// The kind's variable is checked without regard to case here, although the engine itself tells
// "X" from "x".
VariableVerdict CheckVariables(const FunctionInterpreter& f, const char* variable)
{
    const int count = f.GetVariableCount();
    if (count > 1)
        return VariableVerdict::TooMany;
    if (count == 1 && variable != nullptr
        && !platform::CEqualsIgnoreCase(f.GetVariableName(0), variable))
        return VariableVerdict::Wrong;
    return VariableVerdict::Accepted;
}

bool CEasyFunction::CompileFormula(
    const std::string& text, const char* variable, std::unique_ptr<FunctionInterpreter>& out)
{
    out.reset();
    try {
        out = std::make_unique<FunctionInterpreter>(text);
    } catch (const ParseErrorMsg& e) {
        (void)ParseErrorText(e); // nothing is shown: the curve simply draws nothing
        return false;
    }
    if (CheckVariables(*out, variable) != VariableVerdict::Accepted) {
        out.reset();
        return false;
    }
    return true;
}

bool CEasyFunction::Compile()
{
    if (type == CurveNone) {
        failed = true;
        return false;
    }
    const CurveKind* kind = FindCurveKind(type);
    if (!CompileFormula(formula1, CurveVariable(type), interpreter1)) {
        failed = true;
        return false;
    }
    if (kind != nullptr && kind->formulaCount == 2
        && !CompileFormula(formula2, kind->variable, interpreter2)) {
        failed = true;
        return false;
    }
    return true;
}

double CEasyFunction::Evaluate(std::unique_ptr<FunctionInterpreter>& interpreter, double v)
{
    if (failed)
        return DefaultNaN();
    // A compilation that fails for either formula leaves every value undefined, the first one
    // included.
    if (!interpreter && (!Compile() || !interpreter))
        return DefaultNaN();
    interpreter->SetVariableValueAt(0, v);
    // A domain error undefines this one value only. Undefined samples are common (half of the
    // view for ln(x)): they are reported quietly rather than thrown.
    try {
        QuietEvaluation quiet;
        const double value = interpreter->Evaluate();
        return quiet.Failed() ? DefaultNaN() : value;
    } catch (const ParseErrorMsg& e) {
        (void)ParseErrorText(e);
        return DefaultNaN();
    }
}

bool CEasyFunction::EvaluateMany(
    std::unique_ptr<FunctionInterpreter>& interpreter, const double* vs, double* out, size_t n)
{
    if (!failed && !interpreter)
        Compile(); // as the first of the evaluations would
    if (failed || !interpreter) {
        for (size_t i = 0; i < n; ++i)
            out[i] = DefaultNaN();
        return true;
    }
    constexpr size_t kBlock = 256;
    bool undefined[kBlock];
    for (size_t at = 0; at < n; at += kBlock) {
        const size_t count = std::min(kBlock, n - at);
        if (!interpreter->EvaluateQuietMany(0, vs + at, count, out + at, undefined))
            return false; // the program does not change: it is the first block that refuses
        for (size_t i = 0; i < count; ++i)
            if (undefined[i])
                out[at + i] = DefaultNaN();
    }
    return true;
}

bool CEasyFunction::EvaluateFormula1Many(const double* vs, double* out, size_t n)
{
    return EvaluateMany(interpreter1, vs, out, n);
}

bool CEasyFunction::EvaluateFormula2Many(const double* vs, double* out, size_t n)
{
    return EvaluateMany(interpreter2, vs, out, n);
}

double CEasyFunction::EvaluateFormula1(double v)
{
    return Evaluate(interpreter1, v);
}

double CEasyFunction::EvaluateFormula2(double v)
{
    return Evaluate(interpreter2, v);
}

bool DeriveText(const std::string& text, const char* variable, std::string& out)
{
    try {
        out = DerivativeText(text, variable);
        return true;
    } catch (const ParseErrorMsg& e) {
        (void)ParseErrorText(e);
        return false;
    }
}

bool CEasyFunction::DeriveDefinition(CEasyFunction& target) const
{
    if (type == CurveNone) {
        target.SetDefinition(CurveNone, "", "");
        return false;
    }
    const CurveKind* kind = FindCurveKind(type);
    if (kind == nullptr)
        return false; // a kind no code knows: the target stays unchanged
    std::string d1;
    std::string d2;
    if (!DeriveText(formula1, kind->variable, d1)
        || (kind->formulaCount == 2 && !DeriveText(formula2, kind->variable, d2)))
        return false;
    target.SetDefinition(type, d1, d2);
    return true;
}

// ---- CFunction ----

void CFunction::Set(CurveType newType, const std::string& text1, const std::string& text2,
    double min, double max, int32_t newColour, double newIterations)
{
    paramMin = min;
    paramMax = max;
    colour = newColour;
    iterations = newIterations;
    SetDefinition(newType, text1, text2);
}

bool CFunction::operator==(const CFunction& other) const
{
    return SamePoints(other) && colour == other.colour;
}

bool CFunction::SamePoints(const CFunction& other) const
{
    using platform::SameNumber;
    return CEasyFunction::operator==(other) && SameNumber(paramMin, other.paramMin)
        && SameNumber(paramMax, other.paramMax) && SameNumber(iterations, other.iterations);
}

void CFunction::Serialize(Archive& ar)
{
    if (ar.IsStoring()) {
        ar.WriteByte(static_cast<uint8_t>(Type() & 0xFF));
        ar.WriteString(Formula1());
        ar.WriteString(Formula2());
        ar.WriteDouble(paramMin);
        ar.WriteDouble(paramMax);
        ar.WriteInt32(colour);
        ar.WriteDouble(iterations);
    } else {
        const auto newType = static_cast<CurveType>(ar.ReadByte());
        std::string text1 = ar.ReadString();
        std::string text2 = ar.ReadString();
        SetDefinition(newType, text1, text2);
        paramMin = ar.ReadDouble();
        paramMax = ar.ReadDouble();
        colour = ar.ReadInt32();
        iterations = ar.ReadDouble();
    }
}

// ---- CFunctionEntry ----

std::atomic<long> CFunctionEntry::derivativeRequests = 0;
std::atomic<long> CFunctionEntry::derivativeComputations = 0;

void CFunctionEntry::SetFunction(const CFunction& f)
{
    function = f;
    derivative.CopyDefinition(CEasyFunction());
    derivedValid = false;
}

CEasyFunction& CFunctionEntry::UpdateDerivative()
{
    derivativeRequests.fetch_add(1, std::memory_order_relaxed);
    const bool current = derivedValid && derivedType == function.Type()
        && derivedFrom1 == function.Formula1() && derivedFrom2 == function.Formula2();
    if (!current) {
        if (derivedValid) // the curve changed without SetFunction: start from an empty cache
            derivative.CopyDefinition(CEasyFunction());
        derivativeComputations.fetch_add(1, std::memory_order_relaxed);
        function.DeriveDefinition(derivative);
        derivedType = function.Type();
        derivedFrom1 = function.Formula1();
        derivedFrom2 = function.Formula2();
        derivedValid = true;
    }
    return derivative;
}
