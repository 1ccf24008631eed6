#pragma once

// One curve at one value of its variable, as the trace cursor shows it: the formula values, the
// point of the plane and the tangent there. The derivatives are the engine's symbolic ones,
// evaluated: a difference quotient would print noise where the slope is zero or the curve is
// steep.

#include <memory>

#include "model/CFunction.h"

class FunctionInterpreter;
struct CurveKind;

struct CurveValues {
    double variable = 0; // x, t or theta
    // f(x); x(t) and y(t); r(theta). NaN where undefined.
    double value1 = 0;
    double value2 = 0;
    // The formulas' derivatives by the variable, NaN where they have none.
    double derivative1 = 0;
    double derivative2 = 0;
    // The point of the plane, when both its coordinates are defined.
    bool defined = false;
    double x = 0;
    double y = 0;
    // The direction of the tangent: the derivatives of x and y by the variable (1 and f'(x) for a
    // Cartesian curve). NaN when a derivative is undefined.
    double dx = 0;
    double dy = 0;

    // f'(x) for a Cartesian curve, dy/dx for the others: infinite for a vertical tangent, NaN when
    // there is none (an undefined derivative, or a parametric curve standing still).
    double Slope() const;
};

class CurveEvaluator {
public:
    // Compiles the curve's formulas for its kind and derives them.
    explicit CurveEvaluator(const CFunction& curve);
    ~CurveEvaluator();
    CurveEvaluator(CurveEvaluator&&) noexcept;
    CurveEvaluator& operator=(CurveEvaluator&&) noexcept;

    // Whether every formula compiles for the curve's kind; if not, the first that does not (0 or
    // 1), or -1.
    bool Compiled() const { return failedFormula_ < 0; }
    int FailedFormula() const { return failedFormula_; }
    CurveType Type() const { return type_; }

    // Everything at v: values, point and derivatives.
    CurveValues At(double v);
    // Only the point of the plane at v, without derivatives; false where it is undefined.
    bool PointAt(double v, double& x, double& y);

private:
    bool ValuesAt(double v, CurveValues& out);

    CurveType type_ = CurveNone;
    const CurveKind* kind_ = nullptr;
    int failedFormula_ = 0;
    std::unique_ptr<FunctionInterpreter> formulas_[2];
    // Null when the formula has no derivative; a formula without a variable has 0.
    std::unique_ptr<FunctionInterpreter> derivatives_[2];
    bool hasDerivative_[2] = {true, true};
};
