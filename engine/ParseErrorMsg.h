#pragma once

// The engine's one error record. Every failure inside the engine (syntax, domain, unknown
// variable, memory) is thrown as a ParseErrorMsg and caught by value.

#include <string>

struct ParseErrorMsg {
    int code; // see ErrorCode
    int from; // position in the formula text, counted from its first character (a leading "="
    int to; // included); -1 when the error has no place in the text
};

enum ErrorCode : int {
    kErrorDivisionByZero = 0,
    kErrorSqrtNegative = 1,
    kErrorLogNegative = 2,
    kErrorLnNegative = 3,
    kErrorOutOfMemory = 4,
    kErrorArcSinDomain = 5,
    kErrorArcCosDomain = 6,
    kErrorArcSecDomain = 7,
    kErrorArcCscDomain = 8,
    kErrorArcCotDomain = 9,
    kErrorNoDerivative = 10,
    kErrorTanInfinite = 11,
    kErrorCotInfinite = 12,
    kErrorSecInfinite = 13,
    kErrorCscInfinite = 14,
    kErrorTanhInfinite = 15,
    kErrorSechInfinite = 16,
    kErrorCschInfinite = 17,
    kErrorCothInfinite = 18,
    kErrorAcoshDomain = 19,
    kErrorAtanhDomain = 20,
    kErrorAsechDomain = 21,
    kErrorAcschDomain = 22,
    kErrorAcothDomain = 23,
    kErrorUnknownVariable = 24,
    kErrorEmptyExpression = 25,
    kErrorOperatorAnticipated = 26,
    kErrorSyntax = 27,
    kErrorUnbalancedParenthesis = 28,
    kErrorUnknownFunction = 29,
    kErrorUnknownOperator = 30,
    kErrorMissingQuestionMark = 31,
    kErrorMissingColon = 32,
    kErrorLbNegative = 33,
    // A formula or tree nested deeper than the engine's recursion can safely follow.
    kErrorTooDeep = 34,
};

// Throws {code, from, to}. Never returns.
[[noreturn]] void RaiseError(int code, int from, int to);

// The English message of an error; syntax errors start with a caret line marking from and to.
// Texts are code page 1252 (codes 11 to 14 hold the byte 0xB9 where pi is meant).
std::string ParseErrorText(const ParseErrorMsg& error);
