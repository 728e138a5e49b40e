#include "DataFolder.h"

#include "History.h"
#include "Schemas.h"
#include "Session.h"
#include "Table.h"
#include "TableError.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cstdio>
#include <unistd.h>

namespace store {

namespace {

constexpr QFile::Permissions kPrivate = QFile::ReadOwner | QFile::WriteOwner;

// Names the shipped bank a copy was made from, so that a newer install is
// seen even when its file is older than the user's last note.
const char* const kSourceStamp = "tcpip.DAT.source";

[[noreturn]] void cantWrite(const QString& path, const QString& why)
{
    throw platform::TableError(platform::TableError::CantOpen,
                               QStringLiteral("Cannot write %1: %2").arg(path, why));
}

QByteArray fingerprint(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw platform::TableError(
            platform::TableError::CantOpen,
            QStringLiteral("The table file \"%1\" was not found in %2.")
                .arg(QFileInfo(path).fileName(), QFileInfo(path).absolutePath()));
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(&f);
    return hash.result().toHex();
}

// Copies src to dst, created readable by the user only; dst must not exist.
void copyPrivate(const QString& src, const QString& dst)
{
    QFile in(src);
    if (!in.open(QIODevice::ReadOnly))
        throw platform::TableError(platform::TableError::CantOpen,
                                   QStringLiteral("Cannot read %1: %2").arg(src, in.errorString()));
    QFile out(dst);
    if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly, kPrivate))
        cantWrite(dst, out.errorString());
    while (!in.atEnd()) {
        const QByteArray chunk = in.read(1 << 16);
        if (chunk.isEmpty() && in.error() != QFile::NoError)
            cantWrite(dst, in.errorString());
        if (out.write(chunk) != chunk.size())
            cantWrite(dst, out.errorString());
    }
    if (!out.flush() || ::fsync(out.handle()) != 0)
        cantWrite(dst, out.errorString());
}

void renameInto(const QString& from, const QString& to)
{
    // rename(2) replaces the old file in one step: a crash leaves either the
    // old copy or the new one, never a half-written bank.
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0) {
        QFile::remove(from);
        cantWrite(to, QStringLiteral("the new file could not be moved into place"));
    }
}

void copyPictures(const QString& programDir, const QString& dataDir)
{
    const QDir from(QDir(programDir).filePath(QStringLiteral("pictures")));
    if (!from.exists())
        return;
    QDir to(dataDir);
    to.mkpath(QStringLiteral("pictures"));
    to.cd(QStringLiteral("pictures"));
    for (const QFileInfo& f : from.entryInfoList(QDir::Files)) {
        const QString target = to.filePath(f.fileName());
        const QString fresh = target + QStringLiteral(".new");
        QFile::remove(fresh);
        if (!QFile::copy(f.absoluteFilePath(), fresh))
            cantWrite(fresh, QStringLiteral("the picture could not be copied"));
        renameInto(fresh, target);
    }
}

void writeStamp(const QString& dataDir, const QByteArray& print)
{
    QSaveFile f(QDir(dataDir).filePath(QString::fromLatin1(kSourceStamp)));
    if (!f.open(QIODevice::WriteOnly) || f.write(print + '\n') != print.size() + 1 || !f.commit())
        cantWrite(f.fileName(), f.errorString());
}

QByteArray readStamp(const QString& dataDir)
{
    QFile f(QDir(dataDir).filePath(QString::fromLatin1(kSourceStamp)));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll().trimmed();
}

} // namespace

bool folderIsWritable(const QString& dir)
{
    return ::access(QFile::encodeName(dir).constData(), W_OK | X_OK) == 0;
}

QString chooseDataFolder(const QString& programDir, bool programDirWritable,
                         const QString& userDataDir)
{
    return programDirWritable ? programDir : userDataDir;
}

QHash<qint64, QString> readNotes(Session& session, const QString& bankPath)
{
    QHash<qint64, QString> notes;
    Table old(session, QFileInfo(bankPath).absoluteFilePath(), bankSchema());
    old.open();
    for (old.first(); !old.eof(); old.next()) {
        const QString memo = old.asString(QStringLiteral("U_MEMO"));
        if (!memo.isEmpty())
            notes.insert(old.asInteger(QStringLiteral("Q_ID")), memo);
    }
    old.close();
    return notes;
}

void writeNotes(Session& session, const QString& bankPath, const QHash<qint64, QString>& notes)
{
    if (notes.isEmpty())
        return;
    Table t(session, QFileInfo(bankPath).absoluteFilePath(), bankSchema());
    t.setExclusive(true);
    t.open();
    t.beginBatch();
    for (t.first(); !t.eof(); t.next()) {
        const auto note = notes.constFind(t.asInteger(QStringLiteral("Q_ID")));
        if (note == notes.constEnd())
            continue;
        t.edit();
        t.setValue(QStringLiteral("U_MEMO"), *note);
        t.post();
    }
    t.commitBatch();
    t.close();
}

void ensureUserSet(const QString& path)
{
    if (QFileInfo::exists(path))
        return;
    Session session(QString::fromLatin1(kSessionName));
    session.registerPassword(QString::fromLatin1(kTablePassword));
    Table t(session, QFileInfo(path).absoluteFilePath(), userSetSchema(), true);
    t.open();
    t.close();
}

void prepareUserData(const QString& programDir, const QString& dataDir)
{
    if (!QDir().mkpath(dataDir))
        cantWrite(dataDir, QStringLiteral("the folder could not be created"));
    QFile::setPermissions(dataDir, kPrivate | QFile::ExeOwner);

    const QDir data(dataDir);
    const QString shipped = QDir(programDir).filePath(QString::fromLatin1(kBankFile));
    const QString copy = data.filePath(QString::fromLatin1(kBankFile));
    const QString fresh = copy + QStringLiteral(".new");
    const QByteArray print = fingerprint(shipped);
    const bool present = QFileInfo::exists(copy);
    if (!present || readStamp(dataDir) != print) {
        Session session(QString::fromLatin1(kSessionName));
        session.registerPassword(QString::fromLatin1(kTablePassword));
        const QHash<qint64, QString> notes =
            present ? readNotes(session, copy) : QHash<qint64, QString>();
        QFile::remove(fresh);
        try {
            copyPrivate(shipped, fresh);
            writeNotes(session, fresh, notes);
        } catch (...) {
            QFile::remove(fresh);
            throw;
        }
        renameInto(fresh, copy);
        copyPictures(programDir, dataDir);
        writeStamp(dataDir, print);
    }
    ensureUserSet(data.filePath(QString::fromLatin1(kUserSetFile)));
    ensureHistoryFile(data.filePath(QString::fromLatin1(kHistoryFile)));
}

} // namespace store
