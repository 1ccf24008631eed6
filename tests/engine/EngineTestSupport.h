#pragma once

// Small helpers shared by the engine tests.

#include <map>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "engine/FunctionInterpreter.h"

// The error a formula raises when it is built, or nullopt.
inline std::optional<ParseErrorMsg> BuildError(const char* formula)
{
    try {
        FunctionInterpreter interpreter(formula);
        return std::nullopt;
    } catch (const ParseErrorMsg& e) {
        return e;
    }
}

// Outcome of evaluating a formula: a value or an error code.
struct Outcome {
    double value = 0;
    std::optional<int> error;
};

inline Outcome EvaluateWith(const char* formula, const std::map<std::string, double>& values)
{
    Outcome out;
    try {
        FunctionInterpreter interpreter(formula);
        for (const auto& [name, value] : values)
            interpreter.SetVariableValue(name.c_str(), value);
        out.value = interpreter.Evaluate();
    } catch (const ParseErrorMsg& e) {
        out.error = e.code;
    }
    return out;
}

// The simplified derivative as the derivative tool prints it (before lower-casing).
inline std::string SimplifiedDerivative(const char* formula, const char* variable)
{
    FunctionInterpreter interpreter(formula);
    NodePtr d = interpreter.Derive(variable);
    d->Simplify();
    return d->ToText();
}

inline std::string RawDerivative(const char* formula, const char* variable)
{
    FunctionInterpreter interpreter(formula);
    return interpreter.Derive(variable)->ToText();
}
