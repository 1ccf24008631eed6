// Entry point of the window tests: one application for every test, on the offscreen platform,
// with its settings in a fresh folder so that no user's recent-file list takes part.

#include <clocale>
#include <cstdlib>

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "ui/CCurvanaApp.h"

int main(int argc, char** argv)
{
    std::setlocale(LC_ALL, "");
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QTemporaryDir settings;
    setenv("XDG_CONFIG_HOME", settings.path().toLocal8Bit().constData(), 1);
    ::testing::InitGoogleTest(&argc, argv);
    CCurvanaApp app(argc, argv);
    return RUN_ALL_TESTS();
}
