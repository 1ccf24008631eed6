#pragma once

#include <initializer_list>

// The built-in functions, one row each. Everything the engine knows of a function is its row
// and its derivative rule (Derivatives.cpp): the code enum, the names the parser matches and the
// printer writes, the node classes and their factories, the evaluation rule shared by the tree
// walk and the compiled program, the program's opcodes, and which functions can have no effect
// are all expanded from here.
//
//   X(Stem, code, NAME, Class, call, error, test, u, failsWhen, value, shape)
//
// Stem    the function in code: kFunction##Stem, the program's opcodes Fn##Stem.
// code    its type code, as documents and the printer's tables know it.
// NAME    how formulas call it (without regard to case) and how it prints.
// Class   the node class, an alias of BuiltinFunction<kFunction##Stem>.
// call    Named: a formula calls it by name. Prefix: only the prefix operators "!" and "~" build
//         it.
// error   the one error its rule raises, or kErrorNone: a function that never fails can have no
//         effect, which lets the program reorder it.
// test    Needed, or NeverMet for a domain test that no double meets. The compiled program skips
//         a NeverMet test (it would cost a second libm call per value); the tree walk keeps it.
//         cos(x) is never 0 for a double x: the double nearest an odd multiple of pi/2 leaves a
//         cosine above 1e-19 in magnitude, and glibc's cos errs by less than an ulp (checked at
//         every such double up to 3e6 by the rule tests). cosh(x) is at least 1.
// u       a value the test and the value share, computed once from the operand x.
// failsWhen, value
//         the domain test and the result, of the operand x (and u). Tests are exact comparisons
//         with no tolerance; a NaN operand passes every test and gives NaN. The logarithms refuse
//         0 as well; ASEC and ACSC refuse +-1 as well. u and failsWhen are written with Cos, Sin,
//         Cosh, Sinh, Tanh and comparisons that also take a range of operands: over an interval
//         they tell whether the test never, sometimes or always fails there, which decides the
//         interval evaluation's decoration. Its range comes from the function's interval rule
//         (IntervalRules.cpp).
// shape   Smooth: continuous wherever it is defined. Steps: piecewise constant, continuous only
//         over a range where it does not change.
//
// Code 7 is the random draw, a node of its own (RandomFunction): it has no rule, and its operand
// is optional.
// clang-format off
#define CURVANA_FUNCTIONS(X) \
    X(Ln,          1, "LN",    LnFunction,        Named,  kErrorLnNegative,   Needed,   x,           x <= 0,             std::log(x), Smooth) \
    X(Log,         2, "LOG",   LogFunction,       Named,  kErrorLogNegative,  Needed,   x,           x <= 0,             std::log10(x), Smooth) \
    X(Exp,         3, "EXP",   ExpFunction,       Named,  kErrorNone,         Needed,   x,           false,              std::exp(x), Smooth) \
    X(Abs,         4, "ABS",   AbsFunction,       Named,  kErrorNone,         Needed,   x,           false,              std::fabs(x), Smooth) \
    X(Sqrt,        5, "SQRT",  SqrtFunction,      Named,  kErrorSqrtNegative, Needed,   x,           x < 0,              std::sqrt(x), Smooth) \
    X(Neg,         6, "NEG",   NegFunction,       Named,  kErrorNone,         Needed,   x,           false,              x * -1.0, Smooth) \
    X(Sin,         8, "SIN",   SinFunction,       Named,  kErrorNone,         Needed,   x,           false,              std::sin(x), Smooth) \
    X(Cos,         9, "COS",   CosFunction,       Named,  kErrorNone,         Needed,   x,           false,              std::cos(x), Smooth) \
    X(Tan,        10, "TAN",   TanFunction,       Named,  kErrorTanInfinite,  NeverMet, x,           Cos(x) == 0,        std::tan(x), Smooth) \
    X(Sec,        11, "SEC",   SecFunction,       Named,  kErrorSecInfinite,  Needed,   Cos(x),      u == 0,             1 / u, Smooth) \
    X(Csc,        12, "CSC",   CscFunction,       Named,  kErrorCscInfinite,  Needed,   Sin(x),      u == 0,             1 / u, Smooth) \
    X(Cot,        13, "COT",   CotFunction,       Named,  kErrorCotInfinite,  Needed,   x,           Sin(x) == 0,        1 / std::tan(x), Smooth) \
    X(Asin,       14, "ASIN",  ArcSinFunction,    Named,  kErrorArcSinDomain, Needed,   x,           x > 1 || x < -1,    std::asin(x), Smooth) \
    X(Acos,       15, "ACOS",  ArcCosFunction,    Named,  kErrorArcCosDomain, Needed,   x,           x > 1 || x < -1,    std::acos(x), Smooth) \
    X(Atan,       16, "ATAN",  ArcTanFunction,    Named,  kErrorNone,         Needed,   x,           false,              std::atan(x), Smooth) \
    X(Asec,       17, "ASEC",  ArcSecFunction,    Named,  kErrorArcSecDomain, Needed,   x,           x >= -1 && x <= 1,  std::acos(1 / x), Smooth) \
    X(Acsc,       18, "ACSC",  ArcCscFunction,    Named,  kErrorArcCscDomain, Needed,   x,           x >= -1 && x <= 1,  std::asin(1 / x), Smooth) \
    X(Acot,       19, "ACOT",  ArcCotFunction,    Named,  kErrorArcCotDomain, Needed,   x,           x == 0,             std::atan(1 / x), Smooth) \
    X(Sinh,       20, "SINH",  HSinFunction,      Named,  kErrorNone,         Needed,   x,           false,              std::sinh(x), Smooth) \
    X(Cosh,       21, "COSH",  HCosFunction,      Named,  kErrorNone,         Needed,   x,           false,              std::cosh(x), Smooth) \
    X(Tanh,       22, "TANH",  HTanFunction,      Named,  kErrorTanhInfinite, NeverMet, x,           Cosh(x) == 0,       std::tanh(x), Smooth) \
    X(Sech,       23, "SECH",  HSecFunction,      Named,  kErrorSechInfinite, Needed,   Cosh(x),     u == 0,             1 / u, Smooth) \
    X(Csch,       24, "CSCH",  HCscFunction,      Named,  kErrorCschInfinite, Needed,   Sinh(x),     u == 0,             1 / u, Smooth) \
    X(Coth,       25, "COTH",  HCotFunction,      Named,  kErrorCothInfinite, Needed,   Tanh(x),     u == 0,             1 / u, Smooth) \
    X(Asinh,      26, "ASINH", ArgHSinFunction,   Named,  kErrorNone,         Needed,   x,           false,              std::log(std::sqrt(x * x + 1) + x), Smooth) \
    X(Acosh,      27, "ACOSH", ArgHCosFunction,   Named,  kErrorAcoshDomain,  Needed,   x,           x < 1,              std::log(x + std::sqrt(x * x - 1)), Smooth) \
    X(Atanh,      28, "ATANH", ArgHTanFunction,   Named,  kErrorAtanhDomain,  Needed,   x,           x <= -1 || x >= 1,  0.5 * std::log((x + 1) / (1 - x)), Smooth) \
    X(Asech,      29, "ASECH", ArgHSecFunction,   Named,  kErrorAsechDomain,  Needed,   x,           x <= 0 || x > 1,    std::log((std::sqrt(1 - x * x) + 1) / x), Smooth) \
    X(Acsch,      30, "ACSCH", ArgHCscFunction,   Named,  kErrorAcschDomain,  Needed,   x,           x == 0,             std::log((std::sqrt(x * x + 1) + 1) / std::fabs(x)), Smooth) \
    X(Acoth,      31, "ACOTH", ArgHCotFunction,   Named,  kErrorAcothDomain,  Needed,   x,           x >= -1 && x <= 1,  0.5 * std::log((x + 1) / (x - 1)), Smooth) \
    X(Not,        32, "!",     NotFunction,       Prefix, kErrorNone,         Needed,   x,           false,              x == 0 ? 1.0 : 0.0, Steps) \
    X(Complement, 33, "~",     BitwiseCompliment, Prefix, kErrorNone,         Needed,   x,           false,              static_cast<double>(~platform::TruncToInt32(x)), Steps) \
    X(Ceil,       34, "CEIL",  CeilingFunction,   Named,  kErrorNone,         Needed,   x,           false,              std::ceil(x), Steps) \
    X(Floor,      35, "FLOOR", FloorFunction,     Named,  kErrorNone,         Needed,   x,           false,              std::floor(x), Steps) \
    X(Sgn,        36, "SGN",   SgnFunction,       Named,  kErrorNone,         Needed,   x,           false,              x < 0 ? -1.0 : 1.0, Steps) \
    X(Lb,         37, "LB",    LbFunction,        Named,  kErrorLbNegative,   Needed,   x,           x <= 0,             std::log(x) / std::log(2.0), Smooth)
// clang-format on

constexpr int kFunctionRandCode = 7;

// The highest code of the table.
constexpr int LastFunctionCode()
{
#define CURVANA_FUNCTION_CODE(Stem, code, ...) code,
    int last = kFunctionRandCode;
    for (const int code : {CURVANA_FUNCTIONS(CURVANA_FUNCTION_CODE)})
        last = code > last ? code : last;
    return last;
#undef CURVANA_FUNCTION_CODE
}

#define CURVANA_FUNCTION_ENUMERATOR(Stem, code, ...) kFunction##Stem = code,
enum FunctionCode : int {
    kFunctionNone = 0,
    CURVANA_FUNCTIONS(CURVANA_FUNCTION_ENUMERATOR) kFunctionRand = kFunctionRandCode,
    kFunctionUnknownName = LastFunctionCode() + 1, // a call whose name is not in the table
};
#undef CURVANA_FUNCTION_ENUMERATOR
constexpr int kFunctionCount = kFunctionUnknownName; // codes 0 to the last

// How a function may be called, whether the program may skip its domain test, and where it is
// continuous.
enum class FunctionCall { Named, Prefix };
enum class DomainTest { Needed, NeverMet };
enum class FunctionShape { Smooth, Steps };
