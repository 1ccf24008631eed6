#include "app/IntervalCommand.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "app/CommandSupport.h"
#include "engine/IntervalEvaluator.h"
#include "platform/CLocale.h"

namespace {

// A bound of the range: any number of the C locale, infinities included, but not NaN.
std::optional<double> Bound(const char* text, const char* name)
{
    char* end = nullptr;
    const double v = platform::CStrtod(text, &end);
    if (end == text || *end != '\0' || platform::IsCSpace(text[0])) {
        UsageError(std::string("--interval : ") + name + " n'est pas un nombre : « " + text + " »");
        return std::nullopt;
    }
    if (std::isnan(v)) {
        UsageError(std::string("--interval : ") + name + " ne peut être NaN : « " + text + " »");
        return std::nullopt;
    }
    return v;
}

} // namespace

int RunInterval(int argc, char** argv)
{
    if (argc < 5)
        return UsageError("--interval attend FORMULE XMIN XMAX");
    const std::optional<std::string> formula = FormulaArgument(argc, argv, 2, "--interval");
    if (!formula)
        return kExitUsage;
    const std::optional<double> lo = Bound(argv[3], "XMIN");
    if (!lo)
        return kExitUsage;
    const std::optional<double> hi = Bound(argv[4], "XMAX");
    if (!hi)
        return kExitUsage;
    if (!(*lo <= *hi))
        return UsageError(std::string("--interval : XMIN doit être inférieur ou égal à XMAX : « ")
            + argv[3] + " » et « " + argv[4] + " »");

    const std::optional<std::vector<Assignment>> parsed = ParseAssignments(argc, argv, 5);
    if (!parsed)
        return kExitUsage;
    const std::vector<Assignment>& assignments = *parsed;

    try {
        FunctionInterpreter f(*formula);
        std::vector<bool> assigned(static_cast<size_t>(f.GetVariableCount()), false);
        for (const Assignment& a : assignments) {
            const int i = f.FindVariable(a.name.c_str());
            if (i < 0) {
                WarnUnusedVariable(a);
                continue;
            }
            f.SetVariableValueAt(i, a.value);
            assigned[static_cast<size_t>(i)] = true;
        }
        // The one variable without a value runs over the range; with none, the formula is a
        // number.
        int index = -1;
        for (int i = 0; i < f.GetVariableCount(); ++i) {
            if (assigned[static_cast<size_t>(i)])
                continue;
            if (index >= 0)
                return UsageError(std::string("--interval : la formule utilise plusieurs "
                                              "variables sans valeur : « ")
                    + ToTerminalText(f.GetVariableName(index)) + " » et « "
                    + ToTerminalText(f.GetVariableName(i)) + " »");
            index = i;
        }
        const IntervalEvaluator evaluator(f, index);
        const IntervalBounds b = evaluator.Evaluate({*lo, *hi}, 8);
        if (b.range.IsEmpty())
            std::printf("[empty] ill\n");
        else
            std::printf("[%s, %s] %s\n", ExactNumber(b.range.lo).c_str(),
                ExactNumber(b.range.hi).c_str(), DecorationName(b.decoration()));
        return kExitOk;
    } catch (const ParseErrorMsg& error) {
        return ReportEngineError(argv[2], error);
    }
}
