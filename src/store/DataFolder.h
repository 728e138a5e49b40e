#pragma once

#include <QHash>
#include <QString>

namespace store {

class Session;

// True when a file can be created in dir by this process.
bool folderIsWritable(const QString& dir);

// The folder that holds the user's tables: the program's own folder while it
// is writable (a build tree or a portable copy), else the user's data folder.
QString chooseDataFolder(const QString& programDir, bool programDirWritable,
                         const QString& userDataDir);

// The notes of a bank file, by Q_ID.
QHash<qint64, QString> readNotes(Session& session, const QString& bankPath);
// Writes the notes into the bank file's records of the same Q_ID; notes of
// items the bank no longer has are dropped.
void writeNotes(Session& session, const QString& bankPath, const QHash<qint64, QString>& notes);

// Readies dataDir, a folder other than programDir, for a run: the shipped bank
// and pictures are copied there on the first run, and again, with the user's
// notes carried over by Q_ID, whenever the shipped bank has changed since;
// an empty user set is created when there is none. The copy is written beside
// the old one and renamed into place. Throws platform::TableError.
void prepareUserData(const QString& programDir, const QString& dataDir);

// Creates an empty user question set unless the file already exists.
void ensureUserSet(const QString& path);

} // namespace store
