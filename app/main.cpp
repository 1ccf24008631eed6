#include <clocale>

#include "app/CommandLine.h"
#include "ui/CCurvanaApp.h"

int main(int argc, char** argv)
{
    // The user's locale, as the window has it: every number the program reads or writes goes
    // through the C-locale helpers, so this must change nothing.
    std::setlocale(LC_ALL, "");
    if (GetWindowMode(argc, argv) == WindowMode::Window)
        return RunWindow(argc, argv);
    return RunCommandLine(argc, argv);
}
