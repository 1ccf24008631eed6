#pragma once

// The command line of the executable: the engine commands (--eval, --tree, --derive), --help and
// --version. Returns the process exit status.

int RunCommandLine(int argc, char** argv);
