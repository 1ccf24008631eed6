#pragma once

// The French words for what is wrong with a formula: the engine's errors, a variable the curve
// cannot take, a character the formulas cannot hold; each with the characters to mark.

#include <QString>

#include "engine/ParseErrorMsg.h"
#include "model/CFunction.h"

struct FormulaCheck;

struct FormulaMessage {
    QString text; // empty: nothing to say
    int markFrom = -1; // characters of the formula to mark, or -1
    int markLength = 0;

    bool IsEmpty() const { return text.isEmpty(); }
};

// The French text of an engine error code, without its place.
QString EngineErrorText(int code);

// An engine error with its place in the formula ("Erreur de syntaxe, caractère 5"); characters
// are counted from 1 for the reader. textLength bounds the marked characters.
FormulaMessage DescribeEngineError(const ParseErrorMsg& error, int textLength);

// The result of CheckFormula; empty when the formula compiles.
FormulaMessage DescribeCheck(const FormulaCheck& check, CurveType kind, int textLength);

// A character at index that code page 1252 cannot hold, in a formula or in a variable name.
enum class TextKind { Formula, VariableName };
FormulaMessage DescribeUnencodable(
    const QString& text, int index, TextKind kind = TextKind::Formula);

// What the user sees under a formula field while typing: empty when the formula compiles for the
// kind, else what is wrong and where.
FormulaMessage CheckFormulaText(const QString& text, CurveType kind);
