#include "engine/Parser.h"

#include <cstring>
#include <new>
#include <vector>

#include "engine/DepthGuard.h"
#include "engine/Functions.h"
#include "engine/Leaves.h"
#include "engine/Tables.h"
#include "platform/CLocale.h"

using platform::IsCDigit;
using platform::IsCSpace;

namespace {

bool IsOperatorChar(char c)
{
    return c != '\0' && std::strchr("!%&*+-/:<=>?^|~", c) != nullptr;
}

// A "+" or "-" after one of these (or a blank) is a prefix sign. ":" and "?" are not among them.
bool IsPrefixContext(char c)
{
    return IsCSpace(c) || (c != '\0' && std::strchr("!%&(*+-/<=>^|~", c) != nullptr);
}

// What may follow a sign that starts a range, or an exponent sign. Bytes above 0x7F are name
// characters like letters.
bool CanFollowSign(char c)
{
    return platform::IsCAlpha(c) || IsCDigit(c) || c == '.'
        || static_cast<unsigned char>(c) >= 0x80;
}

// Indexes the parentheses of the outermost range being parsed, and unhooks the index when that
// parse ends. Without memory for it the parse goes on, scanning each group as it meets it.
class ParenthesisIndex {
public:
    explicit ParenthesisIndex(TextRange* range)
    {
        if (range->closing != nullptr || range->last < range->first)
            return;
        try {
            closing_.assign(static_cast<size_t>(range->last) + 1, -1);
            std::vector<int> open;
            for (int i = range->first; i <= range->last; ++i) {
                if (range->text[i] == '(') {
                    open.push_back(i);
                } else if (range->text[i] == ')' && !open.empty()) {
                    closing_[static_cast<size_t>(open.back())] = i;
                    open.pop_back();
                }
            }
        } catch (const std::bad_alloc&) {
            return;
        }
        range_ = range;
        range_->closing = closing_.data();
    }
    ~ParenthesisIndex()
    {
        if (range_ != nullptr)
            range_->closing = nullptr;
    }
    ParenthesisIndex(const ParenthesisIndex&) = delete;
    ParenthesisIndex& operator=(const ParenthesisIndex&) = delete;

private:
    TextRange* range_ = nullptr;
    std::vector<int> closing_;
};

// Where the group opened at position at closes inside the range, or -1 when it does not.
int GroupEnd(const TextRange* range, int at)
{
    if (range->closing == nullptr)
        return -1;
    const int close = range->closing[at];
    return close <= range->last ? close : -1;
}

} // namespace

// ---- Defaults of the node operations ----

double Parser::Evaluate() const
{
    return 0.0;
}
bool Parser::IsConstantNode() const
{
    return false;
}
bool Parser::IsConstant() const
{
    return true;
}
int Parser::GetPrecedence() const
{
    return 0;
}
bool Parser::ReplaceChild(const Parser*, NodePtr&&)
{
    return false;
}
void Parser::Bind(FunctionInterpreter*) { }
void Parser::Simplify() { }
std::string Parser::ToText() const
{
    return "NULL PARSER";
}
void Parser::AppendText(std::string& out) const
{
    out += ToText();
}
NodePtr Parser::Derive(const char*) const
{
    ::RaiseError(kErrorNoDerivative, -1, -1);
}
NodePtr Parser::Clone() const
{
    ::RaiseError(kErrorNoDerivative, -1, -1);
}
bool Parser::IsDifferent(const Parser*) const
{
    return true;
}
bool Parser::IsEqual(const Parser* other) const
{
    return !IsDifferent(other);
}
Parser::~Parser() = default;

void Parser::RaiseError(int code, int from, int to) const
{
    ::RaiseError(code, from, to);
}

void Parser::ReleaseOperands(std::vector<Parser*>&) { }

void Parser::ForgetConstness()
{
    for (Parser* node = this; node != nullptr && node->knownNotConstant; node = node->parent)
        node->knownNotConstant = false;
}

void Parser::DestroyOperands(Parser* node)
{
    // Iterative, so that a tree of any depth is freed without recursion: each node is stripped of
    // its operands before it is deleted, so its own destructor has nothing left to free.
    std::vector<Parser*> pending;
    node->ReleaseOperands(pending);
    while (!pending.empty()) {
        Parser* next = pending.back();
        pending.pop_back();
        next->ReleaseOperands(pending);
        delete next;
    }
}

// ---- Text parsing ----

NodePtr Parser::Parse(TextRange* range) const
{
    DepthGuard guard(kMaxParseDepth, range->first, range->last);
    const ParenthesisIndex index(range);
    const int p1 = range->first;
    const int p2 = range->last;
    StripParentheses(range);
    if (range->last < range->first)
        RaiseError(kErrorEmptyExpression, p1, p2);
    const OperatorToken token = FindLowestOperator(range);
    if (token.code != 0)
        return ParseOperation(range, token);
    const int code = FindFunctionName(range);
    if (code != 0)
        return ParseFunctionCall(range, code);
    return ParseLeaf(range);
}

void Parser::TrimBlanks(TextRange* range) const
{
    while (range->first <= range->last && IsCSpace(range->text[range->first]))
        ++range->first;
    while (range->last >= range->first && IsCSpace(range->text[range->last]))
        --range->last;
}

void Parser::StripParentheses(TextRange* range) const
{
    for (int passes = 0;; ++passes) {
        TrimBlanks(range);
        if (range->last < range->first)
            return;
        const char* text = range->text;
        if (text[range->first] != '(' || text[range->last] != ')')
            return;
        // The range is one group when the "(" at its start closes at its end.
        int close = GroupEnd(range, range->first);
        if (range->closing == nullptr) {
            int depth = 0;
            for (int i = range->first; i <= range->last && close < 0; ++i) {
                if (text[i] == '(')
                    ++depth;
                else if (text[i] == ')' && --depth == 0)
                    close = i;
            }
        }
        if (close != range->last)
            return;
        if (passes >= kMaxParseDepth)
            RaiseError(kErrorTooDeep, range->first, range->last);
        ++range->first;
        --range->last;
    }
}

bool Parser::IsBlank(const TextRange* range) const
{
    for (int i = range->first; i <= range->last; ++i)
        if (!IsCSpace(range->text[i]))
            return false;
    return true;
}

OperatorToken Parser::FindLowestOperator(const TextRange* range) const
{
    OperatorToken best {0, range->first, 1, 15};
    int depth = 0;
    int firstOpen = -1;
    for (int i = range->first; i <= range->last; ++i) {
        const char c = range->text[i];
        if (c == '(') {
            if (firstOpen < 0)
                firstOpen = i;
            // Nothing inside a whole group is at depth 0, and it cannot unbalance the range.
            const int close = GroupEnd(range, i);
            if (close >= 0)
                i = close;
            else
                ++depth;
        } else if (c == ')') {
            if (--depth < 0)
                RaiseError(kErrorUnbalancedParenthesis, i, i);
        } else if (depth == 0 && IsOperatorChar(c)) {
            const OperatorToken t = ScanOperator(range, i);
            if (t.code != 0) {
                // Less-or-equal: the rightmost of equally loose operators wins, which makes
                // every binary operator left-associative.
                if (t.precedence <= best.precedence)
                    best = t;
                i += t.length - 1;
            }
        }
    }
    if (depth != 0)
        RaiseError(kErrorUnbalancedParenthesis, firstOpen, firstOpen);
    return best;
}

OperatorToken Parser::ScanOperator(const TextRange* range, int at) const
{
    const char c = range->text[at];
    const char next = at < range->last ? range->text[at + 1] : '\0';
    int code = 0;
    int length = 1;
    switch (c) {
    case '!':
        if (next == '&')
            code = kOperatorBitwiseXor, length = 2;
        else if (next == '=')
            code = kOperatorNotEqual, length = 2;
        else
            code = kOperatorNot;
        break;
    case '%':
        code = kOperatorModulus;
        break;
    case '&':
        if (next == '&')
            code = kOperatorAnd, length = 2;
        else
            code = kOperatorBitwiseAnd;
        break;
    case '*':
        code = kOperatorMultiply;
        break;
    case '+':
        code = ClassifySign(range, at) == 0 ? kOperatorPlus : kOperatorNone;
        break;
    case '-':
        switch (ClassifySign(range, at)) {
        case 0:
            code = kOperatorMinus;
            break;
        case 1:
            code = kOperatorPrefixMinus;
            break;
        default:
            code = kOperatorNone; // the sign of an exponent
            break;
        }
        break;
    case '/':
        code = kOperatorDivide;
        break;
    case ':':
        code = kOperatorThenElse;
        break;
    case '<':
        if (next == '=')
            code = kOperatorLessOrEqual, length = 2;
        else
            code = kOperatorLess;
        break;
    case '=':
        // A single "=" is not an operator: assignment syntax such as ‘y = x’ is refused.
        if (next != '=')
            RaiseError(kErrorUnknownOperator, at, at);
        code = kOperatorEqual, length = 2;
        break;
    case '>':
        if (next == '=')
            code = kOperatorGreaterOrEqual, length = 2;
        else
            code = kOperatorGreater;
        break;
    case '?':
        code = kOperatorIf;
        break;
    case '^':
        code = kOperatorPower;
        break;
    case '|':
        if (next == '|')
            code = kOperatorOr, length = 2;
        else
            code = kOperatorBitwiseOr;
        break;
    case '~':
        code = kOperatorComplement;
        break;
    default:
        RaiseError(kErrorUnknownOperator, at, at);
    }
    return OperatorToken {code, at, length, kOperators[static_cast<size_t>(code)].precedence};
}

int Parser::ClassifySign(const TextRange* range, int at) const
{
    const char* text = range->text;
    // The sign starts the range: it must be followed by a name, a number or a decimal point.
    if (at == range->first) {
        int q = at + 1;
        while (q <= range->last && IsCSpace(text[q]))
            ++q;
        if (q <= range->last && CanFollowSign(text[q]))
            return 1;
        RaiseError(kErrorSyntax, at, at);
    }
    int p = at - 1;
    while (p > range->first && IsCSpace(text[p]))
        --p;
    const char previous = text[p];
    if (IsPrefixContext(previous))
        return 1;
    if (previous == 'E' || previous == 'e') {
        // A digit before the "e" makes it the exponent sign of a number such as ‘1e-5’.
        int q = p - 1;
        while (q >= range->first && IsCSpace(text[q]))
            --q;
        if (q < range->first || !IsCDigit(text[q]))
            return 0;
        int s = at + 1;
        while (s <= range->last && IsCSpace(text[s]))
            ++s;
        if (s <= range->last && CanFollowSign(text[s]))
            return 2;
        RaiseError(kErrorSyntax, at, at);
    }
    return 0;
}

NodePtr Parser::ParseOperation(TextRange* range, const OperatorToken& token) const
{
    TextRange left {range->text, range->first, token.position - 1, range->owner, range->closing};
    TextRange right {
        range->text, token.position + token.length, range->last, range->owner, range->closing};
    switch (token.code) {
    case kOperatorPrefixMinus:
        // Under the sign rules the left side of a loosest prefix minus is always empty.
        return NewNode<NegFunction>(&right);
    case kOperatorNot:
    case kOperatorComplement:
        if (!IsBlank(&left)) {
            StripParentheses(&left);
            RaiseError(kErrorSyntax, left.first, left.last);
        }
        if (token.code == kOperatorNot)
            return NewNode<NotFunction>(&right);
        return NewNode<BitwiseCompliment>(&right);
    default:
        break;
    }
    NodePtr node = MakeOperationFromText(token.code, &left, &right);
    if (!node)
        RaiseError(kErrorSyntax, token.position, token.position + token.length);
    return node;
}

int Parser::FindFunctionName(const TextRange* range) const
{
    const char* text = range->text;
    int depth = 0;
    int firstOpen = -1;
    int groupsClosed = 0;
    int lastClose = -1;
    for (int i = range->first; i <= range->last; ++i) {
        if (text[i] == '(') {
            // Two groups side by side, as in ‘(a)(b)’: there is no implicit multiplication.
            if (depth == 0 && groupsClosed > 0)
                RaiseError(kErrorOperatorAnticipated, lastClose, i);
            if (firstOpen < 0)
                firstOpen = i;
            const int close = GroupEnd(range, i);
            if (close < 0) {
                ++depth;
            } else {
                i = close; // a whole group, closed where the scan would have found it
                if (depth == 0) {
                    ++groupsClosed;
                    lastClose = i;
                }
            }
        } else if (text[i] == ')') {
            if (--depth < 0)
                RaiseError(kErrorUnbalancedParenthesis, i, i);
            if (depth == 0) {
                ++groupsClosed;
                lastClose = i;
            }
        }
    }
    if (depth > 0)
        RaiseError(kErrorUnbalancedParenthesis, firstOpen, firstOpen);
    if (firstOpen < 0 || lastClose != range->last) {
        if (lastClose >= 0)
            RaiseError(kErrorSyntax, lastClose, range->last); // text after a group: ‘(x)y’
        return 0;
    }
    // At most six characters, upper-cased; the name ends at the first "(" or blank among them.
    // Six characters without such an end match no entry: names have at most five.
    char name[7] = {};
    const int length = std::min(6, range->last - range->first + 1);
    bool terminated = false;
    for (int k = 0; k < length; ++k) {
        const char c = text[range->first + k];
        if (c == '(' || IsCSpace(c)) {
            terminated = true;
            break;
        }
        name[k] = platform::CToUpper(c);
    }
    if (!terminated && length == 6)
        return kFunctionUnknownName;
    for (int code = 1; code < kFunctionCount; ++code)
        if (std::strcmp(name, kFunctionNames[static_cast<size_t>(code)]) == 0)
            return code;
    return kFunctionUnknownName;
}

NodePtr Parser::ParseFunctionCall(TextRange* range, int functionCode) const
{
    int open = range->first;
    while (range->text[open] != '(')
        ++open;
    TextRange argument {range->text, open, range->last, range->owner, range->closing};
    NodePtr node = MakeFunctionFromText(functionCode, &argument);
    if (!node)
        RaiseError(kErrorUnknownFunction, open, range->first);
    return node;
}

NodePtr Parser::ParseLeaf(TextRange* range) const
{
    const char* text = range->text;
    for (int i = range->first; i <= range->last; ++i) {
        if (IsCSpace(text[i])) {
            int end = i;
            while (end + 1 <= range->last && IsCSpace(text[end + 1]))
                ++end;
            RaiseError(kErrorOperatorAnticipated, i, end); // ‘2 x’, ‘sin x’
        }
    }
    NodePtr node;
    if (ParseNumber(range, &node) || ParseNamedConstant(range, &node))
        return node;
    // Anything else is a variable name, case kept: ‘x_1’, ‘2x’, ‘théta’.
    return NewNode<Variable>(
        std::string(text + range->first, static_cast<size_t>(range->last - range->first + 1)),
        range->owner);
}

bool Parser::ParseNumber(const TextRange* range, NodePtr* out) const
{
    // Only the decimal forms count: [+] digits with at most one "." (one digit at least), then
    // optionally e, E, d or D, a sign and digits. Hexadecimal, "inf" and "nan" are names.
    const char* s = range->text + range->first;
    const int n = range->last - range->first + 1;
    int i = 0;
    if (i < n && s[i] == '+')
        ++i;
    int digits = 0;
    int dots = 0;
    for (; i < n && (IsCDigit(s[i]) || s[i] == '.'); ++i) {
        if (s[i] == '.')
            ++dots;
        else
            ++digits;
    }
    if (digits == 0 || dots > 1)
        return false;
    std::string buffer(s, static_cast<size_t>(i));
    if (i < n) {
        if (s[i] != 'e' && s[i] != 'E' && s[i] != 'd' && s[i] != 'D')
            return false;
        buffer += 'e';
        ++i;
        if (i < n && (s[i] == '+' || s[i] == '-'))
            buffer += s[i++];
        const int exponentStart = i;
        for (; i < n && IsCDigit(s[i]); ++i)
            buffer += s[i];
        if (i == exponentStart || i != n)
            return false;
    }
    *out = NewNode<Constant>(platform::CStrtod(buffer.c_str(), nullptr));
    return true;
}

bool Parser::ParseNamedConstant(const TextRange* range, NodePtr* out) const
{
    const int n = range->last - range->first + 1;
    if (n > 6)
        return false;
    std::string name(range->text + range->first, static_cast<size_t>(n));
    for (char& c : name)
        c = platform::CToUpper(c);
    for (const NamedConstant& constant : NamedConstants()) {
        if (name == constant.name) {
            *out = NewNode<Constant>(constant.value);
            return true;
        }
    }
    return false;
}
