// Fuzz target of the expression engine: arbitrary bytes are parsed, evaluated at a few values,
// derived, simplified, cloned, compared and printed. Any crash, hang or sanitizer report is a bug;
// engine errors are the expected outcome of most inputs.

#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/FunctionInterpreter.h"

namespace {

void Exercise(const std::string& formula)
{
    try {
        FunctionInterpreter interpreter(formula);
        (void)interpreter.ToText();
        const int count = interpreter.GetVariableCount();
        for (double v : {0.0, 1.0, -1.0, 0.5, -2.5, 1e10, 3.0e-300}) {
            for (int i = 0; i < count; ++i)
                interpreter.SetVariableValueAt(i, v * (i + 1));
            try {
                (void)interpreter.Evaluate();
            } catch (const ParseErrorMsg& e) {
                (void)ParseErrorText(e);
            }
        }
        const char* variable = count > 0 ? interpreter.GetVariableName(0) : "x";
        NodePtr derivative = interpreter.Derive(variable);
        derivative->Simplify();
        const std::string text = derivative->ToText();
        NodePtr clone = derivative->Clone();
        (void)clone->IsEqual(derivative.get());
        // The printed derivative must read back as a formula of its own.
        FunctionInterpreter reread(text);
        (void)reread.ToText();
    } catch (const ParseErrorMsg& e) {
        (void)ParseErrorText(e);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Formulas are typed by people: a few kilobytes cover every shape without letting the
    // quadratic parts of parsing dominate the run.
    if (size > 4096)
        return 0;
    std::string formula(reinterpret_cast<const char*>(data), size);
    formula = formula.substr(0, formula.find('\0'));
    Exercise(formula);
    return 0;
}
