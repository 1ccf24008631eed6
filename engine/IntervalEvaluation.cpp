// The interval evaluation of every node: the bounds of its values over a range of one variable,
// with the engine's own semantics. The function and operator rules are in IntervalRules.cpp;
// here the nodes walk the tree, keeping the order in which the point evaluator would skip an
// operand (a short circuit, a branch not taken, a dividend behind a zero divisor).

#include <bit>
#include <cmath>
#include <compare>
#include <map>

#include "engine/DepthGuard.h"
#include "engine/FunctionInterpreter.h"
#include "engine/Functions.h"
#include "engine/IntervalRules.h"
#include "engine/Leaves.h"
#include "engine/Operators.h"

using interval::Interval;

namespace {

IntervalBounds Walk(const Parser* node, const IntervalInput& input)
{
    IntervalMemo::Entry* entry = nullptr;
    if (input.memo != nullptr && node->intervalSlot >= 0) {
        entry = &input.memo->entries[static_cast<size_t>(node->intervalSlot)];
        if (entry->input == input.number)
            return entry->bounds;
    }
    if (input.work != nullptr)
        ++*input.work;
    DepthGuard guard;
    IntervalBounds b = node->EvaluateInterval(input);
    if (entry != nullptr) {
        entry->input = input.number;
        entry->bounds = b;
    }
    return b;
}

// Whether node is the variable the input runs over.
bool IsInputVariable(const Parser* node, const IntervalInput& input)
{
    const Variable* v = node->AsVariable();
    return v != nullptr && input.owner != nullptr && v->GetInterpreter() == input.owner
        && v->GetIndex() == input.index;
}

// The ranges of the variable where a comparison of it with a fixed value holds and where it
// does not: "x > 2" splits x at 2. False when the condition is not such a comparison.
bool SplitByCondition(
    const Parser* condition, const IntervalInput& input, Interval& whenTrue, Interval& whenFalse)
{
    const auto* c = dynamic_cast<const OperationParser*>(condition);
    if (c == nullptr)
        return false;
    int code = c->GetTypeCode();
    const Parser* other = nullptr;
    if (IsInputVariable(c->GetLeft(), input)) {
        other = c->GetRight();
    } else if (IsInputVariable(c->GetRight(), input)) {
        other = c->GetLeft();
        // k < x is x > k.
        switch (code) {
        case kOperatorLess:
            code = kOperatorGreater;
            break;
        case kOperatorGreater:
            code = kOperatorLess;
            break;
        case kOperatorLessOrEqual:
            code = kOperatorGreaterOrEqual;
            break;
        case kOperatorGreaterOrEqual:
            code = kOperatorLessOrEqual;
            break;
        default:
            break;
        }
    } else {
        return false;
    }
    const IntervalBounds k = Walk(other, input);
    if (k.fails != Tri::Never || k.nan || !k.range.IsPoint())
        return false;
    const double v = k.range.lo;
    const Interval& x = input.x;
    const Interval below = interval::Intersect(x, {-interval::kInf, interval::NextDown(v)});
    const Interval atOrBelow = interval::Intersect(x, {-interval::kInf, v});
    const Interval above = interval::Intersect(x, {interval::NextUp(v), interval::kInf});
    const Interval atOrAbove = interval::Intersect(x, {v, interval::kInf});
    switch (code) {
    case kOperatorLess:
        whenTrue = below;
        whenFalse = atOrAbove;
        return true;
    case kOperatorLessOrEqual:
        whenTrue = atOrBelow;
        whenFalse = above;
        return true;
    case kOperatorGreater:
        whenTrue = above;
        whenFalse = atOrBelow;
        return true;
    case kOperatorGreaterOrEqual:
        whenTrue = atOrAbove;
        whenFalse = below;
        return true;
    default:
        return false;
    }
}

IntervalBounds WithInput(const Parser* node, const IntervalInput& input, const Interval& x)
{
    IntervalInput narrowed = input;
    narrowed.x = x;
    if (narrowed.memo != nullptr)
        narrowed.number = ++narrowed.memo->lastInput; // bounds over another range
    return Walk(node, narrowed);
}

} // namespace

IntervalBounds Parser::EvaluateInterval(const IntervalInput&) const
{
    IntervalBounds b;
    b.range = Interval::Entire();
    b.err = interval::kInf;
    b.nan = true;
    b.fails = Tri::Sometimes;
    b.continuous = false;
    return b;
}

IntervalBounds Constant::EvaluateInterval(const IntervalInput&) const
{
    return IntervalBounds::Point(value);
}

IntervalBounds Variable::EvaluateInterval(const IntervalInput& input) const
{
    if (IsInputVariable(this, input)) {
        IntervalBounds b;
        b.range = input.x;
        return b;
    }
    if (interpreter == nullptr)
        return IntervalBounds::Failing(); // an unbound variable always fails
    return IntervalBounds::Point(Evaluate());
}

IntervalBounds FunctionParser::EvaluateInterval(const IntervalInput& input) const
{
    return ApplyFunctionInterval(static_cast<FunctionCode>(GetTypeCode()), Walk(operand, input));
}

IntervalBounds RandomFunction::EvaluateInterval(const IntervalInput& input) const
{
    return RandomInterval(operand != nullptr ? Walk(operand, input) : IntervalBounds::Point(scale));
}

IntervalBounds OperationParser::EvaluateInterval(const IntervalInput& input) const
{
    const auto code = static_cast<OperatorCode>(GetTypeCode());
    switch (code) {
    case kOperatorPlus:
        return AddInterval(Walk(left, input), Walk(right, input));
    case kOperatorMinus:
        return SubInterval(Walk(left, input), Walk(right, input));
    case kOperatorMultiply:
        // x * x is the square of one value, not the product of two.
        if (IsInputVariable(left, input) && IsInputVariable(right, input))
            return SqrInterval(Walk(left, input));
        return MulInterval(Walk(left, input), Walk(right, input));
    case kOperatorDivide:
        return DivInterval(Walk(left, input), Walk(right, input));
    case kOperatorModulus:
        return ModInterval(Walk(left, input), Walk(right, input));
    case kOperatorPower:
        return PowInterval(Walk(left, input), Walk(right, input));
    case kOperatorLess:
    case kOperatorGreater:
    case kOperatorEqual:
    case kOperatorNotEqual:
    case kOperatorLessOrEqual:
    case kOperatorGreaterOrEqual:
        return CompareInterval(code, Walk(left, input), Walk(right, input));
    case kOperatorBitwiseAnd:
    case kOperatorBitwiseOr:
    case kOperatorBitwiseXor:
        return BitwiseInterval(code, Walk(left, input), Walk(right, input));
    case kOperatorAnd:
    case kOperatorOr: {
        // The left operand alone decides where it is 0 (for &&) or not 0 (for ||).
        const IntervalBounds a = Walk(left, input);
        if (a.fails == Tri::Always)
            return a;
        // A NaN left operand is not 0: it decides "||" and leaves "&&" to the right operand.
        const bool isAnd = code == kOperatorAnd;
        const bool onlyZero = a.range.lo == 0 && a.range.hi == 0 && !a.nan;
        const bool noZero = !a.range.Contains(0);
        const bool decides = isAnd ? onlyZero : noZero;
        const bool neverDecides = isAnd ? noZero : onlyZero;
        const IntervalBounds decided
            = IntervalBounds::Point(isAnd ? AndRule::kDecided : OrRule::kDecided);
        if (decides)
            return Worsen(decided, a);
        const IntervalBounds b = TruthInterval(Walk(right, input));
        if (neverDecides)
            return Worsen(b, a);
        return Worsen(JoinInterval(decided, b), a);
    }
    case kOperatorIf: {
        const auto* branches = dynamic_cast<const ThenElseOperator*>(right);
        if (branches == nullptr)
            return IntervalBounds::Failing();
        const IntervalBounds c = Walk(left, input);
        if (c.fails == Tri::Always)
            return c;
        Interval whenTrue;
        Interval whenFalse;
        if (SplitByCondition(left, input, whenTrue, whenFalse)) {
            // Each branch runs over the part of the range where it is taken.
            const bool taken = !whenTrue.IsEmpty();
            const bool other = !whenFalse.IsEmpty();
            if (taken && !other)
                return Worsen(WithInput(branches->GetLeft(), input, whenTrue), c);
            if (other && !taken)
                return Worsen(WithInput(branches->GetRight(), input, whenFalse), c);
            return Worsen(JoinInterval(WithInput(branches->GetLeft(), input, whenTrue),
                              WithInput(branches->GetRight(), input, whenFalse)),
                c);
        }
        // "c ? a : b" takes a where c is not 0, NaN included.
        const bool alwaysThen = !c.range.Contains(0);
        const bool alwaysElse = c.range.lo == 0 && c.range.hi == 0 && !c.nan;
        if (alwaysThen)
            return Worsen(Walk(branches->GetLeft(), input), c);
        if (alwaysElse)
            return Worsen(Walk(branches->GetRight(), input), c);
        return Worsen(
            JoinInterval(Walk(branches->GetLeft(), input), Walk(branches->GetRight(), input)), c);
    }
    case kOperatorThenElse: // a ":" without "?" always fails
    case kOperatorNone:
    case kOperatorPrefixPlus:
    case kOperatorPrefixMinus:
    case kOperatorNot:
    case kOperatorComplement:
        break;
    }
    return IntervalBounds::Failing();
}

namespace {

// Gives each node of a tree the slot of its bounds: one slot for all subtrees equal to it, told
// by their kind, code, operands' slots and value. A draw has a slot of its own.
struct SlotKey {
    int kind;
    int code;
    int a;
    int b;
    uint64_t bits;
    auto operator<=>(const SlotKey&) const = default;
};

class SlotTable {
public:
    int Assign(Parser* node)
    {
        DepthGuard guard;
        SlotKey key {0, 0, -1, -1, 0};
        if (const auto* c = dynamic_cast<const Constant*>(node)) {
            key = {1, 0, -1, -1, std::bit_cast<uint64_t>(c->value)};
        } else if (const Variable* v = node->AsVariable()) {
            key = {2, v->GetIndex(), -1, -1, reinterpret_cast<uintptr_t>(v->GetInterpreter())};
        } else if (auto* f = dynamic_cast<FunctionParser*>(node)) {
            key = {3, f->GetTypeCode(), Assign(const_cast<Parser*>(f->GetOperand())), -1, 0};
        } else if (auto* o = dynamic_cast<OperationParser*>(node)) {
            const int a = Assign(const_cast<Parser*>(o->GetLeft()));
            const int b = Assign(const_cast<Parser*>(o->GetRight()));
            key = {4, o->GetTypeCode(), a, b, 0};
        } else {
            if (auto* r = dynamic_cast<RandomFunction*>(node); r && r->GetOperand() != nullptr)
                Assign(const_cast<Parser*>(r->GetOperand()));
            node->intervalSlot = next_++;
            return node->intervalSlot;
        }
        const auto found = slots_.find(key);
        node->intervalSlot = found != slots_.end() ? found->second : (slots_[key] = next_++);
        return node->intervalSlot;
    }
    int Count() const { return next_; }

private:
    std::map<SlotKey, int> slots_;
    int next_ = 0;
};

} // namespace

IntervalBounds FunctionInterpreter::EvaluateInterval(const IntervalInput& input) const
{
    if (root == nullptr)
        return IntervalBounds::Failing();
    auto* self = const_cast<FunctionInterpreter*>(this);
    if (!intervalSlotsValid || !intervalMemo) {
        SlotTable table;
        table.Assign(root);
        if (!self->intervalMemo)
            self->intervalMemo = std::make_unique<IntervalMemo>();
        self->intervalMemo->entries.assign(static_cast<size_t>(table.Count()), {});
        intervalSlotsValid = true;
    }
    IntervalInput mine = input;
    mine.memo = self->intervalMemo.get();
    mine.number = ++mine.memo->lastInput;
    return Walk(root, mine);
}
