#include "app/CommandLine.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/AnalyseCommand.h"
#include "app/CommandSupport.h"
#include "app/ExportCommand.h"
#include "app/IntervalCommand.h"
#include "engine/FunctionInterpreter.h"
#include "platform/CLocale.h"
#include "platform/Version.h"

namespace {

int ExtraArgument(const char* argument)
{
    return UsageError(std::string("argument en trop : « ") + argument + " »");
}

int RunEval(int argc, char** argv)
{
    const std::optional<std::string> formula = FormulaArgument(argc, argv, 2, "--eval");
    if (!formula)
        return kExitUsage;
    const std::optional<std::vector<Assignment>> parsed = ParseAssignments(argc, argv, 3);
    if (!parsed)
        return kExitUsage;
    const std::vector<Assignment>& assignments = *parsed;
    try {
        FunctionInterpreter interpreter(*formula);
        for (const Assignment& a : assignments) {
            if (!interpreter.SetVariableValue(a.name.c_str(), a.value))
                WarnUnusedVariable(a);
        }
        const double value = interpreter.Evaluate();
        std::printf("%s\n", ExactNumber(value).c_str());
        return kExitOk;
    } catch (const ParseErrorMsg& error) {
        return ReportEngineError(argv[2], error);
    }
}

int RunTree(int argc, char** argv)
{
    const std::optional<std::string> formula = FormulaArgument(argc, argv, 2, "--tree");
    if (!formula)
        return kExitUsage;
    if (argc > 3)
        return ExtraArgument(argv[3]);
    try {
        FunctionInterpreter interpreter(*formula);
        std::printf("%s\n", ToTerminalText(interpreter.ToText()).c_str());
        return kExitOk;
    } catch (const ParseErrorMsg& error) {
        return ReportEngineError(argv[2], error);
    }
}

int RunDerive(int argc, char** argv)
{
    const std::optional<std::string> formula = FormulaArgument(argc, argv, 2, "--derive");
    if (!formula)
        return kExitUsage;
    std::string variable = "x";
    if (argc > 3) {
        const std::optional<std::string> name = ToEngineText(argv[3]);
        if (!name)
            return UsageError(
                "le nom de variable contient un caractère que le code page 1252 ne sait "
                "pas représenter");
        variable = *name;
    }
    if (argc > 4)
        return ExtraArgument(argv[4]);
    try {
        // Shown as the derivative tool shows it.
        std::printf("%s\n", ToTerminalText(DerivativeText(*formula, variable.c_str())).c_str());
        return kExitOk;
    } catch (const ParseErrorMsg& error) {
        return ReportEngineError(argv[2], error);
    }
}

} // namespace

WindowMode GetWindowMode(int argc, char** argv)
{
    if (argc < 2)
        return WindowMode::Window;
    const std::string first = argv[1];
    if (first == "--print")
        return argc == 3 ? WindowMode::Window : WindowMode::UsageError;
    if (first.empty() || first[0] != '-')
        return argc == 2 ? WindowMode::Window : WindowMode::UsageError;
    return WindowMode::CommandLine;
}

int RunCommandLine(int argc, char** argv)
{
    switch (GetWindowMode(argc, argv)) {
    case WindowMode::Window:
        break;
    case WindowMode::UsageError:
        if (std::string(argv[1]) == "--print")
            return UsageError("--print attend un seul document");
        return OneDocumentOnly(argv[2]);
    case WindowMode::CommandLine:
        break;
    }
    if (argc < 2) {
        PrintUsage(stdout);
        return kExitOk;
    }
    const std::string command = argv[1];
    if (command == "--help" || command == "-h") {
        PrintUsage(stdout);
        return kExitOk;
    }
    if (command == "--version") {
        std::printf("Curvana version %s\n", CURVANA_VERSION);
        return kExitOk;
    }
    if (command == "--eval")
        return RunEval(argc, argv);
    if (command == "--tree")
        return RunTree(argc, argv);
    if (command == "--derive")
        return RunDerive(argc, argv);
    if (command == "--export")
        return RunExport(argc, argv);
    if (command == "--interval")
        return RunInterval(argc, argv);
    if (command == "--analyse")
        return RunAnalyse(argc, argv);
    return UnknownOption(command);
}
