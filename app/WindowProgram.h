#pragma once

// The window is a program of its own, curvana-window, which this executable starts for the window
// modes: the command line then loads neither the widget nor the printing libraries, and an export
// starts that much sooner.

// Replaces this process by the window program with the same arguments; returns only when it
// cannot, with the exit status after the message.
int RunWindowProgram(char** argv);
