#include "engine/Leaves.h"

#include <cstring>
#include <typeinfo>

#include "engine/FunctionInterpreter.h"
#include "engine/QuietEvaluation.h"
#include "engine/Tables.h"
#include "platform/CLocale.h"

int Constant::GetPrecedence() const
{
    return kLeafPrecedence;
}

std::string Constant::ToText() const
{
    return platform::CFormat("%1.3g", value);
}

NodePtr Constant::Derive(const char*) const
{
    return NewNode<Constant>(0.0);
}

NodePtr Constant::Clone() const
{
    return NewNode<Constant>(value);
}

bool Constant::IsDifferent(const Parser* other) const
{
    const auto* that = dynamic_cast<const Constant*>(other);
    return that == nullptr || that->value != value;
}

Variable::Variable(std::string variableName, FunctionInterpreter* owner)
    : name(std::move(variableName))
{
    Bind(owner);
}

double Variable::Evaluate() const
{
    // An unbound variable (in a clone or a derivative) has no value to give.
    if (interpreter == nullptr)
        return EvaluationError(kErrorUnknownVariable);
    return interpreter->GetVariableValueAt(index);
}

int Variable::GetPrecedence() const
{
    return kLeafPrecedence;
}

void Variable::Bind(FunctionInterpreter* newInterpreter)
{
    interpreter = newInterpreter;
    if (interpreter != nullptr)
        index = interpreter->GetVariableIndex(name.c_str());
}

std::string Variable::ToText() const
{
    return name.empty() ? "variable name???" : name;
}

NodePtr Variable::Derive(const char* variable) const
{
    if (name.empty() || variable == nullptr)
        RaiseError(kErrorEmptyExpression, -1, -1);
    return NewNode<Constant>(std::strcmp(name.c_str(), variable) == 0 ? 1.0 : 0.0);
}

NodePtr Variable::Clone() const
{
    return NewNode<Variable>(name, nullptr);
}

bool Variable::IsDifferent(const Parser* other) const
{
    if (other == nullptr || typeid(*this) != typeid(*other))
        return true;
    return static_cast<const Variable*>(other)->name != name;
}
