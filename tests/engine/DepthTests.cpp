// Nesting too deep for the recursion must end in an engine error, never in a stack overflow,
// whether the depth comes from text or from trees built by the factories.

#include <functional>
#include <optional>

#include <pthread.h>

#include "engine/DepthGuard.h"
#include "engine/Leaves.h"
#include "tests/engine/EngineTestSupport.h"

namespace {

std::string Repeat(const std::string& s, int n)
{
    std::string out;
    out.reserve(s.size() * static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        out += s;
    return out;
}

struct DeepCase {
    const char* name;
    std::string formula;
    int code;
};

void PrintTo(const DeepCase& c, std::ostream* os)
{
    *os << c.name;
}

class DeepFormula : public ::testing::TestWithParam<DeepCase> { };

TEST_P(DeepFormula, RaisesAnEngineError)
{
    const std::optional<ParseErrorMsg> e = BuildError(GetParam().formula.c_str());
    ASSERT_TRUE(e.has_value()) << GetParam().name;
    EXPECT_EQ(e->code, GetParam().code) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(Engine, DeepFormula,
    ::testing::Values(
        DeepCase {"parentheses", Repeat("(", 100000) + "x" + Repeat(")", 100000), kErrorTooDeep},
        DeepCase {"nots", Repeat("!(", 50000) + "x" + Repeat(")", 50000), kErrorTooDeep},
        DeepCase {"bare nots", Repeat("!", 50000) + "x", kErrorSyntax},
        DeepCase {"signs", Repeat("-", 50000) + "x", kErrorSyntax},
        DeepCase {
            "negated calls", Repeat("-sin(", 20000) + "x" + Repeat(")", 20000), kErrorTooDeep},
        DeepCase {"calls", Repeat("sin(", 20000) + "x" + Repeat(")", 20000), kErrorTooDeep},
        DeepCase {"powers", Repeat("x^", 50000) + "x", kErrorTooDeep},
        DeepCase {"sum", Repeat("x+", 99999) + "x", kErrorTooDeep}),
    [](const auto& info) {
        std::string name = info.param.name;
        for (char& c : name)
            if (c == ' ')
                c = '_';
        return name;
    });

TEST(Depth, FormulasWithinTheLimitStillWork)
{
    const std::string nested = Repeat("(", 900) + "x" + Repeat(")", 900);
    EXPECT_EQ(FunctionInterpreter(nested.c_str()).ToText(), "= x");

    const std::string sum = Repeat("x+", 499) + "x";
    FunctionInterpreter terms(sum.c_str());
    terms.SetVariableValueAt(0, 2);
    EXPECT_EQ(terms.Evaluate(), 1000);

    // The derivative of a deep formula is deeper still, and must still print.
    const std::string calls = Repeat("sin(", 300) + "x" + Repeat(")", 300);
    FunctionInterpreter chain(calls.c_str());
    NodePtr d = chain.Derive("x");
    d->Simplify();
    EXPECT_FALSE(d->ToText().empty());
}

// A left-leaning sum of the given depth, built by the factories without any recursion.
NodePtr DeepSum(int depth)
{
    NodePtr tree = std::make_unique<Variable>("x", nullptr);
    for (int i = 0; i < depth; ++i)
        tree = Parser::MakeOperation(3, std::move(tree), std::make_unique<Constant>(1));
    return tree;
}

int CodeOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const ParseErrorMsg& e) {
        return e.code;
    }
    return -1;
}

TEST(Depth, FactoryBuiltTreesRaiseInsteadOfOverflowing)
{
    NodePtr tree = DeepSum(200000);
    const Parser* t = tree.get();
    EXPECT_EQ(CodeOf([t] { t->Derive("x"); }), kErrorTooDeep);
    EXPECT_EQ(CodeOf([t] { t->Clone(); }), kErrorTooDeep);
    EXPECT_EQ(CodeOf([t] { t->ToText(); }), kErrorTooDeep);
    EXPECT_EQ(CodeOf([t] { t->Evaluate(); }), kErrorTooDeep);
    EXPECT_EQ(CodeOf([t] { t->IsConstant(); }), kErrorTooDeep);
    EXPECT_EQ(CodeOf([t] { t->IsDifferent(t); }), kErrorTooDeep);
    EXPECT_EQ(CodeOf([&tree] { tree->Simplify(); }), kErrorTooDeep);
    EXPECT_EQ(CodeOf([&tree] { tree->Bind(nullptr); }), kErrorTooDeep);
    // Destruction of any depth needs no recursion.
    tree.reset();
    NodePtr functions = std::make_unique<Variable>("x", nullptr);
    for (int i = 0; i < 300000; ++i)
        functions = Parser::MakeFunction(8, std::move(functions));
    EXPECT_EQ(CodeOf([&functions] { functions->Simplify(); }), kErrorTooDeep);
    functions.reset();
}

TEST(Depth, ASmallStackIsWatchedToo)
{
    // On a thread with a small stack the guard stops the walk long before the level limit.
    std::optional<int> code;
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, 1024 * 1024);
    pthread_t thread;
    struct Job {
        std::optional<int>* code;
    } job{&code};
    ASSERT_EQ(pthread_create(
                  &thread, &attributes,
                  [](void* arg) -> void* {
                      NodePtr tree = DeepSum(kMaxTreeDepth - 10);
                      *static_cast<Job*>(arg)->code = CodeOf([&tree] { tree->ToText(); });
                      return nullptr;
                  },
                  &job),
              0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attributes);
    EXPECT_EQ(code, kErrorTooDeep);
}

TEST(Depth, AGuardedFailureLeavesTheCounterBalanced)
{
    NodePtr tree = DeepSum(kMaxTreeDepth + 10);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(CodeOf([&tree] { tree->ToText(); }), kErrorTooDeep);
    // After the failures, an ordinary deep tree still prints.
    NodePtr fine = DeepSum(1000);
    EXPECT_NO_THROW(fine->ToText());
}

} // namespace
