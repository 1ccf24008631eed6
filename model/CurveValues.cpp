#include "model/CurveValues.h"

#include <cmath>
#include <limits>

#include "engine/FunctionInterpreter.h"
#include "engine/QuietEvaluation.h"
#include "model/CurveKind.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The value of interpreter at its current variable values; NaN on any engine error.
double Quietly(const FunctionInterpreter& interpreter)
{
    try {
        QuietEvaluation quiet;
        const double value = interpreter.Evaluate();
        return quiet.Failed() ? kNaN : value;
    } catch (const ParseErrorMsg&) {
        return kNaN;
    }
}

} // namespace

double CurveValues::Slope() const
{
    if (std::isnan(dx) || std::isnan(dy) || (dx == 0 && dy == 0))
        return kNaN;
    return dy / dx;
}

CurveEvaluator::CurveEvaluator(const CFunction& curve)
    : type_(curve.Type()), kind_(FindCurveKind(curve.Type()))
{
    if (kind_ == nullptr)
        return; // failedFormula_ stays 0: such a curve is never drawn
    const std::string* texts[2] = {&curve.Formula1(), &curve.Formula2()};
    for (int i = 0; i < kind_->formulaCount; ++i) {
        try {
            auto f = std::make_unique<FunctionInterpreter>(*texts[i]);
            if (CheckVariables(*f, kind_->variable) != VariableVerdict::Accepted) {
                failedFormula_ = i;
                return;
            }
            formulas_[i] = std::move(f);
        } catch (const ParseErrorMsg&) {
            failedFormula_ = i;
            return;
        }
        // A formula without its variable is constant: its derivative is 0, kept as no
        // interpreter with a value. Without a derivative, the slope is undefined.
        if (formulas_[i]->GetVariableCount() == 0)
            continue;
        try {
            derivatives_[i] = formulas_[i]->DerivativeInterpreter(0);
        } catch (const ParseErrorMsg&) {
            derivatives_[i].reset();
            hasDerivative_[i] = false;
        }
    }
    failedFormula_ = -1;
}

CurveEvaluator::~CurveEvaluator() = default;
CurveEvaluator::CurveEvaluator(CurveEvaluator&&) noexcept = default;
CurveEvaluator& CurveEvaluator::operator=(CurveEvaluator&&) noexcept = default;

bool CurveEvaluator::ValuesAt(double v, CurveValues& out)
{
    out = CurveValues {};
    out.variable = v;
    out.value1 = out.value2 = out.derivative1 = out.derivative2 = kNaN;
    out.x = out.y = out.dx = out.dy = kNaN;
    if (!Compiled())
        return false;
    double* values[2] = {&out.value1, &out.value2};
    for (int i = 0; i < kind_->formulaCount; ++i) {
        formulas_[i]->SetVariableValueAt(0, v);
        *values[i] = Quietly(*formulas_[i]);
    }
    switch (kind_->point) {
    case PointRule::Graph:
        out.x = v;
        out.y = out.value1;
        break;
    case PointRule::Parametric:
        out.x = out.value1;
        out.y = out.value2;
        break;
    case PointRule::Polar:
        out.x = std::cos(v) * out.value1;
        out.y = std::sin(v) * out.value1;
        break;
    }
    out.defined = !std::isnan(out.x) && !std::isnan(out.y);
    return out.defined;
}

bool CurveEvaluator::PointAt(double v, double& x, double& y)
{
    CurveValues values;
    const bool defined = ValuesAt(v, values);
    x = values.x;
    y = values.y;
    return defined;
}

CurveValues CurveEvaluator::At(double v)
{
    CurveValues out;
    ValuesAt(v, out);
    if (!Compiled())
        return out;
    double* derivatives[2] = {&out.derivative1, &out.derivative2};
    for (int i = 0; i < kind_->formulaCount; ++i) {
        // Where a formula is undefined, so is its derivative.
        if (std::isnan(*(i == 0 ? &out.value1 : &out.value2))) {
            *derivatives[i] = kNaN;
        } else if (derivatives_[i] != nullptr) {
            derivatives_[i]->CopyVariableValues(*formulas_[i]);
            *derivatives[i] = Quietly(*derivatives_[i]);
        } else {
            *derivatives[i] = hasDerivative_[i] ? 0.0 : kNaN;
        }
    }
    switch (kind_->point) {
    case PointRule::Graph:
        out.dx = 1;
        out.dy = out.derivative1;
        break;
    case PointRule::Parametric:
        out.dx = out.derivative1;
        out.dy = out.derivative2;
        break;
    case PointRule::Polar: {
        // x = r cos(theta), y = r sin(theta), derived by theta.
        const double r = out.value1;
        const double dr = out.derivative1;
        out.dx = dr * std::cos(v) - r * std::sin(v);
        out.dy = dr * std::sin(v) + r * std::cos(v);
        break;
    }
    }
    return out;
}
