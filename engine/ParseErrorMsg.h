#pragma once

// The engine's one error record. Every failure inside the engine (syntax, domain, unknown
// variable, memory) is thrown as a ParseErrorMsg and caught by value.

#include <cstddef>
#include <string>

struct ParseErrorMsg {
    int code; // see ErrorCode
    int from; // position in the formula text, counted from its first character (a leading "="
    int to; // included); -1 when the error has no place in the text
};

// The engine's errors, one row each: X(Name, code, English text, caret). The text is what
// ParseErrorText prints (code page 1252; codes 11 to 14 hold the byte 0xB9 where pi is meant;
// nullptr: the default text "Unknown Error Type!"); caret says whether a line of carets marking
// the error's place in the formula comes first. Other layers key their own words by these codes.
// clang-format off
#define CURVANA_ENGINE_ERRORS(X) \
    X(kErrorDivisionByZero,        0, "\nError: Division by zero. \n\n", false) \
    X(kErrorSqrtNegative,          1, "\nError: Square root of a negative number is not allowed.\n\n", false) \
    X(kErrorLogNegative,           2, "\nError: Log of a negative number is not allowed.\n\n", false) \
    X(kErrorLnNegative,            3, "\nError: Ln of a negative number is not allowed.\n\n", false) \
    X(kErrorOutOfMemory,           4, "\nError: Out of Memory.\n", false) \
    X(kErrorArcSinDomain,          5, "\nError: ArcSine of a |number| > 1 not allowed.\n\n", false) \
    X(kErrorArcCosDomain,          6, "\nError: ArcCosine of a |number| > 1 not allowed.\n\n", false) \
    X(kErrorArcSecDomain,          7, "\nError: ArcSecant of a |number| < 1 not allowed.\n\n", false) \
    X(kErrorArcCscDomain,          8, "\nError: ArcCosecant of a |number| < 1 not allowed.\n\n", false) \
    X(kErrorArcCotDomain,          9, "\nError: ArcTangent of 0 not allowed.\n\n", false) \
    X(kErrorNoDerivative,         10, "\nError: It is not possible to find a derivative for this expression.\n\n", false) \
    X(kErrorTanInfinite,          11, "\nError: Tangent of (2n+1)*\xB9/2 is infinite.\n\n", false) \
    X(kErrorCotInfinite,          12, "\nError: Cotangent of n*\xB9/2 is infinite.\n\n", false) \
    X(kErrorSecInfinite,          13, "\nError: Secant of (2n+1)*\xB9/2 is infinite.\n\n", false) \
    X(kErrorCscInfinite,          14, "\nError: Cosecant of n*\xB9/2 is infinite.\n\n", false) \
    X(kErrorTanhInfinite,         15, "\nError: Infinite Hyperbolic Tangent.\n\n", false) \
    X(kErrorSechInfinite,         16, "\nError: Infinite Hyperbolic Secant.\n\n", false) \
    X(kErrorCschInfinite,         17, "\nError: Infinite Hyperbolic Cosecant.\n\n", false) \
    X(kErrorCothInfinite,         18, "\nError: Infinite Hyperbolic Cotangent.\n\n", false) \
    X(kErrorAcoshDomain,          19, nullptr, false) \
    X(kErrorAtanhDomain,          20, nullptr, false) \
    X(kErrorAsechDomain,          21, nullptr, false) \
    X(kErrorAcschDomain,          22, nullptr, false) \
    X(kErrorAcothDomain,          23, nullptr, false) \
    X(kErrorUnknownVariable,      24, "\nError: Unknown variable.\n\n", false) \
    X(kErrorEmptyExpression,      25, "Syntax Error. Empty Expression. \n\n", true) \
    X(kErrorOperatorAnticipated,  26, "Syntax Error. Operator anticipated. \n\n", true) \
    X(kErrorSyntax,               27, "Syntax Error.\n\n", true) \
    X(kErrorUnbalancedParenthesis, 28, "Error: Unbalanced parenthesis.\n\n", true) \
    X(kErrorUnknownFunction,      29, "Error: Unknown Function type.\n\n", true) \
    X(kErrorUnknownOperator,      30, "Error: Unknown Operator type.\n\n", true) \
    X(kErrorMissingQuestionMark,  31, "Error: Missing ? in ?: operator.\n\n", true) \
    X(kErrorMissingColon,         32, "Error: Missing : in ?: operator.\n\n", true) \
    X(kErrorLbNegative,           33, "\nError: Lb of a negative number is not allowed.\n\n", false) \
    /* A formula or tree nested deeper than the engine's recursion can safely follow. */ \
    X(kErrorTooDeep,              34, "Error: Expression too deeply nested.\n\n", true)
// clang-format on

#define CURVANA_ERROR_ENUMERATOR(Name, code, text, caret) Name = code,
enum ErrorCode : int {
    kErrorNone = -1, // a rule that never fails
    CURVANA_ENGINE_ERRORS(CURVANA_ERROR_ENUMERATOR)
};
#undef CURVANA_ERROR_ENUMERATOR

#define CURVANA_COUNT_ERROR(Name, code, text, caret) +1
constexpr int kErrorCodeCount = 0 CURVANA_ENGINE_ERRORS(CURVANA_COUNT_ERROR);
#undef CURVANA_COUNT_ERROR

// Whether the error's text starts with a caret line: the error has a place in the formula.
bool ErrorHasPlace(int code);

// Every code from 0 to kErrorCodeCount - 1 exactly once in table: the check that a table of
// words keyed by error code (another language, another layer) misses none and repeats none.
template <class Row, size_t n> constexpr bool CoversEveryError(const Row (&table)[n])
{
    if (n != static_cast<size_t>(kErrorCodeCount))
        return false;
    for (int code = 0; code < kErrorCodeCount; ++code) {
        int seen = 0;
        for (const Row& row : table)
            seen += row.code == code ? 1 : 0;
        if (seen != 1)
            return false;
    }
    return true;
}

// Throws {code, from, to}. Never returns.
[[noreturn]] void RaiseError(int code, int from, int to);

// The English message of an error; syntax errors start with a caret line marking from and to.
// Texts are code page 1252 (codes 11 to 14 hold the byte 0xB9 where pi is meant).
std::string ParseErrorText(const ParseErrorMsg& error);
