#pragma once

// EvaluationProgram: an interpreter's tree flattened into straight-line code that one loop runs,
// with no virtual call, depth guard or recursion per node. The top of the value stack is held in
// a register. The program keeps everything the tree walk does: the operand order of each
// operator, the domain tests and error codes (raised through EvaluationError, so quiet
// evaluations behave the same), the short circuits of "?:", "&&" and "||", and the random draws.
// The tree stays the formula's one true form; the program is rebuilt whenever the tree changes.

#include <cstddef>
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
    void Clear()
    {
        code_.clear();
        manyStack_ = 0;
    }
    bool Empty() const { return code_.empty(); }

    // The value of the formula with the variable values given, by index.
    double Run(const double* variables) const;

    // Whether RunMany serves: a straight-line program (no random draw, no branch, no node left to
    // the tree) with a shallow stack. Only then are all the values of a block, computed one
    // instruction at a time across them, those of separate quiet evaluations.
    bool CanRunMany() const { return manyStack_ > 0; }
    // Evaluates at n values of variable index (the others as in variables), errors quiet: out[i]
    // is the value and failed[i] whether its evaluation raised an error.
    void RunMany(const double* variables, int32_t index, const double* xs, size_t n, double* out,
        bool* failed) const;

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
    // Values a block of RunMany holds at once, and the deepest stack it takes.
    static constexpr int kBlock = 64;
    static constexpr int kMaxManyStack = 12;
    void RunBlock(const double* variables, int32_t index, const double* xs, int n, double* out,
        bool* failed) const;

    std::vector<Instruction> code_;
    int manyStack_ = 0; // stack depth of a straight-line program, 0 when RunMany does not serve
};

// a^n for a > 0 and n = 2 or 3, the same bits as std::pow(a, n) gives, found by products without
// calling pow when they can prove it. Exposed for tests.
double PositivePowerOf(double a, int n);
