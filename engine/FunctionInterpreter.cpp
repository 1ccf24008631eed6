#include "engine/FunctionInterpreter.h"

#include <climits>
#include <cstring>
#include <new>
#include <typeinfo>
#include <utility>

#include "engine/DepthGuard.h"
#include "engine/Leaves.h"
#include "platform/CLocale.h"

FunctionInterpreter::FunctionInterpreter(const char* formula)
{
    const size_t length = std::strlen(formula);
    // Positions are 32-bit; a formula of two gigabytes is no formula.
    if (length > INT_MAX / 2)
        RaiseError(kErrorOutOfMemory, 0, 0);
    TextRange range {formula, 0, static_cast<int>(length) - 1, this};
    if (formula[0] == '=')
        range.first = 1;
    Adopt(Parse(&range));
}

FunctionInterpreter::FunctionInterpreter(NodePtr tree)
{
    if (!tree)
        RaiseError(kErrorEmptyExpression, -1, -1);
    Adopt(std::move(tree));
}

void FunctionInterpreter::Adopt(NodePtr tree)
{
    root = tree.release();
    root->parent = this;
    try {
        root->Bind(this);
        Simplify();
    } catch (...) {
        DestroyOperands(this); // the destructor does not run for a constructor that throws
        throw;
    }
}

std::unique_ptr<FunctionInterpreter> FunctionInterpreter::DerivativeInterpreter(int i) const
{
    return FromTree(DeriveByIndex(i));
}

std::unique_ptr<FunctionInterpreter> FunctionInterpreter::FromTree(NodePtr tree)
{
    try {
        return std::unique_ptr<FunctionInterpreter>(new FunctionInterpreter(std::move(tree)));
    } catch (const std::bad_alloc&) {
        ::RaiseError(kErrorOutOfMemory, 0, 0);
    }
}

void FunctionInterpreter::CopyVariableValues(const FunctionInterpreter& other)
{
    for (int i = 0; i < GetVariableCount(); ++i) {
        const int j = other.FindVariable(GetVariableName(i));
        if (j >= 0)
            SetVariableValueAt(i, other.GetVariableValueAt(j));
    }
}

FunctionInterpreter::~FunctionInterpreter()
{
    DestroyOperands(this);
}

void FunctionInterpreter::ReleaseOperands(std::vector<Parser*>& out)
{
    if (root)
        out.push_back(root);
    root = nullptr;
}

double FunctionInterpreter::EvaluateTree() const
{
    if (root == nullptr)
        RaiseError(kErrorEmptyExpression, -1, -1);
    DepthGuard guard;
    return root->Evaluate();
}

void FunctionInterpreter::CompileProgram()
{
    intervalSlotsValid = false;
    try {
        program.Compile(root, this);
    } catch (const std::bad_alloc&) {
        program.Clear();
    }
}

bool FunctionInterpreter::IsConstant() const
{
    if (root == nullptr)
        return true;
    DepthGuard guard;
    return root->IsConstant();
}

bool FunctionInterpreter::ReplaceChild(const Parser* old, NodePtr&& replacement)
{
    if (root != nullptr && root != old)
        return false;
    program.Clear();
    Parser* previous = root;
    root = replacement.release();
    root->parent = this;
    delete previous;
    root->Bind(this);
    if (!simplifying)
        CompileProgram();
    return true;
}

void FunctionInterpreter::Simplify()
{
    if (root == nullptr)
        return;
    program.Clear();
    struct Rewriting {
        bool& flag;
        explicit Rewriting(bool& f) : flag(f) { flag = true; }
        ~Rewriting() { flag = false; }
    } rewriting(simplifying);
    {
        DepthGuard guard;
        root->Simplify(); // may replace the root through ReplaceChild
    }
    // A constant root becomes a single Constant; only the interpreter folds its own root.
    if (root->IsConstant() && !root->IsConstantNode()) {
        const double value = root->Evaluate();
        std::unique_ptr<Constant> folded;
        try {
            folded = NewNode<Constant>(value);
        } catch (const ParseErrorMsg&) {
            folded.reset(); // out of memory: keep the unfolded root
        }
        if (folded)
            ReplaceChild(root, std::move(folded));
    }
    DepthGuard guard;
    root->Bind(this);
    CompileProgram();
}

std::string FunctionInterpreter::ToText() const
{
    if (root == nullptr)
        RaiseError(kErrorEmptyExpression, -1, -1);
    DepthGuard guard;
    std::string text = "= ";
    root->AppendText(text);
    return text;
}

NodePtr FunctionInterpreter::Derive(const char* variable) const
{
    if (root == nullptr)
        return NewNode<Constant>(0.0);
    DepthGuard guard;
    return root->Derive(variable);
}

bool FunctionInterpreter::IsDifferent(const Parser* other) const
{
    if (root == nullptr || other == nullptr || typeid(*root) != typeid(*other))
        return true;
    return root->IsDifferent(other);
}

bool FunctionInterpreter::IsEqual(const Parser* other) const
{
    if (root == nullptr || other == nullptr || typeid(*root) != typeid(*other))
        return false;
    return root->IsEqual(other);
}

NodePtr FunctionInterpreter::CloneTree() const
{
    if (root == nullptr)
        RaiseError(kErrorEmptyExpression, -1, -1);
    DepthGuard guard;
    return root->Clone();
}

int FunctionInterpreter::FindVariable(const char* name) const
{
    for (size_t i = 0; i < names.size(); ++i)
        if (names[i] == name)
            return static_cast<int>(i);
    return -1;
}

const char* FunctionInterpreter::GetVariableName(int i) const
{
    if (i < 0 || i >= GetVariableCount())
        return nullptr;
    return names[static_cast<size_t>(i)].c_str();
}

double FunctionInterpreter::GetVariableValue(const char* name) const
{
    const int i = FindVariable(name);
    if (i < 0)
        RaiseError(kErrorUnknownVariable, -1, -1);
    return values[static_cast<size_t>(i)];
}

double FunctionInterpreter::GetVariableValueAt(int i) const
{
    // Bound variables always hold a valid index; anything else is refused rather than read
    // out of bounds.
    if (i < 0 || i >= GetVariableCount())
        RaiseError(kErrorUnknownVariable, -1, -1);
    return values[static_cast<size_t>(i)];
}

NodePtr FunctionInterpreter::DeriveByVariable(const Variable* v) const
{
    return Derive(v != nullptr ? v->GetName().c_str() : nullptr);
}

NodePtr FunctionInterpreter::DeriveByIndex(int i) const
{
    const char* name = GetVariableName(i);
    if (name == nullptr)
        RaiseError(kErrorUnknownVariable, -1, -1);
    return Derive(name);
}

bool FunctionInterpreter::SetVariableValue(const char* name, double x)
{
    const int i = FindVariable(name);
    return i >= 0 && SetVariableValueAt(i, x);
}

bool FunctionInterpreter::IsDifferentFrom(const FunctionInterpreter& other) const
{
    if (root == nullptr || other.root == nullptr)
        return (root == nullptr) != (other.root == nullptr);
    DepthGuard guard;
    return root->IsDifferent(other.root);
}

bool FunctionInterpreter::IsEqualTo(const FunctionInterpreter& other) const
{
    if (root == nullptr || other.root == nullptr)
        return root == nullptr && other.root == nullptr;
    DepthGuard guard;
    return root->IsEqual(other.root);
}

const char* FunctionInterpreter::AddVariable(const char* name)
{
    try {
        values.reserve(values.size() + 1);
        names.emplace_back(name);
        values.push_back(0.0);
    } catch (const std::bad_alloc&) {
        if (names.size() > values.size())
            names.pop_back();
        RaiseError(kErrorOutOfMemory, 0, 0);
    }
    return names.back().c_str();
}

int FunctionInterpreter::GetVariableIndex(const char* name)
{
    const int i = FindVariable(name);
    if (i >= 0)
        return i;
    AddVariable(name);
    return GetVariableCount() - 1;
}

std::string DerivativeText(const std::string& formula, const char* variable)
{
    FunctionInterpreter interpreter(formula);
    NodePtr derivative = interpreter.Derive(variable);
    derivative->Simplify();
    return platform::CToLower(derivative->ToText());
}
