#pragma once

// The application of the window mode: Qt's application, French translations of Qt's own texts,
// the settings under which the recent-file list is kept, the one document and the main window,
// and the processing of the command line (a new document, a file to open, or a file to print).

#include <memory>

#include <QApplication>
#include <QStringList>
#include <QTranslator>

class CCurvanaDoc;
class CMainFrame;

class CCurvanaApp : public QApplication {
    Q_OBJECT

public:
    CCurvanaApp(int& argc, char** argv);
    ~CCurvanaApp() override;

    // Creates the document and the main window and processes arguments (the command line without
    // the program's name): nothing, FILE, or --print FILE. Returns false when the program ends
    // here, with its exit status: a file that cannot be opened, or a print that is done.
    bool InitInstance(const QStringList& arguments, int& exitStatus);

    CCurvanaDoc* Document() { return doc_.get(); }
    CMainFrame* MainFrame() { return frame_.get(); }

private:
    int PrintFile(const QString& path);

    QTranslator qtTranslator_;
    std::unique_ptr<CCurvanaDoc> doc_;
    std::unique_ptr<CMainFrame> frame_;
};

// The window mode of the executable: argv holds nothing, FILE, or --print FILE. Returns the
// process exit status. Without a display it says so in one line instead of starting.
int RunWindow(int argc, char** argv);
