#pragma once

#include <QHash>
#include <QString>

namespace store {

class BuildProgress;
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
// items the bank no longer has are dropped. progress, when given, counts the
// records written (its build is begun and ended by the caller).
void writeNotes(Session& session, const QString& bankPath, const QHash<qint64, QString>& notes,
                BuildProgress* progress = nullptr, int progressBase = 0);

// Makes the user's data folder, readable by the user only. A link in its
// place is refused (platform::TableError): its target is none of ours.
void readyUserFolder(const QString& dataDir);

// Readies dataDir, a folder other than programDir, for a run: the shipped bank
// and pictures are copied there on the first run, and again, with the user's
// notes carried over by Q_ID, whenever the shipped bank has changed since or
// the copy is damaged (then with the notes that can still be read, and the
// damaged file kept beside it); an empty user set is created when there is
// none. The copy is written beside the old one and renamed into place, with
// progress shown on progress when given. Returns what the user is to be told
// (empty: nothing). Throws platform::TableError.
QString prepareUserData(const QString& programDir, const QString& dataDir,
                        BuildProgress* progress = nullptr);

// Creates an empty user question set unless the file already exists.
void ensureUserSet(const QString& path);

} // namespace store
