#include "ui/CMainFrame.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include "ui/CCurvanaDoc.h"
#include "ui/CCurvanaView.h"
#include "ui/CommandTable.h"
#include "ui/DocumentCommands.h"
#include "ui/ElidingLabel.h"
#include "ui/KeyboardLocks.h"
#include "ui/Printing.h"
#include "ui/Resources.h"
#include "ui/SharedTexts.h"
#include "ui/dialogs/CAboutDlg.h"
#include "ui/dialogs/CDlgFonctions.h"
#include "ui/dialogs/CDlgIntervalles.h"
#include "ui/dialogs/CDlgToolsDerivate.h"
#include "ui/dialogs/CDlgTraceAxes.h"
#include "ui/dialogs/CDlgTraceParams.h"
#include "ui/dialogs/CDlgViewScreenSize.h"
#include "view/StatusText.h"

namespace {

const char* const kTitle = "Curvana";
const char* const kFilter = "Fichiers Curvana (*.cvn)";
const char* const kSaveQuestion = "Enregistrer les modifications apportées à %1 ?";

// The first local file of a drop, if any.
QString DroppedFile(const QMimeData* mime)
{
    if (mime == nullptr || !mime->hasUrls())
        return {};
    for (const QUrl& url : mime->urls())
        if (url.isLocalFile())
            return url.toLocalFile();
    return {};
}

} // namespace

void GiveViewSize(QWidget& frame, QSize viewSize, QSize wanted)
{
    const QSize frameSize = frame.size();
    if (frame.isMaximized() || frame.isFullScreen())
        frame.showNormal();
    QScreen* screen = frame.screen();
    frame.move(screen != nullptr ? screen->geometry().topLeft() : QPoint(0, 0));
    frame.resize(frameSize + wanted - viewSize);
    frame.show();
}

CMainFrame::CMainFrame(CCurvanaDoc& doc, QWidget* parent)
    : QMainWindow(parent), doc_(doc), printer_(QPrinter::HighResolution)
{
    setObjectName(QStringLiteral("CMainFrame"));
    setWindowIcon(ProgramIcon(QStringLiteral("curvana")));
    setAcceptDrops(true);
    view_ = new CCurvanaView(doc_, this);
    setCentralWidget(view_);
    BuildMenus();
    BuildToolbar();
    BuildStatusBar();

    // Undo and redo have keys but no menu items: the menus are the program's own.
    auto* undo = new QAction(this);
    undo->setShortcuts({QKeySequence(QStringLiteral("Ctrl+Z"))});
    connect(undo, &QAction::triggered, &doc_.UndoStack(), &QUndoStack::undo);
    auto* redo = new QAction(this);
    redo->setShortcuts(
        {QKeySequence(QStringLiteral("Ctrl+Y")), QKeySequence(QStringLiteral("Ctrl+Shift+Z"))});
    connect(redo, &QAction::triggered, &doc_.UndoStack(), &QUndoStack::redo);
    addAction(undo);
    addAction(redo);

    connect(&doc_, &CCurvanaDoc::TitleChanged, this, &CMainFrame::UpdateTitle);
    connect(&doc_, &CCurvanaDoc::ModifiedChanged, this, &CMainFrame::UpdateTitle);
    connect(view_, &CCurvanaView::StatusText, panes_[0], &QLabel::setText);
    UpdateTitle();
}

QAction* CMainFrame::Action(int id) const
{
    return actions_.value(id, nullptr);
}

QLabel* CMainFrame::StatusPane(int index) const
{
    return index >= 0 && index < 3 ? panes_[index] : nullptr;
}

QAction* CMainFrame::MakeAction(const Command& command)
{
    auto* action = new QAction(Text(command.text), this);
    if (command.keys != nullptr)
        action->setShortcut(QKeySequence(QString::fromLatin1(command.keys)));
    if (command.prompt != nullptr) {
        const QString prompt = Text(command.prompt);
        const qsizetype newline = prompt.indexOf(QLatin1Char('\n'));
        action->setStatusTip(newline < 0 ? prompt : prompt.left(newline));
        if (newline >= 0)
            action->setToolTip(prompt.mid(newline + 1));
    }
    if (command.icon != nullptr)
        action->setIcon(ProgramIcon(QString::fromLatin1(command.icon)));
    if (command.handler != nullptr) {
        const auto handler = command.handler;
        connect(action, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
    }
    actions_.insert(command.id, action);
    return action;
}

void CMainFrame::BuildMenus()
{
    for (const MenuTitle& title : Menus()) {
        QMenu* menu = menuBar()->addMenu(Text(title.title));
        connect(menu, &QMenu::aboutToHide, this, &CMainFrame::ShowIdlePrompt);
        if (title.menu == MenuId::Fichier)
            fileMenu_ = menu;
        for (const Command& command : Commands()) {
            if (command.menu != title.menu)
                continue;
            QAction* action = MakeAction(command);
            menu->addAction(action);
            if (command.id == ID_FILE_MRU_FILE1) {
                recentPlaceholder_ = action;
                action->setEnabled(false);
            }
            if (command.separatorAfter)
                menu->addSeparator();
        }
    }
    Action(ID_VIEW_TOOLBAR)->setCheckable(true);
    Action(ID_VIEW_STATUS_BAR)->setCheckable(true);
    RebuildRecentFiles();
}

void CMainFrame::BuildToolbar()
{
    toolbar_ = new QToolBar(Text("Barre d'outils"), this);
    toolbar_->setObjectName(QStringLiteral("toolbar"));
    toolbar_->setMovable(true);
    toolbar_->setFloatable(true);
    toolbar_->setAllowedAreas(Qt::AllToolBarAreas);
    toolbar_->setIconSize(QSize(16, 16));
    for (int id : ToolbarLayout()) {
        if (id == 0)
            toolbar_->addSeparator();
        else
            toolbar_->addAction(Action(id));
    }
    addToolBar(Qt::TopToolBarArea, toolbar_);
    connect(toolbar_, &QToolBar::visibilityChanged, Action(ID_VIEW_TOOLBAR), &QAction::setChecked);
    Action(ID_VIEW_TOOLBAR)->setChecked(true);
}

void CMainFrame::BuildStatusBar()
{
    QStatusBar* bar = statusBar();
    panes_[0] = new ElidingLabel(Text(IdleStatusText()), bar);
    panes_[1] = new QLabel(Text("MAJ"), bar);
    panes_[2] = new QLabel(Text("NUM"), bar);
    bar->addWidget(panes_[0], 1);
    for (int i = 1; i < 3; ++i) {
        panes_[i]->setAlignment(Qt::AlignCenter);
        panes_[i]->setMinimumWidth(panes_[i]->fontMetrics().horizontalAdvance(panes_[i]->text())
            + 2 * panes_[i]->fontMetrics().averageCharWidth());
        bar->addPermanentWidget(panes_[i]);
    }
    Action(ID_VIEW_STATUS_BAR)->setChecked(true);
    // The lock keys are read as the frame idles, the way the indicators always were.
    auto* locks = new QTimer(this);
    connect(locks, &QTimer::timeout, this, &CMainFrame::UpdateLockPanes);
    locks->start(250);
    UpdateLockPanes();
}

void CMainFrame::UpdateLockPanes()
{
    const KeyboardLocks locks = QueryKeyboardLocks();
    // An indicator whose key is off is greyed, as a disabled pane.
    panes_[1]->setEnabled(locks.capsLock);
    panes_[2]->setEnabled(locks.numLock);
}

void CMainFrame::ShowIdlePrompt()
{
    panes_[0]->setText(view_->RestingText());
}

void CMainFrame::RebuildRecentFiles()
{
    for (QAction* action : recentActions_) {
        fileMenu_->removeAction(action);
        action->deleteLater();
    }
    recentActions_.clear();
    const QStringList& entries = recent_.Entries();
    recentPlaceholder_->setVisible(entries.isEmpty());
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const QString path = entries[i];
        auto* action = new QAction(
            QStringLiteral("&%1 %2").arg(i + 1).arg(QDir::toNativeSeparators(path)), this);
        action->setStatusTip(Text(FindCommand(ID_FILE_MRU_FILE1)->prompt));
        connect(action, &QAction::triggered, this, [this, path] { OpenDocumentFile(path); });
        fileMenu_->insertAction(recentPlaceholder_, action);
        recentActions_.append(action);
    }
}

void CMainFrame::UpdateTitle()
{
    setWindowTitle(doc_.Title() + QStringLiteral("[*] - ") + Text(kTitle));
    setWindowModified(doc_.IsModified());
}

void CMainFrame::ReportFailure(const char* message, const QString& reason)
{
    QMessageBox box(QMessageBox::Warning, Text(kTitle), Text(message), QMessageBox::Ok, this);
    box.setInformativeText(reason);
    box.exec();
}

bool CMainFrame::SaveModified()
{
    if (!doc_.IsModified())
        return true;
    QMessageBox box(QMessageBox::Warning, Text(kTitle), Text(kSaveQuestion).arg(doc_.Title()),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, this);
    box.setDefaultButton(QMessageBox::Yes);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return DoSave(doc_.PathName());
    case QMessageBox::No:
        return true;
    default:
        return false;
    }
}

bool CMainFrame::OpenDocumentFile(const QString& path)
{
    if (!SaveModified())
        return false;
    QString error;
    if (!doc_.OnOpenDocument(path, error)) {
        ReportFailure(kOpenFailed, error);
        // A recent file that no longer opens leaves the list.
        if (recent_.Entries().contains(QFileInfo(path).absoluteFilePath())) {
            recent_.Remove(QFileInfo(path).absoluteFilePath());
            RebuildRecentFiles();
        }
        return false;
    }
    recent_.Add(doc_.PathName());
    RebuildRecentFiles();
    return true;
}

bool CMainFrame::DoSave(const QString& path)
{
    QString target = path;
    if (target.isEmpty()) {
        QFileDialog dialog(this, Text("Enregistrer sous"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setNameFilter(Text(kFilter));
        dialog.setDefaultSuffix(QStringLiteral("cvn"));
        const QString suggested
            = doc_.PathName().isEmpty() ? Text(kTitle) + QStringLiteral(".cvn") : doc_.PathName();
        dialog.selectFile(suggested);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return false;
        target = dialog.selectedFiles().constFirst();
    }
    QString error;
    if (!doc_.OnSaveDocument(target, error)) {
        ReportFailure(kSaveFailed, error);
        return false;
    }
    recent_.Add(doc_.PathName());
    RebuildRecentFiles();
    return true;
}

void CMainFrame::OnFileNew()
{
    if (SaveModified())
        doc_.OnNewDocument();
}

void CMainFrame::OnFileOpen()
{
    QFileDialog dialog(this, Text("Ouvrir"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({Text(kFilter), Text("Tous les fichiers (*)")});
    if (!doc_.PathName().isEmpty())
        dialog.setDirectory(QFileInfo(doc_.PathName()).absolutePath());
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        OpenDocumentFile(dialog.selectedFiles().constFirst());
}

void CMainFrame::OnFileSave()
{
    DoSave(doc_.PathName());
}

void CMainFrame::OnFileSaveAs()
{
    DoSave(QString());
}

void CMainFrame::OnExportPng()
{
    QFileDialog dialog(this);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // An existing file is replaced without a question, and the name is kept as typed.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setNameFilter(QStringLiteral("png (*.png)"));
    dialog.selectFile(QStringLiteral("Curvana.png"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    QString error;
    if (!view_->ExportPng(dialog.selectedFiles().constFirst(), error))
        ReportFailure(kExportFailed, error);
    update();
}

void CMainFrame::OnFilePrint()
{
    QPrintDialog dialog(&printer_, this);
    dialog.setMinMax(1, 1);
    if (dialog.exec() != QDialog::Accepted)
        return;
    // The marks and the tangent are printed when the view shows them.
    const PlotOverlay overlay = view_->PrintedOverlay();
    if (!PrintPlot(printer_, doc_.Context(), overlay.Empty() ? nullptr : &overlay))
        ReportFailure(kPrintFailed, printer_.printerName());
}

void CMainFrame::OnFilePrintPreview()
{
    QPrintPreviewDialog preview(&printer_, this);
    const PlotOverlay overlay = view_->PrintedOverlay();
    connect(
        &preview, &QPrintPreviewDialog::paintRequested, this, [this, &overlay](QPrinter* printer) {
            PrintPlot(*printer, doc_.Context(), overlay.Empty() ? nullptr : &overlay);
        });
    preview.exec();
}

void CMainFrame::OnFilePrintSetup()
{
    QPageSetupDialog dialog(&printer_, this);
    dialog.exec();
}

void CMainFrame::OnAppExit()
{
    close();
}

// The editing dialogs work on copies; an accepted one becomes one undo step, named after the
// dialog, which marks the document modified. Nothing is redrawn until "Trace !".
void CMainFrame::OnTraceurIntervalles()
{
    const CWorkingArea before = doc_.Context().area;
    CDlgIntervalles dialog(before, this);
    if (dialog.exec() == QDialog::Accepted)
        doc_.Apply(new AreaCommand(doc_, before, dialog.Area(), dialog.windowTitle()));
}

void CMainFrame::OnTraceurFonctions()
{
    const std::vector<CFunction> before = CurvesOf(doc_.Context());
    CDlgFonctions dialog(before, &palette_, this);
    if (dialog.exec() == QDialog::Accepted)
        doc_.Apply(new FunctionsCommand(doc_, before, dialog.Functions(), dialog.windowTitle()));
}

void CMainFrame::OnTraceurAxes()
{
    const CSettingsAxis before = doc_.Context().axis;
    CDlgTraceAxes dialog(before, doc_.Context().area, &palette_, this);
    if (dialog.exec() == QDialog::Accepted)
        doc_.Apply(new AxisCommand(doc_, before, dialog.Settings(), dialog.windowTitle()));
}

void CMainFrame::OnTraceurParametres()
{
    const CCurvanaParams before = doc_.Context().params;
    CDlgTraceParams dialog(before, this);
    // The record is its four flags.
    if (dialog.exec() == QDialog::Accepted)
        doc_.Apply(new ParamsCommand(doc_, before, dialog.Params(), dialog.windowTitle()));
}

void CMainFrame::OnTraceurTrace()
{
    view_->Retrace();
    update();
}

void CMainFrame::OnViewToolbar()
{
    toolbar_->setVisible(!toolbar_->isVisible());
    Action(ID_VIEW_TOOLBAR)->setChecked(toolbar_->isVisible());
}

void CMainFrame::OnViewStatusBar()
{
    statusBar()->setVisible(!statusBar()->isVisible());
    Action(ID_VIEW_STATUS_BAR)->setChecked(statusBar()->isVisible());
}

void CMainFrame::OnViewScreenSize()
{
    CDlgViewScreenSize dialog(view_->size(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    GiveViewSize(*this, view_->size(), dialog.Size());
    OnTraceurTrace();
}

void CMainFrame::OnViewZoomIn()
{
    view_->SelectTool(Tool::ZoomIn);
}

void CMainFrame::OnViewZoomOut()
{
    view_->SelectTool(Tool::ZoomOut);
}

void CMainFrame::OnViewTranslation()
{
    view_->SelectTool(Tool::Translation);
}

void CMainFrame::OnToolsDerivate()
{
    CDlgToolsDerivate tool(this);
    tool.exec();
}

void CMainFrame::OnAppAbout()
{
    CAboutDlg about(this);
    about.exec();
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (SaveModified())
        event->accept();
    else
        event->ignore();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event)
{
    if (!DroppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event)
{
    const QString path = DroppedFile(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    // Opened once the drop is over, so that the save question is not asked inside it.
    QTimer::singleShot(0, this, [this, path] { OpenDocumentFile(path); });
}
