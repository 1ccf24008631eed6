// Writes a picture of every dialog into a folder, for looking at them (run it once at the normal
// scale and once with QT_SCALE_FACTOR=2), or runs one dialog for trying it by hand and prints what
// it handed back. Not a test: it checks nothing.
//
//   curvana_dialog_shots OUTDIR
//   curvana_dialog_shots --run fonctions|intervalles|parametres|taille|axes|derivee

#include <cstdio>
#include <functional>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QTest>
#include <QTranslator>

#include "model/CFunctionsContext.h"
#include "ui/CMainFrame.h"
#include "ui/dialogs/CColorBtn.h"
#include "ui/dialogs/CDlgFonctions.h"
#include "ui/dialogs/CDlgIntervalles.h"
#include "ui/dialogs/CDlgToolsDerivate.h"
#include "ui/dialogs/CDlgTraceAxes.h"
#include "ui/dialogs/CDlgTraceParams.h"
#include "ui/dialogs/CDlgViewScreenSize.h"

namespace {

QString outDir;

void Shot(QWidget& widget, const char* name)
{
    widget.show();
    QTest::qWait(30);
    const QString path = outDir + "/" + name + ".png";
    if (!widget.grab().save(path))
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    else
        std::printf("%s\n", qPrintable(path));
}

void Type(QWidget* parent, const char* edit, const QString& text)
{
    auto* field = parent->findChild<QLineEdit*>(edit);
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, text);
}

int RunOne(
    const QString& name, const CFunctionsContext& context, const std::vector<CFunction>& curves)
{
    int result = QDialog::Rejected;
    if (name == "fonctions") {
        CDlgFonctions dialog(curves);
        result = dialog.exec();
        for (const CFunction& f : dialog.Functions())
            std::printf("curve %d '%s' '%s' %.17g %.17g %.17g 0x%06X\n", f.Type(),
                f.Formula1().c_str(), f.Formula2().c_str(), f.paramMin, f.paramMax, f.iterations,
                static_cast<unsigned>(f.colour));
    } else if (name == "intervalles") {
        CDlgIntervalles dialog(context.area);
        result = dialog.exec();
        const CWorkingArea& a = dialog.Area();
        std::printf("area %.17g %.17g %.17g %.17g %d %d\n", a.areaXMin, a.areaXMax, a.areaYMin,
            a.areaYMax, a.normaliseX, a.normaliseY);
    } else if (name == "parametres") {
        CDlgTraceParams dialog(context.params);
        result = dialog.exec();
        const CCurvanaParams& p = dialog.Params();
        std::printf("params %d %d %d %d\n", p.antialias, p.joinedLines, p.searchBreakPoints,
            p.searchDiscontinuities);
    } else if (name == "taille") {
        QMainWindow frame;
        auto* view = new QWidget(&frame);
        frame.setCentralWidget(view);
        frame.resize(700, 500);
        frame.show();
        QTest::qWait(200);
        CDlgViewScreenSize dialog(view->size());
        result = dialog.exec();
        if (result == QDialog::Accepted)
            GiveViewSize(frame, view->size(), dialog.Size());
        QTest::qWait(300);
        std::printf("view %dx%d frame at %d,%d\n", view->width(), view->height(),
            frame.frameGeometry().x(), frame.frameGeometry().y());
    } else if (name == "axes") {
        CDlgTraceAxes dialog(context.axis, context.area);
        result = dialog.exec();
        const CSettingsAxis& s = dialog.Settings();
        std::printf("axes %d 0x%06X %d %d %d %d %.17g %.17g %d 0x%06X %d\n", s.drawAxes,
            static_cast<unsigned>(s.axesColour), s.drawUnitVectors, s.drawAxisEnds, s.graduate,
            s.autoGraduation, s.xGraduationCount, s.yGraduationCount, s.drawGrid,
            static_cast<unsigned>(s.gridColour), s.gridAlpha);
    } else if (name == "derivee") {
        CDlgToolsDerivate dialog;
        result = dialog.exec();
    } else {
        std::fprintf(stderr, "unknown dialog %s\n", qPrintable(name));
        return 2;
    }
    std::printf("result %s\n", result == QDialog::Accepted ? "accepted" : "rejected");
    std::fflush(stdout);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QTranslator qtFrench;
    if (qtFrench.load("qtbase_fr", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtFrench);
    const bool run = argc > 2 && QString::fromLocal8Bit(argv[1]) == "--run";
    outDir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString(".");
    if (!run)
        QDir().mkpath(outDir);

    CFunctionsContext context;
    context.ApplyNewDocumentDefaults();
    context.area.Normalise(800, 600);
    std::vector<CFunction> curves;
    for (const CFunctionEntry& e : context.functions)
        curves.push_back(e.function);
    CFunction lissajous;
    lissajous.Set(CurveParametric, "cos(3*t)", "sin(2*t", 0, 6.283185307, 0x0000A000, 400);
    curves.push_back(lissajous);
    if (run)
        return RunOne(QString::fromLocal8Bit(argv[2]), context, curves);

    {
        CDlgFonctions dialog(curves);
        Shot(dialog, "dialog-fonctions");
        QTest::keyClick(dialog.findChild<QSpinBox*>("indexSpin"), Qt::Key_Up);
        Shot(dialog, "dialog-fonctions-parametree");
        dialog.findChild<QComboBox*>("typeCombo")->setCurrentIndex(2);
        Type(&dialog, "formula1Edit", "2*sin(3*t)");
        Shot(dialog, "dialog-fonctions-polaire");
    }
    {
        CDlgIntervalles dialog(context.area);
        Shot(dialog, "dialog-intervalles");
    }
    {
        CDlgTraceParams dialog(context.params);
        Shot(dialog, "dialog-parametres");
    }
    {
        QMainWindow frame;
        auto* view = new QWidget(&frame);
        frame.setCentralWidget(view);
        frame.resize(1040, 700);
        frame.show();
        QTest::qWait(30);
        CDlgViewScreenSize dialog(view->size());
        Shot(dialog, "dialog-taille-ecran");
    }
    {
        CDlgTraceAxes dialog(context.axis, context.area);
        const char* names[] = {"dialog-axes", "dialog-axes-graduation", "dialog-axes-carroyage"};
        for (int i = 0; i < 3; ++i) {
            dialog.Tabs()->setCurrentIndex(i);
            Shot(dialog, names[i]);
        }
    }
    {
        CDlgToolsDerivate dialog;
        Type(&dialog, "formulaEdit", "X*sin(X^2)");
        Type(&dialog, "variableEdit", "X");
        dialog.Derive();
        Shot(dialog, "dialog-derivee");
        Type(&dialog, "formulaEdit", "2*sin x");
        dialog.Derive();
        Shot(dialog, "dialog-derivee-erreur");
    }
    {
        QWidget window;
        window.resize(120, 40);
        auto* button = new CColorBtn(&window);
        button->setGeometry(10, 8, 70, 24);
        button->SetColour(0x00BC7D81);
        window.show();
        CColorBtnDlg popup(button, button->Palette(), nullptr);
        popup.adjustSize();
        Shot(popup, "dialog-palette");
        popup.hide();
        Shot(window, "colour-button");
    }
    return 0;
}
