#pragma once

// The window's document: one for the life of the program, reused by every new and opened
// document. It holds the model and its file, and the undo history of every change; the document
// is modified exactly when the history is away from the state last saved, opened or created.

#include <memory>

#include <QObject>
#include <QString>
#include <QUndoStack>

#include "model/CurvanaDocument.h"

class QUndoCommand;

class CCurvanaDoc : public QObject {
    Q_OBJECT

public:
    // Levels of undo kept.
    static constexpr int kUndoLimit = 100;

    explicit CCurvanaDoc(QObject* parent = nullptr);

    CFunctionsContext& Context() { return document_.context; }
    const CFunctionsContext& Context() const { return document_.context; }
    QUndoStack& UndoStack() { return undo_; }

    // New-document defaults, no file, a fresh history.
    void OnNewDocument();
    // On failure returns false with the reason, and the document is exactly as it was.
    bool OnOpenDocument(const QString& path, QString& error);
    // Atomic: a failed save leaves the previous file intact.
    bool OnSaveDocument(const QString& path, QString& error);

    bool IsModified() const { return !undo_.isClean(); }
    // The full path of the document's file, empty while untitled.
    QString PathName() const { return path_; }
    // The name shown in the title and the save question: the file's name, or "Sans nom".
    QString Title() const;

    // Records a change as one undo step and applies it.
    void Apply(QUndoCommand* command);

signals:
    void ModifiedChanged(bool modified);
    void TitleChanged();
    // A new or opened document replaced the model.
    void DocumentReplaced();
    // An undo or redo changed the model.
    void HistoryApplied();

private:
    void StartHistory();

    CurvanaDocument document_;
    QString path_;
    QUndoStack undo_;
};
