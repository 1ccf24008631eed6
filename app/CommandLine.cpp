#include "app/CommandLine.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/ExportCommand.h"
#include "engine/FunctionInterpreter.h"
#include "platform/CLocale.h"
#include "platform/Cp1252.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitEngineError = 1;
constexpr int kExitUsage = 2;

const char* const kUsage
    = "Utilisation :\n"
      "  curvana [FICHIER]                    ouvre la fenêtre sur un nouveau document, ou sur\n"
      "                                       FICHIER\n"
      "  curvana --print FICHIER              imprime FICHIER sur l'imprimante par défaut\n"
      "  curvana --eval FORMULE [NOM=VALEUR]...\n"
      "                                       évalue FORMULE avec les valeurs données\n"
      "  curvana --tree FORMULE               affiche FORMULE telle que le moteur la garde\n"
      "  curvana --derive FORMULE [VARIABLE]  affiche la dérivée simplifiée par rapport à\n"
      "                                       VARIABLE (x par défaut)\n"
      "  curvana --export SORTIE [OPTIONS] [FICHIER]\n"
      "                                       dessine FICHIER (ou un nouveau document) sans\n"
      "                                       fenêtre ; l'extension de SORTIE choisit le format :\n"
      "                                       .png image sur fond blanc, .svg et .pdf dessin\n"
      "                                       vectoriel, .cvn le document lui-même\n"
      "    --size LxH          surface de dessin en pixels (800x600 par défaut)\n"
      "    --dpi N             points par pouce (96 par défaut)\n"
      "    --points            écrit aussi les points de chaque courbe sur la sortie standard\n"
      "    --no-antialias --dots --no-break-search --no-domain-search --manual-graduation\n"
      "                        paramètres de tracé et mode de graduation\n"
      "    --cartesian FORMULE courbe y(x)\n"
      "    --parametric FX FY TMIN TMAX ITERATIONS\n"
      "                        courbe x(t), y(t), t de TMIN à TMAX en ITERATIONS pas\n"
      "    --polar FORMULE THETAMIN THETAMAX ITERATIONS\n"
      "                        courbe r(theta), theta en radians\n"
      "    --colour COULEUR    couleur de la courbe qui précède : #RRGGBB, #RGB ou un nom\n"
      "                        de couleur SVG (red, steelblue...)\n"
      "    --area XMIN XMAX YMIN YMAX\n"
      "                        zone de travail, normalisée comme dans le document : un\n"
      "                        nouveau document garde XMIN et XMAX et déduit y des\n"
      "                        proportions de la surface, autour de (YMIN+YMAX)/2\n"
      "                        Les courbes données remplacent celles du document, dans\n"
      "                        l'ordre. Sans --colour, la première prend la couleur d'un\n"
      "                        nouveau document et les suivantes un cycle de 8 couleurs.\n"
      "                        Une formule que la courbe ne peut compiler est refusée\n"
      "                        (code de sortie 1), sans rien écrire.\n"
      "  curvana --help | --version\n";

} // namespace

void PrintUsage(FILE* out)
{
    std::fputs(kUsage, out);
}

int UsageError(const std::string& message)
{
    std::fprintf(stderr, "curvana : %s\n", message.c_str());
    PrintUsage(stderr);
    return kExitUsage;
}

namespace {

// Arguments arrive in UTF-8; the engine works in code page 1252.
std::optional<std::string> ToEngineText(const char* argument)
{
    return platform::Utf8ToCp1252(argument);
}

std::string ToTerminalText(const std::string& engineText)
{
    // Engine texts are code page 1252 and never hold its undefined bytes; keep them raw if they do.
    return platform::Cp1252ToUtf8(engineText).value_or(engineText);
}

} // namespace

// On an engine error: the formula, the error text (whose caret line stands under it), then the
// code and positions on a last line.
int ReportEngineError(const char* formula, const ParseErrorMsg& error)
{
    std::fprintf(stderr, "%s\n%s", formula, ToTerminalText(ParseErrorText(error)).c_str());
    std::fprintf(stderr, "code %d, from %d, to %d\n", error.code, error.from, error.to);
    return kExitEngineError;
}

namespace {

std::optional<std::string> FormulaArgument(int argc, char** argv, int index, const char* option)
{
    if (index >= argc) {
        UsageError(std::string("il manque la formule après ") + option);
        return std::nullopt;
    }
    std::optional<std::string> text = ToEngineText(argv[index]);
    if (!text)
        UsageError(
            "la formule contient un caractère que le code page 1252 ne sait pas représenter");
    return text;
}

int RunEval(int argc, char** argv)
{
    const std::optional<std::string> formula = FormulaArgument(argc, argv, 2, "--eval");
    if (!formula)
        return kExitUsage;
    struct Assignment {
        std::string name;
        std::string shownName;
        double value;
    };
    std::vector<Assignment> assignments;
    for (int i = 3; i < argc; ++i) {
        const char* equals = std::strchr(argv[i], '=');
        if (equals == nullptr || equals == argv[i])
            return UsageError(std::string("« ") + argv[i] + " » n'est pas de la forme NOM=VALEUR");
        const std::string shownName(argv[i], static_cast<size_t>(equals - argv[i]));
        const std::optional<std::string> name = ToEngineText(shownName.c_str());
        if (!name)
            return UsageError("le nom « " + shownName
                + " » contient un caractère que le code page 1252 ne sait pas représenter");
        char* end = nullptr;
        const double value = platform::CStrtod(equals + 1, &end);
        if (end == equals + 1 || *end != '\0')
            return UsageError(std::string("la valeur de « ") + shownName
                + " » n'est pas un nombre : « " + (equals + 1) + " »");
        assignments.push_back({*name, shownName, value});
    }
    try {
        FunctionInterpreter interpreter(*formula);
        for (const Assignment& a : assignments) {
            if (!interpreter.SetVariableValue(a.name.c_str(), a.value))
                std::fprintf(stderr,
                    "curvana : la formule n'utilise pas la variable « %s » ; valeur ignorée\n",
                    a.shownName.c_str());
        }
        const double value = interpreter.Evaluate();
        std::printf("%s\n", platform::CFormat("%.17g", value).c_str());
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
        return UsageError(std::string("argument en trop : « ") + argv[3] + " »");
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
        return UsageError(std::string("argument en trop : « ") + argv[4] + " »");
    try {
        FunctionInterpreter interpreter(*formula);
        NodePtr derivative = interpreter.Derive(variable.c_str());
        derivative->Simplify();
        // Shown in lower case, as the derivative tool shows it.
        std::printf("%s\n", ToTerminalText(platform::CToLower(derivative->ToText())).c_str());
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
        return UsageError(std::string("un seul document à la fois : « ") + argv[2] + " »");
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
        std::printf("Curvana version 2.0.2\n");
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
    return UsageError("option inconnue : « " + command + " »");
}
