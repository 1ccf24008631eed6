#pragma once

// The main window: menus, toolbar and status bar built from the command table, the plot view as
// its whole client area, and the handlers of every command. It owns nothing of the model: the
// document is handed to it.

#include <QHash>
#include <QMainWindow>
#include <QPrinter>
#include <QString>

#include "ui/RecentFiles.h"
#include "view/ColourPalette.h"

class CCurvanaDoc;
class CCurvanaView;
class QAction;
class QLabel;
class QMenu;
class QToolBar;
struct Command;

// Moves frame to its screen's top-left corner and resizes it so that its view, of viewSize now,
// gets wanted: the frame's borders and bars keep their size.
void GiveViewSize(QWidget& frame, QSize viewSize, QSize wanted);

class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    explicit CMainFrame(CCurvanaDoc& doc, QWidget* parent = nullptr);

    CCurvanaView& View() { return *view_; }
    CCurvanaDoc& Document() { return doc_; }
    QAction* Action(int id) const;
    QToolBar* ToolBar() const { return toolbar_; }
    QLabel* StatusPane(int index) const;
    QPrinter& Printer() { return printer_; }
    const RecentFiles& Recent() const { return recent_; }
    ColourPalette& Palette() { return palette_; }

    // Opens path after the save question; false when it was not opened (answer Annuler, or a
    // failure, which is reported and keeps the current document).
    bool OpenDocumentFile(const QString& path);
    // The save question before the document is dropped: true when it may be dropped.
    bool SaveModified();

    // Command handlers (the command table names them).
    void OnFileNew();
    void OnFileOpen();
    void OnFileSave();
    void OnFileSaveAs();
    void OnExportPng();
    void OnFilePrint();
    void OnFilePrintPreview();
    void OnFilePrintSetup();
    void OnAppExit();
    void OnTraceurIntervalles();
    void OnTraceurFonctions();
    void OnTraceurAxes();
    void OnTraceurParametres();
    void OnTraceurTrace();
    void OnViewToolbar();
    void OnViewStatusBar();
    void OnViewScreenSize();
    void OnViewZoomIn();
    void OnViewZoomOut();
    void OnViewTranslation();
    void OnToolsDerivate();
    void OnAppAbout();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QAction* MakeAction(const Command& command);
    void BuildMenus();
    void BuildToolbar();
    void BuildStatusBar();
    void RebuildRecentFiles();
    void UpdateTitle();
    void UpdateLockPanes();
    void ShowIdlePrompt();
    // Saves to path, or asks for a path first when it is empty; false if not saved.
    bool DoSave(const QString& path);
    void ReportFailure(const char* message, const QString& reason);

    CCurvanaDoc& doc_;
    CCurvanaView* view_ = nullptr;
    QToolBar* toolbar_ = nullptr;
    QLabel* panes_[3] = {nullptr, nullptr, nullptr};
    QMenu* fileMenu_ = nullptr;
    QAction* recentPlaceholder_ = nullptr;
    QList<QAction*> recentActions_;
    QHash<int, QAction*> actions_;
    QPrinter printer_;
    RecentFiles recent_;
    ColourPalette palette_; // shared by the colour buttons of every dialog
};
