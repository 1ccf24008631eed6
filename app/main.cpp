#include <clocale>

#include "app/CommandLine.h"
#include "app/CommandSupport.h"
#include "app/WindowProgram.h"

int main(int argc, char** argv)
{
    // The user's locale, as the window has it: every number the program reads or writes goes
    // through the C-locale helpers, so this must change nothing.
    std::setlocale(LC_ALL, "");
    if (GetWindowMode(argc, argv) == WindowMode::Window)
        return RunWindowProgram(argv);
    return FinishOutput(RunCommandLine(argc, argv));
}
