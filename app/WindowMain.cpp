#include <clocale>

#include "ui/CCurvanaApp.h"

// The window program, which curvana starts for the window modes (see WindowProgram.h).
int main(int argc, char** argv)
{
    // The user's locale: every number the program reads or writes goes through the C-locale
    // helpers, so this must change nothing.
    std::setlocale(LC_ALL, "");
    return RunWindow(argc, argv);
}
