#include "model/FormulaCheck.h"

#include <memory>
#include <optional>

#include "engine/FunctionInterpreter.h"
#include "platform/CLocale.h"

namespace {

std::unique_ptr<FunctionInterpreter> TryParse(const std::string& text, ParseErrorMsg* error)
{
    try {
        return std::make_unique<FunctionInterpreter>(text);
    } catch (const ParseErrorMsg& e) {
        if (error != nullptr)
            *error = e;
        return nullptr;
    }
}

bool HasVariable(const FunctionInterpreter& interpreter, const std::string& name)
{
    return interpreter.FindVariable(name.c_str()) >= 0;
}

// A name character that no formula of the test can hold, repeated to the length of the name it
// stands in for: letters only, so that it reads as one variable and never as a number or a named
// constant.
std::optional<char> MarkerFor(const std::string& text)
{
    for (const char c : std::string("QZWKJYVX"))
        if (text.find(c) == std::string::npos
            && text.find(platform::CToLower(c)) == std::string::npos)
            return c;
    return std::nullopt;
}

} // namespace

bool LocateVariable(const std::string& text, const std::string& name, int& from, int& to)
{
    if (name.empty())
        return false;
    const std::optional<char> marker = MarkerFor(text);
    if (!marker)
        return false;
    const std::string probeName(name.size(), *marker);
    // The parser decides what a name is (signs that belong to it, exponents, prefix plus), so
    // every occurrence is put to the parser itself: renamed, it must come out as a variable of
    // its own. Renaming with plain letters keeps every split of the text where it was.
    for (size_t at = text.find(name); at != std::string::npos; at = text.find(name, at + 1)) {
        std::string probe = text;
        probe.replace(at, name.size(), probeName);
        const std::unique_ptr<FunctionInterpreter> parsed = TryParse(probe, nullptr);
        if (parsed && HasVariable(*parsed, probeName)) {
            from = static_cast<int>(at);
            to = static_cast<int>(at + name.size()) - 1;
            return true;
        }
    }
    return false;
}

FormulaCheck CheckFormula(const std::string& text, CurveType kind)
{
    FormulaCheck check;
    if (kind == CurveNone) {
        check.status = FormulaCheck::Status::NoCurveKind;
        return check;
    }
    ParseErrorMsg error {0, -1, -1};
    const std::unique_ptr<FunctionInterpreter> interpreter = TryParse(text, &error);
    if (!interpreter) {
        check.status = FormulaCheck::Status::EngineError;
        check.error = error;
        return check;
    }
    const int count = interpreter->GetVariableCount();
    for (int i = 0; i < count; ++i)
        check.variables.emplace_back(interpreter->GetVariableName(i));
    const char* expected = CurveVariable(kind);
    auto isExpected = [&](int i) {
        return expected != nullptr
            && platform::CEqualsIgnoreCase(interpreter->GetVariableName(i), expected);
    };
    int culprit = -1;
    switch (CheckVariables(*interpreter, expected)) {
    case VariableVerdict::Accepted:
        break;
    case VariableVerdict::TooMany:
        check.status = FormulaCheck::Status::TooManyVariables;
        // The first name that is not the kind's variable; "x+X" has two variables that only
        // differ in case, and the second of them is the one too many.
        culprit = 1;
        for (int i = 0; i < count; ++i)
            if (!isExpected(i)) {
                culprit = i == 0 && expected == nullptr ? 1 : i;
                break;
            }
        break;
    case VariableVerdict::Wrong:
        check.status = FormulaCheck::Status::WrongVariable;
        culprit = 0;
        break;
    }
    if (culprit >= 0) {
        check.variable = interpreter->GetVariableName(culprit);
        if (!LocateVariable(text, check.variable, check.from, check.to))
            check.from = check.to = -1;
    }
    return check;
}

bool DeriveFormula(
    const std::string& text, const std::string& variable, std::string& out, ParseErrorMsg& error)
{
    out.clear();
    try {
        out = DerivativeText(text, variable.c_str());
        return true;
    } catch (const ParseErrorMsg& e) {
        error = e;
        out.clear();
        return false;
    }
}
