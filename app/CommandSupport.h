#pragma once

// What every command of the command line shares: exit statuses, usage errors, engine errors as
// --eval reports them, and the text crossing between the terminal (UTF-8) and the engine (code
// page 1252).

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

struct ParseErrorMsg;

constexpr int kExitOk = 0;
constexpr int kExitEngineError = 1; // also a formula a curve refuses
constexpr int kExitUsage = 2; // also a file that cannot be read or written

// A usage error on standard error, then the usage text; returns kExitUsage.
int UsageError(const std::string& message);
void PrintUsage(FILE* out);
int UnknownOption(const std::string& option);
// A second document named on the command line.
int OneDocumentOnly(const std::string& argument);

// status, once standard output is flushed; an output that could not be written (a full disk, a
// closed pipe) is reported and makes a success kExitUsage.
int FinishOutput(int status);

// A number as the commands print it: every digit of the double, in the C locale.
std::string ExactNumber(double v);

// An engine error as --eval reports it, on standard error: the formula, the error text (whose
// caret line stands under it), then the code and positions on a last line. Returns
// kExitEngineError.
int ReportEngineError(const char* formula, const ParseErrorMsg& error);

// An argument (UTF-8) in code page 1252, or nothing when it holds a character outside it.
std::optional<std::string> ToEngineText(const char* argument);
// An engine text (code page 1252) for the terminal.
std::string ToTerminalText(const std::string& engineText);

// A NAME=VALUE argument: the name in code page 1252 and as typed, the value read in the C locale.
struct Assignment {
    std::string name;
    std::string shownName;
    double value = 0;
};

// The NAME=VALUE arguments from argv[first] on, or nothing after a usage error.
std::optional<std::vector<Assignment>> ParseAssignments(int argc, char** argv, int first);

// argv[index], the formula after option, in code page 1252; or nothing after a usage error.
std::optional<std::string> FormulaArgument(int argc, char** argv, int index, const char* option);

// Says that the formula does not use a variable given a value.
void WarnUnusedVariable(const Assignment& assignment);
