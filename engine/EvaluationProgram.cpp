#include "engine/EvaluationProgram.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

#include "engine/DepthGuard.h"
#include "engine/EvaluationRules.h"
#include "engine/FunctionInterpreter.h"
#include "engine/Functions.h"
#include "engine/Interval.h"
#include "engine/Leaves.h"
#include "engine/Operators.h"

// The operators that never fail have a stack form and forms taking one operand straight from a
// constant or a variable: evaluating a leaf has no effect, so its place in the order does not
// matter. The leaf forms follow the stack form in this order: RK, RV, LK, LV.
#define CURVANA_OPERATOR_FORMS(X, Stem) X(Stem##S) X(Stem##RK) X(Stem##RV) X(Stem##LK) X(Stem##LV)

// Every opcode. acc is the top of the value stack; "push" saves it below first.
//   PushK: acc = k. PushV: acc = variable arg. PushNode: acc = the node by the tree walk.
//   PushError: acc = error arg.
//   Plain operators: S takes a and b from the stack and acc in the tree's order; RK, RV, LK, LV
//   take the right (R) or left (L) operand from k or from variable arg.
//   Division: the divisor is tested before the dividend is evaluated. DivCheck tests acc (the
//   divisor) and on failure gives the error and jumps to arg; DivS divides acc by the popped
//   divisor; DivRK (k not 0), DivRV (after an effect-free dividend), DivLK, DivLV. ModCheck and
//   ModS alike.
//   PowInt: the exponent k is an integer arg as the negative-base rule reads it.
//   AndJump, OrJump: when acc decides, acc = the decided value and jump to arg, else pop.
//   Truth: acc = the truth of acc. JumpIfZero tests acc, pops, and jumps to arg when it selects
//   the else branch.
//   Random: a draw scaled by acc.
//   FnStem: acc = the function of acc. FnStemV: push; acc = the function of variable arg. Both
//   come from the function rows, the V forms after the plain ones in the same order.
// The opcodes in their order: the pushes, the plain operators' forms, the functions' plain forms,
// their V forms, then these. The enum and the run loop's label table both follow it.
// clang-format off
#define CURVANA_PUSH_OPS(X) X(PushK) X(PushV) X(PushNode) X(PushError)
#define CURVANA_OTHER_OPS(X) \
    X(DivCheck) X(DivS) X(DivRK) X(DivRV) X(DivLK) X(DivLV) X(ModCheck) X(ModS) \
    X(PowS) X(PowRK) X(PowInt) X(PowRV) X(PowLK) X(PowLV) \
    X(AndJump) X(OrJump) X(Truth) X(JumpIfZero) X(Jump) X(Random) X(Return)

#define CURVANA_ENUMERATOR(name) name,
#define CURVANA_OPERATOR_ENUMERATORS(Stem, ...) CURVANA_OPERATOR_FORMS(CURVANA_ENUMERATOR, Stem)
#define CURVANA_FUNCTION_ENUMERATOR(Stem, ...) Fn##Stem,
#define CURVANA_FUNCTION_V_ENUMERATOR(Stem, ...) Fn##Stem##V,
enum class EvaluationProgram::Op : uint8_t {
    CURVANA_PUSH_OPS(CURVANA_ENUMERATOR)
    CURVANA_PLAIN_OPERATORS(CURVANA_OPERATOR_ENUMERATORS)
    CURVANA_FUNCTIONS(CURVANA_FUNCTION_ENUMERATOR)
    CURVANA_FUNCTIONS(CURVANA_FUNCTION_V_ENUMERATOR)
    CURVANA_OTHER_OPS(CURVANA_ENUMERATOR)
    Count
};
// clang-format on
#undef CURVANA_FUNCTION_ENUMERATOR
#undef CURVANA_FUNCTION_V_ENUMERATOR
#undef CURVANA_OPERATOR_ENUMERATORS
#undef CURVANA_ENUMERATOR
static_assert(static_cast<int>(EvaluationProgram::Op::Count) <= 256);

namespace {

using Op = EvaluationProgram::Op;
using Instruction = EvaluationProgram::Instruction;

// The opcode of a function's rule, and the form that reads a variable in the same step.
Op FunctionOp(FunctionCode code, bool ofVariable)
{
    switch (code) {
#define CURVANA_FUNCTION_OP(Stem, ...)                                                             \
    case kFunction##Stem:                                                                          \
        return ofVariable ? Op::Fn##Stem##V : Op::Fn##Stem;
        CURVANA_FUNCTIONS(CURVANA_FUNCTION_OP)
#undef CURVANA_FUNCTION_OP
    case kFunctionNone:
    case kFunctionRand:
    case kFunctionUnknownName:
        break;
    }
    return Op::PushNode;
}

// What an opcode does to the depth of the value stack, for straight-line code; Control: a jump,
// a check that may jump, or a node left to the tree, which RunMany does not serve.
enum class StackEffect { Push, Pop, None, Control };
StackEffect EffectOf(Op op)
{
    switch (op) {
    case Op::PushK:
    case Op::PushV:
    case Op::PushError:
        return StackEffect::Push;
    case Op::PushNode:
    case Op::DivCheck:
    case Op::ModCheck:
    case Op::AndJump:
    case Op::OrJump:
    case Op::JumpIfZero:
    case Op::Jump:
    case Op::Random:
        return StackEffect::Control;
#define CURVANA_OPERATOR_EFFECT(Stem, ...)                                                         \
    case Op::Stem##S:                                                                              \
        return StackEffect::Pop;                                                                   \
    case Op::Stem##RK:                                                                             \
    case Op::Stem##RV:                                                                             \
    case Op::Stem##LK:                                                                             \
    case Op::Stem##LV:                                                                             \
        return StackEffect::None;
        CURVANA_PLAIN_OPERATORS(CURVANA_OPERATOR_EFFECT)
#undef CURVANA_OPERATOR_EFFECT
#define CURVANA_FUNCTION_EFFECT(Stem, ...)                                                         \
    case Op::Fn##Stem:                                                                             \
        return StackEffect::None;                                                                  \
    case Op::Fn##Stem##V:                                                                          \
        return StackEffect::Push;
        CURVANA_FUNCTIONS(CURVANA_FUNCTION_EFFECT)
#undef CURVANA_FUNCTION_EFFECT
    case Op::DivS:
    case Op::ModS:
    case Op::PowS:
        return StackEffect::Pop;
    case Op::DivRK:
    case Op::DivRV:
    case Op::DivLK:
    case Op::DivLV:
    case Op::PowRK:
    case Op::PowInt:
    case Op::PowRV:
    case Op::PowLK:
    case Op::PowLV:
    case Op::Truth:
    case Op::Return:
    case Op::Count:
        return StackEffect::None;
    }
    return StackEffect::Control;
}

// The power rule for an exponent k that the negative-base rule reads as the integer n: its tests
// then pass whatever the base.
inline double IntegerExponentPower(double a, double k, int32_t n)
{
    if (a > 0)
        return (k == 2 || k == 3) ? PositivePowerOf(a, n) : std::pow(a, k);
    if (a == 0)
        return 0.0;
    return IntegerPower(a, n);
}

// Dekker's product: a * b == p + e exactly, for operands well inside the exponent range.
inline void TwoProduct(double a, double b, double& p, double& e)
{
    p = a * b;
    e = interval::ProductError(a, b, p);
}

class Compiler {
public:
    Compiler(std::vector<Instruction>& code, const FunctionInterpreter* owner)
        : code_(code), owner_(owner)
    {
    }

    // Appends the code that pushes node's value. False: too deep to compile.
    bool Emit(const Parser* node, int level);

private:
    size_t Add(Op op, int32_t arg = 0, double k = 0)
    {
        Instruction i {op, arg, {k}};
        code_.push_back(i);
        return code_.size() - 1;
    }
    void AddNode(const Parser* node)
    {
        Instruction i {Op::PushNode, 0, {0}};
        i.node = node;
        code_.push_back(i);
    }
    void PatchTarget(size_t at) { code_[at].arg = static_cast<int32_t>(code_.size()); }

    // A leaf whose value can be read at any point of the order: a constant or one of the
    // owner's variables.
    enum class Leaf { None, Constant, Variable };
    Leaf LeafKind(const Parser* node, double& k, int32_t& index) const;
    // Whether evaluating node can have no effect at all: no error, no draw.
    bool IsEffectFree(const Parser* node, int level) const;

    bool EmitOperation(const OperationParser* node, int level);
    bool EmitPlain(Op stack, bool rightFirst, const OperationParser* node, int level);
    bool EmitDivide(const OperationParser* node, int level);
    bool EmitPower(const OperationParser* node, int level);

    std::vector<Instruction>& code_;
    const FunctionInterpreter* owner_;
};

Compiler::Leaf Compiler::LeafKind(const Parser* node, double& k, int32_t& index) const
{
    if (const auto* c = dynamic_cast<const Constant*>(node)) {
        k = c->value;
        return Leaf::Constant;
    }
    if (const auto* v = dynamic_cast<const Variable*>(node)) {
        if (v->GetInterpreter() != owner_ || v->GetIndex() < 0
            || v->GetIndex() >= owner_->GetVariableCount())
            return Leaf::None;
        index = v->GetIndex();
        return Leaf::Variable;
    }
    return Leaf::None;
}

// Whether an operator can have no effect of its own: no error, no draw.
bool OperatorNeverFails(int code)
{
    switch (static_cast<OperatorCode>(code)) {
#define CURVANA_OPERATOR_NEVER_FAILS(Stem, code, ...) case code:
        CURVANA_PLAIN_OPERATORS(CURVANA_OPERATOR_NEVER_FAILS)
#undef CURVANA_OPERATOR_NEVER_FAILS
    case kOperatorAnd:
    case kOperatorOr:
        return true;
    case kOperatorNone:
    case kOperatorPrefixPlus:
    case kOperatorPrefixMinus:
    case kOperatorDivide:
    case kOperatorModulus:
    case kOperatorPower:
    case kOperatorNot:
    case kOperatorComplement:
    case kOperatorThenElse:
    case kOperatorIf:
        break;
    }
    return false;
}

bool Compiler::IsEffectFree(const Parser* node, int level) const
{
    if (level > EvaluationProgram::kMaxDepth)
        return false;
    double k;
    int32_t index;
    if (LeafKind(node, k, index) != Leaf::None)
        return true;
    if (const auto* f = dynamic_cast<const FunctionParser*>(node))
        return FunctionNeverFails(static_cast<FunctionCode>(f->GetTypeCode()))
            && IsEffectFree(f->GetOperand(), level + 1);
    if (const auto* o = dynamic_cast<const OperationParser*>(node))
        return OperatorNeverFails(o->GetTypeCode()) && IsEffectFree(o->GetLeft(), level + 1)
            && IsEffectFree(o->GetRight(), level + 1);
    return false;
}

bool Compiler::Emit(const Parser* node, int level)
{
    if (level > EvaluationProgram::kMaxDepth)
        return false;
    double k = 0;
    int32_t index = 0;
    switch (LeafKind(node, k, index)) {
    case Leaf::Constant:
        Add(Op::PushK, 0, k);
        return true;
    case Leaf::Variable:
        Add(Op::PushV, index);
        return true;
    case Leaf::None:
        break;
    }
    if (const auto* f = dynamic_cast<const FunctionParser*>(node)) {
        const auto code = static_cast<FunctionCode>(f->GetTypeCode());
        if (FunctionOp(code, false) == Op::PushNode) {
            AddNode(node);
            return true;
        }
        const size_t start = code_.size();
        if (!Emit(f->GetOperand(), level + 1))
            return false;
        // A function of a variable reads it in the same step. Only an operand that is the
        // variable alone fuses, not one whose code merely ends with it (the else branch of a
        // conditional).
        if (code_.size() == start + 1 && code_.back().op == Op::PushV) {
            code_.back().op = FunctionOp(code, true);
            return true;
        }
        Add(FunctionOp(code, false));
        return true;
    }
    if (const auto* r = dynamic_cast<const RandomFunction*>(node)) {
        if (r->GetOperand() != nullptr) {
            if (!Emit(r->GetOperand(), level + 1))
                return false;
        } else {
            Add(Op::PushK, 0, r->GetScale());
        }
        Add(Op::Random);
        return true;
    }
    if (const auto* o = dynamic_cast<const OperationParser*>(node))
        return EmitOperation(o, level);
    AddNode(node);
    return true;
}

bool Compiler::EmitPlain(Op stack, bool rightFirst, const OperationParser* node, int level)
{
    // The leaf forms follow the stack form in the opcode table: RK, RV, LK, LV.
    const auto form
        = [stack](int offset) { return static_cast<Op>(static_cast<int>(stack) + offset); };
    double k = 0;
    int32_t index = 0;
    switch (LeafKind(node->GetRight(), k, index)) {
    case Leaf::Constant:
        if (!Emit(node->GetLeft(), level + 1))
            return false;
        Add(form(1), 0, k);
        return true;
    case Leaf::Variable:
        if (!Emit(node->GetLeft(), level + 1))
            return false;
        Add(form(2), index);
        return true;
    case Leaf::None:
        break;
    }
    switch (LeafKind(node->GetLeft(), k, index)) {
    case Leaf::Constant:
        if (!Emit(node->GetRight(), level + 1))
            return false;
        Add(form(3), 0, k);
        return true;
    case Leaf::Variable:
        if (!Emit(node->GetRight(), level + 1))
            return false;
        Add(form(4), index);
        return true;
    case Leaf::None:
        break;
    }
    const Parser* first = rightFirst ? node->GetRight() : node->GetLeft();
    const Parser* second = rightFirst ? node->GetLeft() : node->GetRight();
    if (!Emit(first, level + 1) || !Emit(second, level + 1))
        return false;
    Add(stack);
    return true;
}

bool Compiler::EmitDivide(const OperationParser* node, int level)
{
    double k = 0;
    int32_t index = 0;
    const Parser* left = node->GetLeft();
    const Parser* right = node->GetRight();
    const Leaf rightLeaf = LeafKind(right, k, index);
    if (rightLeaf == Leaf::Constant && k != 0) {
        if (!Emit(left, level + 1))
            return false;
        Add(Op::DivRK, 0, k);
        return true;
    }
    // The divisor is tested before the dividend is evaluated: after it only when the dividend
    // has no effect to skip.
    if (rightLeaf == Leaf::Variable && IsEffectFree(left, level + 1)) {
        if (!Emit(left, level + 1))
            return false;
        Add(Op::DivRV, index);
        return true;
    }
    double leftK = 0;
    int32_t leftIndex = 0;
    switch (LeafKind(left, leftK, leftIndex)) {
    case Leaf::Constant:
        if (!Emit(right, level + 1))
            return false;
        Add(Op::DivLK, 0, leftK);
        return true;
    case Leaf::Variable:
        if (!Emit(right, level + 1))
            return false;
        Add(Op::DivLV, leftIndex);
        return true;
    case Leaf::None:
        break;
    }
    if (!Emit(right, level + 1))
        return false;
    const size_t check = Add(Op::DivCheck);
    if (!Emit(left, level + 1))
        return false;
    Add(Op::DivS);
    PatchTarget(check);
    return true;
}

bool Compiler::EmitPower(const OperationParser* node, int level)
{
    double k = 0;
    int32_t index = 0;
    const Parser* left = node->GetLeft();
    const Parser* right = node->GetRight();
    switch (LeafKind(right, k, index)) {
    case Leaf::Constant: {
        if (!Emit(left, level + 1))
            return false;
        // An exponent that the negative-base rule takes as an integer n: the rule's tests then
        // pass whatever the base, and only the repeated squaring by n remains.
        int32_t n;
        if (IsIntegerExponent(k, n))
            Add(Op::PowInt, n, k);
        else
            Add(Op::PowRK, 0, k);
        return true;
    }
    case Leaf::Variable:
        if (!Emit(left, level + 1))
            return false;
        Add(Op::PowRV, index);
        return true;
    case Leaf::None:
        break;
    }
    switch (LeafKind(left, k, index)) {
    case Leaf::Constant:
        if (!Emit(right, level + 1))
            return false;
        Add(Op::PowLK, 0, k);
        return true;
    case Leaf::Variable:
        if (!Emit(right, level + 1))
            return false;
        Add(Op::PowLV, index);
        return true;
    case Leaf::None:
        break;
    }
    if (!Emit(left, level + 1) || !Emit(right, level + 1))
        return false;
    Add(Op::PowS);
    return true;
}

bool Compiler::EmitOperation(const OperationParser* node, int level)
{
    const Parser* left = node->GetLeft();
    const Parser* right = node->GetRight();
    switch (static_cast<OperatorCode>(node->GetTypeCode())) {
#define CURVANA_OPERATOR_CASE(Stem, code, Class, order, value)                                     \
    case code:                                                                                     \
        return EmitPlain(Op::Stem##S, OperandOrder::order == OperandOrder::RightFirst, node, level);
        CURVANA_PLAIN_OPERATORS(CURVANA_OPERATOR_CASE)
#undef CURVANA_OPERATOR_CASE
    case kOperatorDivide:
        return EmitDivide(node, level);
    case kOperatorPower:
        return EmitPower(node, level);
    case kOperatorModulus: {
        if (!Emit(right, level + 1))
            return false;
        const size_t check = Add(Op::ModCheck);
        if (!Emit(left, level + 1))
            return false;
        Add(Op::ModS);
        PatchTarget(check);
        return true;
    }
    case kOperatorAnd:
    case kOperatorOr: {
        if (!Emit(left, level + 1))
            return false;
        const size_t jump = Add(node->GetTypeCode() == kOperatorAnd ? Op::AndJump : Op::OrJump);
        if (!Emit(right, level + 1))
            return false;
        Add(Op::Truth);
        PatchTarget(jump);
        return true;
    }
    case kOperatorIf: {
        const auto* branches = dynamic_cast<const ThenElseOperator*>(right);
        if (branches == nullptr) {
            AddNode(node);
            return true;
        }
        if (!Emit(left, level + 1))
            return false;
        const size_t toElse = Add(Op::JumpIfZero);
        if (!Emit(branches->GetLeft(), level + 2))
            return false;
        const size_t toEnd = Add(Op::Jump);
        PatchTarget(toElse);
        if (!Emit(branches->GetRight(), level + 2))
            return false;
        PatchTarget(toEnd);
        return true;
    }
    case kOperatorThenElse:
        // A ":" outside a conditional evaluates neither branch.
        Add(Op::PushError, kErrorMissingQuestionMark);
        return true;
    // Never two-operand nodes.
    case kOperatorNone:
    case kOperatorPrefixPlus:
    case kOperatorPrefixMinus:
    case kOperatorNot:
    case kOperatorComplement:
        break;
    }
    AddNode(node);
    return true;
}

} // namespace

bool EvaluationProgram::Compile(const Parser* root, const FunctionInterpreter* owner)
{
    code_.clear();
    if (root == nullptr)
        return false;
    Compiler compiler(code_, owner);
    if (!compiler.Emit(root, 1)) {
        code_.clear();
        return false;
    }
    code_.push_back(Instruction {Op::Return, 0, {0}});
    manyStack_ = 0;
    // The stack depth of straight-line code, or no RunMany at all.
    int depth = 0;
    int deepest = 0;
    for (const Instruction& i : code_) {
        switch (EffectOf(i.op)) {
        case StackEffect::Push:
            ++depth;
            break;
        case StackEffect::Pop:
            --depth;
            break;
        case StackEffect::None:
            break;
        case StackEffect::Control:
            return true;
        }
        deepest = std::max(deepest, depth);
    }
    if (deepest <= kMaxManyStack)
        manyStack_ = std::max(deepest, 1);
    return true;
}

void EvaluationProgram::RunMany(const double* variables, int32_t index, const double* xs, size_t n,
    double* out, bool* failed) const
{
    for (size_t at = 0; at < n; at += kBlock) {
        const int count = static_cast<int>(std::min<size_t>(kBlock, n - at));
        RunBlock(variables, index, xs + at, count, out + at, failed + at);
    }
}

// One instruction at a time across the block. An error marks its value failed and the work goes
// on: with no draw and no branch, nothing else can tell the difference.
void EvaluationProgram::RunBlock(const double* variables, int32_t index, const double* xs, int n,
    double* out, bool* failed) const
{
    QuietEvaluation quiet;
    double stack[kMaxManyStack + 1][kBlock];
    int sp = 0; // stack[sp] is the accumulator
    double* acc = stack[0];
    for (int i = 0; i < n; ++i)
        failed[i] = false;
    const auto variable = [&](int32_t arg, int i) { return arg == index ? xs[i] : variables[arg]; };
    const auto note = [&](int i) {
        if (quiet.TakeFailure())
            failed[i] = true;
    };
    for (const Instruction* ip = code_.data();; ++ip) {
        switch (ip->op) {
        case Op::PushK:
            acc = stack[++sp];
            for (int i = 0; i < n; ++i)
                acc[i] = ip->k;
            break;
        case Op::PushV:
            acc = stack[++sp];
            for (int i = 0; i < n; ++i)
                acc[i] = variable(ip->arg, i);
            break;
        case Op::PushError:
            acc = stack[++sp];
            for (int i = 0; i < n; ++i) {
                acc[i] = EvaluationError(ip->arg);
                note(i);
            }
            break;
// clang-format off
#define CURVANA_OPERATOR_CASES(Stem, code, Class, order, value) \
    case Op::Stem##S: { \
        constexpr bool rightFirst = OperandOrder::order == OperandOrder::RightFirst; \
        const double* popped = stack[sp - 1]; \
        double* result = stack[--sp]; \
        for (int i = 0; i < n; ++i) { \
            const double a = rightFirst ? acc[i] : popped[i]; \
            const double b = rightFirst ? popped[i] : acc[i]; \
            result[i] = Apply##Stem(a, b); \
        } \
        acc = result; \
        break; \
    } \
    case Op::Stem##RK: \
        for (int i = 0; i < n; ++i) { \
            const double a = acc[i]; \
            const double b = ip->k; \
            acc[i] = Apply##Stem(a, b); \
        } \
        break; \
    case Op::Stem##RV: \
        for (int i = 0; i < n; ++i) { \
            const double a = acc[i]; \
            const double b = variable(ip->arg, i); \
            acc[i] = Apply##Stem(a, b); \
        } \
        break; \
    case Op::Stem##LK: \
        for (int i = 0; i < n; ++i) { \
            const double a = ip->k; \
            const double b = acc[i]; \
            acc[i] = Apply##Stem(a, b); \
        } \
        break; \
    case Op::Stem##LV: \
        for (int i = 0; i < n; ++i) { \
            const double a = variable(ip->arg, i); \
            const double b = acc[i]; \
            acc[i] = Apply##Stem(a, b); \
        } \
        break;
#define CURVANA_FUNCTION_CASE(Stem, ...) \
    case Op::Fn##Stem: \
        for (int i = 0; i < n; ++i) { \
            acc[i] = ApplyFunction<true>(kFunction##Stem, acc[i]); \
            note(i); \
        } \
        break; \
    case Op::Fn##Stem##V: \
        acc = stack[++sp]; \
        for (int i = 0; i < n; ++i) { \
            acc[i] = ApplyFunction<true>(kFunction##Stem, variable(ip->arg, i)); \
            note(i); \
        } \
        break;
            // clang-format on
            CURVANA_PLAIN_OPERATORS(CURVANA_OPERATOR_CASES)
            CURVANA_FUNCTIONS(CURVANA_FUNCTION_CASE)
#undef CURVANA_OPERATOR_CASES
#undef CURVANA_FUNCTION_CASE
        case Op::DivS: {
            const double* divisor = stack[sp - 1];
            double* result = stack[--sp];
            for (int i = 0; i < n; ++i) {
                const double b = divisor[i];
                result[i] = ApplyQuotient<DivideRule>(acc[i], b);
                note(i);
            }
            acc = result;
            break;
        }
        case Op::DivRK:
            for (int i = 0; i < n; ++i)
                acc[i] = DivideRule::Apply(acc[i], ip->k);
            break;
        case Op::DivRV:
            for (int i = 0; i < n; ++i) {
                const double b = variable(ip->arg, i);
                acc[i] = ApplyQuotient<DivideRule>(acc[i], b);
                note(i);
            }
            break;
        case Op::DivLK:
            for (int i = 0; i < n; ++i) {
                acc[i] = ApplyQuotient<DivideRule>(ip->k, acc[i]);
                note(i);
            }
            break;
        case Op::DivLV:
            for (int i = 0; i < n; ++i) {
                acc[i] = ApplyQuotient<DivideRule>(variable(ip->arg, i), acc[i]);
                note(i);
            }
            break;
        case Op::ModS: {
            const double* divisor = stack[sp - 1];
            double* result = stack[--sp];
            for (int i = 0; i < n; ++i) {
                result[i] = ApplyQuotient<ModulusRule>(acc[i], divisor[i]);
                note(i);
            }
            acc = result;
            break;
        }
        case Op::PowS: {
            const double* base = stack[sp - 1];
            double* result = stack[--sp];
            for (int i = 0; i < n; ++i) {
                result[i] = ApplyPower(base[i], acc[i]);
                note(i);
            }
            acc = result;
            break;
        }
        case Op::PowRK:
            for (int i = 0; i < n; ++i) {
                acc[i] = ApplyPower(acc[i], ip->k);
                note(i);
            }
            break;
        case Op::PowInt:
            for (int i = 0; i < n; ++i)
                acc[i] = IntegerExponentPower(acc[i], ip->k, ip->arg);
            break;
        case Op::PowRV:
            for (int i = 0; i < n; ++i) {
                acc[i] = ApplyPower(acc[i], variable(ip->arg, i));
                note(i);
            }
            break;
        case Op::PowLK:
            for (int i = 0; i < n; ++i) {
                acc[i] = ApplyPower(ip->k, acc[i]);
                note(i);
            }
            break;
        case Op::PowLV:
            for (int i = 0; i < n; ++i) {
                acc[i] = ApplyPower(variable(ip->arg, i), acc[i]);
                note(i);
            }
            break;
        case Op::Return:
            for (int i = 0; i < n; ++i)
                out[i] = acc[i];
            return;
        case Op::PushNode:
        case Op::DivCheck:
        case Op::ModCheck:
        case Op::AndJump:
        case Op::OrJump:
        case Op::Truth:
        case Op::JumpIfZero:
        case Op::Jump:
        case Op::Random:
        case Op::Count:
            // Never in a straight-line program (Truth only follows a jump).
            for (int i = 0; i < n; ++i) {
                out[i] = std::numeric_limits<double>::quiet_NaN();
                failed[i] = true;
            }
            return;
        }
    }
}

// Labels as values (a GNU extension of g++ and clang) for the threaded dispatch.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpedantic"
double EvaluationProgram::Run(const double* variables) const
{
    // Each tree level holds at most one value on the stack; the first push saves the initial acc.
    double stack[kMaxDepth + 2];
    double* sp = stack;
    double acc = 0;
    const Instruction* const base = code_.data();
    const Instruction* ip = base;
    // Threaded dispatch: each opcode jumps to the next through its own branch, which the processor
    // predicts far better than one shared switch.
// clang-format off
#define CURVANA_LABEL(name) &&Do##name,
#define CURVANA_OPERATOR_LABELS(Stem, ...) CURVANA_OPERATOR_FORMS(CURVANA_LABEL, Stem)
#define CURVANA_FUNCTION_LABEL(Stem, ...) &&DoFn##Stem,
#define CURVANA_FUNCTION_V_LABEL(Stem, ...) &&DoFn##Stem##V,
    static const void* const kLabels[] = {
        CURVANA_PUSH_OPS(CURVANA_LABEL)
        CURVANA_PLAIN_OPERATORS(CURVANA_OPERATOR_LABELS)
        CURVANA_FUNCTIONS(CURVANA_FUNCTION_LABEL)
        CURVANA_FUNCTIONS(CURVANA_FUNCTION_V_LABEL)
        CURVANA_OTHER_OPS(CURVANA_LABEL)
    };
#undef CURVANA_LABEL
#undef CURVANA_OPERATOR_LABELS
#undef CURVANA_FUNCTION_LABEL
#undef CURVANA_FUNCTION_V_LABEL
    // clang-format on
    static_assert(std::size(kLabels) == static_cast<size_t>(Op::Count));
#define CURVANA_NEXT goto* kLabels[static_cast<uint8_t>((++ip)->op)]
#define CURVANA_JUMP(target)                                                                       \
    do {                                                                                           \
        ip = base + (target);                                                                      \
        goto* kLabels[static_cast<uint8_t>(ip->op)];                                               \
    } while (false)
    goto* kLabels[static_cast<uint8_t>(ip->op)];
    {
    DoPushK:
        *sp++ = acc;
        acc = ip->k;
        CURVANA_NEXT;
    DoPushV:
        *sp++ = acc;
        acc = variables[ip->arg];
        CURVANA_NEXT;
    DoPushNode:
        *sp++ = acc;
        {
            // Left before the next jump, which would skip its destructor.
            DepthGuard guard;
            acc = ip->node->Evaluate();
        }
        CURVANA_NEXT;
    DoPushError:
        *sp++ = acc;
        acc = EvaluationError(ip->arg);
        CURVANA_NEXT;
#define CURVANA_OPERATOR_CASES(Stem, code, Class, order, value)                                    \
    Do##Stem##S:                                                                                   \
    {                                                                                              \
        constexpr bool rightFirst = OperandOrder::order == OperandOrder::RightFirst;               \
        const double popped = *--sp;                                                               \
        const double a = rightFirst ? acc : popped;                                                \
        const double b = rightFirst ? popped : acc;                                                \
        acc = Apply##Stem(a, b);                                                                   \
        CURVANA_NEXT;                                                                              \
    }                                                                                              \
    Do##Stem##RK:                                                                                  \
    {                                                                                              \
        const double a = acc;                                                                      \
        const double b = ip->k;                                                                    \
        acc = Apply##Stem(a, b);                                                                   \
        CURVANA_NEXT;                                                                              \
    }                                                                                              \
    Do##Stem##RV:                                                                                  \
    {                                                                                              \
        const double a = acc;                                                                      \
        const double b = variables[ip->arg];                                                       \
        acc = Apply##Stem(a, b);                                                                   \
        CURVANA_NEXT;                                                                              \
    }                                                                                              \
    Do##Stem##LK:                                                                                  \
    {                                                                                              \
        const double a = ip->k;                                                                    \
        const double b = acc;                                                                      \
        acc = Apply##Stem(a, b);                                                                   \
        CURVANA_NEXT;                                                                              \
    }                                                                                              \
    Do##Stem##LV:                                                                                  \
    {                                                                                              \
        const double a = variables[ip->arg];                                                       \
        const double b = acc;                                                                      \
        acc = Apply##Stem(a, b);                                                                   \
        CURVANA_NEXT;                                                                              \
    }
        CURVANA_PLAIN_OPERATORS(CURVANA_OPERATOR_CASES)
#undef CURVANA_OPERATOR_CASES
// clang-format off
#define CURVANA_FUNCTION_CASE(Stem, ...) \
    Do##Fn##Stem: \
        acc = ApplyFunction<true>(kFunction##Stem, acc); \
        CURVANA_NEXT; \
    Do##Fn##Stem##V: \
        *sp++ = acc; \
        acc = ApplyFunction<true>(kFunction##Stem, variables[ip->arg]); \
        CURVANA_NEXT;
        // clang-format on
        CURVANA_FUNCTIONS(CURVANA_FUNCTION_CASE)
#undef CURVANA_FUNCTION_CASE
    DoDivCheck:
        if (DivideRule::DivisorFails(acc)) {
            acc = DivisionByZero();
            CURVANA_JUMP(ip->arg);
        }
        CURVANA_NEXT;
    DoDivS:
        acc = DivideRule::Apply(acc, *--sp);
        CURVANA_NEXT;
    DoDivRK:
        acc = DivideRule::Apply(acc, ip->k);
        CURVANA_NEXT;
    DoDivRV:
        acc = ApplyQuotient<DivideRule>(acc, variables[ip->arg]);
        CURVANA_NEXT;
    DoDivLK:
        acc = ApplyQuotient<DivideRule>(ip->k, acc);
        CURVANA_NEXT;
    DoDivLV:
        acc = ApplyQuotient<DivideRule>(variables[ip->arg], acc);
        CURVANA_NEXT;
    DoModCheck:
        if (ModulusRule::DivisorFails(acc)) {
            acc = DivisionByZero();
            CURVANA_JUMP(ip->arg);
        }
        CURVANA_NEXT;
    DoModS:
        acc = ModulusRule::Apply(acc, *--sp);
        CURVANA_NEXT;
    DoPowS : {
        const double a = *--sp;
        acc = ApplyPower(a, acc);
        CURVANA_NEXT;
    }
    DoPowRK:
        acc = ApplyPower(acc, ip->k);
        CURVANA_NEXT;
    DoPowInt:
        acc = IntegerExponentPower(acc, ip->k, ip->arg);
        CURVANA_NEXT;
    DoPowRV:
        acc = ApplyPower(acc, variables[ip->arg]);
        CURVANA_NEXT;
    DoPowLK:
        acc = ApplyPower(ip->k, acc);
        CURVANA_NEXT;
    DoPowLV:
        acc = ApplyPower(variables[ip->arg], acc);
        CURVANA_NEXT;
    DoAndJump:
        if (AndRule::Decides(acc)) {
            acc = AndRule::kDecided;
            CURVANA_JUMP(ip->arg);
        } else {
            acc = *--sp;
        }
        CURVANA_NEXT;
    DoOrJump:
        if (OrRule::Decides(acc)) {
            acc = OrRule::kDecided;
            CURVANA_JUMP(ip->arg);
        } else {
            acc = *--sp;
        }
        CURVANA_NEXT;
    DoTruth:
        acc = Truth(acc);
        CURVANA_NEXT;
    DoJumpIfZero : {
        const bool takeThen = SelectsThen(acc);
        acc = *--sp;
        if (!takeThen)
            CURVANA_JUMP(ip->arg);
        CURVANA_NEXT;
    }
    DoJump:
        CURVANA_JUMP(ip->arg);
    DoRandom:
        // A quiet evaluation goes on after an error; the draw it would not have reached is not
        // made.
        if (QuietEvaluation::ErrorPending()) {
            acc = std::numeric_limits<double>::quiet_NaN();
        } else {
            const int r = NextRandomDraw();
            acc = r * acc * (1.0 / 32767);
        }
        CURVANA_NEXT;
    DoReturn:
        return acc;
    }
#undef CURVANA_NEXT
#undef CURVANA_JUMP
}
#pragma GCC diagnostic pop

double PositivePowerOf(double a, int n)
{
    // glibc's pow is within 0.54 ulp of the exact power (its stated worst case). When the exact
    // power lies within 0.44 ulp of a double whose two neighbours are a whole ulp away, no other
    // double is close enough for pow to return it: that double is pow's result.
    if (a >= 0x1p-200 && a <= 0x1p200 && (n == 2 || n == 3)) {
        double p;
        double e;
        TwoProduct(a, a, p, e);
        double r = p;
        double residual = e;
        if (n == 3) {
            double e3;
            TwoProduct(p, a, r, e3);
            residual = e3 + e * a; // off from the exact residual by far less than 0.01 ulp
        }
        constexpr uint64_t kExponentBits = UINT64_C(0x7FF0000000000000);
        constexpr uint64_t kMantissaBits = UINT64_C(0x000FFFFFFFFFFFFF);
        const uint64_t bits = std::bit_cast<uint64_t>(r);
        if ((bits & kMantissaBits) != 0) { // a power of two has a closer neighbour below
            const double ulp = std::bit_cast<double>((bits & kExponentBits) - (UINT64_C(52) << 52));
            if (std::fabs(residual) < 0.44 * ulp)
                return r;
        }
    }
    return std::pow(a, n);
}
