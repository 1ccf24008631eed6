#include "ui/CCurvanaDoc.h"

#include <string>

#include <QFile>
#include <QFileInfo>

CCurvanaDoc::CCurvanaDoc(QObject* parent) : QObject(parent)
{
    undo_.setUndoLimit(kUndoLimit);
    connect(&undo_, &QUndoStack::cleanChanged, this,
        [this](bool clean) { emit ModifiedChanged(!clean); });
    OnNewDocument();
}

void CCurvanaDoc::StartHistory()
{
    const bool wasModified = IsModified();
    undo_.clear(); // clean afterwards
    if (wasModified)
        emit ModifiedChanged(false);
}

void CCurvanaDoc::OnNewDocument()
{
    document_.NewDocument();
    path_.clear();
    StartHistory();
    emit TitleChanged();
    emit DocumentReplaced();
}

bool CCurvanaDoc::OnOpenDocument(const QString& path, QString& error)
{
    std::string reason;
    if (!document_.Load(QFile::encodeName(path).toStdString(), reason)) {
        error = QString::fromStdString(reason);
        return false;
    }
    path_ = QFileInfo(path).absoluteFilePath();
    StartHistory();
    emit TitleChanged();
    emit DocumentReplaced();
    return true;
}

bool CCurvanaDoc::OnSaveDocument(const QString& path, QString& error)
{
    std::string reason;
    if (!document_.Save(QFile::encodeName(path).toStdString(), reason)) {
        error = QString::fromStdString(reason);
        return false;
    }
    path_ = QFileInfo(path).absoluteFilePath();
    undo_.setClean();
    emit TitleChanged();
    return true;
}

QString CCurvanaDoc::Title() const
{
    return path_.isEmpty() ? QStringLiteral("Sans nom") : QFileInfo(path_).fileName();
}

void CCurvanaDoc::Apply(QUndoCommand* command)
{
    undo_.push(command);
}
