#include "ui/QtRuntime.h"

#include <cstdio>
#include <cstdlib>
#include <string>

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
// their own, Qt reads the system's as it always does.
void LoadFontConfiguration()
{
    if (std::getenv("FONTCONFIG_FILE") != nullptr || std::getenv("FONTCONFIG_PATH") != nullptr)
        return;
    std::string directories;
    for (const char* directory : kLiberationDirectories)
        if (::access((std::string(directory) + "/LiberationSans-Regular.ttf").c_str(), R_OK) == 0)
            directories += std::string("<dir>") + directory + "</dir>";
    if (directories.empty())
        return;
    const std::string xml = "<fontconfig>" + directories + kFontRules + "</fontconfig>";
    // Once current, it stays so for the rest of the process.
    FcConfig* config = FcConfigCreate();
    if (config != nullptr
        && !(FcConfigParseAndLoadFromMemory(
                 config, reinterpret_cast<const FcChar8*>(xml.c_str()), FcFalse)
            && FcConfigBuildFonts(config) && FcConfigSetCurrent(config)))
        FcConfigDestroy(config);
}

} // namespace

QtRuntime::QtRuntime()
{
    if (QCoreApplication::instance() != nullptr)
        return;
    // Before the application, whose font database then finds this configuration current.
    LoadFontConfiguration();
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

void QtRuntime::EndProcess(int status)
{
    std::fflush(nullptr);
    std::_Exit(status);
}
