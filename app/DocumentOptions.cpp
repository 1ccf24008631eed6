#include "app/DocumentOptions.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "app/CommandSupport.h"
#include "model/CurvanaDocument.h"
#include "model/CurveKind.h"
#include "model/FormulaCheck.h"
#include "model/Sampler.h"
#include "platform/CLocale.h"
#include "platform/Cp1252.h"
#include "ui/CurveColour.h"

namespace {

// Surfaces beyond these would only exhaust memory.
constexpr long kMaxSide = 16384;
constexpr long long kMaxPixels = 64ll << 20;
constexpr long kMaxDpi = 9600;

// Colours of the curves typed without --colour, by their place on the command line: the new
// document's violet-blue first, then dark colours far enough apart to tell curves apart on white.
constexpr int32_t Rgb(int red, int green, int blue)
{
    return (blue << 16) | (green << 8) | red;
}
constexpr int32_t kCurveColours[] = {
    Rgb(129, 125, 188), // the new document's curve
    Rgb(0, 128, 0),
    Rgb(224, 128, 0),
    Rgb(0, 64, 192),
    Rgb(192, 0, 0),
    Rgb(128, 0, 128),
    Rgb(0, 128, 128),
    Rgb(64, 64, 64),
};

// A strictly positive decimal integer, all of the text.
std::optional<long> PositiveInteger(const std::string& text)
{
    if (text.empty() || text.size() > 9)
        return std::nullopt;
    for (char c : text)
        if (!platform::IsCDigit(c))
            return std::nullopt;
    const long v = std::strtol(text.c_str(), nullptr, 10);
    return v > 0 ? std::optional<long>(v) : std::nullopt;
}

// A finite number in the C locale, all of the text.
std::optional<double> FiniteNumber(const char* text)
{
    char* end = nullptr;
    const double v = platform::CStrtod(text, &end);
    if (end == text || *end != '\0' || platform::IsCSpace(text[0]) || !std::isfinite(v))
        return std::nullopt;
    return v;
}

// The values of an option taking several arguments; on error prints it and returns false.
class OptionValues {
public:
    OptionValues(int argc, char** argv, int& i) : argc_(argc), argv_(argv), i_(i) { }

    // The option's argument count, checked before any is read.
    bool Need(const std::string& option, int count, const char* names)
    {
        option_ = option;
        if (i_ + count < argc_)
            return true;
        UsageError(option + " attend " + names);
        return false;
    }
    const char* Next() { return argv_[++i_]; }
    std::optional<std::string> Formula(std::string& shown)
    {
        shown = Next();
        std::optional<std::string> text = ToEngineText(shown.c_str());
        if (!text)
            UsageError("la formule « " + shown + " » de " + option_
                + " contient un caractère que le code page 1252 ne sait pas représenter");
        return text;
    }
    std::optional<double> Number(const char* name)
    {
        const char* text = Next();
        const std::optional<double> v = FiniteNumber(text);
        if (!v)
            UsageError(option_ + " : " + name + " n'est pas un nombre fini : « " + text + " »");
        return v;
    }
    // Two numbers, the first below the second.
    bool Interval(const char* minName, const char* maxName, double& min, double& max)
    {
        const std::optional<double> a = Number(minName);
        if (!a)
            return false;
        const std::optional<double> b = Number(maxName);
        if (!b)
            return false;
        if (!(*a < *b)) {
            UsageError(option_ + " : " + minName + " doit être inférieur à " + maxName + " : « "
                + argv_[i_ - 1] + " » et « " + argv_[i_] + " »");
            return false;
        }
        if (!std::isfinite(*b - *a)) {
            UsageError(option_ + " : de " + minName + " à " + maxName
                + ", l'écart dépasse les nombres représentables : « " + argv_[i_ - 1] + " » et « "
                + argv_[i_] + " »");
            return false;
        }
        min = *a;
        max = *b;
        return true;
    }
    std::optional<double> Iterations()
    {
        const char* text = Next();
        const std::optional<long> n = PositiveInteger(text);
        if (!n || *n > static_cast<long>(kMaxSamplesPerCurve)) {
            UsageError(option_ + " : ITERATIONS attend un entier de 1 à "
                + std::to_string(static_cast<long>(kMaxSamplesPerCurve)) + " : « " + text + " »");
            return std::nullopt;
        }
        return static_cast<double>(*n);
    }

private:
    int argc_;
    char** argv_;
    int& i_;
    std::string option_;
};

// The kind whose command-line option is a, or null.
const CurveKind* KindOfOption(const std::string& a)
{
    for (const CurveKind& kind : kCurveKinds)
        if (a == kind.option)
            return &kind;
    return nullptr;
}

// A curve option with its arguments; on error prints it and returns false.
bool ParseCurve(OptionValues& values, const CurveKind& kind, std::vector<CurveOption>& curves)
{
    const bool parameter = RunsOverParameter(kind);
    std::string names = kind.formulaArguments;
    if (parameter)
        names = names + " " + kind.minName + " " + kind.maxName + " ITERATIONS";
    if (!values.Need(kind.option, kind.formulaCount + (parameter ? 3 : 0), names.c_str()))
        return false;
    CurveOption c;
    c.option = kind.option;
    c.type = kind.type;
    // Curves over the view have the new document's interval and count.
    const CFunction defaults = DefaultCurve();
    c.min = defaults.paramMin;
    c.max = defaults.paramMax;
    c.iterations = defaults.iterations;
    std::optional<std::string> f1 = values.Formula(c.shown1);
    if (!f1)
        return false;
    c.formula1 = *f1;
    if (kind.formulaCount == 2) {
        std::optional<std::string> f2 = values.Formula(c.shown2);
        if (!f2)
            return false;
        c.formula2 = *f2;
    }
    if (parameter) {
        if (!values.Interval(kind.minName, kind.maxName, c.min, c.max))
            return false;
        const std::optional<double> n = values.Iterations();
        if (!n)
            return false;
        c.iterations = *n;
    }
    curves.push_back(std::move(c));
    return true;
}

} // namespace

std::optional<DocumentOptions> ParseDocumentOptions(int argc, char** argv, int first)
{
    DocumentOptions o;
    for (int i = first; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--size" || a == "--dpi") {
            if (i + 1 >= argc) {
                UsageError("il manque la valeur après " + a);
                return std::nullopt;
            }
            const std::string value = argv[++i];
            if (a == "--dpi") {
                const std::optional<long> dpi = PositiveInteger(value);
                if (!dpi || *dpi > kMaxDpi) {
                    UsageError("--dpi attend un entier de 1 à " + std::to_string(kMaxDpi) + " : « "
                        + value + " »");
                    return std::nullopt;
                }
                o.dpi = static_cast<int>(*dpi);
                continue;
            }
            const size_t x = value.find('x');
            const std::optional<long> w
                = x == std::string::npos ? std::nullopt : PositiveInteger(value.substr(0, x));
            const std::optional<long> h
                = x == std::string::npos ? std::nullopt : PositiveInteger(value.substr(x + 1));
            if (!w || !h || *w > kMaxSide || *h > kMaxSide
                || static_cast<long long>(*w) * *h > kMaxPixels) {
                UsageError("--size attend LARGEURxHAUTEUR en pixels, chaque côté de 1 à "
                    + std::to_string(kMaxSide) + " : « " + value + " »");
                return std::nullopt;
            }
            o.width = static_cast<int>(*w);
            o.height = static_cast<int>(*h);
        } else if (a == "--points") {
            o.points = true;
        } else if (a == "--no-antialias") {
            o.antialias = false;
        } else if (a == "--dots") {
            o.joinedLines = false;
        } else if (a == "--no-break-search") {
            o.searchBreakPoints = false;
        } else if (a == "--no-domain-search") {
            o.searchDiscontinuities = false;
        } else if (a == "--manual-graduation") {
            o.manualGraduation = true;
        } else if (const CurveKind* kind = KindOfOption(a)) {
            OptionValues values(argc, argv, i);
            if (!ParseCurve(values, *kind, o.curves))
                return std::nullopt;
        } else if (a == "--colour") {
            if (i + 1 >= argc) {
                UsageError("--colour attend COULEUR");
                return std::nullopt;
            }
            const std::string text = argv[++i];
            if (o.curves.empty()) {
                UsageError("--colour « " + text
                    + " » : --colour s'applique à la courbe qui le précède, et aucune ne le "
                      "précède");
                return std::nullopt;
            }
            if (o.curves.back().colour) {
                UsageError("--colour « " + text + " » : la courbe qui précède a déjà sa couleur");
                return std::nullopt;
            }
            o.curves.back().colour = CurveColourFromText(text);
            if (!o.curves.back().colour) {
                UsageError("--colour attend #RRGGBB, #RGB ou un nom de couleur SVG (red, "
                           "steelblue...) : « "
                    + text + " »");
                return std::nullopt;
            }
        } else if (a == "--area") {
            OptionValues values(argc, argv, i);
            Area area {};
            if (!values.Need(a, 4, "XMIN XMAX YMIN YMAX")
                || !values.Interval("XMIN", "XMAX", area.xMin, area.xMax)
                || !values.Interval("YMIN", "YMAX", area.yMin, area.yMax))
                return std::nullopt;
            o.area = area;
        } else if (a.size() > 1 && a[0] == '-') {
            UnknownOption(a);
            return std::nullopt;
        } else if (!o.file.empty()) {
            OneDocumentOnly(a);
            return std::nullopt;
        } else {
            o.file = a;
        }
    }
    return o;
}

namespace {

// Refuses a formula that the curve would not compile, as the window never does: the window stores
// any text and draws nothing for it. Returns 0, or the exit status after the message.
int CheckCurveFormula(int index, const CurveOption& c, bool second)
{
    const std::string& text = second ? c.formula2 : c.formula1;
    const std::string& shown = second ? c.shown2 : c.shown1;
    const char* variable = CurveVariable(c.type);
    const FormulaCheck check = CheckFormula(text, c.type);
    const CurveKind* kind = FindCurveKind(c.type);
    const std::string curve = "courbe " + std::to_string(index) + " (" + c.option + ", "
        + (kind != nullptr ? kind->formulaNames[second ? 1 : 0] : "") + ")";
    switch (check.status) {
    case FormulaCheck::Status::Ok:
    case FormulaCheck::Status::NoCurveKind: // every kind of the command line has a variable
        return kExitOk;
    case FormulaCheck::Status::EngineError:
        std::fprintf(stderr, "curvana : %s : formule refusée par le moteur :\n", curve.c_str());
        return ReportEngineError(shown.c_str(), check.error);
    case FormulaCheck::Status::WrongVariable:
        std::fprintf(stderr,
            "curvana : %s : la formule « %s » utilise la variable « %s » ; elle ne peut utiliser "
            "que %s (majuscules ou minuscules)\n",
            curve.c_str(), shown.c_str(), ToTerminalText(check.variables.at(0)).c_str(), variable);
        return kExitEngineError;
    case FormulaCheck::Status::TooManyVariables: {
        std::string names;
        for (const std::string& v : check.variables)
            names += (names.empty() ? "" : ", ") + ToTerminalText(v);
        std::fprintf(stderr,
            "curvana : %s : la formule « %s » utilise %zu variables (%s) ; elle ne peut en "
            "utiliser qu'une, %s\n",
            curve.c_str(), shown.c_str(), check.variables.size(), names.c_str(), variable);
        return kExitEngineError;
    }
    }
    return kExitEngineError;
}

// The curves typed on the command line, in their order, in place of the document's.
void ReplaceCurves(CFunctionsContext& context, const std::vector<CurveOption>& curves)
{
    context.Clear();
    for (size_t i = 0; i < curves.size(); ++i) {
        const CurveOption& c = curves[i];
        const int32_t colour = c.colour.value_or(kCurveColours[i % std::size(kCurveColours)]);
        CFunction f;
        f.Set(c.type, c.formula1, c.formula2, c.min, c.max, colour, c.iterations);
        CFunctionEntry entry;
        entry.SetFunction(f);
        context.Append(entry);
    }
}

} // namespace

int CheckTypedCurves(const DocumentOptions& o)
{
    for (size_t i = 0; i < o.curves.size(); ++i) {
        const CurveOption& c = o.curves[i];
        for (bool second : {false, true}) {
            if (second && FindCurveKind(c.type)->formulaCount < 2)
                continue;
            if (const int status = CheckCurveFormula(static_cast<int>(i), c, second))
                return status;
        }
    }
    return kExitOk;
}

bool PrepareDocument(const DocumentOptions& o, CurvanaDocument& document, std::string& error)
{
    if (!o.file.empty() && !document.Load(o.file, error))
        return false;
    CFunctionsContext& context = document.context;
    if (!o.curves.empty())
        ReplaceCurves(context, o.curves);
    if (o.area) {
        // The document's normalisation stays: the drawing derives one range from the surface.
        CWorkingArea& a = context.area;
        a.viewXMin = a.areaXMin = o.area->xMin;
        a.viewXMax = a.areaXMax = o.area->xMax;
        a.viewYMin = a.areaYMin = o.area->yMin;
        a.viewYMax = a.areaYMax = o.area->yMax;
    }
    context.params.antialias = o.antialias;
    context.params.joinedLines = o.joinedLines;
    context.params.searchBreakPoints = o.searchBreakPoints;
    context.params.searchDiscontinuities = o.searchDiscontinuities;
    context.axis.autoGraduation = !o.manualGraduation;
    return true;
}

int OpenDocument(const DocumentOptions& o, CurvanaDocument& document)
{
    if (const int status = CheckTypedCurves(o))
        return status;
    std::string error;
    if (!PrepareDocument(o, document, error)) {
        std::fprintf(stderr, "curvana : %s\n", error.c_str());
        return kExitUsage;
    }
    return kExitOk;
}
