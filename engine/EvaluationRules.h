#pragma once

// The rules of evaluation, each written once: every function's (from its row in
// FunctionTable.h) and every operator's, with what fails, what is computed and which operand is
// evaluated first. The tree's nodes and both loops of the compiled program apply these, so that
// the two evaluations give the same bits, raise the same errors and make the same random draws.

#include <cmath>
#include <cstdint>
#include <limits>

#include "engine/QuietEvaluation.h"
#include "engine/Tables.h"
#include "platform/Numeric.h"

// ---- Functions ----

// The values the rows' domain tests share, for a double operand (IntervalRules.h has them for a
// range).
inline double Cos(double x)
{
    return std::cos(x);
}
inline double Sin(double x)
{
    return std::sin(x);
}
inline double Cosh(double x)
{
    return std::cosh(x);
}
inline double Sinh(double x)
{
    return std::sinh(x);
}
inline double Tanh(double x)
{
    return std::tanh(x);
}

// A function's rule by its code. The compiled program passes skipNeverMet to leave out the
// domain tests that no double meets (their row says NeverMet); the tree walk keeps every test.
// Always inlined: with a constant code the switch folds away, and a call per function would cost
// the compiled program what the tree walk spends on its virtual calls.
template <bool skipNeverMet = false>
[[gnu::always_inline]] inline double ApplyFunction(FunctionCode code, double x)
{
    switch (code) {
#define CURVANA_FUNCTION_RULE(                                                                     \
    Stem, code, name, Class, call, error, test, shared, failsWhen, value, shape)                   \
    case kFunction##Stem: {                                                                        \
        [[maybe_unused]] const double u = shared;                                                  \
        if (!(skipNeverMet && DomainTest::test == DomainTest::NeverMet) && (failsWhen))            \
            return EvaluationError(error);                                                         \
        return value;                                                                              \
    }
        CURVANA_FUNCTIONS(CURVANA_FUNCTION_RULE)
#undef CURVANA_FUNCTION_RULE
    case kFunctionNone:
    case kFunctionRand:
    case kFunctionUnknownName:
        break;
    }
    return std::numeric_limits<double>::quiet_NaN(); // no rule: never called
}

// Whether evaluating the function can have no effect of its own: no error, no draw.
constexpr bool FunctionNeverFails(FunctionCode code)
{
    switch (code) {
#define CURVANA_FUNCTION_FAILS(Stem, code, name, Class, call, error, ...)                          \
    case kFunction##Stem:                                                                          \
        return error == kErrorNone;
        CURVANA_FUNCTIONS(CURVANA_FUNCTION_FAILS)
#undef CURVANA_FUNCTION_FAILS
    case kFunctionNone:
    case kFunctionRand:
    case kFunctionUnknownName:
        break;
    }
    return false;
}

// ---- Operators ----

// Which operand an operator evaluates first. It decides which error wins when both would fail,
// and the order of random draws, so it is part of each operator's definition.
enum class OperandOrder { LeftFirst, RightFirst };

// Of two NaN operands, the processor returns the first one's, so a + b and a * b give the left
// operand's. The compiler may swap the operands of a commutative operation where the registers
// suit it better, so the rule picks that NaN itself.
[[gnu::always_inline]] inline double LeftNaN(double a, double result)
{
    return a != a ? a + a : result;
}

// a (left) and b (right) truncated to 32-bit integers, as the bitwise operators and the
// remainder read them.
inline int32_t Int(double v)
{
    return platform::TruncToInt32(v);
}

// The operators that never fail, one row each: X(Stem, code, Class, order, value of a and b).
// Their operands can be evaluated in either order when neither has an effect.
// clang-format off
#define CURVANA_PLAIN_OPERATORS(X) \
    X(Add,    kOperatorPlus,           PlusOperator,                   RightFirst, LeftNaN(a, a + b)) \
    X(Sub,    kOperatorMinus,          MinusOperator,                  LeftFirst,  a - b) \
    X(Mul,    kOperatorMultiply,       MultiplyOperator,               RightFirst, LeftNaN(a, a * b)) \
    X(Lt,     kOperatorLess,           IsLessThanOperator,             LeftFirst,  a < b ? 1.0 : 0.0) \
    X(Gt,     kOperatorGreater,        IsGreaterThanOperator,          LeftFirst,  a > b ? 1.0 : 0.0) \
    X(Eq,     kOperatorEqual,          IsEqualToOperator,              LeftFirst,  a == b ? 1.0 : 0.0) \
    X(Ne,     kOperatorNotEqual,       IsNotEqualToOperator,           LeftFirst,  a == b ? 0.0 : 1.0) \
    X(Le,     kOperatorLessOrEqual,    IsLessThanOrEqualToOperator,    LeftFirst,  a <= b ? 1.0 : 0.0) \
    X(Ge,     kOperatorGreaterOrEqual, IsGreaterThanOrEqualToOperator, LeftFirst,  a >= b ? 1.0 : 0.0) \
    X(BitAnd, kOperatorBitwiseAnd,     BitwiseAndOperator,             RightFirst, static_cast<double>(Int(a) & Int(b))) \
    X(BitOr,  kOperatorBitwiseOr,      BitwiseInclusiveOrOperator,     RightFirst, static_cast<double>(Int(a) | Int(b))) \
    X(BitXor, kOperatorBitwiseXor,     BitwiseExclusiveOrOperator,     RightFirst, static_cast<double>(Int(a) ^ Int(b)))
// clang-format on

#define CURVANA_PLAIN_RULE(Stem, code, Class, order, value)                                        \
    [[gnu::always_inline]] inline double Apply##Stem(double a, double b)                           \
    {                                                                                              \
        return value;                                                                              \
    }
CURVANA_PLAIN_OPERATORS(CURVANA_PLAIN_RULE)
#undef CURVANA_PLAIN_RULE

// Division and remainder: the divisor (right) is evaluated and tested first; a divisor that
// fails raises division by zero, and the dividend is then not evaluated at all.
struct DivideRule {
    static bool DivisorFails(double b) { return b == 0; }
    static double Apply(double a, double b) { return a / b; }
};
struct ModulusRule {
    // A divisor that truncates to 0 never reaches the integer remainder.
    static bool DivisorFails(double b) { return Int(b) == 0; }
    // Taken in 64 bits, so that INT32_MIN % -1 gives 0 instead of trapping.
    static double Apply(double a, double b)
    {
        return static_cast<double>(static_cast<int64_t>(Int(a)) % static_cast<int64_t>(Int(b)));
    }
};
inline double DivisionByZero()
{
    return EvaluationError(kErrorDivisionByZero);
}
// A whole division or remainder of operands already evaluated (leaves, or a block's values).
template <class Rule> [[gnu::always_inline]] inline double ApplyQuotient(double a, double b)
{
    return Rule::DivisorFails(b) ? DivisionByZero() : Rule::Apply(a, b);
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

// The exponent n that the negative-base rule reads in b, when it reads one.
inline bool IsIntegerExponent(double b, int32_t& n)
{
    n = platform::TruncToInt32(b);
    return !(std::fabs(b) < 1e-17) && std::fabs((n - b) / b) < 1e-14;
}

// The power operator, left operand first: any exponent of a positive base, only (nearly)
// integer exponents of a negative or NaN base, and 0 for a zero base. It fails after both
// operands are evaluated.
inline double ApplyPower(double a, double b)
{
    if (a > 0)
        return std::pow(a, b);
    if (a == 0)
        return 0.0;
    // Negative (or NaN) base: only integer exponents have a real result.
    if (std::fabs(b) < 1e-17)
        return 1.0;
    int32_t n;
    if (!IsIntegerExponent(b, n))
        return EvaluationError(kErrorLnNegative);
    return IntegerPower(a, n);
}
constexpr OperandOrder kPowerOrder = OperandOrder::LeftFirst;

// "&&" and "||", left operand first: the left operand alone decides when it is false (for &&)
// or true (for ||), and the right one is then not evaluated; otherwise the result is the truth of
// the right operand.
struct AndRule {
    static bool Decides(double a) { return a == 0; }
    static constexpr double kDecided = 0.0;
};
struct OrRule {
    static bool Decides(double a) { return a != 0; }
    static constexpr double kDecided = 1.0;
};
inline double Truth(double v)
{
    return v == 0 ? 0.0 : 1.0;
}

// "c ? a : b": the condition first, then the one branch it selects. Any value but 0 (NaN
// included) selects the first.
inline bool SelectsThen(double condition)
{
    return condition != 0;
}
