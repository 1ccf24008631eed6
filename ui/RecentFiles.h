#pragma once

// The recent-file list: the last documents opened or saved, most recent first, kept in the
// user's settings.

#include <QString>
#include <QStringList>

class RecentFiles {
public:
    static constexpr int kMaxEntries = 4;

    // Reads the list from the settings of the application's organisation and name.
    RecentFiles();

    const QStringList& Entries() const { return entries_; }
    // Puts path first (once), drops what falls beyond the last entry, and saves the list.
    void Add(const QString& path);
    void Remove(const QString& path);

private:
    void Save() const;

    QStringList entries_;
};
