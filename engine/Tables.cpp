#include "engine/Tables.h"

#include <cmath>

namespace {

constexpr std::array<const char*, kFunctionCount> FunctionNames()
{
    std::array<const char*, kFunctionCount> names {};
    names[kFunctionNone] = "???";
    names[kFunctionRand] = "RAND";
#define CURVANA_FUNCTION_NAME(Stem, code, name, ...) names[code] = name;
    CURVANA_FUNCTIONS(CURVANA_FUNCTION_NAME)
#undef CURVANA_FUNCTION_NAME
    return names;
}

// Every code from 1 to 37 has exactly one row (the draw's being its own).
constexpr bool EveryCodeOnce()
{
    int rows[kFunctionCount] = {};
    rows[kFunctionRand] = 1;
#define CURVANA_COUNT_ROW(Stem, code, ...) ++rows[code];
    CURVANA_FUNCTIONS(CURVANA_COUNT_ROW)
#undef CURVANA_COUNT_ROW
    for (int code = 1; code < kFunctionCount; ++code)
        if (rows[code] != 1)
            return false;
    return rows[kFunctionNone] == 0;
}
static_assert(EveryCodeOnce(), "each function code needs exactly one row");

} // namespace

const std::array<const char*, kFunctionCount> kFunctionNames = FunctionNames();

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
