// Symbolic derivatives. Each rule builds exactly the tree written beside it, without simplifying
// or evaluating anything: the shape decides the printed result. u and w are the operands, du and
// dw their derivatives; every occurrence of u or w is a clone of its own, so the result shares no
// node with the source, and each derivative is built once and moved into its place. A failure
// anywhere destroys every partial result (they are all owned).

#include <cmath>

#include "engine/DepthGuard.h"
#include "engine/Functions.h"
#include "engine/Leaves.h"
#include "engine/Operators.h"
#include "engine/Tables.h"

namespace {

NodePtr Num(double value)
{
    return NewNode<Constant>(value);
}
NodePtr Fn(int code, NodePtr a)
{
    return Parser::MakeFunction(code, std::move(a));
}
NodePtr Op(int code, NodePtr a, NodePtr b)
{
    return Parser::MakeOperation(code, std::move(a), std::move(b));
}
NodePtr Add(NodePtr a, NodePtr b)
{
    return Op(kOperatorPlus, std::move(a), std::move(b));
}
NodePtr Sub(NodePtr a, NodePtr b)
{
    return Op(kOperatorMinus, std::move(a), std::move(b));
}
NodePtr Mul(NodePtr a, NodePtr b)
{
    return Op(kOperatorMultiply, std::move(a), std::move(b));
}
NodePtr Div(NodePtr a, NodePtr b)
{
    return Op(kOperatorDivide, std::move(a), std::move(b));
}
NodePtr Pow(NodePtr a, NodePtr b)
{
    return Op(kOperatorPower, std::move(a), std::move(b));
}
NodePtr Neg(NodePtr a)
{
    return Fn(kFunctionNeg, std::move(a));
}
NodePtr Squared(NodePtr a)
{
    return Pow(std::move(a), Num(2));
}

NodePtr CloneOf(const Parser* node)
{
    DepthGuard guard;
    return node->Clone();
}

NodePtr DerivativeOf(const Parser* node, const char* variable)
{
    DepthGuard guard;
    return node->Derive(variable);
}

} // namespace

// ---- Operators: left derivative first, then right ----

NodePtr PlusOperator::Derive(const char* v) const
{
    NodePtr du = DerivativeOf(left, v);
    NodePtr dw = DerivativeOf(right, v);
    return Add(std::move(du), std::move(dw));
}

NodePtr MinusOperator::Derive(const char* v) const
{
    NodePtr du = DerivativeOf(left, v);
    NodePtr dw = DerivativeOf(right, v);
    return Sub(std::move(du), std::move(dw));
}

// (du * w) + (u * dw)
NodePtr MultiplyOperator::Derive(const char* v) const
{
    NodePtr du = DerivativeOf(left, v);
    NodePtr dw = DerivativeOf(right, v);
    NodePtr a = Mul(std::move(du), CloneOf(right));
    NodePtr b = Mul(CloneOf(left), std::move(dw));
    return Add(std::move(a), std::move(b));
}

// ((du * w) - (u * dw)) / (w ^ 2)
NodePtr DivideOperator::Derive(const char* v) const
{
    NodePtr du = DerivativeOf(left, v);
    NodePtr dw = DerivativeOf(right, v);
    NodePtr a = Mul(std::move(du), CloneOf(right));
    NodePtr b = Mul(CloneOf(left), std::move(dw));
    NodePtr numerator = Sub(std::move(a), std::move(b));
    return Div(std::move(numerator), Squared(CloneOf(right)));
}

// (du * (w * (u ^ (w - 1)))) + ((u ^ w) * (dw * LN(u))), for every power, numeric exponents too.
NodePtr PowerOperator::Derive(const char* v) const
{
    // du and dw are fresh trees used once: they are moved in, never copied, so that a power
    // costs the size of what it builds and not that of every derivative below it again.
    NodePtr du = DerivativeOf(left, v);
    NodePtr dw = DerivativeOf(right, v);
    NodePtr power = Pow(CloneOf(left), Sub(CloneOf(right), Num(1)));
    NodePtr first = Mul(std::move(du), Mul(CloneOf(right), std::move(power)));
    NodePtr second = Mul(
        Pow(CloneOf(left), CloneOf(right)), Mul(std::move(dw), Fn(kFunctionLn, CloneOf(left))));
    return Add(std::move(first), std::move(second));
}

// c ? da : db; the condition is cloned, not derived.
NodePtr IfOperator::Derive(const char* v) const
{
    NodePtr branches = DerivativeOf(right, v);
    NodePtr condition = CloneOf(left);
    return Op(kOperatorIf, std::move(condition), std::move(branches));
}

NodePtr ThenElseOperator::Derive(const char* v) const
{
    NodePtr da = DerivativeOf(left, v);
    NodePtr db = DerivativeOf(right, v);
    return Op(kOperatorThenElse, std::move(da), std::move(db));
}

// ---- Functions: the outer derivative at u times du, in the operand order shown ----

NodePtr FunctionParser::Derive(const char* v) const
{
    switch (static_cast<FunctionCode>(GetTypeCode())) {
    case kFunctionLn: { // du / u
        NodePtr du = DeriveOperand(v);
        return Div(std::move(du), CloneOperand());
    }
    case kFunctionLog: { // du / (u * ln 10)
        NodePtr du = DeriveOperand(v);
        return Div(std::move(du), Mul(CloneOperand(), Num(std::log(10.0))));
    }
    case kFunctionLb: { // du / (u * ln 2)
        NodePtr du = DeriveOperand(v);
        return Div(std::move(du), Mul(CloneOperand(), Num(std::log(2.0))));
    }
    case kFunctionExp: { // EXP(u) * du
        NodePtr du = DeriveOperand(v);
        return Mul(Fn(kFunctionExp, CloneOperand()), std::move(du));
    }
    case kFunctionSqrt: { // du / (SQRT(u) * 2)
        NodePtr du = DeriveOperand(v);
        return Div(std::move(du), Mul(Fn(kFunctionSqrt, CloneOperand()), Num(2)));
    }
    case kFunctionAbs: { // du * SGN(u)
        NodePtr du = DeriveOperand(v);
        return Mul(std::move(du), Fn(kFunctionSgn, CloneOperand()));
    }
    case kFunctionNeg: { // NEG(du)
        return Neg(DeriveOperand(v));
    }
    case kFunctionSin: { // du * COS(u)
        NodePtr du = DeriveOperand(v);
        return Mul(std::move(du), Fn(kFunctionCos, CloneOperand()));
    }
    case kFunctionCos: { // du * NEG(SIN(u))
        NodePtr du = DeriveOperand(v);
        return Mul(std::move(du), Neg(Fn(kFunctionSin, CloneOperand())));
    }
    case kFunctionTan: { // du * (SEC(u) ^ 2)
        NodePtr du = DeriveOperand(v);
        return Mul(std::move(du), Squared(Fn(kFunctionSec, CloneOperand())));
    }
    case kFunctionSec: { // (du * SEC(u)) * TAN(u)
        NodePtr du = DeriveOperand(v);
        NodePtr a = Mul(std::move(du), Fn(kFunctionSec, CloneOperand()));
        return Mul(std::move(a), Fn(kFunctionTan, CloneOperand()));
    }
    case kFunctionCsc: { // NEG((du * CSC(u)) * COT(u))
        NodePtr du = DeriveOperand(v);
        NodePtr a = Mul(std::move(du), Fn(kFunctionCsc, CloneOperand()));
        return Neg(Mul(std::move(a), Fn(kFunctionCot, CloneOperand())));
    }
    case kFunctionCot: { // NEG(du * (CSC(u) ^ 2))
        NodePtr du = DeriveOperand(v);
        return Neg(Mul(std::move(du), Squared(Fn(kFunctionCsc, CloneOperand()))));
    }
    case kFunctionAsin: { // du / SQRT(1 - (u ^ 2))
        NodePtr du = DeriveOperand(v);
        return Div(std::move(du), Fn(kFunctionSqrt, Sub(Num(1), Squared(CloneOperand()))));
    }
    case kFunctionAcos: { // NEG(du) / SQRT(1 - (u ^ 2))
        NodePtr du = DeriveOperand(v);
        return Div(Neg(std::move(du)), Fn(kFunctionSqrt, Sub(Num(1), Squared(CloneOperand()))));
    }
    case kFunctionAtan: { // du / (1 + (u ^ 2))
        NodePtr du = DeriveOperand(v);
        return Div(std::move(du), Add(Num(1), Squared(CloneOperand())));
    }
    // ASEC and ACSC are monotonic on each side of their gap, so the slope divides by |u|.
    case kFunctionAsec: { // du / (ABS(u) * SQRT((u ^ 2) - 1))
        NodePtr du = DeriveOperand(v);
        NodePtr root = Fn(kFunctionSqrt, Sub(Squared(CloneOperand()), Num(1)));
        return Div(std::move(du), Mul(Fn(kFunctionAbs, CloneOperand()), std::move(root)));
    }
    case kFunctionAcsc: { // NEG(du) / (ABS(u) * SQRT((u ^ 2) - 1))
        NodePtr du = DeriveOperand(v);
        NodePtr root = Fn(kFunctionSqrt, Sub(Squared(CloneOperand()), Num(1)));
        return Div(Neg(std::move(du)), Mul(Fn(kFunctionAbs, CloneOperand()), std::move(root)));
    }
    case kFunctionAcot: { // NEG(du) / ((u ^ 2) + 1)
        NodePtr du = DeriveOperand(v);
        return Div(Neg(std::move(du)), Add(Squared(CloneOperand()), Num(1)));
    }
    case kFunctionSinh: { // du * COSH(u)
        NodePtr du = DeriveOperand(v);
        return Mul(std::move(du), Fn(kFunctionCosh, CloneOperand()));
    }
    case kFunctionCosh: { // du * SINH(u)
        NodePtr du = DeriveOperand(v);
        return Mul(std::move(du), Fn(kFunctionSinh, CloneOperand()));
    }
    case kFunctionTanh: { // du * (SECH(u) ^ 2)
        NodePtr du = DeriveOperand(v);
        return Mul(std::move(du), Squared(Fn(kFunctionSech, CloneOperand())));
    }
    case kFunctionSech: { // NEG((du * SECH(u)) * TANH(u))
        NodePtr du = DeriveOperand(v);
        NodePtr a = Mul(std::move(du), Fn(kFunctionSech, CloneOperand()));
        return Neg(Mul(std::move(a), Fn(kFunctionTanh, CloneOperand())));
    }
    case kFunctionCsch: { // NEG((du * CSCH(u)) * COTH(u))
        NodePtr du = DeriveOperand(v);
        NodePtr a = Mul(std::move(du), Fn(kFunctionCsch, CloneOperand()));
        return Neg(Mul(std::move(a), Fn(kFunctionCoth, CloneOperand())));
    }
    case kFunctionCoth: { // NEG(du) * (CSCH(u) ^ 2)
        NodePtr du = DeriveOperand(v);
        return Mul(Neg(std::move(du)), Squared(Fn(kFunctionCsch, CloneOperand())));
    }
    case kFunctionAsinh: { // du / SQRT(1 + (u ^ 2))
        NodePtr du = DeriveOperand(v);
        return Div(std::move(du), Fn(kFunctionSqrt, Add(Num(1), Squared(CloneOperand()))));
    }
    case kFunctionAcosh: { // du / SQRT((u ^ 2) - 1)
        NodePtr du = DeriveOperand(v);
        return Div(std::move(du), Fn(kFunctionSqrt, Sub(Squared(CloneOperand()), Num(1))));
    }
    case kFunctionAtanh: { // du / (1 - (u ^ 2))
        NodePtr du = DeriveOperand(v);
        return Div(std::move(du), Sub(Num(1), Squared(CloneOperand())));
    }
    case kFunctionAsech: { // NEG(du / (u * SQRT(1 - (u ^ 2))))
        NodePtr du = DeriveOperand(v);
        NodePtr root = Fn(kFunctionSqrt, Sub(Num(1), Squared(CloneOperand())));
        return Neg(Div(std::move(du), Mul(CloneOperand(), std::move(root))));
    }
    // ACSCH divides by |u| and is even, so its slope has the sign of -u.
    case kFunctionAcsch: { // NEG(du / (u * SQRT(1 + (u ^ 2))))
        NodePtr du = DeriveOperand(v);
        NodePtr root = Fn(kFunctionSqrt, Add(Num(1), Squared(CloneOperand())));
        return Neg(Div(std::move(du), Mul(CloneOperand(), std::move(root))));
    }
    case kFunctionAcoth: { // du / (1 - (u ^ 2))
        NodePtr du = DeriveOperand(v);
        return Div(std::move(du), Sub(Num(1), Squared(CloneOperand())));
    }
    // Piecewise constant: the operand is not derived at all, so these never fail.
    case kFunctionCeil:
    case kFunctionFloor:
    case kFunctionSgn:
        return Num(0);
    // The logical and bitwise prefix operators have none.
    case kFunctionNot:
    case kFunctionComplement:
    case kFunctionNone:
    case kFunctionRand:
    case kFunctionUnknownName:
        break;
    }
    ::RaiseError(kErrorNoDerivative, -1, -1);
}
