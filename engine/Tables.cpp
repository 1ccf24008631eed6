#include "engine/Tables.h"

#include <cmath>

const std::array<const char*, kFunctionCount> kFunctionNames = {
    "???",
    "LN",
    "LOG",
    "EXP",
    "ABS",
    "SQRT",
    "NEG",
    "RAND",
    "SIN",
    "COS",
    "TAN",
    "SEC",
    "CSC",
    "COT",
    "ASIN",
    "ACOS",
    "ATAN",
    "ASEC",
    "ACSC",
    "ACOT",
    "SINH",
    "COSH",
    "TANH",
    "SECH",
    "CSCH",
    "COTH",
    "ASINH",
    "ACOSH",
    "ATANH",
    "ASECH",
    "ACSCH",
    "ACOTH",
    "!",
    "~",
    "CEIL",
    "FLOOR",
    "SGN",
    "LB",
};

const std::array<OperatorEntry, kOperatorCount> kOperators = {{
    {"??", 0}, // none
    {"+", 14}, // prefix plus: never produced
    {"-", 14}, // prefix minus
    {"+", 10},
    {"-", 10},
    {"*", 11},
    {"/", 11},
    {"%", 11},
    {"^", 12},
    {"<", 9},
    {">", 9},
    {"==", 8},
    {"!=", 8},
    {"<=", 9},
    {">=", 9},
    {"&&", 4},
    {"||", 3},
    {"!", 13}, // prefix not
    {"&", 7},
    {"|", 5},
    {"!&", 6}, // exclusive or: "^" is the power
    {"~", 13}, // prefix complement
    {":", 2},
    {"?", 1},
}};

const std::array<NamedConstant, 4>& NamedConstants()
{
    // PI is this decimal literal, not the full-precision value; E is computed at start-up.
    static const std::array<NamedConstant, 4> table = {{
        {"PI", 3.14159265},
        {"E", std::exp(1.0)},
        {"TRUE", 1.0},
        {"FALSE", 0.0},
    }};
    return table;
}
