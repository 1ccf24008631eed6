// The node factories, by type code: read by the parser, by Clone and by the derivative rules alike.
// The functions' come from their rows.

#include <array>

#include "engine/Functions.h"
#include "engine/Operators.h"
#include "engine/Tables.h"

namespace {

template <class T> NodePtr FunctionFromNode(NodePtr operand)
{
    return NewNode<T>(std::move(operand));
}
template <class T> NodePtr FunctionFromText(TextRange* argument)
{
    return NewNode<T>(argument);
}

struct FunctionFactory {
    NodePtr (*fromNode)(NodePtr);
    NodePtr (*fromText)(TextRange*); // null: not callable by name
};

template <class T> constexpr FunctionFactory Callable()
{
    return {FunctionFromNode<T>, FunctionFromText<T>};
}
template <class T> constexpr FunctionFactory PrefixOnly()
{
    return {FunctionFromNode<T>, nullptr};
}

template <FunctionCall call, class T> constexpr FunctionFactory FactoryOf()
{
    return call == FunctionCall::Named ? Callable<T>() : PrefixOnly<T>();
}

constexpr std::array<FunctionFactory, kFunctionCount> FunctionFactories()
{
    std::array<FunctionFactory, kFunctionCount> factories {};
    factories[kFunctionRand] = Callable<RandomFunction>();
#define CURVANA_FUNCTION_FACTORY(Stem, code, name, Class, call, ...)                               \
    factories[code] = FactoryOf<FunctionCall::call, Class>();
    CURVANA_FUNCTIONS(CURVANA_FUNCTION_FACTORY)
#undef CURVANA_FUNCTION_FACTORY
    return factories;
}

constexpr std::array<FunctionFactory, kFunctionCount> kFunctionFactories = FunctionFactories();

template <class T> NodePtr OperationFromNodes(NodePtr a, NodePtr b)
{
    return NewNode<T>(std::move(a), std::move(b));
}
template <class T> NodePtr OperationFromTexts(TextRange* a, TextRange* b)
{
    return NewNode<T>(a, b);
}

struct OperatorFactory {
    NodePtr (*fromNodes)(NodePtr, NodePtr);
    NodePtr (*fromTexts)(TextRange*, TextRange*);
    int prefixFunction; // for the prefix operators: the function code of the node they build
};

template <class T> constexpr OperatorFactory Binary()
{
    return {OperationFromNodes<T>, OperationFromTexts<T>, 0};
}
constexpr OperatorFactory Prefix(int functionCode)
{
    return {nullptr, nullptr, functionCode};
}
constexpr OperatorFactory None()
{
    return {nullptr, nullptr, 0};
}

constexpr std::array<OperatorFactory, kOperatorCount> kOperatorFactories = {{
    None(),
    None(), // prefix plus is never an operator
    Prefix(kFunctionNeg),
    Binary<PlusOperator>(),
    Binary<MinusOperator>(),
    Binary<MultiplyOperator>(),
    Binary<DivideOperator>(),
    Binary<ModulusOperator>(),
    Binary<PowerOperator>(),
    Binary<IsLessThanOperator>(),
    Binary<IsGreaterThanOperator>(),
    Binary<IsEqualToOperator>(),
    Binary<IsNotEqualToOperator>(),
    Binary<IsLessThanOrEqualToOperator>(),
    Binary<IsGreaterThanOrEqualToOperator>(),
    Binary<AndOperator>(),
    Binary<OrOperator>(),
    Prefix(kFunctionNot),
    Binary<BitwiseAndOperator>(),
    Binary<BitwiseInclusiveOrOperator>(),
    Binary<BitwiseExclusiveOrOperator>(),
    Prefix(kFunctionComplement),
    Binary<ThenElseOperator>(),
    Binary<IfOperator>(),
}};

bool InTable(int code, size_t size)
{
    return code >= 0 && static_cast<size_t>(code) < size;
}

} // namespace

NodePtr Parser::MakeFunction(int functionCode, NodePtr operand)
{
    if (!InTable(functionCode, kFunctionFactories.size())
        || kFunctionFactories[static_cast<size_t>(functionCode)].fromNode == nullptr)
        ::RaiseError(kErrorUnknownFunction, -1, -1);
    return kFunctionFactories[static_cast<size_t>(functionCode)].fromNode(std::move(operand));
}

NodePtr Parser::MakeOperation(int operatorCode, NodePtr left, NodePtr right)
{
    const bool known = InTable(operatorCode, kOperatorFactories.size());
    const OperatorFactory* factory
        = known ? &kOperatorFactories[static_cast<size_t>(operatorCode)] : nullptr;
    const bool prefix = factory != nullptr && factory->prefixFunction != 0;
    if ((!left || !right) && !prefix)
        ::RaiseError(kErrorEmptyExpression, -1, -1);
    if (prefix)
        return MakeFunction(factory->prefixFunction, std::move(right)); // left is ignored
    if (factory == nullptr || factory->fromNodes == nullptr)
        ::RaiseError(kErrorUnknownOperator, -1, -1);
    return factory->fromNodes(std::move(left), std::move(right));
}

NodePtr Parser::MakeFunctionFromText(int functionCode, TextRange* argument)
{
    if (!InTable(functionCode, kFunctionFactories.size())
        || kFunctionFactories[static_cast<size_t>(functionCode)].fromText == nullptr)
        return nullptr;
    return kFunctionFactories[static_cast<size_t>(functionCode)].fromText(argument);
}

NodePtr Parser::MakeOperationFromText(int operatorCode, TextRange* left, TextRange* right)
{
    if (!InTable(operatorCode, kOperatorFactories.size())
        || kOperatorFactories[static_cast<size_t>(operatorCode)].fromTexts == nullptr)
        return nullptr;
    return kOperatorFactories[static_cast<size_t>(operatorCode)].fromTexts(left, right);
}
