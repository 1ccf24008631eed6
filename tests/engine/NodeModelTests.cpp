// The node model: factories, cloning, structural comparison, printing formats, error texts.

#include <cmath>
#include <functional>

#include "engine/Functions.h"
#include "engine/Leaves.h"
#include "engine/Operators.h"
#include "engine/Tables.h"
#include "tests/engine/EngineTestSupport.h"

namespace {

NodePtr Var(const char* name)
{
    return std::make_unique<Variable>(name, nullptr);
}
NodePtr Num(double v)
{
    return std::make_unique<Constant>(v);
}

int ErrorCodeOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const ParseErrorMsg& e) {
        return e.code;
    }
    return -1;
}

TEST(NodeModel, CloneKeepsTextAndUnbindsVariables)
{
    FunctionInterpreter f("sin(x)+2");
    NodePtr copy = f.CloneTree();
    EXPECT_EQ(copy->ToText(), "SIN( x ) + 2");
    EXPECT_EQ(copy->parent, nullptr);
    const auto* sum = dynamic_cast<const PlusOperator*>(copy.get());
    ASSERT_NE(sum, nullptr);
    const auto* sine = dynamic_cast<const SinFunction*>(sum->GetLeft());
    ASSERT_NE(sine, nullptr);
    const auto* x = dynamic_cast<const Variable*>(sine->GetOperand());
    ASSERT_NE(x, nullptr);
    EXPECT_EQ(x->GetInterpreter(), nullptr);
    EXPECT_EQ(x->GetIndex(), -1);
    EXPECT_EQ(sine->GetOperand()->parent, sine);
}

TEST(NodeModel, FactoriesCheckTheirOperandsAndCodes)
{
    EXPECT_EQ(ErrorCodeOf([] { Parser::MakeOperation(4, Var("a"), nullptr); }), 25);
    EXPECT_EQ(ErrorCodeOf([] { Parser::MakeOperation(1, Var("a"), Var("b")); }), 30);
    EXPECT_EQ(ErrorCodeOf([] { Parser::MakeOperation(0, Var("a"), Var("b")); }), 30);
    EXPECT_EQ(ErrorCodeOf([] { Parser::MakeOperation(24, Var("a"), Var("b")); }), 30);
    EXPECT_EQ(ErrorCodeOf([] { Parser::MakeOperation(-3, Var("a"), Var("b")); }), 30);
    EXPECT_EQ(ErrorCodeOf([] { Parser::MakeOperation(2, nullptr, nullptr); }), 25);
    EXPECT_EQ(ErrorCodeOf([] { Parser::MakeOperation(23, Var("c"), Var("a")); }), 32);
    // The first code past the table.
    EXPECT_EQ(ErrorCodeOf([] { Parser::MakeFunction(kFunctionCount, Var("a")); }), 29);
    EXPECT_EQ(ErrorCodeOf([] { Parser::MakeFunction(0, Var("a")); }), 29);
    EXPECT_EQ(ErrorCodeOf([] { Parser::MakeFunction(8, nullptr); }), 25);

    NodePtr neg = Parser::MakeOperation(2, nullptr, Var("x"));
    EXPECT_NE(dynamic_cast<NegFunction*>(neg.get()), nullptr);
    EXPECT_EQ(neg->ToText(), "NEG( x )");
    EXPECT_EQ(Parser::MakeOperation(17, nullptr, Var("x"))->ToText(), "!( x )");
    EXPECT_EQ(Parser::MakeOperation(21, Var("ignored"), Var("x"))->ToText(), "~( x )");
    NodePtr draw = Parser::MakeFunction(7, nullptr);
    EXPECT_EQ(draw->ToText(), "RAND(  )");
}

TEST(NodeModel, EveryFunctionCodeBuildsItsOwnClass)
{
    for (int code = 1; code <= 37; ++code) {
        NodePtr node = Parser::MakeFunction(code, Var("x"));
        if (code == 7) {
            EXPECT_EQ(node->ToText(), "RAND( x )");
            continue;
        }
        const auto* f = dynamic_cast<const FunctionParser*>(node.get());
        ASSERT_NE(f, nullptr) << code;
        EXPECT_EQ(f->GetTypeCode(), code);
        EXPECT_EQ(node->ToText(), std::string(kFunctionNames[code]) + "( x )");
        EXPECT_EQ(node->GetPrecedence(), 13);
        EXPECT_EQ(node->Clone()->ToText(), node->ToText());
    }
    for (int code : {3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 18, 19, 20, 22}) {
        NodePtr node = Parser::MakeOperation(code, Var("a"), Var("b"));
        const auto* op = dynamic_cast<const OperationParser*>(node.get());
        ASSERT_NE(op, nullptr) << code;
        EXPECT_EQ(op->GetTypeCode(), code);
        EXPECT_EQ(node->GetPrecedence(), kOperators[code].precedence);
        EXPECT_EQ(node->ToText(), std::string("a ") + kOperators[code].symbol + " b");
    }
}

TEST(NodeModel, StructuralComparisonNeverLooksThroughAlgebra)
{
    FunctionInterpreter a("x+1"), b("x+1"), c("1+x");
    EXPECT_FALSE(a.IsDifferentFrom(b));
    EXPECT_TRUE(a.IsEqualTo(b));
    EXPECT_TRUE(a.IsDifferentFrom(c));
    NodePtr p = Parser::MakeOperation(5, Num(2), Num(3));
    NodePtr q = Parser::MakeOperation(5, Num(3), Num(2));
    EXPECT_FALSE(p->IsDifferent(q.get())); // both constant with equal values
    EXPECT_TRUE(Var("x")->IsDifferent(Var("X").get()));
    EXPECT_FALSE(Var("")->IsDifferent(Var("").get()));
    EXPECT_TRUE(Num(std::nan(""))->IsDifferent(Num(std::nan("")).get()));
    EXPECT_TRUE(Num(1)->IsDifferent(Var("x").get()));
    NodePtr s1 = Parser::MakeFunction(8, Var("x"));
    NodePtr s2 = Parser::MakeFunction(9, Var("x"));
    EXPECT_TRUE(s1->IsDifferent(s2.get()));
    NodePtr r = Parser::MakeFunction(7, Var("x"));
    EXPECT_TRUE(r->IsDifferent(r.get()));
    EXPECT_FALSE(r->IsEqual(r.get()));
    FunctionInterpreter empty1("x"), empty2("y");
    EXPECT_TRUE(empty1.IsDifferentFrom(empty2));
}

TEST(NodeModel, LeafTextFormats)
{
    EXPECT_EQ(Num(0.5)->ToText(), "0.5");
    EXPECT_EQ(Num(3.14159265)->ToText(), "3.14");
    EXPECT_EQ(Num(12345)->ToText(), "1.23e+04");
    EXPECT_EQ(Num(-2)->ToText(), "-2");
    EXPECT_EQ(Var("")->ToText(), "variable name???");
    EXPECT_EQ(Parser().ToText(), "NULL PARSER");
}

TEST(NodeModel, VariableDerivativeComparesNamesExactly)
{
    EXPECT_EQ(Var("X")->Derive("x")->ToText(), "0");
    EXPECT_EQ(Var("x")->Derive("x")->ToText(), "1");
    EXPECT_EQ(ErrorCodeOf([] { Var("")->Derive("x"); }), 25);
    EXPECT_EQ(ErrorCodeOf([] { Var("x")->Derive(nullptr); }), 25);
    EXPECT_EQ(ErrorCodeOf([] { Parser().Derive("x"); }), 10);
    EXPECT_EQ(ErrorCodeOf([] { Parser().Clone(); }), 10);
}

TEST(NodeModel, SimplifyNeverRewritesTheRootOfAFreeTree)
{
    NodePtr sum = Parser::MakeOperation(3, Var("x"), Num(0));
    sum->Simplify();
    EXPECT_EQ(sum->ToText(), "x + 0");
    NodePtr nested = Parser::MakeOperation(3, Parser::MakeOperation(5, Num(1), Var("x")), Num(0));
    nested->Simplify();
    EXPECT_EQ(nested->ToText(), "x + 0");
}

TEST(NodeModel, ReplaceChildOnlyTakesItsOwnOperands)
{
    NodePtr sum = Parser::MakeOperation(3, Var("a"), Var("b"));
    NodePtr stranger = Var("z");
    NodePtr replacement = Var("c");
    EXPECT_FALSE(sum->ReplaceChild(stranger.get(), std::move(replacement)));
    ASSERT_NE(replacement, nullptr); // left with the caller
    const Parser* right = static_cast<OperationParser*>(sum.get())->GetRight();
    EXPECT_TRUE(sum->ReplaceChild(right, std::move(replacement)));
    EXPECT_EQ(sum->ToText(), "a + c");
    EXPECT_EQ(static_cast<OperationParser*>(sum.get())->GetRight()->parent, sum.get());

    // The right operand of a conditional stays a ":" node.
    NodePtr conditional
        = Parser::MakeOperation(23, Var("c"), Parser::MakeOperation(22, Var("a"), Var("b")));
    const Parser* branches = static_cast<OperationParser*>(conditional.get())->GetRight();
    EXPECT_FALSE(conditional->ReplaceChild(branches, Var("d")));
    EXPECT_EQ(conditional->ToText(), "c ? a : b");
}

TEST(NodeModel, ConstnessFollowsAReplacementDeepBelow)
{
    // Simplified, every level above x is known not to be constant; a clone keeps that.
    FunctionInterpreter f("sin(x * y) + 1");
    NodePtr tree = f.CloneTree();
    ASSERT_FALSE(tree->IsConstant());
    auto* sum = static_cast<OperationParser*>(tree.get());
    auto* sine = const_cast<FunctionParser*>(static_cast<const FunctionParser*>(sum->GetLeft()));
    auto* product
        = const_cast<OperationParser*>(static_cast<const OperationParser*>(sine->GetOperand()));
    // 0 * y is constant, and so is everything above it now.
    ASSERT_TRUE(product->ReplaceChild(product->GetLeft(), Num(0)));
    EXPECT_TRUE(product->IsConstant());
    EXPECT_TRUE(sine->IsConstant());
    EXPECT_TRUE(tree->IsConstant());
    tree->Bind(&f);
    EXPECT_DOUBLE_EQ(tree->Evaluate(), 1);
    // And back: a variable in place of the 0 makes the sum depend on it again.
    ASSERT_TRUE(product->ReplaceChild(product->GetLeft(), Var("z")));
    EXPECT_FALSE(tree->IsConstant());
}

TEST(NodeModel, SimplifyingAgainSeesAReplacedOperand)
{
    FunctionInterpreter f("x * y + x");
    NodePtr tree = f.CloneTree();
    auto* sum = static_cast<OperationParser*>(tree.get());
    auto* product
        = const_cast<OperationParser*>(static_cast<const OperationParser*>(sum->GetLeft()));
    ASSERT_TRUE(product->ReplaceChild(product->GetRight(), Num(0)));
    // Under a parent, the sum's left operand now folds away: x * 0 is 0, and 0 + x is x.
    NodePtr wrapped = Parser::MakeFunction(kFunctionNeg, std::move(tree));
    wrapped->Simplify();
    EXPECT_EQ(wrapped->ToText(), "NEG( x )");
}

struct ErrorTextCase {
    ParseErrorMsg error;
    const char* text;
};

void PrintTo(const ErrorTextCase& c, std::ostream* os)
{
    *os << c.error.code << ' ' << c.error.from << ' ' << c.error.to;
}

class ErrorText : public ::testing::TestWithParam<ErrorTextCase> { };

TEST_P(ErrorText, MatchesTheTable)
{
    EXPECT_EQ(ParseErrorText(GetParam().error), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Engine, ErrorText,
    ::testing::Values(ErrorTextCase {{0, -1, -1}, "\nError: Division by zero. \n\n"},
        ErrorTextCase {{27, 0, 0}, "^\nSyntax Error.\n\n"},
        ErrorTextCase {{26, 1, 1}, " ^\nSyntax Error. Operator anticipated. \n\n"},
        ErrorTextCase {{28, 1, 1}, " ^\nError: Unbalanced parenthesis.\n\n"},
        ErrorTextCase {{30, 2, 2}, "  ^\nError: Unknown Operator type.\n\n"},
        ErrorTextCase {{29, 1, 0}, "^\nError: Unknown Function type.\n\n"},
        ErrorTextCase {{29, 7, 2}, "  ^\nError: Unknown Function type.\n\n"},
        ErrorTextCase {{25, 2, 5}, "  ^--^\nSyntax Error. Empty Expression. \n\n"},
        ErrorTextCase {{25, 0, -1}, "^\nSyntax Error. Empty Expression. \n\n"},
        ErrorTextCase {{31, -1, -1}, "^\nError: Missing ? in ?: operator.\n\n"},
        ErrorTextCase {{32, 4, 4}, "    ^\nError: Missing : in ?: operator.\n\n"},
        ErrorTextCase {{20, -1, -1}, "Unknown Error Type!\n\n"},
        ErrorTextCase {{19, -1, -1}, "Unknown Error Type!\n\n"},
        ErrorTextCase {{-1, -1, -1}, "Unknown Error Type!\n\n"},
        ErrorTextCase {{99, 0, 0}, "Unknown Error Type!\n\n"},
        ErrorTextCase {{33, -1, -1}, "\nError: Lb of a negative number is not allowed.\n\n"},
        ErrorTextCase {{4, 0, 0}, "\nError: Out of Memory.\n"},
        ErrorTextCase {{11, -1, -1}, "\nError: Tangent of (2n+1)*\xB9/2 is infinite.\n\n"},
        ErrorTextCase {{14, -1, -1}, "\nError: Cosecant of n*\xB9/2 is infinite.\n\n"},
        ErrorTextCase {{24, -1, -1}, "\nError: Unknown variable.\n\n"},
        ErrorTextCase {{34, 1, 3}, " ^-^\nError: Expression too deeply nested.\n\n"},
        ErrorTextCase {{34, -1, -1}, "Error: Expression too deeply nested.\n\n"}));

} // namespace
