// The main window, offscreen: its menus, toolbar and status bar, the mouse tools on the view, the
// document commands with their questions, drag and drop, export, printing and undo.

#include <cmath>
#include <string>
#include <vector>

#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPdfWriter>
#include <QPrinter>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolBar>
#include <QUrl>
#include <QWheelEvent>

#include "tests/ui/WindowTestSupport.h"
#include "ui/CommandTable.h"
#include "ui/Printing.h"

namespace {

// The menus as a user reads them; "-" is a separator.
std::vector<std::string> MenuTree(QMenuBar* bar)
{
    std::vector<std::string> out;
    for (QAction* top : bar->actions()) {
        out.push_back("[" + top->text().toStdString() + "]");
        for (QAction* item : top->menu()->actions()) {
            if (!item->isVisible())
                continue;
            out.push_back(item->isSeparator() ? "-" : item->text().toStdString());
        }
    }
    return out;
}

TEST(MainWindow, MenusHoldEveryCommandInOrder)
{
    Window w;
    const std::vector<std::string> expected = {"[&Fichier]", "&Nouveau\tCtrl+N",
        "&Ouvrir...\tCtrl+O", "&Enregistrer\tCtrl+S", "En&registrer sous...", "Export PNG...", "-",
        "&Imprimer...\tCtrl+P", "Aperçu a&vant impression", "C&onfiguration de l'impression...",
        "-", "Fichier récent", "-", "&Quitter", "[&Traceur]", "Zone de travail...", "Fonctions...",
        "Axes...", "Paramètres...", "-", "Trace !", "[&Affichage]", "&Barre d'outils",
        "Barre d'é&tat", "-", "Taille d'écran...", "-", "Zoom +", "Zoom -", "Translation",
        "[&Outils]", "&Dérivée...", "[&?]", "&A propos de Curvana..."};
    EXPECT_EQ(MenuTree(w.frame->menuBar()), expected);
    // Every program command is enabled; the empty recent list stands greyed.
    for (const Command& c : Commands())
        EXPECT_EQ(w.frame->Action(c.id)->isEnabled(), c.id != ID_FILE_MRU_FILE1) << c.text;
}

struct KeyCase {
    int id;
    const char* keys;
};

TEST(MainWindow, KeysPromptsAndTooltipsComeFromTheCommandTable)
{
    Window w;
    for (const KeyCase& k : {KeyCase {ID_FILE_NEW, "Ctrl+N"}, KeyCase {ID_FILE_OPEN, "Ctrl+O"},
             KeyCase {ID_FILE_SAVE, "Ctrl+S"}, KeyCase {ID_FILE_PRINT, "Ctrl+P"}})
        EXPECT_EQ(w.frame->Action(k.id)->shortcut(), QKeySequence(QString::fromLatin1(k.keys)));
    QAction* zoom = w.frame->Action(ID_VIEW_ZOOM_IN);
    EXPECT_EQ(zoom->statusTip(), QString::fromUtf8("Agrandit une zone de l'écran"));
    EXPECT_EQ(zoom->toolTip(), QStringLiteral("Zoom +"));
    EXPECT_EQ(w.frame->Action(ID_TRACEUR_INTERVALLES)->toolTip(), QStringLiteral("Intervalles..."));
    EXPECT_EQ(w.frame->Action(ID_APP_ABOUT)->toolTip(), QStringLiteral("A propos de"));
}

TEST(MainWindow, ToolbarButtonsAndSeparatorsInOrder)
{
    Window w;
    QToolBar* bar = w.frame->ToolBar();
    std::vector<std::string> seen;
    for (QAction* a : bar->actions())
        seen.push_back(a->isSeparator() ? "|" : a->text().toStdString());
    const std::vector<std::string> expected
        = {"&Nouveau\tCtrl+N", "&Ouvrir...\tCtrl+O", "&Enregistrer\tCtrl+S", "&Imprimer...\tCtrl+P",
            "Paramètres...", "|", "Translation", "Zoom +", "Zoom -", "|", "Zone de travail...",
            "Fonctions...", "Axes...", "Trace !", "|", "&A propos de Curvana..."};
    EXPECT_EQ(seen, expected);
    EXPECT_TRUE(bar->isMovable());
    EXPECT_EQ(bar->allowedAreas(), Qt::AllToolBarAreas);
    EXPECT_EQ(w.frame->toolBarArea(bar), Qt::TopToolBarArea);
    for (QAction* a : bar->actions())
        EXPECT_TRUE(a->isSeparator() || !a->icon().isNull()) << a->text().toStdString();
}

TEST(MainWindow, StatusBarHasThreePanesAndTheTogglesHideThem)
{
    Window w;
    EXPECT_EQ(w.frame->StatusPane(0)->text(), QString::fromUtf8("Prêt"));
    EXPECT_EQ(w.frame->StatusPane(1)->text(), QStringLiteral("MAJ"));
    EXPECT_EQ(w.frame->StatusPane(2)->text(), QStringLiteral("NUM"));
    EXPECT_EQ(w.frame->statusBar()->findChildren<QLabel*>().size(), 3);
    QAction* status = w.frame->Action(ID_VIEW_STATUS_BAR);
    EXPECT_TRUE(status->isChecked());
    status->trigger();
    EXPECT_FALSE(w.frame->statusBar()->isVisible());
    EXPECT_FALSE(status->isChecked());
    QAction* tools = w.frame->Action(ID_VIEW_TOOLBAR);
    tools->trigger();
    EXPECT_FALSE(w.frame->ToolBar()->isVisible());
    EXPECT_FALSE(tools->isChecked());
    tools->trigger();
    EXPECT_TRUE(tools->isChecked());
}

TEST(MainWindow, TitleNamesTheDocumentAndMarksChanges)
{
    Window w;
    EXPECT_EQ(w.frame->windowTitle(), QStringLiteral("Sans nom[*] - Curvana"));
    EXPECT_FALSE(w.frame->isWindowModified());
    w.View().SelectTool(Tool::Translation);
    MousePress(&w.View(), Qt::LeftButton, QPoint(100, 100));
    MouseMove(&w.View(), QPoint(140, 100));
    MouseRelease(&w.View(), Qt::LeftButton, QPoint(140, 100));
    EXPECT_TRUE(w.doc->IsModified());
    EXPECT_TRUE(w.frame->isWindowModified());
}

// The mouse tools on the new document's 800 x 600 view: x -22 to 18, y -15 to 15.
struct DragCase {
    const char* name;
    int command;
    QPoint from, to;
    double xMin, xMax, yMin, yMax;
    bool modified;
};

class Drags : public ::testing::TestWithParam<DragCase> { };

TEST_P(Drags, UseTheToolOnceAndMarkTheDocument)
{
    const DragCase& d = GetParam();
    Window w;
    w.frame->Action(d.command)->trigger();
    EXPECT_TRUE(w.View().Tools().IsArmed());
    EXPECT_NE(w.View().cursor().shape(), Qt::ArrowCursor);
    MousePress(&w.View(), Qt::LeftButton, d.from);
    MouseMove(&w.View(), d.to);
    MouseRelease(&w.View(), Qt::LeftButton, d.to);
    const CWorkingArea& a = w.Context().area;
    EXPECT_DOUBLE_EQ(a.areaXMin, d.xMin);
    EXPECT_DOUBLE_EQ(a.areaXMax, d.xMax);
    EXPECT_DOUBLE_EQ(a.areaYMin, d.yMin);
    EXPECT_DOUBLE_EQ(a.areaYMax, d.yMax);
    EXPECT_EQ(w.doc->IsModified(), d.modified);
    // One use only: the view is idle again, with the arrow.
    EXPECT_FALSE(w.View().Tools().IsArmed());
    EXPECT_EQ(w.View().cursor().shape(), Qt::ArrowCursor);
}

INSTANTIATE_TEST_SUITE_P(Window, Drags,
    ::testing::Values(
        DragCase {"ZoomIn", ID_VIEW_ZOOM_IN, {100, 100}, {300, 250}, -17, -7, 2.5, 10, true},
        DragCase {"ZoomOutWholeView", ID_VIEW_ZOOM_OUT, {0, 0}, {800, 600}, -22, 18, -15, 15, true},
        DragCase {
            "Translation", ID_VIEW_TRANSLATION, {100, 100}, {140, 100}, -24, 16, -15, 15, true},
        DragCase {"TranslationNowhere", ID_VIEW_TRANSLATION, {100, 100}, {100, 100}, -22, 18, -10,
            10, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MainWindow, AClickWithoutMovementIsRefusedAndChangesNothing)
{
    for (const int command : {ID_VIEW_ZOOM_IN, ID_VIEW_ZOOM_OUT}) {
        Window w;
        w.frame->Action(command)->trigger();
        QString text;
        const int answered = AnswerModals(
            [&] {
                MousePress(&w.View(), Qt::LeftButton, QPoint(200, 200));
                MouseRelease(&w.View(), Qt::LeftButton, QPoint(200, 200));
            },
            {Press(QMessageBox::Ok, &text)});
        EXPECT_EQ(answered, 1);
        const char* expected = command == ID_VIEW_ZOOM_IN ? "Fonction Zoom+ impossible"
                                                          : "Fonction Zoom- impossible";
        EXPECT_TRUE(text.startsWith(QString::fromLatin1(expected))) << text.toStdString();
        EXPECT_TRUE(text.contains(QString::fromUtf8("la même abscisse ou ordonnée")));
        EXPECT_EQ(w.Context().area.areaXMin, -22);
        EXPECT_FALSE(w.doc->IsModified());
    }
}

TEST(MainWindow, TheStatusBarShowsTheCoordinatesUnderThePointer)
{
    Window w;
    MouseMove(&w.View(), QPoint(0, 0));
    EXPECT_EQ(
        w.frame->StatusPane(0)->text(), QString::fromUtf8("Coordonnée x : -22, coordonnée y : 15"));
    MouseMove(&w.View(), QPoint(440, 300));
    EXPECT_EQ(
        w.frame->StatusPane(0)->text(), QString::fromUtf8("Coordonnée x : 0, coordonnée y : 0"));
}

TEST(MainWindow, MovingTheBandAndExposingDrawNoCurveAgain)
{
    Window w;
    const long drawings = w.View().PlotDrawings();
    w.frame->Action(ID_VIEW_ZOOM_IN)->trigger();
    MousePress(&w.View(), Qt::LeftButton, QPoint(10, 10));
    for (int x = 20; x < 200; x += 20) {
        MouseMove(&w.View(), QPoint(x, x));
        w.Paint();
    }
    EXPECT_EQ(w.View().PlotDrawings(), drawings);
    MouseRelease(&w.View(), Qt::LeftButton, QPoint(200, 200));
    w.Paint();
    EXPECT_EQ(w.View().PlotDrawings(), drawings + 1); // the zoom changed the view
    const long samplings = w.View().Samplings();
    w.frame->Action(ID_TRACEUR_TRACE)->trigger();
    w.Paint();
    EXPECT_EQ(w.View().Samplings(), samplings + 1); // "Trace !" samples again
}

void Wheel(CCurvanaView& view, QPointF at, int delta)
{
    QWheelEvent event(at, view.mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
        Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&view, &event);
}

TEST(MainWindow, WheelZoomKeepsThePointUnderThePointer)
{
    Window w;
    MouseMove(&w.View(), QPoint(600, 150));
    const QString before = w.frame->StatusPane(0)->text();
    Wheel(w.View(), QPointF(600, 150), 120);
    w.Paint();
    EXPECT_NEAR(w.Context().area.viewXMax - w.Context().area.viewXMin, 40 / 1.25, 1e-9);
    MouseMove(&w.View(), QPoint(600, 150));
    EXPECT_EQ(w.frame->StatusPane(0)->text(), before);
    EXPECT_TRUE(w.doc->IsModified());
    // A quick turn back is merged into the same step: one undo comes back to the start.
    Wheel(w.View(), QPointF(600, 150), -120);
    EXPECT_EQ(w.doc->UndoStack().count(), 1);
    w.doc->UndoStack().undo();
    EXPECT_EQ(w.Context().area.areaXMin, -22);
    EXPECT_FALSE(w.doc->IsModified());
}

TEST(MainWindow, DraggingWithNoToolPansAndTheMiddleButtonAlways)
{
    for (const Qt::MouseButton button : {Qt::LeftButton, Qt::MiddleButton}) {
        Window w;
        MousePress(&w.View(), button, QPoint(100, 100));
        MouseMove(&w.View(), QPoint(120, 100));
        w.Paint();
        MouseMove(&w.View(), QPoint(140, 120));
        MouseRelease(&w.View(), button, QPoint(140, 120));
        const CWorkingArea& a = w.Context().area;
        EXPECT_DOUBLE_EQ(a.areaXMin, -24);
        EXPECT_DOUBLE_EQ(a.areaYMax, 16);
        EXPECT_EQ(w.doc->UndoStack().count(), 1); // the whole drag is one step
        w.doc->UndoStack().undo();
        EXPECT_DOUBLE_EQ(w.Context().area.areaXMin, -22);
    }
}

TEST(MainWindow, UndoBackToTheSavedStateClearsTheModifiedFlag)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("saved.cvn"));
    Window w;
    QString error;
    ASSERT_TRUE(w.doc->OnSaveDocument(path, error)) << error.toStdString();
    EXPECT_EQ(w.frame->windowTitle(), QStringLiteral("saved.cvn[*] - Curvana"));
    w.View().SelectTool(Tool::Translation);
    MousePress(&w.View(), Qt::LeftButton, QPoint(100, 100));
    MouseRelease(&w.View(), Qt::LeftButton, QPoint(180, 100));
    EXPECT_TRUE(w.doc->IsModified());
    QTest::keyClick(w.frame.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(w.doc->IsModified());
    EXPECT_EQ(w.Context().area.areaXMin, -22);
    QTest::keyClick(w.frame.get(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_TRUE(w.doc->IsModified());
    EXPECT_DOUBLE_EQ(w.Context().area.areaXMin, -26);
    QTest::keyClick(w.frame.get(), Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(w.frame.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_DOUBLE_EQ(w.Context().area.areaXMin, -26);
}

// A modified document and the save question before it is dropped.
struct QuestionCase {
    const char* name;
    QMessageBox::StandardButton answer;
    bool dropped;
};

class SaveQuestion : public ::testing::TestWithParam<QuestionCase> { };

TEST_P(SaveQuestion, GuardsNewOpenAndClose)
{
    const QuestionCase& q = GetParam();
    QTemporaryDir dir;
    const QString other = dir.filePath(QStringLiteral("other.cvn"));
    {
        CCurvanaDoc saved;
        QString error;
        saved.Context().area.areaXMin = -5;
        ASSERT_TRUE(saved.OnSaveDocument(other, error));
    }
    for (int how = 0; how < 3; ++how) {
        Window w;
        w.View().SelectTool(Tool::Translation);
        MousePress(&w.View(), Qt::LeftButton, QPoint(100, 100));
        MouseRelease(&w.View(), Qt::LeftButton, QPoint(140, 100));
        ASSERT_TRUE(w.doc->IsModified());
        std::vector<std::function<void(QWidget*)>> answers;
        QString text;
        answers.push_back(Press(q.answer, &text));
        if (q.answer == QMessageBox::Yes) // untitled: Yes asks where to save
            answers.push_back([&](QWidget* d) {
                auto* files = qobject_cast<QFileDialog*>(d);
                ASSERT_NE(files, nullptr);
                files->selectFile(dir.filePath(QStringLiteral("kept")));
                static_cast<QDialog*>(files)->accept();
            });
        bool closed = false;
        AnswerModals(
            [&] {
                if (how == 0)
                    w.frame->Action(ID_FILE_NEW)->trigger();
                else if (how == 1)
                    w.frame->OpenDocumentFile(other);
                else
                    closed = w.frame->close();
            },
            answers);
        EXPECT_EQ(text, QString::fromUtf8("Enregistrer les modifications apportées à Sans nom ?|"));
        const double xMin = w.Context().area.areaXMin;
        if (!q.dropped) {
            EXPECT_DOUBLE_EQ(xMin, -24) << how;
            EXPECT_TRUE(w.doc->IsModified());
            EXPECT_FALSE(closed);
            continue;
        }
        if (how == 0) {
            EXPECT_EQ(xMin, -22);
        } else if (how == 1) {
            EXPECT_EQ(xMin, -5);
        } else {
            EXPECT_TRUE(closed);
        }
        if (q.answer == QMessageBox::Yes) {
            // Saved under the name typed, with the document's extension added.
            CCurvanaDoc reread;
            QString error;
            ASSERT_TRUE(reread.OnOpenDocument(dir.filePath(QStringLiteral("kept.cvn")), error));
            EXPECT_DOUBLE_EQ(reread.Context().area.areaXMin, -24);
            QFile::remove(dir.filePath(QStringLiteral("kept.cvn")));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Window, SaveQuestion,
    ::testing::Values(QuestionCase {"Oui", QMessageBox::Yes, true},
        QuestionCase {"Non", QMessageBox::No, true},
        QuestionCase {"Annuler", QMessageBox::Cancel, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MainWindow, QtsOwnButtonsSpeakFrench)
{
    Window w;
    w.View().SelectTool(Tool::Translation);
    MousePress(&w.View(), Qt::LeftButton, QPoint(100, 100));
    MouseRelease(&w.View(), Qt::LeftButton, QPoint(140, 100));
    QStringList buttons;
    AnswerModals([&] { w.frame->Action(ID_FILE_NEW)->trigger(); }, {[&](QWidget* d) {
        auto* box = qobject_cast<QMessageBox*>(d);
        ASSERT_NE(box, nullptr);
        for (auto b : {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel})
            buttons << box->button(b)->text().remove(QLatin1Char('&'));
        box->button(QMessageBox::Cancel)->click();
    }});
    EXPECT_EQ(buttons,
        QStringList({QStringLiteral("Oui"), QStringLiteral("Non"), QStringLiteral("Annuler")}));
}

TEST(MainWindow, AnUnmodifiedDocumentIsDroppedWithoutAQuestion)
{
    Window w;
    EXPECT_EQ(AnswerModals([&] { EXPECT_TRUE(w.frame->close()); }, {}), 0);
}

TEST(MainWindow, AFailedOpenReportsAndKeepsTheDocument)
{
    QTemporaryDir dir;
    const QString bad = dir.filePath(QStringLiteral("bad.cvn"));
    QFile file(bad);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a document");
    file.close();
    Window w;
    w.Context().GetAt(0).function.SetFormula1("x^2");
    QString text;
    EXPECT_EQ(AnswerModals([&] { EXPECT_FALSE(w.frame->OpenDocumentFile(bad)); },
                  {Press(QMessageBox::Ok, &text)}),
        1);
    EXPECT_TRUE(text.startsWith(QString::fromUtf8("L'ouverture du document a échoué.|")));
    EXPECT_TRUE(text.contains(QStringLiteral("bad.cvn")));
    EXPECT_EQ(w.Context().GetAt(0).function.Formula1(), "x^2");
    EXPECT_EQ(w.frame->windowTitle(), QStringLiteral("Sans nom[*] - Curvana"));
}

TEST(MainWindow, TheSystemsReasonForAFailureIsFrench)
{
    // Whatever the process locale: the program keeps the "C" one for numbers.
    QTemporaryDir dir;
    Window w;
    QString text;
    AnswerModals([&] { w.frame->OpenDocumentFile(dir.filePath(QStringLiteral("absent.cvn"))); },
        {Press(QMessageBox::Ok, &text)});
    EXPECT_TRUE(text.startsWith(QString::fromUtf8("L'ouverture du document a échoué.|")));
    EXPECT_TRUE(
        text.endsWith(QString::fromUtf8("lecture impossible : fichier ou dossier introuvable")))
        << text.toStdString();
    AnswerModals([&] { w.frame->OpenDocumentFile(dir.path()); }, {Press(QMessageBox::Ok, &text)});
    EXPECT_TRUE(text.endsWith(QString::fromUtf8("lecture impossible : c'est un dossier")))
        << text.toStdString();
    AnswerModals([&] { w.frame->Action(ID_FILE_SAVE)->trigger(); },
        {[&dir](QWidget* d) {
             auto* files = qobject_cast<QFileDialog*>(d);
             ASSERT_NE(files, nullptr);
             files->selectFile(dir.filePath(QStringLiteral("absent/x.cvn")));
             static_cast<QDialog*>(files)->accept();
         },
            Press(QMessageBox::Ok, &text)});
    EXPECT_TRUE(text.startsWith(QString::fromUtf8("L'enregistrement du document a échoué.|")));
    EXPECT_TRUE(
        text.endsWith(QString::fromUtf8("écriture impossible : fichier ou dossier introuvable")))
        << text.toStdString();
}

TEST(MainWindow, AFailedSaveReportsAndKeepsTheModifiedFlag)
{
    Window w;
    w.View().SelectTool(Tool::Translation);
    MousePress(&w.View(), Qt::LeftButton, QPoint(100, 100));
    MouseRelease(&w.View(), Qt::LeftButton, QPoint(140, 100));
    QString text;
    AnswerModals([&] { w.frame->Action(ID_FILE_SAVE)->trigger(); },
        {[](QWidget* d) {
             auto* files = qobject_cast<QFileDialog*>(d);
             ASSERT_NE(files, nullptr);
             files->selectFile(QStringLiteral("/nonexistent-folder/x.cvn"));
             static_cast<QDialog*>(files)->accept();
         },
            Press(QMessageBox::Ok, &text)});
    EXPECT_TRUE(text.startsWith(QString::fromUtf8("L'enregistrement du document a échoué.|")))
        << text.toStdString();
    EXPECT_TRUE(w.doc->IsModified());
}

TEST(MainWindow, DroppingADocumentOpensIt)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("dropped.cvn"));
    {
        CCurvanaDoc saved;
        QString error;
        saved.Context().area.areaXMin = -3;
        ASSERT_TRUE(saved.OnSaveDocument(path, error));
    }
    Window w;
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(path)});
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w.frame.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w.frame.get(), &drop);
    QTest::qWait(50);
    EXPECT_EQ(w.Context().area.areaXMin, -3);
    EXPECT_EQ(w.frame->windowTitle(), QStringLiteral("dropped.cvn[*] - Curvana"));
    EXPECT_EQ(w.frame->Recent().Entries().value(0), QFileInfo(path).absoluteFilePath());

    QMimeData text;
    text.setText(QStringLiteral("sin(x)"));
    QDragEnterEvent refused(QPoint(50, 50), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w.frame.get(), &refused);
    EXPECT_FALSE(refused.isAccepted());
}

TEST(MainWindow, ExportPngWritesTheViewAsTypedAndLeavesTheDocument)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("picture")); // no extension added
    Window w;
    AnswerModals([&] { w.frame->Action(ID_EXPORT_PNG)->trigger(); }, {[&](QWidget* d) {
        auto* files = qobject_cast<QFileDialog*>(d);
        ASSERT_NE(files, nullptr);
        EXPECT_TRUE(files->testOption(QFileDialog::DontConfirmOverwrite));
        EXPECT_EQ(files->selectedFiles().value(0).section(QLatin1Char('/'), -1),
            QStringLiteral("Curvana.png"));
        files->selectFile(path);
        static_cast<QDialog*>(files)->accept();
    }});
    QImage image;
    ASSERT_TRUE(image.load(path, "PNG"));
    EXPECT_EQ(image.size(), QSize(800, 600));
    EXPECT_EQ(image.pixel(5, 5) & 0xFFFFFF, 0xFFFFFFu); // white, not the window's background
    EXPECT_FALSE(w.doc->IsModified());
    // Replaced without a question.
    AnswerModals([&] { w.frame->Action(ID_EXPORT_PNG)->trigger(); }, {[&](QWidget* d) {
        auto* files = qobject_cast<QFileDialog*>(d);
        ASSERT_NE(files, nullptr);
        files->selectFile(path);
        static_cast<QDialog*>(files)->accept();
    }});
}

TEST(MainWindow, PrintingToAPdfFileLeavesTheWindowsModelAlone)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("page.pdf"));
    Window w;
    const QString coordinates = w.View().CoordinatesAt({100, 100});
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    ASSERT_TRUE(PrintPlot(printer, w.Context()));
    QFile pdf(path);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    EXPECT_GT(bytes.size(), 1000);
    EXPECT_EQ(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r"), 1);
    EXPECT_EQ(w.Context().screenWidth, 800);
    EXPECT_EQ(w.Context().screenHeight, 600);
    EXPECT_EQ(w.View().CoordinatesAt({100, 100}), coordinates);
    QString error;
    const QString saved = dir.filePath(QStringLiteral("after.cvn"));
    ASSERT_TRUE(w.doc->OnSaveDocument(saved, error));
    CCurvanaDoc reread;
    ASSERT_TRUE(reread.OnOpenDocument(saved, error));
    EXPECT_EQ(reread.Context().screenWidth, 800);
}

TEST(MainWindow, TheAboutBoxSaysTheVersion)
{
    Window w;
    QString title;
    QStringList texts;
    AnswerModals([&] { w.frame->Action(ID_APP_ABOUT)->trigger(); }, {[&](QWidget* d) {
        title = d->windowTitle();
        for (QLabel* l : d->findChildren<QLabel*>())
            texts << l->text();
        static_cast<QDialog*>(d)->accept();
    }});
    EXPECT_EQ(title, QStringLiteral("A propos de Curvana"));
    EXPECT_TRUE(texts.contains(QStringLiteral("Curvana version 2.0.2")));
}

TEST(MainWindow, RecentFilesListTheLastFourDocuments)
{
    QTemporaryDir dir;
    Window w;
    QString error;
    for (int i = 0; i < 6; ++i) {
        const QString path = dir.filePath(QStringLiteral("doc%1.cvn").arg(i));
        CCurvanaDoc d;
        ASSERT_TRUE(d.OnSaveDocument(path, error));
        ASSERT_TRUE(w.frame->OpenDocumentFile(path));
    }
    const QStringList& recent = w.frame->Recent().Entries();
    ASSERT_EQ(recent.size(), 4);
    EXPECT_TRUE(recent[0].endsWith(QStringLiteral("doc5.cvn")));
    EXPECT_TRUE(recent[3].endsWith(QStringLiteral("doc2.cvn")));
    std::vector<std::string> items = MenuTree(w.frame->menuBar());
    EXPECT_EQ(
        std::count_if(items.begin(), items.end(),
            [](const std::string& s) { return s.rfind("&1 ", 0) == 0 || s.rfind("&4 ", 0) == 0; }),
        2);
    EXPECT_EQ(std::count(items.begin(), items.end(), "Fichier récent"), 0);
}

} // namespace
