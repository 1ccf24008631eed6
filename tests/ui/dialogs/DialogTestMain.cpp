// Entry point of the dialog tests: one QApplication for every test (it adopts the user's locale,
// as the program does), and Qt's French texts for its standard buttons.

#include <cstdio>

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <gtest/gtest.h>

namespace {

QtMessageHandler previousHandler = nullptr;

// The offscreen platform says of every raise and mouse grab that it cannot do them for real.
void QuietOffscreen(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.startsWith("This plugin does not support") || message.startsWith("QStandardPaths"))
        return;
    if (previousHandler != nullptr)
        previousHandler(type, context, message);
    else
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

int main(int argc, char** argv)
{
    previousHandler = qInstallMessageHandler(QuietOffscreen);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QTranslator qtFrench;
    if (qtFrench.load("qtbase_fr", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtFrench);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
