#pragma once

// The engine's shared tables: function names, operator symbols and precedences, named constants.
// The parser, the printer and the node factories all read these.

#include <array>

#include "engine/FunctionTable.h"

// Operator type codes, the index into kOperators.
enum OperatorCode : int {
    kOperatorNone = 0,
    kOperatorPrefixPlus = 1,
    kOperatorPrefixMinus = 2,
    kOperatorPlus = 3,
    kOperatorMinus = 4,
    kOperatorMultiply = 5,
    kOperatorDivide = 6,
    kOperatorModulus = 7,
    kOperatorPower = 8,
    kOperatorLess = 9,
    kOperatorGreater = 10,
    kOperatorEqual = 11,
    kOperatorNotEqual = 12,
    kOperatorLessOrEqual = 13,
    kOperatorGreaterOrEqual = 14,
    kOperatorAnd = 15,
    kOperatorOr = 16,
    kOperatorNot = 17,
    kOperatorBitwiseAnd = 18,
    kOperatorBitwiseOr = 19,
    kOperatorBitwiseXor = 20,
    kOperatorComplement = 21,
    kOperatorThenElse = 22,
    kOperatorIf = 23,
};
constexpr int kOperatorCount = 24; // codes 0 to 23

// Printed names of the function codes, from their rows; "???" for code 0.
extern const std::array<const char*, kFunctionCount> kFunctionNames;

struct OperatorEntry {
    const char* symbol;
    short precedence; // lower binds more loosely; the parser splits at the lowest
};
extern const std::array<OperatorEntry, kOperatorCount> kOperators;

// Print precedence of leaves and of one-operand nodes.
constexpr int kLeafPrecedence = 15;
constexpr int kFunctionPrecedence = 13;

// Named constants, searched in table order; names are matched without regard to case.
struct NamedConstant {
    const char* name;
    double value;
};
const std::array<NamedConstant, 4>& NamedConstants();
