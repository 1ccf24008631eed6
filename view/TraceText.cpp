#include "view/TraceText.h"

#include <cmath>

#include "model/CurveKind.h"
#include "platform/CLocale.h"

namespace {

PointRule RuleOf(CurveType type)
{
    const CurveKind* kind = FindCurveKind(type);
    return kind != nullptr ? kind->point : PointRule::Graph;
}

// The variable as the pane writes it.
const char* VariableName(PointRule rule)
{
    switch (rule) {
    case PointRule::Graph:
        return "x";
    case PointRule::Parametric:
        return "t";
    case PointRule::Polar:
        return "θ";
    }
    return "x";
}

std::string Assign(const char* name, double v)
{
    return std::string(name) + " = " + TraceNumber(v);
}

// "f'(x) = 2", or says that there is none; an infinite slope is a vertical tangent.
std::string Slope(const char* name, double slope)
{
    if (std::isnan(slope))
        return std::string(name) + " non définie";
    if (std::isinf(slope))
        return std::string(name) + " infinie";
    return Assign(name, slope);
}

std::string Undefined(const char* what, const char* variable, double v)
{
    return std::string(what) + " n'est pas définie en " + Assign(variable, v);
}

// What a point adds that the values at its place do not say: the limits of the curve there.
std::string Limits(const RemarkablePoint& point)
{
    switch (point.kind) {
    case PointKind::Hole:
    case PointKind::Edge:
        return std::isfinite(point.y) ? ", limite " + TraceNumber(point.y) : std::string();
    case PointKind::Jump:
        return ", limite à gauche " + TraceNumber(point.y) + ", limite à droite "
            + TraceNumber(point.yRight);
    case PointKind::Root:
    case PointKind::Minimum:
    case PointKind::Maximum:
    case PointKind::Inflection:
    case PointKind::Intersection:
    case PointKind::Pole:
    case PointKind::AxisX:
    case PointKind::AxisY:
    case PointKind::Origin:
        break;
    }
    return {};
}

std::string Values(PointRule rule, const CurveValues& v)
{
    switch (rule) {
    case PointRule::Graph:
        if (std::isnan(v.value1))
            return Undefined("f", "x", v.variable);
        return Assign("x", v.variable) + ", " + Assign("f(x)", v.value1) + ", "
            + Slope("f'(x)", v.derivative1);
    case PointRule::Parametric:
        if (std::isnan(v.value1))
            return Undefined("x(t)", "t", v.variable);
        if (std::isnan(v.value2))
            return Undefined("y(t)", "t", v.variable);
        return Assign("t", v.variable) + ", " + Assign("x(t)", v.value1) + ", "
            + Assign("y(t)", v.value2) + ", " + Slope("dy/dx", v.Slope());
    case PointRule::Polar:
        if (std::isnan(v.value1))
            return Undefined("r", "θ", v.variable);
        return Assign("θ", v.variable) + ", " + Assign("r", v.value1) + ", " + Assign("x", v.x)
            + ", " + Assign("y", v.y);
    }
    return {};
}

} // namespace

std::string TraceNumber(double v)
{
    return platform::CFormat("%.10g", v == 0 ? 0.0 : v);
}

std::string PointName(const RemarkablePoint& point, int tracedCurve)
{
    switch (point.kind) {
    case PointKind::Root:
        return "racine";
    case PointKind::Minimum:
        return "minimum local";
    case PointKind::Maximum:
        return "maximum local";
    case PointKind::Inflection:
        return "point d'inflexion";
    case PointKind::Intersection:
        return platform::CFormat("intersection avec la courbe %d",
            point.curve == tracedCurve ? point.otherCurve : point.curve);
    case PointKind::Pole:
        return "pôle";
    case PointKind::Hole:
        return "trou";
    case PointKind::Jump:
        return "saut";
    case PointKind::Edge:
        return "bord du domaine";
    case PointKind::AxisX:
        return "intersection avec l'axe des x";
    case PointKind::AxisY:
        return "intersection avec l'axe des y";
    case PointKind::Origin:
        return "passage par l'origine";
    }
    return {};
}

std::string TraceStatusText(int curve, CurveType type, const CurveValues& values,
    const RemarkablePoint* snapped, bool tangent)
{
    const PointRule rule = RuleOf(type);
    std::string text = platform::CFormat("Courbe %d", curve);
    if (snapped != nullptr) {
        text += ", " + PointName(*snapped, curve);
        if (snapped->status == PointStatus::Likely)
            text += " (probable)";
    }
    text += " : " + Values(rule, values);
    if (snapped != nullptr)
        text += Limits(*snapped);
    if (tangent) {
        const std::string equation = TangentEquation(values);
        text += equation.empty() ? " ; pas de tangente en ce point" : " ; tangente : " + equation;
    }
    return text;
}

std::string TangentEquation(const CurveValues& values)
{
    if (!values.defined)
        return {};
    const double m = values.Slope();
    if (std::isnan(m))
        return {};
    if (std::isinf(m))
        return "x = " + TraceNumber(values.x);
    const double b = values.y - m * values.x;
    if (!std::isfinite(b))
        return {};
    if (m == 0)
        return "y = " + TraceNumber(b);
    std::string text = "y = ";
    if (m == -1)
        text += "-x";
    else if (m != 1)
        text += TraceNumber(m) + "x";
    else
        text += "x";
    if (b > 0)
        text += " + " + TraceNumber(b);
    else if (b < 0)
        text += " - " + TraceNumber(-b);
    return text;
}

std::string UntraceableText(int curve, const std::string& formulaName, const std::string& reason)
{
    if (reason.empty())
        return platform::CFormat("La courbe %d ne peut pas être suivie", curve);
    return platform::CFormat("La courbe %d ne peut pas être suivie (", curve) + formulaName + " : "
        + reason + ")";
}

std::string SearchingText(int curve)
{
    return platform::CFormat("Courbe %d : recherche des points remarquables en cours", curve);
}

std::string NoPointText(int curve)
{
    return platform::CFormat("Courbe %d : aucun point remarquable trouvé", curve);
}

std::string MarkToolTip(const RemarkablePoint& point, CurveType type)
{
    std::string text
        = platform::CFormat("Courbe %d, ", point.curve) + PointName(point, point.curve) + " : ";
    switch (RuleOf(type)) {
    case PointRule::Graph:
        text += Assign("x", point.x);
        switch (point.kind) {
        case PointKind::Hole:
        case PointKind::Edge:
        case PointKind::Jump:
            text += Limits(point);
            break;
        case PointKind::Pole:
            break;
        case PointKind::Root:
        case PointKind::Minimum:
        case PointKind::Maximum:
        case PointKind::Inflection:
        case PointKind::Intersection:
        case PointKind::AxisX:
        case PointKind::AxisY:
        case PointKind::Origin:
            text += ", " + Assign("y", point.y);
            break;
        }
        break;
    case PointRule::Parametric:
    case PointRule::Polar:
        text += Assign(VariableName(RuleOf(type)), point.parameter) + ", " + Assign("x", point.x)
            + ", " + Assign("y", point.y);
        break;
    }
    switch (point.status) {
    case PointStatus::Proven:
        text += "\nPoint prouvé par le calcul d'intervalles";
        break;
    case PointStatus::Likely:
        text += "\nPoint probable : trouvé numériquement, sans preuve";
        break;
    }
    return text;
}

std::string UndecidedToolTip(const UndecidedRange& range, CurveType type)
{
    return platform::CFormat("Courbe %d : recherche non conclusive pour ", range.curve)
        + VariableName(RuleOf(type)) + " de " + TraceNumber(range.lo) + " à "
        + TraceNumber(range.hi);
}

std::string ClipboardCoordinates(double x, double y)
{
    return TraceNumber(x) + "\t" + TraceNumber(y);
}
