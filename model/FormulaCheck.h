#pragma once

// Whether a formula compiles for a curve kind, and if not, why and where: the answer the curve
// model would give (CEasyFunction::Compile), with the place of the fault so that an editor can
// show it while the user types. Also the derivative of a formula with the engine's error kept,
// for the derivative tool.

#include <string>
#include <vector>

#include "engine/ParseErrorMsg.h"
#include "model/CFunction.h"

struct FormulaCheck {
    enum class Status {
        Ok,
        EngineError, // error holds the engine's record
        NoCurveKind, // kind None never compiles
        TooManyVariables, // a second variable: variable, from, to name it
        WrongVariable, // the one variable is not the kind's: variable, from, to name it
    };

    Status status = Status::Ok;
    ParseErrorMsg error {0, -1, -1};
    std::string variable; // the offending variable, as written
    int from = -1; // its first and last character in the text; -1 when it cannot be placed
    int to = -1;
    std::vector<std::string> variables; // every variable of the formula, when it parses

    bool Ok() const { return status == Status::Ok; }
};

// Checks one formula as the curve model compiles it: it must parse, hold at most one variable,
// and that one must be the kind's variable ("x", "t", "theta"), compared without regard to case.
// A kind without a variable of its own (neither None nor one of the three) takes any single one.
FormulaCheck CheckFormula(const std::string& text, CurveType kind);

// Where the variable named exactly name stands as a name of its own in text (not as part of a
// longer name or number), or false when it cannot be found.
bool LocateVariable(const std::string& text, const std::string& name, int& from, int& to);

// The derivative tool's computation: parse, derive by variable, simplify, print, lower case.
// On an engine error returns false and stores the error; out is then emptied.
bool DeriveFormula(
    const std::string& text, const std::string& variable, std::string& out, ParseErrorMsg& error);
