#include "ui/QtRuntime.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include <QFontDatabase>
#include <QGuiApplication>
#include <QThreadPool>
#include <QtGlobal>

#include <fontconfig/fontconfig.h>
#include <unistd.h>

namespace {

// Qt's warnings (a missing runtime directory, font fallbacks) are not for the user of the
// command line; its critical and fatal messages still reach standard error.
void QuietMessageHandler(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "curvana : Qt : %s\n", qUtf8Printable(message));
}

// Where Debian's fonts-liberation and fonts-liberation2 put the Liberation fonts.
constexpr const char* kLiberationDirectories[]
    = {"/usr/share/fonts/truetype/liberation", "/usr/share/fonts/truetype/liberation2"};

// Debian's rendering of them (hinting, antialiasing, LCD filter), so that the pictures are those
// the system's configuration gives, byte for byte; and Arial, which the labels ask for, is
// Liberation Sans, whose metrics are Arial's. The caches are the system's and the user's.
constexpr char kFontRules[] = R"(
  <cachedir>/var/cache/fontconfig</cachedir>
  <cachedir prefix="xdg">fontconfig</cachedir>
  <match target="pattern">
    <edit name="antialias" mode="append"><bool>true</bool></edit>
    <edit name="hintstyle" mode="append"><const>hintslight</const></edit>
    <edit name="lcdfilter" mode="append"><const>lcddefault</const></edit>
  </match>
  <alias binding="same"><family>Arial</family><accept><family>Liberation Sans</family></accept></alias>
)";

// fontconfig's configuration for pictures: only the Liberation fonts. The system's whole
// configuration (dozens of files) and every font it lists take longer to read than a plot to
// draw. Without the Liberation fonts at their place, or when the user names a configuration of
// their own, it is read all the same.
void LoadFontConfiguration()
{
    if (std::getenv("FONTCONFIG_FILE") != nullptr || std::getenv("FONTCONFIG_PATH") != nullptr) {
        FcInit();
        return;
    }
    std::string directories;
    for (const char* directory : kLiberationDirectories)
        if (::access((std::string(directory) + "/LiberationSans-Regular.ttf").c_str(), R_OK) == 0)
            directories += std::string("<dir>") + directory + "</dir>";
    if (!directories.empty()) {
        const std::string xml = "<fontconfig>" + directories + kFontRules + "</fontconfig>";
        // The current configuration keeps its own reference to it for the process's life.
        FcConfig* config = FcConfigCreate();
        if (config != nullptr
            && FcConfigParseAndLoadFromMemory(
                config, reinterpret_cast<const FcChar8*>(xml.c_str()), FcFalse)
            && FcConfigBuildFonts(config) && FcConfigSetCurrent(config))
            return;
        if (config != nullptr)
            FcConfigDestroy(config);
    }
    FcInit();
}

} // namespace

QtRuntime::QtRuntime()
{
    if (QCoreApplication::instance() != nullptr)
        return;
    // Loading the font configuration takes about as long as starting the application, which does
    // not need it: it is loaded meanwhile, and Qt's own FcInit() finds it current. Qt's font
    // database itself needs the application; it is filled while the picture is cleared.
    std::promise<void> configured;
    std::future<void> fontsConfigured = configured.get_future();
    fonts_ = std::thread(
        [configured = std::move(configured), started = started_.get_future()]() mutable {
            LoadFontConfiguration();
            configured.set_value();
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
    // No font is looked for before the configuration is in place.
    fontsConfigured.wait();
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
