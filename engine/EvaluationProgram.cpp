#include "engine/EvaluationProgram.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

#include "engine/DepthGuard.h"
#include "engine/EvaluationRules.h"
#include "engine/FunctionInterpreter.h"
#include "engine/Functions.h"
#include "engine/Leaves.h"
#include "engine/Operators.h"

using platform::TruncToInt32;

// clang-format off
// Every function code with a rule, as the opcode suffix and the code.
#define CURVANA_PROGRAM_FUNCTIONS(X) \
    X(Ln) X(Log) X(Exp) X(Abs) X(Sqrt) X(Neg) X(Sin) X(Cos) X(Tan) X(Sec) X(Csc) X(Cot) \
    X(Asin) X(Acos) X(Atan) X(Asec) X(Acsc) X(Acot) X(Sinh) X(Cosh) X(Tanh) X(Sech) X(Csch) \
    X(Coth) X(Asinh) X(Acosh) X(Atanh) X(Asech) X(Acsch) X(Acoth) X(Not) X(Complement) \
    X(Ceil) X(Floor) X(Sgn) X(Lb)
// clang-format on

// The operators that never fail, as the opcode stem, whether the tree evaluates the right operand
// first, and the value from a (left) and b (right). Each has a stack form and forms taking one
// operand straight from a constant or a variable: evaluating a leaf has no effect, so its place in
// the order does not matter.
// clang-format off
#define CURVANA_PROGRAM_OPERATORS(X) \
    X(Add, true, LeftNaN(a, a + b)) \
    X(Sub, false, a - b) \
    X(Mul, true, LeftNaN(a, a * b)) \
    X(Lt, false, a < b ? 1.0 : 0.0) \
    X(Gt, false, a > b ? 1.0 : 0.0) \
    X(Eq, false, a == b ? 1.0 : 0.0) \
    X(Ne, false, a == b ? 0.0 : 1.0) \
    X(Le, false, a <= b ? 1.0 : 0.0) \
    X(Ge, false, a >= b ? 1.0 : 0.0)
// clang-format on

#define CURVANA_OPERATOR_FORMS(X, Stem) X(Stem##S) X(Stem##RK) X(Stem##RV) X(Stem##LK) X(Stem##LV)

// Every opcode. acc is the top of the value stack; "push" saves it below first.
//   PushK: acc = k. PushV: acc = variable arg. PushNode: acc = the node by the tree walk.
//   PushError: acc = error arg.
//   Operators: S takes a and b from the stack and acc in the tree's order; RK, RV, LK, LV take
//   the right (R) or left (L) operand from k or from variable arg.
//   Division: the divisor is tested before the dividend is evaluated. DivCheck tests acc (the
//   divisor) and on 0 gives the error and jumps to arg; DivS divides acc by the popped divisor;
//   DivRK (k not 0), DivRV (after an effect-free dividend), DivLK, DivLV. ModCheck and ModS alike.
//   PowInt: the exponent k is an integer arg as the negative-base rule reads it.
//   AndJump: acc 0 gives 0 and jumps to arg, else pops. OrJump: acc not 0 gives 1 and jumps, else
//   pops. Truth: acc = acc != 0. JumpIfZero tests acc, pops, and jumps to arg on 0.
//   Random: a draw scaled by acc.
//   FnName: acc = the function of acc. FnNameV: push; acc = the function of variable arg.
// clang-format off
#define CURVANA_PROGRAM_OPS(X) \
    X(PushK) X(PushV) X(PushNode) X(PushError) \
    CURVANA_OPERATOR_FORMS(X, Add) CURVANA_OPERATOR_FORMS(X, Sub) CURVANA_OPERATOR_FORMS(X, Mul) \
    CURVANA_OPERATOR_FORMS(X, Lt) CURVANA_OPERATOR_FORMS(X, Gt) CURVANA_OPERATOR_FORMS(X, Eq) \
    CURVANA_OPERATOR_FORMS(X, Ne) CURVANA_OPERATOR_FORMS(X, Le) CURVANA_OPERATOR_FORMS(X, Ge) \
    X(FnLn) X(FnLog) X(FnExp) X(FnAbs) X(FnSqrt) X(FnNeg) X(FnSin) X(FnCos) X(FnTan) X(FnSec) \
    X(FnCsc) X(FnCot) X(FnAsin) X(FnAcos) X(FnAtan) X(FnAsec) X(FnAcsc) X(FnAcot) X(FnSinh) \
    X(FnCosh) X(FnTanh) X(FnSech) X(FnCsch) X(FnCoth) X(FnAsinh) X(FnAcosh) X(FnAtanh) \
    X(FnAsech) X(FnAcsch) X(FnAcoth) X(FnNot) X(FnComplement) X(FnCeil) X(FnFloor) X(FnSgn) \
    X(FnLb) \
    X(FnLnV) X(FnLogV) X(FnExpV) X(FnAbsV) X(FnSqrtV) X(FnNegV) X(FnSinV) X(FnCosV) X(FnTanV) \
    X(FnSecV) X(FnCscV) X(FnCotV) X(FnAsinV) X(FnAcosV) X(FnAtanV) X(FnAsecV) X(FnAcscV) \
    X(FnAcotV) X(FnSinhV) X(FnCoshV) X(FnTanhV) X(FnSechV) X(FnCschV) X(FnCothV) X(FnAsinhV) \
    X(FnAcoshV) X(FnAtanhV) X(FnAsechV) X(FnAcschV) X(FnAcothV) X(FnNotV) X(FnComplementV) \
    X(FnCeilV) X(FnFloorV) X(FnSgnV) X(FnLbV) \
    X(DivCheck) X(DivS) X(DivRK) X(DivRV) X(DivLK) X(DivLV) X(ModCheck) X(ModS) \
    X(PowS) X(PowRK) X(PowInt) X(PowRV) X(PowLK) X(PowLV) X(BitAndS) X(BitOrS) X(BitXorS) \
    X(AndJump) X(OrJump) X(Truth) X(JumpIfZero) X(Jump) X(Random) X(Return)
// clang-format on

#define CURVANA_ENUMERATOR(name) name,
enum class EvaluationProgram::Op : uint8_t { CURVANA_PROGRAM_OPS(CURVANA_ENUMERATOR) };
#undef CURVANA_ENUMERATOR

namespace {

// Of two NaN operands, the processor returns the first one's, and the tree's a + b and a * b give
// the left operand's. The compiler may swap the operands of a commutative operation where the
// registers suit it better, so the program picks that NaN itself.
inline double LeftNaN(double a, double result)
{
    return a != a ? a + a : result;
}

// The function rules, less two domain tests that no double fails: cos(x) is never 0 (the double
// nearest an odd multiple of pi/2 leaves a cosine above 1e-19 in magnitude, and glibc's cos errs
// by less than an ulp), and cosh(x) is at least 1. Their cost was a second libm call per value.
[[gnu::always_inline]] inline double ProgramFunction(FunctionCode code, double x)
{
    switch (code) {
    case kFunctionTan:
        return std::tan(x);
    case kFunctionTanh:
        return std::tanh(x);
    default:
        return ApplyFunction(code, x);
    }
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

using Op = EvaluationProgram::Op;
using Instruction = EvaluationProgram::Instruction;

// Dekker's product: a * b == p + e exactly, for operands well inside the exponent range.
inline void TwoProduct(double a, double b, double& p, double& e)
{
    constexpr double kSplit = 134217729.0; // 2^27 + 1
    const double ca = kSplit * a;
    const double ah = ca - (ca - a);
    const double al = a - ah;
    const double cb = kSplit * b;
    const double bh = cb - (cb - b);
    const double bl = b - bh;
    p = a * b;
    e = ((ah * bh - p) + ah * bl + al * bh) + al * bl;
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

bool Compiler::IsEffectFree(const Parser* node, int level) const
{
    if (level > EvaluationProgram::kMaxDepth)
        return false;
    double k;
    int32_t index;
    if (LeafKind(node, k, index) != Leaf::None)
        return true;
    if (const auto* f = dynamic_cast<const FunctionParser*>(node)) {
        switch (f->GetTypeCode()) {
        case kFunctionExp:
        case kFunctionAbs:
        case kFunctionNeg:
        case kFunctionSin:
        case kFunctionCos:
        case kFunctionAtan:
        case kFunctionSinh:
        case kFunctionCosh:
        case kFunctionAsinh:
        case kFunctionNot:
        case kFunctionComplement:
        case kFunctionCeil:
        case kFunctionFloor:
        case kFunctionSgn:
            return IsEffectFree(f->GetOperand(), level + 1);
        default:
            return false;
        }
    }
    if (const auto* o = dynamic_cast<const OperationParser*>(node)) {
        switch (o->GetTypeCode()) {
        case kOperatorPlus:
        case kOperatorMinus:
        case kOperatorMultiply:
        case kOperatorLess:
        case kOperatorGreater:
        case kOperatorEqual:
        case kOperatorNotEqual:
        case kOperatorLessOrEqual:
        case kOperatorGreaterOrEqual:
        case kOperatorAnd:
        case kOperatorOr:
        case kOperatorBitwiseAnd:
        case kOperatorBitwiseOr:
        case kOperatorBitwiseXor:
            return IsEffectFree(o->GetLeft(), level + 1) && IsEffectFree(o->GetRight(), level + 1);
        default:
            return false;
        }
    }
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
        Op op;
        switch (f->GetTypeCode()) {
#define CURVANA_FUNCTION_CASE(Name)                                                                \
    case kFunction##Name:                                                                          \
        op = Op::Fn##Name;                                                                         \
        break;
            CURVANA_PROGRAM_FUNCTIONS(CURVANA_FUNCTION_CASE)
#undef CURVANA_FUNCTION_CASE
        default:
            AddNode(node);
            return true;
        }
        const size_t start = code_.size();
        if (!Emit(f->GetOperand(), level + 1))
            return false;
        // A function of a variable reads it in the same step; the V forms follow the plain ones
        // in the same order. Only an operand that is the variable alone fuses, not one whose code
        // merely ends with it (the else branch of a conditional).
        if (code_.size() == start + 1 && code_.back().op == Op::PushV) {
            code_.back().op = static_cast<Op>(
                static_cast<int>(op) - static_cast<int>(Op::FnLn) + static_cast<int>(Op::FnLnV));
            return true;
        }
        Add(op);
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
        const int32_t n = TruncToInt32(k);
        if (!(std::fabs(k) < 1e-17) && std::fabs((n - k) / k) < 1e-14)
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
    switch (node->GetTypeCode()) {
#define CURVANA_OPERATOR_CASE(code, Stem, rightFirst)                                              \
    case code:                                                                                     \
        return EmitPlain(Op::Stem##S, rightFirst, node, level);
        CURVANA_OPERATOR_CASE(kOperatorPlus, Add, true)
        CURVANA_OPERATOR_CASE(kOperatorMinus, Sub, false)
        CURVANA_OPERATOR_CASE(kOperatorMultiply, Mul, true)
        CURVANA_OPERATOR_CASE(kOperatorLess, Lt, false)
        CURVANA_OPERATOR_CASE(kOperatorGreater, Gt, false)
        CURVANA_OPERATOR_CASE(kOperatorEqual, Eq, false)
        CURVANA_OPERATOR_CASE(kOperatorNotEqual, Ne, false)
        CURVANA_OPERATOR_CASE(kOperatorLessOrEqual, Le, false)
        CURVANA_OPERATOR_CASE(kOperatorGreaterOrEqual, Ge, false)
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
    case kOperatorBitwiseAnd:
    case kOperatorBitwiseOr:
    case kOperatorBitwiseXor: {
        if (!Emit(right, level + 1) || !Emit(left, level + 1))
            return false;
        const int code = node->GetTypeCode();
        Add(code == kOperatorBitwiseAnd      ? Op::BitAndS
                : code == kOperatorBitwiseOr ? Op::BitOrS
                                             : Op::BitXorS);
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
    default:
        AddNode(node);
        return true;
    }
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
        switch (i.op) {
        case Op::PushK:
        case Op::PushV:
        case Op::PushError:
            ++depth;
            break;
        case Op::PushNode:
        case Op::DivCheck:
        case Op::ModCheck:
        case Op::AndJump:
        case Op::OrJump:
        case Op::JumpIfZero:
        case Op::Jump:
        case Op::Random:
            return true;
        case Op::AddS:
        case Op::SubS:
        case Op::MulS:
        case Op::LtS:
        case Op::GtS:
        case Op::EqS:
        case Op::NeS:
        case Op::LeS:
        case Op::GeS:
        case Op::DivS:
        case Op::ModS:
        case Op::PowS:
        case Op::BitAndS:
        case Op::BitOrS:
        case Op::BitXorS:
            --depth;
            break;
        default:
            if (i.op >= Op::FnLnV && i.op <= Op::FnLbV)
                ++depth;
            break;
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
#define CURVANA_OPERATOR_CASES(Stem, rightFirst, expression) \
    case Op::Stem##S: { \
        const double* popped = stack[sp - 1]; \
        double* result = stack[--sp]; \
        for (int i = 0; i < n; ++i) { \
            const double a = rightFirst ? acc[i] : popped[i]; \
            const double b = rightFirst ? popped[i] : acc[i]; \
            result[i] = expression; \
        } \
        acc = result; \
        break; \
    } \
    case Op::Stem##RK: \
        for (int i = 0; i < n; ++i) { \
            const double a = acc[i]; \
            const double b = ip->k; \
            acc[i] = expression; \
        } \
        break; \
    case Op::Stem##RV: \
        for (int i = 0; i < n; ++i) { \
            const double a = acc[i]; \
            const double b = variable(ip->arg, i); \
            acc[i] = expression; \
        } \
        break; \
    case Op::Stem##LK: \
        for (int i = 0; i < n; ++i) { \
            const double a = ip->k; \
            const double b = acc[i]; \
            acc[i] = expression; \
        } \
        break; \
    case Op::Stem##LV: \
        for (int i = 0; i < n; ++i) { \
            const double a = variable(ip->arg, i); \
            const double b = acc[i]; \
            acc[i] = expression; \
        } \
        break;
#define CURVANA_FUNCTION_CASE(Name) \
    case Op::Fn##Name: \
        for (int i = 0; i < n; ++i) { \
            acc[i] = ProgramFunction(kFunction##Name, acc[i]); \
            note(i); \
        } \
        break; \
    case Op::Fn##Name##V: \
        acc = stack[++sp]; \
        for (int i = 0; i < n; ++i) { \
            acc[i] = ProgramFunction(kFunction##Name, variable(ip->arg, i)); \
            note(i); \
        } \
        break;
            // clang-format on
            CURVANA_PROGRAM_OPERATORS(CURVANA_OPERATOR_CASES)
            CURVANA_PROGRAM_FUNCTIONS(CURVANA_FUNCTION_CASE)
#undef CURVANA_OPERATOR_CASES
#undef CURVANA_FUNCTION_CASE
        case Op::DivS: {
            const double* divisor = stack[sp - 1];
            double* result = stack[--sp];
            for (int i = 0; i < n; ++i) {
                const double b = divisor[i];
                result[i] = b == 0 ? EvaluationError(kErrorDivisionByZero) : acc[i] / b;
                note(i);
            }
            acc = result;
            break;
        }
        case Op::DivRK:
            for (int i = 0; i < n; ++i)
                acc[i] = acc[i] / ip->k;
            break;
        case Op::DivRV:
            for (int i = 0; i < n; ++i) {
                const double b = variable(ip->arg, i);
                acc[i] = b == 0 ? EvaluationError(kErrorDivisionByZero) : acc[i] / b;
                note(i);
            }
            break;
        case Op::DivLK:
            for (int i = 0; i < n; ++i) {
                acc[i] = acc[i] == 0 ? EvaluationError(kErrorDivisionByZero) : ip->k / acc[i];
                note(i);
            }
            break;
        case Op::DivLV:
            for (int i = 0; i < n; ++i) {
                acc[i] = acc[i] == 0 ? EvaluationError(kErrorDivisionByZero)
                                     : variable(ip->arg, i) / acc[i];
                note(i);
            }
            break;
        case Op::ModS: {
            const double* divisor = stack[sp - 1];
            double* result = stack[--sp];
            for (int i = 0; i < n; ++i) {
                const int32_t b = TruncToInt32(divisor[i]);
                const int32_t a = TruncToInt32(acc[i]);
                result[i] = b == 0
                    ? EvaluationError(kErrorDivisionByZero)
                    : static_cast<double>(static_cast<int64_t>(a) % static_cast<int64_t>(b));
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
        case Op::BitAndS:
        case Op::BitOrS:
        case Op::BitXorS: {
            const double* right = stack[sp - 1];
            double* result = stack[--sp];
            for (int i = 0; i < n; ++i) {
                const int32_t b = TruncToInt32(right[i]);
                const int32_t a = TruncToInt32(acc[i]);
                result[i] = static_cast<double>(ip->op == Op::BitAndS ? (a & b)
                        : ip->op == Op::BitOrS                        ? (a | b)
                                                                      : (a ^ b));
            }
            acc = result;
            break;
        }
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
#define CURVANA_LABEL_ADDRESS(name) &&Do##name,
    static const void* const kLabels[] = {CURVANA_PROGRAM_OPS(CURVANA_LABEL_ADDRESS)};
#undef CURVANA_LABEL_ADDRESS
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
#define CURVANA_OPERATOR_CASES(Stem, rightFirst, expression)                                       \
    Do##Stem##S:                                                                                   \
    {                                                                                              \
        const double popped = *--sp;                                                               \
        const double a = rightFirst ? acc : popped;                                                \
        const double b = rightFirst ? popped : acc;                                                \
        acc = expression;                                                                          \
        CURVANA_NEXT;                                                                              \
    }                                                                                              \
    Do##Stem##RK:                                                                                  \
    {                                                                                              \
        const double a = acc;                                                                      \
        const double b = ip->k;                                                                    \
        acc = expression;                                                                          \
        CURVANA_NEXT;                                                                              \
    }                                                                                              \
    Do##Stem##RV:                                                                                  \
    {                                                                                              \
        const double a = acc;                                                                      \
        const double b = variables[ip->arg];                                                       \
        acc = expression;                                                                          \
        CURVANA_NEXT;                                                                              \
    }                                                                                              \
    Do##Stem##LK:                                                                                  \
    {                                                                                              \
        const double a = ip->k;                                                                    \
        const double b = acc;                                                                      \
        acc = expression;                                                                          \
        CURVANA_NEXT;                                                                              \
    }                                                                                              \
    Do##Stem##LV:                                                                                  \
    {                                                                                              \
        const double a = variables[ip->arg];                                                       \
        const double b = acc;                                                                      \
        acc = expression;                                                                          \
        CURVANA_NEXT;                                                                              \
    }
        CURVANA_PROGRAM_OPERATORS(CURVANA_OPERATOR_CASES)
#undef CURVANA_OPERATOR_CASES
// clang-format off
#define CURVANA_FUNCTION_CASE(Name) \
    Do##Fn##Name: \
        acc = ProgramFunction(kFunction##Name, acc); \
        CURVANA_NEXT; \
    Do##Fn##Name##V: \
        *sp++ = acc; \
        acc = ProgramFunction(kFunction##Name, variables[ip->arg]); \
        CURVANA_NEXT;
        // clang-format on
        CURVANA_PROGRAM_FUNCTIONS(CURVANA_FUNCTION_CASE)
#undef CURVANA_FUNCTION_CASE
    DoDivCheck:
        if (acc == 0) {
            acc = EvaluationError(kErrorDivisionByZero);
            CURVANA_JUMP(ip->arg);
        }
        CURVANA_NEXT;
    DoDivS:
        acc = acc / *--sp;
        CURVANA_NEXT;
    DoDivRK:
        acc = acc / ip->k;
        CURVANA_NEXT;
    DoDivRV : {
        const double b = variables[ip->arg];
        acc = b == 0 ? EvaluationError(kErrorDivisionByZero) : acc / b;
        CURVANA_NEXT;
    }
    DoDivLK:
        acc = acc == 0 ? EvaluationError(kErrorDivisionByZero) : ip->k / acc;
        CURVANA_NEXT;
    DoDivLV:
        acc = acc == 0 ? EvaluationError(kErrorDivisionByZero) : variables[ip->arg] / acc;
        CURVANA_NEXT;
    DoModCheck:
        if (TruncToInt32(acc) == 0) {
            acc = EvaluationError(kErrorDivisionByZero);
            CURVANA_JUMP(ip->arg);
        }
        CURVANA_NEXT;
    DoModS : {
        const int32_t b = TruncToInt32(*--sp);
        const int32_t a = TruncToInt32(acc);
        acc = static_cast<double>(static_cast<int64_t>(a) % static_cast<int64_t>(b));
        CURVANA_NEXT;
    }
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
    DoBitAndS : {
        const int32_t b = TruncToInt32(*--sp);
        acc = static_cast<double>(TruncToInt32(acc) & b);
        CURVANA_NEXT;
    }
    DoBitOrS : {
        const int32_t b = TruncToInt32(*--sp);
        acc = static_cast<double>(TruncToInt32(acc) | b);
        CURVANA_NEXT;
    }
    DoBitXorS : {
        const int32_t b = TruncToInt32(*--sp);
        acc = static_cast<double>(TruncToInt32(acc) ^ b);
        CURVANA_NEXT;
    }
    DoAndJump:
        if (acc == 0) {
            acc = 0.0;
            CURVANA_JUMP(ip->arg);
        } else {
            acc = *--sp;
        }
        CURVANA_NEXT;
    DoOrJump:
        if (acc != 0) {
            acc = 1.0;
            CURVANA_JUMP(ip->arg);
        } else {
            acc = *--sp;
        }
        CURVANA_NEXT;
    DoTruth:
        acc = acc == 0 ? 0.0 : 1.0;
        CURVANA_NEXT;
    DoJumpIfZero : {
        const bool takeThen = acc != 0;
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
