#pragma once

// The command line of the executable: the engine commands (--eval, --tree, --derive), --export,
// --help and --version. Returns the process exit status.

int RunCommandLine(int argc, char** argv);

// Which mode the arguments ask for: the window (nothing, FILE, --print FILE), the command line
// (the options), or neither (a usage error, which RunCommandLine reports).
enum class WindowMode { Window, CommandLine, UsageError };
WindowMode GetWindowMode(int argc, char** argv);
