#pragma once

#include <cstdio>
#include <string>

struct ParseErrorMsg;

// The command line of the executable: the engine commands (--eval, --tree, --derive), --export,
// --help and --version. Returns the process exit status.

int RunCommandLine(int argc, char** argv);

// Which mode the arguments ask for: the window (nothing, FILE, --print FILE), the command line
// (the options), or neither (a usage error, which RunCommandLine reports).
enum class WindowMode { Window, CommandLine, UsageError };
WindowMode GetWindowMode(int argc, char** argv);

// Shared by the commands: a usage error on standard error (exit status 2), and the usage text.
int UsageError(const std::string& message);
void PrintUsage(FILE* out);

// An engine error as --eval reports it, on standard error; returns the exit status 1.
int ReportEngineError(const char* formula, const ParseErrorMsg& error);
