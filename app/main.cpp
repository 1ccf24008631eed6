#include <clocale>

#include "app/CommandLine.h"

int main(int argc, char** argv)
{
    // The user's locale, as the window will have it: every number the program reads or writes
    // goes through the C-locale helpers, so this must change nothing.
    std::setlocale(LC_ALL, "");
    return RunCommandLine(argc, argv);
}
