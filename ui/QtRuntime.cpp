#include "ui/QtRuntime.h"

#include <cstdio>

#include <QGuiApplication>
#include <QThreadPool>
#include <QtGlobal>

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
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(QuietMessageHandler);
    application_ = std::make_unique<QGuiApplication>(argc_, argv_);
}

QtRuntime::~QtRuntime()
{
    if (application_ == nullptr)
        return;
    // Pictures are drawn on the global pool's threads (see SerialRaster), which keep font caches
    // of their own: they end while the fonts they refer to still exist.
    QThreadPool::globalInstance()->waitForDone();
    application_.reset();
    qInstallMessageHandler(nullptr);
}
