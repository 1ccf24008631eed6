#include "ui/CCurvanaApp.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <QLibraryInfo>
#include <QMessageBox>
#include <QPrinter>
#include <QPrinterInfo>
#include <QThreadPool>

#include <xcb/xcb.h>

#include "platform/Version.h"
#include "ui/CCurvanaDoc.h"
#include "ui/CMainFrame.h"
#include "ui/Printing.h"
#include "ui/SharedTexts.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 2;

bool IsSet(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

// Whether Qt will find a display; Qt itself would abort without one. The probe's connection stays
// open until Qt has made its own: an X server whose last client leaves resets itself, and a
// connection attempted during that reset fails, which Qt answers by aborting.
class DisplayProbe {
public:
    DisplayProbe()
    {
        if (IsSet("QT_QPA_PLATFORM") || IsSet("WAYLAND_DISPLAY")) {
            available_ = true;
            return;
        }
        if (!IsSet("DISPLAY"))
            return;
        connection_ = xcb_connect(nullptr, nullptr);
        available_ = xcb_connection_has_error(connection_) == 0;
    }
    ~DisplayProbe() { Release(); }
    DisplayProbe(const DisplayProbe&) = delete;
    DisplayProbe& operator=(const DisplayProbe&) = delete;

    bool Available() const { return available_; }
    // Once Qt is connected, the probe's own connection is no longer needed.
    void Release()
    {
        if (connection_ != nullptr)
            xcb_disconnect(connection_);
        connection_ = nullptr;
    }

private:
    xcb_connection_t* connection_ = nullptr;
    bool available_ = false;
};

// Message boxes need someone to answer them.
bool Interactive()
{
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

void ReportStartFailure(const QString& message, const QString& reason)
{
    std::fprintf(stderr, "curvana : %s\n%s\n", qUtf8Printable(message), qUtf8Printable(reason));
    if (Interactive()) {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("Curvana"), message);
        box.setInformativeText(reason);
        box.exec();
    }
}

} // namespace

CCurvanaApp::CCurvanaApp(int& argc, char** argv) : QApplication(argc, argv)
{
    setOrganizationName(QStringLiteral("Curvana"));
    setApplicationName(QStringLiteral("Curvana"));
    setApplicationVersion(QStringLiteral(CURVANA_VERSION));
    setDesktopFileName(QStringLiteral("org.curvana.Curvana"));
    // Qt's standard buttons and dialogs speak the program's language.
    if (qtTranslator_.load(
            QStringLiteral("qtbase_fr"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(&qtTranslator_);
}

CCurvanaApp::~CCurvanaApp()
{
    frame_.reset();
    doc_.reset();
    // The plot is painted on the pool's threads (see SerialRaster), which keep font caches of
    // their own: they end while the fonts they refer to still exist.
    QThreadPool::globalInstance()->waitForDone();
}

bool CCurvanaApp::InitInstance(const QStringList& arguments, int& exitStatus)
{
    doc_ = std::make_unique<CCurvanaDoc>();
    if (arguments.size() == 2 && arguments[0] == QLatin1String("--print")) {
        exitStatus = PrintFile(arguments[1]);
        return false;
    }
    frame_ = std::make_unique<CMainFrame>(*doc_);
    if (arguments.size() == 1) {
        QString error;
        if (!doc_->OnOpenDocument(arguments[0], error)) {
            ReportStartFailure(Text(kOpenFailed), error);
            exitStatus = kExitFailure;
            return false;
        }
    }
    frame_->resize(frame_->sizeHint());
    frame_->show();
    exitStatus = kExitOk;
    return true;
}

int CCurvanaApp::PrintFile(const QString& path)
{
    QString error;
    if (!doc_->OnOpenDocument(path, error)) {
        ReportStartFailure(Text(kOpenFailed), error);
        return kExitFailure;
    }
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
        ReportStartFailure(
            Text(kPrintFailed), Text("aucune imprimante par défaut : rien n'a été imprimé"));
        return kExitFailure;
    }
    QPrinter printer(info, QPrinter::HighResolution);
    printer.setDocName(doc_->Title());
    if (!PrintPlot(printer, doc_->Context())) {
        ReportStartFailure(Text(kPrintFailed), info.printerName());
        return kExitFailure;
    }
    return kExitOk;
}

int RunWindow(int argc, char** argv)
{
    const bool printing = argc >= 2 && std::strcmp(argv[1], "--print") == 0;
    DisplayProbe display;
    if (!display.Available()) {
        if (!printing) {
            std::fputs("curvana : aucun affichage (ni DISPLAY ni WAYLAND_DISPLAY) : la fenêtre ne "
                       "peut pas s'ouvrir ; lancez-la sous xvfb-run, ou dessinez sans fenêtre avec "
                       "--export (voir curvana --help)\n",
                stderr);
            return kExitFailure;
        }
        // Printing needs no window.
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    CCurvanaApp app(argc, argv);
    display.Release();
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    int status = kExitOk;
    if (!app.InitInstance(arguments, status))
        return status;
    return QApplication::exec();
}
