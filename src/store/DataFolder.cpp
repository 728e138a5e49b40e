#include "DataFolder.h"

#include "ExamSetBuilder.h"
#include "History.h"
#include "RegularFile.h"
#include "Schemas.h"
#include "Session.h"
#include "Table.h"
#include "TableError.h"
#include "TableFile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <optional>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace store {

namespace {

constexpr QFile::Permissions kPrivate = QFile::ReadOwner | QFile::WriteOwner;

// Names the shipped bank a copy was made from, so that a newer install is
// seen even when its file is older than the user's last note. The second line
// is the state of the shipped file when it was hashed: while that stays the
// same, the file is not read again.
const char* const kSourceStamp = "tcpip.DAT.source";
// What a damaged copy of the bank is kept as once it has been replaced.
const char* const kDamagedSuffix = ".damaged";

[[noreturn]] void cantWrite(const QString& path, const QString& why)
{
    throw platform::TableError(platform::TableError::CantOpen,
                               QStringLiteral("Cannot write %1: %2").arg(path, why));
}

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Opens a file for reading through platform::openRegularFile: a pipe in its
// place is refused instead of waited on.
void openForReading(QFile& file, const QString& path, bool tableFile)
{
    const int fd = platform::openRegularFile(path, tableFile);
    if (fd < 0 || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        const int error = errno;
        if (fd >= 0)
            ::close(fd);
        if (error == ENOENT)
            throw platform::TableError(
                platform::TableError::CantOpen,
                QStringLiteral("The table file \"%1\" was not found in %2.")
                    .arg(QFileInfo(path).fileName(), QFileInfo(path).absolutePath()));
        throw platform::TableError(platform::TableError::CantOpen,
                                   QStringLiteral("Cannot read %1: %2").arg(path, systemError(error)));
    }
}

QByteArray fingerprint(const QString& path)
{
    QFile f;
    openForReading(f, path, true);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(&f);
    return hash.result().toHex();
}

// The size, times and identity of a file; empty when it cannot be looked at.
// A package manager that puts in a new bank changes at least its change time.
QByteArray fileState(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    QByteArrayList parts;
    for (const qint64 v :
         {qint64(st.st_size), qint64(st.st_mtim.tv_sec), qint64(st.st_mtim.tv_nsec),
          qint64(st.st_ctim.tv_sec), qint64(st.st_ctim.tv_nsec), qint64(st.st_ino)})
        parts << QByteArray::number(v);
    return parts.join(' ');
}

// Writes a new file and syncs it; the file must not exist, and a link in
// its place is not followed.
int createPrivate(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        cantWrite(path, systemError(errno));
    return fd;
}

void writeAll(int fd, const QString& path, const char* data, qint64 size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int error = n < 0 ? errno : ENOSPC;
            ::close(fd);
            cantWrite(path, systemError(error));
        }
        data += n;
        size -= n;
    }
}

void syncAndClose(int fd, const QString& path)
{
    if (::fsync(fd) != 0) {
        const int error = errno;
        ::close(fd);
        cantWrite(path, systemError(error));
    }
    ::close(fd);
}

// Copies src to dst, created readable by the user only; dst must not exist.
void copyPrivate(const QString& src, const QString& dst)
{
    QFile in;
    openForReading(in, src, true);
    const int out = createPrivate(dst);
    while (!in.atEnd()) {
        const QByteArray chunk = in.read(1 << 16);
        if (chunk.isEmpty() && in.error() != QFile::NoError) {
            ::close(out);
            cantWrite(dst, in.errorString());
        }
        writeAll(out, dst, chunk.constData(), chunk.size());
    }
    syncAndClose(out, dst);
}

void renameInto(const QString& from, const QString& to)
{
    // rename(2) replaces the old file in one step: a crash leaves either the
    // old copy or the new one, never a half-written bank. A link in the
    // place of the old file is replaced, not followed.
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0) {
        QFile::remove(from);
        cantWrite(to, QStringLiteral("the new file could not be moved into place"));
    }
    platform::syncFolderOf(to);
}

void copyPictures(const QString& programDir, const QString& dataDir)
{
    const QDir from(QDir(programDir).filePath(QStringLiteral("pictures")));
    if (!from.exists())
        return;
    QDir to(dataDir);
    platform::refuseLink(to.filePath(QStringLiteral("pictures")));
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

struct Stamp {
    QByteArray print;     // the shipped bank's hash
    QByteArray fileState; // the shipped bank's state when it was hashed
};

QString stampPath(const QString& dataDir)
{
    return QDir(dataDir).filePath(QString::fromLatin1(kSourceStamp));
}

void writeStamp(const QString& dataDir, const Stamp& stamp)
{
    const QString path = stampPath(dataDir);
    const QString fresh = path + QStringLiteral(".new");
    platform::refuseLink(path);
    ::unlink(QFile::encodeName(fresh).constData());
    const QByteArray text = stamp.print + '\n' + stamp.fileState + '\n';
    const int fd = createPrivate(fresh);
    writeAll(fd, fresh, text.constData(), text.size());
    syncAndClose(fd, fresh);
    renameInto(fresh, path);
}

Stamp readStamp(const QString& dataDir)
{
    const QString path = stampPath(dataDir);
    platform::refuseLink(path);
    const int fd = platform::openRegularFile(path, false);
    if (fd < 0)
        return {};
    QFile f;
    if (!f.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return {};
    }
    // Small, but a stamp made huge must not hold the start.
    const QList<QByteArray> lines = f.read(4096).split('\n');
    Stamp stamp;
    stamp.print = lines.value(0).trimmed();
    stamp.fileState = lines.value(1).trimmed();
    return stamp;
}

bool isDamage(const platform::TableError& e)
{
    return e.code() == platform::TableError::Corrupt ||
           e.code() == platform::TableError::NotADatabase;
}

// Keeps what the user may still want of a damaged copy under a name of its
// own, before the copy's name is given to the restored bank.
QString keepDamaged(const QString& copy)
{
    const QString kept = copy + QLatin1String(kDamagedSuffix);
    const QString fresh = kept + QStringLiteral(".new");
    ::unlink(QFile::encodeName(fresh).constData());
    if (::link(QFile::encodeName(copy).constData(), QFile::encodeName(fresh).constData()) != 0)
        copyPrivate(copy, fresh);
    renameInto(fresh, kept);
    return kept;
}

QString restoredNotice(const QString& copy, const QString& kept, qsizetype notes)
{
    const QString carried =
        notes == 0   ? QStringLiteral("none of your notes in it could be read")
        : notes == 1 ? QStringLiteral("1 note in it could still be read and was kept")
                     : QStringLiteral("%1 notes in it could still be read and were kept").arg(notes);
    return QStringLiteral("Your copy of the question bank \"%1\" was damaged and has been "
                          "restored from the installed bank; %2. The damaged file was kept as "
                          "\"%3\".")
        .arg(copy, carried, kept);
}

// Hides the progress window however the rebuild ends.
class ProgressScope {
public:
    explicit ProgressScope(BuildProgress* progress) : m_progress(progress)
    {
        if (m_progress)
            m_progress->beginBuild();
    }
    ~ProgressScope()
    {
        if (m_progress)
            m_progress->endBuild();
    }
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;

private:
    BuildProgress* m_progress;
};

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
    // One read of the column, not one per record.
    QHash<int, qint64> idOf;
    for (const auto& [record, id] : old.visibleValues(QStringLiteral("Q_ID")))
        idOf.insert(record, id.toLongLong());
    for (const auto& [record, memo] : old.visibleValues(QStringLiteral("U_MEMO")))
        if (!memo.toString().isEmpty())
            notes.insert(idOf.value(record), memo.toString());
    old.close();
    return notes;
}

void writeNotes(Session& session, const QString& bankPath, const QHash<qint64, QString>& notes,
                BuildProgress* progress, int progressBase)
{
    if (notes.isEmpty())
        return;
    // One statement for all the notes, in key order, in one transaction:
    // through the cursor each note cost a read and a write of its whole
    // record, which for ten thousand notes held the start for seconds.
    std::vector<std::pair<qint64, QVariant>> values;
    values.reserve(size_t(notes.size()));
    for (auto it = notes.cbegin(); it != notes.cend(); ++it)
        values.emplace_back(it.key(), it.value());
    std::sort(values.begin(), values.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    const TableSchema& schema = bankSchema();
    int memo = -1;
    for (size_t i = 0; i < schema.size(); ++i)
        if (schema[i].name == QLatin1String("U_MEMO"))
            memo = int(i);
    platform::TableFile file(QFileInfo(bankPath).absoluteFilePath(), session.passwords(), true,
                             platform::TableFile::Missing::Fail, schema);
    // A hundred steps at most: each may repaint the window.
    const size_t step = std::max<size_t>(1, values.size() / 100);
    file.beginTransaction();
    file.updateColumn(memo, values, [&](size_t written) {
        if (progress && (written % step == 0 || written == values.size()))
            progress->setBuildPosition(progressBase + int(written));
    });
    file.commit();
}

void readyUserFolder(const QString& dataDir)
{
    platform::refuseLink(dataDir);
    if (!QDir().mkpath(dataDir))
        cantWrite(dataDir, QStringLiteral("the folder could not be created"));
    // Opened without following a link, so that the mode set is the folder's
    // own even if a link took its place since the look above.
    const int fd = ::open(QFile::encodeName(dataDir).constData(),
                          O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        platform::refuseLink(dataDir);
        cantWrite(dataDir, systemError(error));
    }
    ::fchmod(fd, S_IRWXU);
    ::close(fd);
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

QString prepareUserData(const QString& programDir, const QString& dataDir, BuildProgress* progress)
{
    readyUserFolder(dataDir);

    const QDir data(dataDir);
    const QString shipped = QDir(programDir).filePath(QString::fromLatin1(kBankFile));
    const QString copy = data.filePath(QString::fromLatin1(kBankFile));
    const QString fresh = copy + QStringLiteral(".new");

    // Shown from the first slow step on: the hash of a changed bank, the
    // read of the old copy's notes, the rebuild.
    std::optional<ProgressScope> scope;
    const auto showProgress = [&] {
        if (scope)
            return;
        scope.emplace(progress);
        if (progress)
            progress->setBuildMaximum(0); // busy until the steps are known
    };

    // Hashing a large bank takes seconds; its state tells whether it changed.
    const Stamp recorded = readStamp(dataDir);
    Stamp current{QByteArray(), fileState(shipped)};
    if (current.fileState.isEmpty() || current.fileState != recorded.fileState) {
        showProgress();
        current.print = fingerprint(shipped);
    } else {
        current.print = recorded.print;
    }
    const bool upgrade = recorded.print != current.print;

    Session session(QString::fromLatin1(kSessionName));
    session.registerPassword(QString::fromLatin1(kTablePassword));
    const bool present = QFileInfo::exists(copy);
    bool damaged = false;
    QHash<qint64, QString> notes;
    if (present) {
        try {
            if (upgrade) {
                showProgress();
                notes = readNotes(session, copy);
            } else {
                // The full read is kept for the run: the exam's open of the
                // same file then reads nothing again.
                Table check(session, QFileInfo(copy).absoluteFilePath(), bankSchema());
                check.open();
                check.close();
            }
        } catch (const platform::TableError& e) {
            // Only damage is mended here; a lock or a full disk is said by
            // the open that meets it, and the copy is kept as it is.
            if (!isDamage(e)) {
                if (upgrade)
                    throw;
            } else {
                damaged = true;
            }
        }
    }
    QString notice;
    if (!present || damaged || upgrade) {
        showProgress();
        QFile::remove(fresh);
        try {
            copyPrivate(shipped, fresh);
            if (damaged) {
                qint64 lastKey = 0;
                {
                    platform::TableFile installed(fresh, session.passwords(), false,
                                                  platform::TableFile::Missing::Fail,
                                                  bankSchema());
                    const auto keys = installed.selectColumn(0);
                    lastKey = keys.empty() ? 0 : keys.back().first;
                }
                notes = platform::TableFile::salvageTexts(
                    copy, session.passwords(), QStringLiteral("Q_ID"), QStringLiteral("U_MEMO"),
                    lastKey);
            }
            if (progress) {
                progress->setBuildMaximum(int(notes.size()) + 1);
                progress->setBuildPosition(1);
            }
            writeNotes(session, fresh, notes, progress, 1);
        } catch (...) {
            QFile::remove(fresh);
            throw;
        }
        if (damaged) {
            const QString kept = keepDamaged(copy);
            notice = restoredNotice(copy, kept, notes.size());
        }
        renameInto(fresh, copy);
        copyPictures(programDir, dataDir);
        writeStamp(dataDir, current);
    } else if (recorded.fileState != current.fileState) {
        writeStamp(dataDir, current);
    }
    ensureUserSet(data.filePath(QString::fromLatin1(kUserSetFile)));
    ensureHistoryFile(data.filePath(QString::fromLatin1(kHistoryFile)));
    return notice;
}

} // namespace store
