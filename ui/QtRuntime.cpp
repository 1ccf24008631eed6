#include "ui/QtRuntime.h"

#include <cstdio>
#include <cstdlib>

#include <QFontDatabase>
#include <QGuiApplication>
#include <QThreadPool>
#include <QtGlobal>

#include <fontconfig/fontconfig.h>

namespace {

// Qt's warnings (a missing runtime directory, font fallbacks) are not for the user of the
// command line; its critical and fatal messages still reach standard error.
void QuietMessageHandler(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "curvana : Qt : %s\n", qUtf8Printable(message));
}

} // namespace

QtRuntime::QtRuntime()
{
    if (QCoreApplication::instance() != nullptr)
        return;
    // Reading fontconfig's configuration takes about as long as starting the application and
    // clearing the picture, which do not need it: Qt's own FcInit() later finds it loaded. The
    // font database itself needs the application.
    fonts_ = std::thread([started = started_.get_future()]() mutable {
        FcInit();
        if (started.get())
            QFontDatabase::families();
    });
    try {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qInstallMessageHandler(QuietMessageHandler);
        application_ = std::make_unique<QGuiApplication>(argc_, argv_);
    } catch (...) {
        started_.set_value(false);
        fonts_.join();
        throw;
    }
    started_.set_value(true);
}

QtRuntime::~QtRuntime()
{
    if (application_ == nullptr)
        return;
    fonts_.join();
    // Pictures are drawn on the global pool's threads (see SerialRaster), which keep font caches
    // of their own: they end while the fonts they refer to still exist.
    QThreadPool::globalInstance()->waitForDone();
    application_.reset();
    qInstallMessageHandler(nullptr);
}

void QtRuntime::EndProcess(int status)
{
    std::fflush(nullptr);
    std::_Exit(status);
}
