#include "engine/ParseErrorMsg.h"

#include <array>
#include <string_view>

namespace {

struct ErrorText {
    const char* text; // nullptr: the default text
    bool caretLine;
};

constexpr const char* kDefaultText = "Unknown Error Type!\n\n";

// Indexed by code. The inverse hyperbolic domain errors have no text of their own.
constexpr std::array<ErrorText, 35> kErrorTexts = {{
    {"\nError: Division by zero. \n\n", false},
    {"\nError: Square root of a negative number is not allowed.\n\n", false},
    {"\nError: Log of a negative number is not allowed.\n\n", false},
    {"\nError: Ln of a negative number is not allowed.\n\n", false},
    {"\nError: Out of Memory.\n", false},
    {"\nError: ArcSine of a |number| > 1 not allowed.\n\n", false},
    {"\nError: ArcCosine of a |number| > 1 not allowed.\n\n", false},
    {"\nError: ArcSecant of a |number| < 1 not allowed.\n\n", false},
    {"\nError: ArcCosecant of a |number| < 1 not allowed.\n\n", false},
    {"\nError: ArcTangent of 0 not allowed.\n\n", false},
    {"\nError: It is not possible to find a derivative for this expression.\n\n", false},
    {"\nError: Tangent of (2n+1)*\xB9/2 is infinite.\n\n", false},
    {"\nError: Cotangent of n*\xB9/2 is infinite.\n\n", false},
    {"\nError: Secant of (2n+1)*\xB9/2 is infinite.\n\n", false},
    {"\nError: Cosecant of n*\xB9/2 is infinite.\n\n", false},
    {"\nError: Infinite Hyperbolic Tangent.\n\n", false},
    {"\nError: Infinite Hyperbolic Secant.\n\n", false},
    {"\nError: Infinite Hyperbolic Cosecant.\n\n", false},
    {"\nError: Infinite Hyperbolic Cotangent.\n\n", false},
    {nullptr, false},
    {nullptr, false},
    {nullptr, false},
    {nullptr, false},
    {nullptr, false},
    {"\nError: Unknown variable.\n\n", false},
    {"Syntax Error. Empty Expression. \n\n", true},
    {"Syntax Error. Operator anticipated. \n\n", true},
    {"Syntax Error.\n\n", true},
    {"Error: Unbalanced parenthesis.\n\n", true},
    {"Error: Unknown Function type.\n\n", true},
    {"Error: Unknown Operator type.\n\n", true},
    {"Error: Missing ? in ?: operator.\n\n", true},
    {"Error: Missing : in ?: operator.\n\n", true},
    {"\nError: Lb of a negative number is not allowed.\n\n", false},
    {"Error: Expression too deeply nested.\n\n", true},
}};

// A caret under position from and another under position to, dashes between.
std::string CaretLine(int from, int to)
{
    std::string line;
    for (int i = 0; i < to; ++i)
        line += i < from ? ' ' : (i == from ? '^' : '-');
    line += "^\n";
    return line;
}

} // namespace

void RaiseError(int code, int from, int to)
{
    throw ParseErrorMsg {code, from, to};
}

std::string ParseErrorText(const ParseErrorMsg& error)
{
    if (error.code < 0 || static_cast<size_t>(error.code) >= kErrorTexts.size()
        || kErrorTexts[static_cast<size_t>(error.code)].text == nullptr)
        return kDefaultText;
    const ErrorText& entry = kErrorTexts[static_cast<size_t>(error.code)];
    // A nesting error raised on a tree rather than on text has no place to mark.
    const bool caret = entry.caretLine && !(error.code == kErrorTooDeep && error.from < 0);
    return caret ? CaretLine(error.from, error.to) + entry.text : std::string(entry.text);
}
