#pragma once

// The engine's shared tables: function names, operator symbols and precedences, named constants.
// The parser, the printer and the node factories all read these.

#include <array>

// Function type codes, the index into kFunctionNames.
enum FunctionCode : int {
    kFunctionNone = 0,
    kFunctionLn = 1,
    kFunctionLog = 2,
    kFunctionExp = 3,
    kFunctionAbs = 4,
    kFunctionSqrt = 5,
    kFunctionNeg = 6,
    kFunctionRand = 7,
    kFunctionSin = 8,
    kFunctionCos = 9,
    kFunctionTan = 10,
    kFunctionSec = 11,
    kFunctionCsc = 12,
    kFunctionCot = 13,
    kFunctionAsin = 14,
    kFunctionAcos = 15,
    kFunctionAtan = 16,
    kFunctionAsec = 17,
    kFunctionAcsc = 18,
    kFunctionAcot = 19,
    kFunctionSinh = 20,
    kFunctionCosh = 21,
    kFunctionTanh = 22,
    kFunctionSech = 23,
    kFunctionCsch = 24,
    kFunctionCoth = 25,
    kFunctionAsinh = 26,
    kFunctionAcosh = 27,
    kFunctionAtanh = 28,
    kFunctionAsech = 29,
    kFunctionAcsch = 30,
    kFunctionAcoth = 31,
    kFunctionNot = 32,
    kFunctionComplement = 33,
    kFunctionCeil = 34,
    kFunctionFloor = 35,
    kFunctionSgn = 36,
    kFunctionLb = 37,
    kFunctionUnknownName = 38, // a call whose name is not in the table
};
constexpr int kFunctionCount = 38; // codes 0 to 37

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

// Printed names of the function codes (6-byte, zero-padded entries).
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
