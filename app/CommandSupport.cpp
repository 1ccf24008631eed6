#include "app/CommandSupport.h"

#include <cerrno>
#include <cstring>

#include "engine/ParseErrorMsg.h"
#include "platform/CLocale.h"
#include "platform/Cp1252.h"
#include "platform/SystemErrors.h"

namespace {

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
      "  curvana --interval FORMULE XMIN XMAX [NOM=VALEUR]...\n"
      "                                       encadre les valeurs de FORMULE quand sa variable\n"
      "                                       parcourt [XMIN, XMAX] : [MIN, MAX] et la\n"
      "                                       décoration (com, dac, def, trv ou ill)\n"
      "  curvana --analyse [OPTIONS] [FICHIER]\n"
      "                                       points remarquables des courbes sur la zone\n"
      "                                       affichée (mêmes options que --export) : une\n"
      "                                       ligne COURBE TYPE X Y STATUT par point\n"
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

int UnknownOption(const std::string& option)
{
    return UsageError("option inconnue : « " + option + " »");
}

int OneDocumentOnly(const std::string& argument)
{
    return UsageError("un seul document à la fois : « " + argument + " »");
}

std::optional<std::string> ToEngineText(const char* argument)
{
    return platform::Utf8ToCp1252(argument);
}

std::string ToTerminalText(const std::string& engineText)
{
    // Engine texts are code page 1252 and never hold its undefined bytes; keep them raw if they do.
    return platform::Cp1252ToUtf8(engineText).value_or(engineText);
}

int ReportEngineError(const char* formula, const ParseErrorMsg& error)
{
    std::fprintf(stderr, "%s\n%s", formula, ToTerminalText(ParseErrorText(error)).c_str());
    std::fprintf(stderr, "code %d, from %d, to %d\n", error.code, error.from, error.to);
    return kExitEngineError;
}

std::optional<std::vector<Assignment>> ParseAssignments(int argc, char** argv, int first)
{
    std::vector<Assignment> assignments;
    for (int i = first; i < argc; ++i) {
        const char* equals = std::strchr(argv[i], '=');
        if (equals == nullptr || equals == argv[i]) {
            UsageError(std::string("« ") + argv[i] + " » n'est pas de la forme NOM=VALEUR");
            return std::nullopt;
        }
        const std::string shownName(argv[i], static_cast<size_t>(equals - argv[i]));
        const std::optional<std::string> name = ToEngineText(shownName.c_str());
        if (!name) {
            UsageError("le nom « " + shownName
                + " » contient un caractère que le code page 1252 ne sait pas représenter");
            return std::nullopt;
        }
        char* end = nullptr;
        const double value = platform::CStrtod(equals + 1, &end);
        if (end == equals + 1 || *end != '\0') {
            UsageError(std::string("la valeur de « ") + shownName + " » n'est pas un nombre : « "
                + (equals + 1) + " »");
            return std::nullopt;
        }
        assignments.push_back({*name, shownName, value});
    }
    return assignments;
}

int FinishOutput(int status)
{
    errno = 0;
    if (std::fflush(stdout) == 0 && !std::ferror(stdout))
        return status;
    std::fprintf(stderr, "curvana : sortie standard : %s\n",
        platform::SystemReason(errno != 0 ? errno : EIO).c_str());
    return status == kExitOk ? kExitUsage : status;
}

std::string ExactNumber(double v)
{
    return platform::CFormat("%.17g", v);
}

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

void WarnUnusedVariable(const Assignment& assignment)
{
    std::fprintf(stderr, "curvana : la formule n'utilise pas la variable « %s » ; valeur ignorée\n",
        assignment.shownName.c_str());
}
