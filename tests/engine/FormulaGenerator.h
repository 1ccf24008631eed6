#pragma once

// Random formulas for the property tests: every operator, function, constant and variable.

#include <cstdint>
#include <random>
#include <string>

#include "engine/Tables.h"

// Random formula text over the variables x and y. Every subformula is parenthesised, so that the
// tree follows the generator; some are chains deeper than the program compiles.
class FormulaGenerator {
public:
    explicit FormulaGenerator(uint32_t seed) : random_(seed) { }

    std::string Formula()
    {
        if (Below(40) == 0)
            return DeepChain(static_cast<int>(150 + Below(150)));
        return Expression(static_cast<int>(1 + Below(7)));
    }

private:
    uint32_t Below(uint32_t n) { return static_cast<uint32_t>(random_() % n); }

    std::string Leaf()
    {
        static const char* const kLeaves[] = {"x", "y", "x", "y", "0", "1", "2", "3", "0.5", "2.5",
            "10", "1e300", "0.001", "PI", "E", "TRUE", "FALSE", "rand()", "rand(x)", "rand(4)"};
        return kLeaves[Below(std::size(kLeaves))];
    }

    std::string Expression(int depth)
    {
        if (depth <= 0 || Below(6) == 0)
            return Leaf();
        const uint32_t kind = Below(10);
        if (kind < 4) {
            // Every named function, and the prefix operators.
            const uint32_t f = Below(kFunctionCount + 2);
            const std::string operand = Expression(depth - 1);
            if (f == kFunctionCount)
                return "(-" + operand + ")";
            if (f == kFunctionCount + 1)
                return std::string("(") + (Below(2) ? "!" : "~") + operand + ")";
            if (f == kFunctionNone || f == kFunctionNot || f == kFunctionComplement)
                return "(-" + operand + ")";
            return std::string(kFunctionNames[f]) + "(" + operand + ")";
        }
        if (kind < 9) {
            static const char* const kOperators[] = {"+", "-", "*", "/", "%", "^", "<", ">",
                "==", "!=", "<=", ">=", "&&", "||", "&", "|", "!&", "+", "-", "*", "/", "^"};
            const char* op = kOperators[Below(std::size(kOperators))];
            return "(" + Expression(depth - 1) + op + Expression(depth - 1) + ")";
        }
        if (Below(20) == 0) // a ":" with no "?"
            return "(" + Expression(depth - 1) + ":" + Expression(depth - 1) + ")";
        return "(" + Expression(depth - 1) + "?" + Expression(depth - 1) + ":"
            + Expression(depth - 1) + ")";
    }

    std::string DeepChain(int depth)
    {
        std::string text = "x";
        for (int i = 0; i < depth; ++i) {
            switch (Below(4)) {
            case 0:
                text = "sin(" + text + ")";
                break;
            case 1:
                text = "(" + text + "+y)";
                break;
            case 2:
                text = "(2/" + text + ")";
                break;
            default:
                text = "(y*" + text + ")";
                break;
            }
        }
        return text;
    }

    std::mt19937 random_;
};
