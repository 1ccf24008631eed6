#pragma once

// EvaluationProgram: an interpreter's tree flattened into straight-line code that one loop runs,
// with no virtual call, depth guard or recursion per node. The top of the value stack is held in
// a register. The program keeps everything the tree walk does: the operand order of each
// operator, the domain tests and error codes (raised through EvaluationError, so quiet
// evaluations behave the same), the short circuits of "?:", "&&" and "||", and the random draws.
// The tree stays the formula's one true form; the program is rebuilt whenever the tree changes.

#include <cstdint>
#include <vector>

class FunctionInterpreter;
class Parser;

class EvaluationProgram {
public:
    // Deepest tree compiled. Deeper trees keep the tree walk, which raises the depth error
    // where it must; this bound also sizes the value stack of a run.
    static constexpr int kMaxDepth = 200;

    // Compiles the tree of root, whose variables are read from owner's table. Returns false,
    // leaving the program empty, when the tree is too deep; a node of a kind the compiler does
    // not know is evaluated through the tree.
    bool Compile(const Parser* root, const FunctionInterpreter* owner);
    void Clear() { code_.clear(); }
    bool Empty() const { return code_.empty(); }

    // The value of the formula with the variable values given, by index.
    double Run(const double* variables) const;

    // Opcodes, public for the compiler's helpers.
    enum class Op : uint8_t;

    struct Instruction {
        Op op;
        int32_t arg; // variable index, error code, jump target or exponent
        union {
            double k; // constant operand
            const Parser* node; // node evaluated through the tree
        };
    };

private:
    std::vector<Instruction> code_;
};

// a^n for a > 0 and n = 2 or 3, the same bits as std::pow(a, n) gives, found by products without
// calling pow when they can prove it. Exposed for tests.
double PositivePowerOf(double a, int n);
