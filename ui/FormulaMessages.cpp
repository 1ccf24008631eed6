#include "ui/FormulaMessages.h"

#include "model/FormulaCheck.h"
#include "ui/Cp1252Text.h"

namespace {

struct ErrorWords {
    int code;
    const char* text;
};

// The French words of every engine error; whether the error has a place in the formula is the
// engine's to say.
constexpr ErrorWords kErrorWords[] = {
    {kErrorDivisionByZero, "Division par zéro"},
    {kErrorSqrtNegative, "Racine carrée d'un nombre négatif"},
    {kErrorLogNegative, "Logarithme décimal d'un nombre négatif ou nul"},
    {kErrorLnNegative, "Logarithme ou puissance d'un nombre négatif"},
    {kErrorOutOfMemory, "Mémoire insuffisante"},
    {kErrorArcSinDomain, "Arc sinus d'un nombre hors de [-1, 1]"},
    {kErrorArcCosDomain, "Arc cosinus d'un nombre hors de [-1, 1]"},
    {kErrorArcSecDomain, "Arc sécante d'un nombre de ]-1, 1["},
    {kErrorArcCscDomain, "Arc cosécante d'un nombre de ]-1, 1["},
    {kErrorArcCotDomain, "Arc cotangente de 0"},
    {kErrorNoDerivative, "Cette expression n'a pas de dérivée"},
    {kErrorTanInfinite, "Tangente infinie"},
    {kErrorCotInfinite, "Cotangente infinie"},
    {kErrorSecInfinite, "Sécante infinie"},
    {kErrorCscInfinite, "Cosécante infinie"},
    {kErrorTanhInfinite, "Tangente hyperbolique infinie"},
    {kErrorSechInfinite, "Sécante hyperbolique infinie"},
    {kErrorCschInfinite, "Cosécante hyperbolique infinie"},
    {kErrorCothInfinite, "Cotangente hyperbolique infinie"},
    {kErrorAcoshDomain, "Argument cosinus hyperbolique d'un nombre inférieur à 1"},
    {kErrorAtanhDomain, "Argument tangente hyperbolique d'un nombre hors de ]-1, 1["},
    {kErrorAsechDomain, "Argument sécante hyperbolique d'un nombre hors de ]0, 1]"},
    {kErrorAcschDomain, "Argument cosécante hyperbolique de 0"},
    {kErrorAcothDomain, "Argument cotangente hyperbolique d'un nombre de [-1, 1]"},
    {kErrorUnknownVariable, "Variable inconnue"},
    {kErrorEmptyExpression, "Expression vide"},
    {kErrorOperatorAnticipated, "Opérateur attendu"},
    {kErrorSyntax, "Erreur de syntaxe"},
    {kErrorUnbalancedParenthesis, "Parenthèses mal appariées"},
    {kErrorUnknownFunction, "Fonction inconnue"},
    {kErrorUnknownOperator, "Opérateur inconnu"},
    {kErrorMissingQuestionMark, "« ? » manquant avant « : »"},
    {kErrorMissingColon, "« : » manquant après « ? »"},
    {kErrorLbNegative, "Logarithme binaire d'un nombre négatif ou nul"},
    {kErrorTooDeep, "Formule trop imbriquée"},
};
static_assert(CoversEveryError(kErrorWords), "every engine error needs its French words");

constexpr const char* kUnknownError = "Erreur inconnue";

// ", caractère 5" or ", caractères 3 à 7", counted from 1.
QString Place(int first, int last)
{
    if (first == last)
        return QString::fromUtf8(", caractère %1").arg(first + 1);
    return QString::fromUtf8(", caractères %1 à %2").arg(first + 1).arg(last + 1);
}

FormulaMessage Placed(const QString& text, int first, int last, int textLength)
{
    FormulaMessage message;
    message.text = text + Place(first, last);
    const int from = std::max(first, 0);
    const int to = std::min(last, textLength - 1);
    if (to >= from) {
        message.markFrom = from;
        message.markLength = to - from + 1;
    }
    return message;
}

QString Quoted(const QString& text)
{
    return QString::fromUtf8("«\u00A0%1\u00A0»").arg(text);
}

} // namespace

QString EngineErrorText(int code)
{
    for (const ErrorWords& row : kErrorWords)
        if (row.code == code)
            return QString::fromUtf8(row.text);
    return QString::fromUtf8(kUnknownError);
}

FormulaMessage DescribeEngineError(const ParseErrorMsg& error, int textLength)
{
    const QString words = EngineErrorText(error.code);
    const bool placed = ErrorHasPlace(error.code) && error.from >= 0;
    if (!placed)
        return FormulaMessage {words, -1, 0};
    // An unknown function gives the "(" first and the start of its name second.
    if (error.code == kErrorUnknownFunction)
        return Placed(words, std::min(error.to, error.from - 1), error.from - 1, textLength);
    if (error.to == error.from - 1) {
        // An empty stretch: nothing stands there, so the character before it is named.
        if (error.from == 0)
            return FormulaMessage {words, -1, 0};
        FormulaMessage message = Placed(words, error.from - 1, error.from - 1, textLength);
        message.text = words + QString::fromUtf8(" après le caractère %1").arg(error.from);
        return message;
    }
    return Placed(words, error.from, error.to, textLength);
}

FormulaMessage DescribeCheck(const FormulaCheck& check, CurveType kind, int textLength)
{
    const QString name = FromCp1252(check.variable);
    switch (check.status) {
    case FormulaCheck::Status::Ok:
        return {};
    case FormulaCheck::Status::EngineError:
        return DescribeEngineError(check.error, textLength);
    case FormulaCheck::Status::NoCurveKind:
        return FormulaMessage {QString::fromUtf8("Aucun type de courbe choisi"), -1, 0};
    case FormulaCheck::Status::TooManyVariables: {
        const QString words = QString::fromUtf8("Variable %1 en trop").arg(Quoted(name));
        FormulaMessage message = check.from >= 0 ? Placed(words, check.from, check.to, textLength)
                                                 : FormulaMessage {words, -1, 0};
        message.text += QString::fromUtf8("\u00A0: une seule variable est permise");
        return message;
    }
    case FormulaCheck::Status::WrongVariable: {
        const char* expected = CurveVariable(kind);
        const QString words
            = QString::fromUtf8("Variable %1 au lieu de %2")
                  .arg(Quoted(name), Quoted(QString::fromUtf8(expected ? expected : "")));
        return check.from >= 0 ? Placed(words, check.from, check.to, textLength)
                               : FormulaMessage {words, -1, 0};
    }
    }
    return {};
}

FormulaMessage DescribeUnencodable(const QString& text, int index, TextKind kind)
{
    const QString character = CharacterAt(text, index);
    FormulaMessage message;
    message.text = QString::fromUtf8(kind == TextKind::Formula
                           ? "%1 ne peut pas figurer dans une formule"
                           : "%1 ne peut pas figurer dans un nom de variable")
                       .arg(Quoted(character))
        + Place(index, index);
    message.markFrom = index;
    message.markLength = static_cast<int>(character.size());
    return message;
}

FormulaMessage CheckFormulaText(const QString& text, CurveType kind)
{
    int bad = -1;
    const std::optional<std::string> bytes = ToCp1252(text, &bad);
    if (!bytes)
        return DescribeUnencodable(text, bad);
    return DescribeCheck(CheckFormula(*bytes, kind), kind, static_cast<int>(text.size()));
}
