#pragma once

// The rule of each one-operand function, by function code: its domain test and its value. The
// tree's function nodes and the compiled program both apply these, so that the two evaluations
// give the same bits. Domain tests are exact comparisons with no tolerance; a NaN operand passes
// every test and gives NaN. The bounds of the logarithms include 0, and ASEC/ACSC refuse +-1 as
// well.

#include <cmath>
#include <cstdint>
#include <limits>

#include "engine/QuietEvaluation.h"
#include "engine/Tables.h"
#include "platform/Numeric.h"

// Always inlined: with a constant code the switch folds away, and a call per function would cost
// the compiled program what the tree walk spends on its virtual calls.
[[gnu::always_inline]] inline double ApplyFunction(FunctionCode code, double x)
{
    switch (code) {
    case kFunctionLn: {
        if (x <= 0)
            return EvaluationError(kErrorLnNegative);
        return std::log(x);
    }
    case kFunctionLog: {
        if (x <= 0)
            return EvaluationError(kErrorLogNegative);
        return std::log10(x);
    }
    case kFunctionExp: {
        return std::exp(x);
    }
    case kFunctionAbs: {
        return std::fabs(x);
    }
    case kFunctionSqrt: {
        if (x < 0)
            return EvaluationError(kErrorSqrtNegative);
        return std::sqrt(x);
    }
    case kFunctionNeg: {
        return x * -1.0;
    }
    case kFunctionSin: {
        return std::sin(x);
    }
    case kFunctionCos: {
        return std::cos(x);
    }
    case kFunctionTan: {
        if (std::cos(x) == 0)
            return EvaluationError(kErrorTanInfinite);
        return std::tan(x);
    }
    case kFunctionSec: {
        const double c = std::cos(x);
        if (c == 0)
            return EvaluationError(kErrorSecInfinite);
        return 1 / c;
    }
    case kFunctionCsc: {
        const double s = std::sin(x);
        if (s == 0)
            return EvaluationError(kErrorCscInfinite);
        return 1 / s;
    }
    case kFunctionCot: {
        if (std::sin(x) == 0)
            return EvaluationError(kErrorCotInfinite);
        return 1 / std::tan(x);
    }
    case kFunctionAsin: {
        if (x > 1 || x < -1)
            return EvaluationError(kErrorArcSinDomain);
        return std::asin(x);
    }
    case kFunctionAcos: {
        if (x > 1 || x < -1)
            return EvaluationError(kErrorArcCosDomain);
        return std::acos(x);
    }
    case kFunctionAtan: {
        return std::atan(x);
    }
    case kFunctionAsec: {
        if (x >= -1 && x <= 1)
            return EvaluationError(kErrorArcSecDomain);
        return std::acos(1 / x);
    }
    case kFunctionAcsc: {
        if (x >= -1 && x <= 1)
            return EvaluationError(kErrorArcCscDomain);
        return std::asin(1 / x);
    }
    case kFunctionAcot: {
        if (x == 0)
            return EvaluationError(kErrorArcCotDomain);
        return std::atan(1 / x);
    }
    case kFunctionSinh: {
        return std::sinh(x);
    }
    case kFunctionCosh: {
        return std::cosh(x);
    }
    case kFunctionTanh: {
        if (std::cosh(x) == 0)
            return EvaluationError(kErrorTanhInfinite);
        return std::tanh(x);
    }
    case kFunctionSech: {
        const double c = std::cosh(x);
        if (c == 0)
            return EvaluationError(kErrorSechInfinite);
        return 1 / c;
    }
    case kFunctionCsch: {
        const double s = std::sinh(x);
        if (s == 0)
            return EvaluationError(kErrorCschInfinite);
        return 1 / s;
    }
    case kFunctionCoth: {
        const double t = std::tanh(x);
        if (t == 0)
            return EvaluationError(kErrorCothInfinite);
        return 1 / t;
    }
    case kFunctionAsinh: {
        return std::log(std::sqrt(x * x + 1) + x);
    }
    case kFunctionAcosh: {
        if (x < 1)
            return EvaluationError(kErrorAcoshDomain);
        return std::log(x + std::sqrt(x * x - 1));
    }
    case kFunctionAtanh: {
        if (x <= -1 || x >= 1)
            return EvaluationError(kErrorAtanhDomain);
        return 0.5 * std::log((x + 1) / (1 - x));
    }
    case kFunctionAsech: {
        if (x <= 0 || x > 1)
            return EvaluationError(kErrorAsechDomain);
        return std::log((std::sqrt(1 - x * x) + 1) / x);
    }
    case kFunctionAcsch: {
        if (x == 0)
            return EvaluationError(kErrorAcschDomain);
        return std::log((std::sqrt(x * x + 1) + 1) / std::fabs(x));
    }
    case kFunctionAcoth: {
        if (x >= -1 && x <= 1)
            return EvaluationError(kErrorAcothDomain);
        return 0.5 * std::log((x + 1) / (x - 1));
    }
    case kFunctionNot: {
        return x == 0 ? 1.0 : 0.0;
    }
    case kFunctionComplement: {
        return static_cast<double>(~platform::TruncToInt32(x));
    }
    case kFunctionCeil: {
        return std::ceil(x);
    }
    case kFunctionFloor: {
        return std::floor(x);
    }
    case kFunctionSgn: {
        return x < 0 ? -1.0 : 1.0;
    }
    case kFunctionLb: {
        if (x <= 0)
            return EvaluationError(kErrorLbNegative);
        return std::log(x) / std::log(2.0);
    }
    case kFunctionNone:
    case kFunctionRand:
    case kFunctionUnknownName:
        break;
    }
    return std::numeric_limits<double>::quiet_NaN(); // no rule: never called
}

// a^n by repeated squaring, the power of a negative or NaN base.
inline double IntegerPower(double a, int32_t n)
{
    double r = 1.0;
    double p = a;
    uint32_t bits = n < 0 ? 0u - static_cast<uint32_t>(n) : static_cast<uint32_t>(n);
    for (; bits != 0; bits >>= 1) {
        if (bits & 1u)
            r *= p;
        p *= p;
    }
    return n < 0 ? 1 / r : r;
}

// The power operator: any exponent of a positive base, only (nearly) integer exponents of a
// negative or NaN base, and 0 for a zero base.
inline double ApplyPower(double a, double b)
{
    if (a > 0)
        return std::pow(a, b);
    if (a == 0)
        return 0.0;
    // Negative (or NaN) base: only integer exponents have a real result.
    if (std::fabs(b) < 1e-17)
        return 1.0;
    const int32_t n = platform::TruncToInt32(b);
    if (!(std::fabs((n - b) / b) < 1e-14))
        return EvaluationError(kErrorLnNegative);
    return IntegerPower(a, n);
}
