// Test entry point. Like QApplication, it adopts the user's locale first, so that a run under a
// French locale shows any number formatting or parsing that depends on the process locale.

#include <clocale>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    std::setlocale(LC_ALL, "");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
