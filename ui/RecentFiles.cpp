#include "ui/RecentFiles.h"

#include <QFileInfo>
#include <QSettings>

namespace {

const char* const kKey = "RecentFiles/list";

} // namespace

RecentFiles::RecentFiles()
{
    const QStringList stored = QSettings().value(kKey).toStringList();
    for (const QString& path : stored)
        if (!path.isEmpty() && !entries_.contains(path) && entries_.size() < kMaxEntries)
            entries_.append(path);
}

void RecentFiles::Add(const QString& path)
{
    const QString full = QFileInfo(path).absoluteFilePath();
    entries_.removeAll(full);
    entries_.prepend(full);
    while (entries_.size() > kMaxEntries)
        entries_.removeLast();
    Save();
}

void RecentFiles::Remove(const QString& path)
{
    entries_.removeAll(path);
    Save();
}

void RecentFiles::Save() const
{
    QSettings().setValue(kKey, entries_);
}
