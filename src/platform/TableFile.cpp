#include "TableFile.h"

#include "RegularFile.h"
#include "TableError.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QSet>
#include <QThread>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <filesystem>
#include <limits>
#include <mutex>
#include <openssl/evp.h>
#include <sqlite3.h>
#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace platform {

namespace {

const char* kTableName = "items";

// The engine's page cache, in KB: its own default, and the larger one a long
// read (beginReading) has.
constexpr int kDefaultCacheKb = 2000;
constexpr int kReadingCacheKb = 32768;

// Leaves a statement reset however the call ends, so that it holds no lock.
struct ResetOnExit {
    sqlite3_stmt* st;
    ~ResetOnExit() { sqlite3_reset(st); }
};

// The engine stores a file's random salt in the clear in its first bytes and
// derives the key from the password and that salt. Deriving it here, with the
// engine's own algorithm and iteration count, lets a later open of the same
// file hand the engine the finished key instead of deriving it again.
constexpr int kSaltSize = 16;
constexpr int kKeySize = 32;

struct KnownKey {
    QByteArray key;
    int pageSize = 0; // 0: not yet seen to open the file
};

struct KeyStore {
    std::mutex mutex;
    // Signalled when a derivation ends: an open waits for a derivation of its
    // key already running on a worker thread instead of running a second one.
    std::condition_variable derived;
    QSet<QByteArray> deriving;
    QHash<QByteArray, KnownKey> keys; // by salt followed by the password
    std::atomic<int> derivations{0};
};

KeyStore& keyStore()
{
    static KeyStore store;
    return store;
}

KnownKey knownKey(const QByteArray& password, const QByteArray& salt)
{
    KeyStore& ks = keyStore();
    const QByteArray id = salt + password;
    std::unique_lock<std::mutex> lock(ks.mutex);
    ks.derived.wait(lock, [&] { return !ks.deriving.contains(id); });
    const auto it = ks.keys.constFind(id);
    if (it != ks.keys.constEnd())
        return *it;
    ks.deriving.insert(id);
    lock.unlock();
    KnownKey k;
    k.key.resize(kKeySize);
    PKCS5_PBKDF2_HMAC_SHA1(password.constData(), static_cast<int>(password.size()),
                           reinterpret_cast<const unsigned char*>(salt.constData()), kSaltSize,
                           TableFile::KdfIterations, kKeySize,
                           reinterpret_cast<unsigned char*>(k.key.data()));
    lock.lock();
    ks.deriving.remove(id);
    ks.keys.insert(id, k);
    ++ks.derivations;
    ks.derived.notify_all();
    return k;
}

// The key of a file this process has already opened; empty otherwise.
QByteArray heldKey(const QByteArray& password, const QByteArray& salt)
{
    KeyStore& ks = keyStore();
    const std::lock_guard<std::mutex> lock(ks.mutex);
    return ks.keys.value(salt + password).key;
}

void rememberPageSize(const QByteArray& password, const QByteArray& salt, int pageSize)
{
    KeyStore& ks = keyStore();
    const std::lock_guard<std::mutex> lock(ks.mutex);
    const auto it = ks.keys.find(salt + password);
    if (it != ks.keys.end())
        it->pageSize = pageSize;
}

// Empty when the file is too short to hold a salt: the engine then gets the
// password and reports the file as unreadable itself.
// Anything but a plain file is refused (platform::TableError).
QByteArray readSalt(const QString& path)
{
    const int fd = openRegularFile(path);
    if (fd < 0)
        return {};
    QByteArray salt(kSaltSize, Qt::Uninitialized);
    qsizetype got = 0;
    while (got < kSaltSize) {
        const ssize_t n = ::read(fd, salt.data() + got, size_t(kSaltSize - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += n;
    }
    ::close(fd);
    return got == kSaltSize ? salt : QByteArray();
}

// A named pipe, a folder or a device where a table file should be: refused
// before the engine opens it, whose reads of a pipe would wait for good.
void refuseIrregularFile(const QString& path)
{
    const int fd = openRegularFile(path);
    if (fd >= 0)
        ::close(fd);
}

QByteArray freshSalt()
{
    quint32 words[kSaltSize / 4];
    QRandomGenerator::system()->fillRange(words);
    return QByteArray(reinterpret_cast<const char*>(words), kSaltSize);
}

// The engine's form for a finished key together with the salt it belongs to.
QByteArray rawKeySpec(const QByteArray& key, const QByteArray& salt)
{
    return "x'" + key.toHex() + salt.toHex() + "'";
}

QString sqlType(ColumnType t)
{
    switch (t) {
    case ColumnType::Integer:
    case ColumnType::Boolean:
        return QStringLiteral("INTEGER");
    case ColumnType::String:
    case ColumnType::Memo:
        break;
    }
    return QStringLiteral("TEXT");
}

int bindValue(sqlite3_stmt* stmt, int index, const QVariant& v, ColumnType type)
{
    if (v.isNull() || !v.isValid())
        return sqlite3_bind_null(stmt, index);
    switch (type) {
    case ColumnType::Integer:
        return sqlite3_bind_int64(stmt, index, v.toLongLong());
    case ColumnType::Boolean:
        return sqlite3_bind_int(stmt, index, v.toBool() ? 1 : 0);
    case ColumnType::String:
    case ColumnType::Memo:
        break;
    }
    const QByteArray utf8 = v.toString().toUtf8();
    return sqlite3_bind_text(stmt, index, utf8.constData(), static_cast<int>(utf8.size()),
                             SQLITE_TRANSIENT);
}

class Statement {
public:
    Statement(sqlite3* db, const QString& sql) : m_db(db)
    {
        const QByteArray utf8 = sql.toUtf8();
        m_rc = sqlite3_prepare_v2(db, utf8.constData(), utf8.size(), &m_stmt, nullptr);
    }
    ~Statement() { sqlite3_finalize(m_stmt); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    int prepareResult() const { return m_rc; }
    sqlite3_stmt* get() const { return m_stmt; }

    int bind(int index, const QVariant& v, ColumnType type)
    {
        return bindValue(m_stmt, index, v, type);
    }

private:
    sqlite3* m_db;
    sqlite3_stmt* m_stmt = nullptr;
    int m_rc;
};

// What the user is told of an engine error, and the engine's own words for
// "Show Details" where they are no text for a message.
struct Described {
    QString text;
    QString details;
};

// The file the user knows: a new content written beside a file (".new")
// is that file's, and an error while writing it is one of that file.
QString shownPath(const QString& path)
{
    const QString full = QFileInfo(path).absoluteFilePath();
    return full.endsWith(QLatin1String(".new")) ? full.chopped(4) : full;
}

Described describe(int rc, const QString& path, const char* engineText)
{
    const QString full = shownPath(path);
    const QString name = QFileInfo(full).fileName();
    const QString where = QDir::toNativeSeparators(full);
    const QString engine = QString::fromUtf8(engineText ? engineText : sqlite3_errstr(rc));
    switch (rc & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return {QStringLiteral("The table file \"%1\" is locked by another program or window. "
                               "Close it there and try again. (%2)")
                    .arg(name, engine),
                {}};
    case SQLITE_FULL:
        // The engine has undone what the write had begun; the file is as it
        // was before it. Its own text ("database or disk is full") and a
        // file name without a folder give the user nothing to act on.
        return {QStringLiteral("The disk is full: the table file \"%1\" in %2 could not be "
                               "written, and it was left as it was. Free some space on that disk "
                               "and try again.")
                    .arg(name, QDir::toNativeSeparators(QFileInfo(full).absolutePath())),
                // Said afresh: after the engine's own undo, its last message
                // may belong to another statement ("not an error").
                QString::fromUtf8(sqlite3_errstr(SQLITE_FULL))};
    case SQLITE_NOTADB:
        return {QStringLiteral("The table file \"%1\" cannot be read: the password is wrong or "
                               "the file is damaged.\rThe file is %2.")
                    .arg(name, where),
                engine};
    case SQLITE_ERROR:
    case SQLITE_CORRUPT:
    case SQLITE_FORMAT:
        // The engine reports a page that fails its check as a generic error;
        // our own statements are fixed and checked, so that is damage too.
        // Its account of the damage lists every page that failed: that goes
        // behind "Show Details", not into the message.
        return {QStringLiteral("The table file \"%1\" is damaged and cannot be read.\rThe file "
                               "is %2.")
                    .arg(name, where),
                engine};
    case SQLITE_CANTOPEN:
        return {QStringLiteral("The table file \"%1\" cannot be opened. (%2)").arg(name, engine),
                {}};
    case SQLITE_CONSTRAINT:
        return {QStringLiteral("The table file \"%1\" refused the record: key violation. (%2)")
                    .arg(name, engine),
                {}};
    default:
        break;
    }
    return {QStringLiteral("Error in table file \"%1\": %2").arg(name, engine), {}};
}

// A write that failed on a full disk may reach us as an I/O error (a sync or
// a truncate that found no room) rather than as the engine's "full".
int fullDiskAsFull(sqlite3* db, int rc)
{
    if ((rc & 0xff) == SQLITE_IOERR && db && sqlite3_system_errno(db) == ENOSPC)
        return SQLITE_FULL;
    return rc;
}

TableError describedError(int rc, const QString& path, const char* engineText, int retries)
{
    const Described d = describe(rc, path, engineText);
    return TableError(rc & 0xff, d.text, retries, d.details);
}

// Per file, by absolute path: how many times this process wrote it, and the
// state in which its pages last passed their check.
struct FileRecords {
    std::mutex mutex;
    QHash<QString, quint64> writes;
    QHash<QString, QByteArray> pagesChecked;
};

FileRecords& fileRecords()
{
    static FileRecords records;
    return records;
}

} // namespace

QByteArray TableFile::stateOf(const QString& path)
{
    quint64 writes = 0;
    {
        FileRecords& fr = fileRecords();
        std::lock_guard<std::mutex> lock(fr.mutex);
        writes = fr.writes.value(path);
    }
    QByteArray state = QByteArray::number(writes);
#ifdef Q_OS_UNIX
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    for (const qint64 v :
         {qint64(st.st_dev), qint64(st.st_ino), qint64(st.st_size), qint64(st.st_mtim.tv_sec),
          qint64(st.st_mtim.tv_nsec), qint64(st.st_ctim.tv_sec), qint64(st.st_ctim.tv_nsec)})
        state += '/' + QByteArray::number(v);
    // A file kept with a write-ahead log changes in its log first.
    if (::stat(QFile::encodeName(path + QStringLiteral("-wal")).constData(), &st) == 0)
        for (const qint64 v : {qint64(st.st_ino), qint64(st.st_size), qint64(st.st_mtim.tv_sec),
                               qint64(st.st_mtim.tv_nsec)})
            state += '/' + QByteArray::number(v);
#else
    const QFileInfo info(path);
    if (!info.exists())
        return {};
    state += '/' + QByteArray::number(info.size()) + '/' +
             QByteArray::number(info.lastModified().toMSecsSinceEpoch()) + '/' +
             QByteArray::number(info.metadataChangeTime().toMSecsSinceEpoch());
#endif
    return state;
}

void TableFile::forgetCheckedPages()
{
    FileRecords& fr = fileRecords();
    std::lock_guard<std::mutex> lock(fr.mutex);
    fr.pagesChecked.clear();
}

void TableFile::noteWrite()
{
    FileRecords& fr = fileRecords();
    std::lock_guard<std::mutex> lock(fr.mutex);
    ++fr.writes[m_path];
}

TableFile::TableFile(const QString& path, const QStringList& passwords, bool exclusive,
                     Missing missing, const std::vector<ColumnDef>& schema)
    : m_path(path), m_schema(schema)
{
    refuseIrregularFile(path);
    const QFileInfo info(path);
    const bool exists = info.exists();
    if (!exists && missing == Missing::Fail)
        refuseMissingFile(path);
    if (exists && info.size() == 0 && missing == Missing::Fail)
        refuseEmptyFile();
    if (passwords.isEmpty())
        throw TableError(TableError::Usage,
                         QStringLiteral("No password is registered for the table file \"%1\".")
                             .arg(info.fileName()));
    // A file this process just created takes the first password; an existing
    // one is probed with each password until one reads it.
    for (qsizetype i = 0; i < passwords.size(); ++i) {
        try {
            m_created = missing == Missing::Create && (!exists || info.size() == 0);
            openWith(passwords.at(i).toUtf8(), exclusive, m_created);
            return;
        } catch (const TableError& e) {
            closeHandle();
            if (e.code() != SQLITE_NOTADB || i + 1 == passwords.size())
                throw;
        }
    }
}

void TableFile::refuseMissingFile(const QString& path)
{
    const QFileInfo info(path);
    throw TableError(TableError::CantOpen,
                     QStringLiteral("The table file \"%1\" was not found in %2.")
                         .arg(info.fileName(), info.absolutePath()));
}

std::unique_ptr<TableFile> TableFile::replacement(const QString& path, const QStringList& passwords,
                                                  bool exclusive, Missing missing,
                                                  const std::vector<ColumnDef>& schema)
{
    refuseIrregularFile(path);
    if (missing == Missing::Fail && !QFileInfo::exists(path))
        refuseMissingFile(path);
    if (passwords.isEmpty())
        throw TableError(TableError::Usage,
                         QStringLiteral("No password is registered for the table file \"%1\".")
                             .arg(QFileInfo(path).fileName()));
    return std::unique_ptr<TableFile>(
        new TableFile(ReplacementTag{}, path, passwords, exclusive, schema));
}

TableFile::TableFile(ReplacementTag, const QString& path, const QStringList& passwords,
                     bool exclusive, const std::vector<ColumnDef>& schema)
    : m_path(path + QStringLiteral(".new")), m_schema(schema), m_target(path),
      m_password(passwords.first().toUtf8()), m_exclusive(exclusive)
{
    // What a replacement that never finished left behind is of no use.
    QFile::remove(m_path);
    QFile::remove(m_path + QStringLiteral("-journal"));
    // The same key as the file it replaces, when this process holds it: the
    // key derivation is then not run again. The key is exactly as strong:
    // the same password, salt and derivation, and every page still has an
    // IV of its own.
    const QByteArray salt = readSalt(m_target);
    if (!salt.isEmpty() && !heldKey(m_password, salt).isEmpty())
        m_newSalt = salt;
    refuseLockedTarget();
    try {
        openWith(m_password, exclusive, true);
        // What is moved into place must be whole on the disk.
        exec("PRAGMA synchronous=FULL");
        beginTransaction();
    } catch (...) {
        abandonReplacement();
        throw;
    }
}

void TableFile::refuseLockedTarget()
{
    // Another handle that holds the file must not have it replaced under
    // it. A look needs no key: the lock is taken before the first page is
    // read, and without the key that read then fails as "not a database".
    if (!QFileInfo::exists(m_target))
        return;
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(m_target.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_busy_handler(db, &TableFile::busyHandler, this);
        m_retries = 0;
        rc = sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    }
    const QString text = QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
    sqlite3_close_v2(db);
    if ((rc & 0xff) == SQLITE_BUSY || (rc & 0xff) == SQLITE_LOCKED)
        throw describedError(rc, m_target, text.toUtf8().constData(), m_retries);
}

void TableFile::commitReplacement()
{
    if (!replacing())
        return;
    // The commit syncs the new file, so that what is moved into place below
    // is whole on the disk.
    commit();
    closeHandle();
    try {
        refuseLockedTarget();
    } catch (...) {
        abandonReplacement();
        throw;
    }
    // A journal or log of the file being replaced belongs to its old content;
    // left beside the new file, the engine would play it into it.
    for (const char* suffix : {"-journal", "-wal", "-shm"})
        QFile::remove(m_target + QLatin1String(suffix));
    std::error_code error;
    std::filesystem::rename(std::filesystem::path(QFile::encodeName(m_path).toStdString()),
                            std::filesystem::path(QFile::encodeName(m_target).toStdString()),
                            error);
    if (error) {
        const QString written = m_path;
        abandonReplacement();
        throw TableError(TableError::CantOpen,
                         QStringLiteral("The table file \"%1\" could not be replaced by its new "
                                        "content in \"%2\": %3. It was left as it is.")
                             .arg(QFileInfo(m_target).fileName(), QFileInfo(written).fileName(),
                                  QString::fromLocal8Bit(error.message().c_str())));
    }
    syncFolderOf(m_target);
    m_path = m_target;
    m_target.clear();
    noteWrite();
    // The file is the one just written and synced here: its pages need no
    // check, and its key and page size are known.
    const QByteArray salt = readSalt(m_path);
    rememberPageSize(m_password, salt, m_pageSize);
    {
        FileRecords& fr = fileRecords();
        const QByteArray state = stateOf(m_path);
        std::lock_guard<std::mutex> lock(fr.mutex);
        fr.pagesChecked.insert(m_path, state);
    }
    m_newSalt.clear();
    openWith(m_password, m_exclusive, false);
}

void TableFile::abandonReplacement()
{
    if (!replacing())
        return;
    closeHandle();
    QFile::remove(m_path);
    QFile::remove(m_path + QStringLiteral("-journal"));
    m_path = m_target;
    m_target.clear();
}

TableFile::~TableFile()
{
    abandonReplacement();
    closeHandle();
}

void TableFile::closeHandle()
{
    if (m_db) {
        sqlite3_finalize(m_insert);
        m_insert = nullptr;
        sqlite3_finalize(m_selectRow);
        m_selectRow = nullptr;
        if (m_inTransaction || m_reading)
            sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        m_inTransaction = false;
        m_reading = false;
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
}

int TableFile::busyHandler(void* self, int count)
{
    auto* file = static_cast<TableFile*>(self);
    if (count >= LockRetryCount)
        return 0;
    file->m_retries = count + 1;
    // The wait blocks the user-interface thread on purpose: the engine is
    // synchronous, and 15 x 100 ms is the most the user ever waits.
    QThread::msleep(LockWaitMs);
    return 1;
}

void TableFile::openWith(const QByteArray& password, bool exclusive, bool mayCreate)
{
    const bool reusedSalt = mayCreate && !m_newSalt.isEmpty();
    const QByteArray salt = reusedSalt ? m_newSalt : mayCreate ? freshSalt() : readSalt(m_path);
    const KnownKey known = salt.isEmpty() ? KnownKey() : knownKey(password, salt);
    const QByteArray key = salt.isEmpty() ? password : rawKeySpec(known.key, salt);
    // The page size is only readable with the key, so an existing file whose
    // size is not known yet is tried with 4 KB pages and then with 1 KB ones.
    std::vector<int> sizes{PageSize, LegacyPageSize};
    if (mayCreate)
        sizes = {PageSize};
    else if (known.pageSize != 0)
        sizes = {known.pageSize};
    const QByteArray file = m_path.toUtf8();
    const int flags = SQLITE_OPEN_READWRITE | (mayCreate ? SQLITE_OPEN_CREATE : 0);
    // Table files hold the user's notes, questions and exams: a new one is
    // readable by its owner only, whatever the umask. The engine's journal
    // files take the same mode from it.
    if (mayCreate && !QFileInfo::exists(m_path)) {
        QFile created(m_path);
        if (!created.open(QIODevice::WriteOnly | QIODevice::NewOnly,
                          QFile::ReadOwner | QFile::WriteOwner))
            throw TableError(TableError::CantOpen,
                             QStringLiteral("The table file \"%1\" can't be created: %2.")
                                 .arg(QFileInfo(shownPath(m_path)).fileName(),
                                      created.errorString()));
    }
    for (size_t i = 0; i < sizes.size(); ++i) {
        try {
            int rc = sqlite3_open_v2(file.constData(), &m_db, flags, nullptr);
            if (rc != SQLITE_OK)
                fail(rc);
            rc = sqlite3_key(m_db, key.constData(), static_cast<int>(key.size()));
            if (rc != SQLITE_OK)
                fail(rc);
            sqlite3_busy_handler(m_db, &TableFile::busyHandler, this);
            m_retries = 0;
            exec(QByteArray("PRAGMA cipher_page_size = " + QByteArray::number(sizes[i]))
                     .constData());
            // The first real statement is where a wrong key or a damaged file shows.
            exec("SELECT count(*) FROM sqlite_master");
            m_pageSize = sizes[i];
            break;
        } catch (const TableError& e) {
            if (e.code() != SQLITE_NOTADB || i + 1 == sizes.size())
                throw;
            closeHandle();
        }
    }
    if (mayCreate && replacing()) {
        // Until it is moved into place the new file is nobody's: a failure
        // throws it away, so neither its journal nor the statements that lay
        // out its table need reach the disk. Its one commit syncs it whole.
        exec("PRAGMA journal_mode=MEMORY");
        exec("PRAGMA synchronous=OFF");
    }
    // A reused salt's page size is the old file's until the new one replaces it.
    if (!salt.isEmpty() && known.pageSize != m_pageSize && !reusedSalt)
        rememberPageSize(password, salt, m_pageSize);
    if (exclusive) {
        exec("PRAGMA locking_mode=EXCLUSIVE");
        // The exclusive lock is only taken by a write transaction; once taken,
        // the locking mode keeps it until the handle closes.
        exec("BEGIN EXCLUSIVE");
        exec("COMMIT");
    }
    if (!mayCreate)
        checkObjects();
    ensureSchema(mayCreate);
    if (!mayCreate) {
        // Once per file per run: a file this process has not written since
        // its pages passed, and that nobody else has touched, passes again.
        const QByteArray state = stateOf(m_path);
        FileRecords& fr = fileRecords();
        bool checked = false;
        {
            std::lock_guard<std::mutex> lock(fr.mutex);
            checked = !state.isEmpty() && fr.pagesChecked.value(m_path) == state;
        }
        if (!checked) {
            checkPages();
            std::lock_guard<std::mutex> lock(fr.mutex);
            fr.pagesChecked.insert(m_path, state);
        }
    }
}

void TableFile::ensureSchema(bool mayCreate)
{
    QStringList existing;
    QStringList existingTypes;
    {
        Statement st(m_db, QStringLiteral("PRAGMA table_info(%1)").arg(QLatin1String(kTableName)));
        if (st.prepareResult() != SQLITE_OK)
            fail(st.prepareResult());
        int rc;
        while ((rc = sqlite3_step(st.get())) == SQLITE_ROW) {
            existing << QString::fromUtf8(
                reinterpret_cast<const char*>(sqlite3_column_text(st.get(), 1)));
            // The declared type, and whether the column is the key.
            existingTypes << QString::fromUtf8(
                                 reinterpret_cast<const char*>(sqlite3_column_text(st.get(), 2)))
                                     .toUpper() +
                                 QLatin1Char('/') +
                                 QString::number(sqlite3_column_int(st.get(), 5));
        }
        if (rc != SQLITE_DONE)
            fail(rc);
    }
    if (existing.isEmpty()) {
        if (!mayCreate)
            throw TableError(TableError::NotADatabase,
                             QStringLiteral("The table file \"%1\" holds no question table: "
                                            "it is damaged or belongs to another program.")
                                 .arg(QFileInfo(m_path).fileName()));
        QStringList cols;
        for (const ColumnDef& c : m_schema) {
            if (cols.isEmpty())
                cols << QStringLiteral("%1 INTEGER PRIMARY KEY AUTOINCREMENT").arg(c.name);
            else
                cols << QStringLiteral("%1 %2").arg(c.name, sqlType(c.type));
        }
        exec(QStringLiteral("CREATE TABLE %1 (%2)")
                 .arg(QLatin1String(kTableName), cols.join(QStringLiteral(", ")))
                 .toUtf8()
                 .constData());
        return;
    }
    QStringList wanted;
    for (const ColumnDef& c : m_schema)
        wanted << c.name;
    if (existing != wanted)
        throw TableError(TableError::NotADatabase,
                         QStringLiteral("The table file \"%1\" has the wrong fields for this "
                                        "table (it has %2).")
                             .arg(QFileInfo(m_path).fileName(), existing.join(QLatin1Char(','))));
    checkColumnTypes(existingTypes);
}

void TableFile::refuseEmptyFile() const
{
    // The engine would take an empty file for a new one and quietly turn a
    // lost bank into a bank without items.
    throw TableError(TableError::Corrupt,
                     QStringLiteral("The table file \"%1\" is damaged: it is empty (0 bytes). "
                                    "It was left as it is.")
                         .arg(QFileInfo(m_path).fileName()));
}

void TableFile::refuseStructure(const QString& what) const
{
    throw TableError(TableError::Corrupt,
                     QStringLiteral("The table file \"%1\" is damaged or was altered: %2.")
                         .arg(QFileInfo(m_path).fileName(), what));
}

void TableFile::checkColumnTypes(const QStringList& declared) const
{
    for (size_t i = 0; i < m_schema.size(); ++i) {
        const QString wanted =
            sqlType(m_schema[i].type) + (i == 0 ? QStringLiteral("/1") : QStringLiteral("/0"));
        const QString has = declared.value(static_cast<qsizetype>(i));
        if (has.section(QLatin1Char('/'), 0, 0) != wanted.section(QLatin1Char('/'), 0, 0))
            refuseStructure(QStringLiteral("the field %1 has the type \"%2\" instead of \"%3\"")
                                .arg(m_schema[i].name, has.section(QLatin1Char('/'), 0, 0),
                                     sqlType(m_schema[i].type)));
        if (has != wanted)
            refuseStructure(
                i == 0 ? QStringLiteral("the field %1 is not the key").arg(m_schema[i].name)
                       : QStringLiteral("the field %1 is part of the key").arg(m_schema[i].name));
    }
}

void TableFile::checkObjects()
{
    // A view or trigger is code that runs inside our own statements: a view
    // named like the table can grow without end, and a trigger can change
    // records behind a plain note save. Neither has any business here.
    Statement st(m_db, QStringLiteral("SELECT type, name, tbl_name, sql FROM sqlite_master"));
    if (st.prepareResult() != SQLITE_OK)
        fail(st.prepareResult());
    int rc;
    bool hasItems = false;
    while ((rc = sqlite3_step(st.get())) == SQLITE_ROW) {
        auto text = [&](int col) {
            return QString::fromUtf8(
                reinterpret_cast<const char*>(sqlite3_column_text(st.get(), col)));
        };
        const QString type = text(0), name = text(1), table = text(2), sql = text(3);
        const bool itemsTable = type == QLatin1String("table") &&
                                name.compare(QLatin1String(kTableName), Qt::CaseInsensitive) == 0;
        const bool keyCounter =
            type == QLatin1String("table") && name == QLatin1String("sqlite_sequence");
        const bool itemsIndex = type == QLatin1String("index") &&
                                table.compare(QLatin1String(kTableName), Qt::CaseInsensitive) == 0;
        // Plain data beside the records; the readers check its columns.
        const bool sideTable = type == QLatin1String("table") &&
                               name.compare(QLatin1String(SideTableName), Qt::CaseInsensitive) == 0;
        const bool sideIndex =
            type == QLatin1String("index") &&
            table.compare(QLatin1String(SideTableName), Qt::CaseInsensitive) == 0 &&
            name.startsWith(QLatin1String("sqlite_autoindex_"));
        if (sideTable && !sql.startsWith(QLatin1String("CREATE TABLE"), Qt::CaseInsensitive))
            refuseStructure(QStringLiteral("\"%1\" is not a plain table").arg(name));
        if (sideTable || sideIndex)
            continue;
        if (itemsTable && !sql.startsWith(QLatin1String("CREATE TABLE"), Qt::CaseInsensitive))
            refuseStructure(QStringLiteral("\"%1\" is not a plain table").arg(name));
        if (!itemsTable && !keyCounter && !itemsIndex)
            refuseStructure(QStringLiteral("it holds a %1 named \"%2\"").arg(type, name));
        hasItems = hasItems || itemsTable;
    }
    if (rc != SQLITE_DONE)
        fail(rc);
    if (!hasItems)
        return; // said by the field check, which follows
    // A table without row ids cannot hand out new keys.
    Statement rowid(m_db,
                    QStringLiteral("SELECT rowid FROM %1 LIMIT 0").arg(QLatin1String(kTableName)));
    if (rowid.prepareResult() != SQLITE_OK)
        refuseStructure(
            QStringLiteral("the table \"%1\" has no row ids").arg(QLatin1String(kTableName)));
}

void TableFile::checkPages()
{
    // Reading every page now makes a page that fails its check show at open,
    // with the file named, rather than part-way through an exam.
    Statement st(m_db, QStringLiteral("PRAGMA quick_check"));
    if (st.prepareResult() != SQLITE_OK)
        fail(st.prepareResult());
    const int rc = sqlite3_step(st.get());
    if (rc != SQLITE_ROW)
        fail(rc);
    const QString verdict =
        QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st.get(), 0)));
    if (verdict != QLatin1String("ok"))
        throw describedError(SQLITE_CORRUPT, m_path, verdict.toUtf8().constData(), m_retries);
}

void TableFile::useWriteAheadLog()
{
    exec("PRAGMA journal_mode=WAL");
    setSyncEachCommit(true);
}

void TableFile::setSyncEachCommit(bool on)
{
    // In the log's mode, NORMAL never leaves the file damaged; it only lets
    // the last commits wait in the log for a later sync.
    exec(on ? "PRAGMA synchronous=FULL" : "PRAGMA synchronous=NORMAL");
}

void TableFile::exec(const char* sql)
{
    char* err = nullptr;
    const int rc = sqlite3_exec(m_db, sql, nullptr, nullptr, &err);
    if (rc != SQLITE_OK) {
        const QByteArray text = err ? QByteArray(err) : QByteArray(sqlite3_errstr(rc));
        sqlite3_free(err);
        throw describedError(fullDiskAsFull(m_db, rc), m_path, text.constData(), m_retries);
    }
}

void TableFile::fail(int rc, const QString& during)
{
    rc = fullDiskAsFull(m_db, rc);
    Described d = describe(rc, m_path, m_db ? sqlite3_errmsg(m_db) : nullptr);
    if (!during.isEmpty())
        d.text += QStringLiteral(" [%1]").arg(during);
    throw TableError(rc & 0xff, d.text, m_retries, d.details);
}

void TableFile::checkStoredValue(sqlite3_stmt* row, int column, size_t schemaColumn) const
{
    // The engine keeps any value in any column; a value of the wrong kind
    // would otherwise be read as 0, false or its digits without a word.
    const ColumnType type = m_schema[schemaColumn].type;
    const int stored = sqlite3_column_type(row, column);
    QString fault;
    switch (type) {
    case ColumnType::Integer:
        if (stored != SQLITE_INTEGER)
            fault = QStringLiteral("does not hold a whole number");
        else if (const qint64 v = sqlite3_column_int64(row, column);
                 v < std::numeric_limits<qint32>::min() || v > std::numeric_limits<qint32>::max())
            fault = QStringLiteral("holds %1, beyond the range of a 32-bit whole number").arg(v);
        break;
    case ColumnType::Boolean:
        if (stored != SQLITE_INTEGER ||
            (sqlite3_column_int64(row, column) != 0 && sqlite3_column_int64(row, column) != 1))
            fault = QStringLiteral("does not hold a yes/no value (0 or 1)");
        break;
    case ColumnType::String:
    case ColumnType::Memo:
        if (stored != SQLITE_TEXT)
            fault = QStringLiteral("does not hold a text");
        break;
    }
    if (fault.isEmpty())
        return;
    const QString key = sqlite3_column_type(row, 0) == SQLITE_INTEGER
                            ? QString::number(sqlite3_column_int64(row, 0))
                            : QStringLiteral("?");
    throw TableError(TableError::Corrupt,
                     QStringLiteral("The table file \"%1\" is damaged: in the record with %2 %3, "
                                    "the field %4 %5.")
                         .arg(QFileInfo(m_path).fileName(), m_schema.front().name, key,
                              m_schema[schemaColumn].name, fault));
}

QVariant TableFile::columnValue(sqlite3_stmt* row, int statementColumn, size_t schemaColumn) const
{
    if (sqlite3_column_type(row, statementColumn) == SQLITE_NULL)
        return {};
    checkStoredValue(row, statementColumn, schemaColumn);
    switch (m_schema[schemaColumn].type) {
    case ColumnType::Integer:
        return static_cast<qlonglong>(sqlite3_column_int64(row, statementColumn));
    case ColumnType::Boolean:
        return sqlite3_column_int(row, statementColumn) != 0;
    case ColumnType::String:
    case ColumnType::Memo:
        break;
    }
    return QString::fromUtf8(
        reinterpret_cast<const char*>(sqlite3_column_text(row, statementColumn)),
        sqlite3_column_bytes(row, statementColumn));
}

std::vector<RowValues> TableFile::selectAll()
{
    std::vector<RowValues> rows;
    forEachRow([&](RowValues&& row) { rows.push_back(std::move(row)); });
    return rows;
}

void TableFile::forEachRow(const std::function<void(RowValues&&)>& visit)
{
    QStringList names;
    for (const ColumnDef& c : m_schema)
        names << c.name;
    Statement st(m_db, QStringLiteral("SELECT %1 FROM %2 ORDER BY %3")
                           .arg(names.join(QStringLiteral(", ")), QLatin1String(kTableName),
                                m_schema.front().name));
    if (st.prepareResult() != SQLITE_OK)
        fail(st.prepareResult());
    int rc;
    m_retries = 0;
    while ((rc = sqlite3_step(st.get())) == SQLITE_ROW) {
        RowValues row(static_cast<qsizetype>(m_schema.size()));
        for (size_t i = 0; i < m_schema.size(); ++i)
            row[static_cast<qsizetype>(i)] = columnValue(st.get(), static_cast<int>(i), i);
        visit(std::move(row));
    }
    if (rc != SQLITE_DONE)
        fail(rc);
}

sqlite3_stmt* TableFile::selectRowStatement()
{
    if (!m_selectRow) {
        QStringList names;
        for (const ColumnDef& c : m_schema)
            names << c.name;
        const QByteArray sql = QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?")
                                   .arg(names.join(QStringLiteral(", ")), QLatin1String(kTableName),
                                        m_schema.front().name)
                                   .toUtf8();
        const int rc = sqlite3_prepare_v2(m_db, sql.constData(), static_cast<int>(sql.size()),
                                          &m_selectRow, nullptr);
        if (rc != SQLITE_OK) {
            sqlite3_finalize(m_selectRow);
            m_selectRow = nullptr;
            fail(rc);
        }
    }
    return m_selectRow;
}

std::optional<RowValues> TableFile::selectRow(qint64 key)
{
    sqlite3_stmt* st = selectRowStatement();
    const ResetOnExit reset{st};
    sqlite3_bind_int64(st, 1, key);
    m_retries = 0;
    const int rc = sqlite3_step(st);
    if (rc == SQLITE_DONE)
        return std::nullopt;
    if (rc != SQLITE_ROW)
        fail(rc);
    RowValues row(static_cast<qsizetype>(m_schema.size()));
    for (size_t i = 0; i < m_schema.size(); ++i)
        row[static_cast<qsizetype>(i)] = columnValue(st, static_cast<int>(i), i);
    return row;
}

std::vector<std::pair<qint64, QVariant>> TableFile::selectColumn(int column)
{
    const size_t c = static_cast<size_t>(column);
    Statement st(m_db,
                 QStringLiteral("SELECT %1, %2 FROM %3 ORDER BY %1")
                     .arg(m_schema.front().name, m_schema.at(c).name, QLatin1String(kTableName)));
    if (st.prepareResult() != SQLITE_OK)
        fail(st.prepareResult());
    std::vector<std::pair<qint64, QVariant>> out;
    int rc;
    m_retries = 0;
    while ((rc = sqlite3_step(st.get())) == SQLITE_ROW)
        out.emplace_back(sqlite3_column_int64(st.get(), 0), columnValue(st.get(), 1, c));
    if (rc != SQLITE_DONE)
        fail(rc);
    return out;
}

sqlite3_stmt* TableFile::insertStatement()
{
    if (!m_insert) {
        QStringList names, marks;
        for (const ColumnDef& c : m_schema) {
            names << c.name;
            marks << QStringLiteral("?");
        }
        const QByteArray sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                   .arg(QLatin1String(kTableName), names.join(QStringLiteral(", ")),
                                        marks.join(QStringLiteral(", ")))
                                   .toUtf8();
        const int rc = sqlite3_prepare_v2(m_db, sql.constData(), static_cast<int>(sql.size()),
                                          &m_insert, nullptr);
        if (rc != SQLITE_OK) {
            sqlite3_finalize(m_insert);
            m_insert = nullptr;
            fail(rc);
        }
    }
    sqlite3_reset(m_insert);
    sqlite3_clear_bindings(m_insert);
    return m_insert;
}

qint64 TableFile::insert(const RowValues& values)
{
    noteWrite();
    sqlite3_stmt* st = insertStatement();
    for (int i = 0; i < static_cast<int>(m_schema.size()); ++i)
        bindValue(st, i + 1, i < values.size() ? values[i] : QVariant(),
                  m_schema[static_cast<size_t>(i)].type);
    return stepInsert(values.isEmpty() || values[0].isNull());
}

std::optional<RowValues> TableFile::insertCopy(TableFile& source, qint64 sourceKey,
                                               const std::vector<std::pair<int, int>>& fields,
                                               const RowValues& values,
                                               const std::vector<bool>& textsWanted)
{
    noteWrite();
    sqlite3_stmt* into = insertStatement();
    sqlite3_stmt* from = source.selectRowStatement();
    const ResetOnExit reset{from};
    sqlite3_bind_int64(from, 1, sourceKey);
    source.m_retries = 0;
    const int found = sqlite3_step(from);
    if (found == SQLITE_DONE)
        return std::nullopt;
    if (found != SQLITE_ROW)
        source.fail(found);
    RowValues row(static_cast<qsizetype>(m_schema.size()));
    for (qsizetype i = 1; i < row.size() && i < values.size(); ++i) {
        row[i] = values[i];
        bindValue(into, static_cast<int>(i) + 1, values[i], m_schema[size_t(i)].type);
    }
    for (const auto& [to, col] : fields) {
        const size_t t = static_cast<size_t>(to);
        const size_t f = static_cast<size_t>(col);
        if (t == 0 || t >= m_schema.size() || f >= source.m_schema.size() ||
            m_schema[t].type != source.m_schema[f].type)
            throw TableError(TableError::Usage,
                             QStringLiteral("The field %1 of \"%2\" cannot be copied as it is.")
                                 .arg(t < m_schema.size() ? m_schema[t].name : QString::number(to),
                                      QFileInfo(m_path).fileName()));
        // The copy is as sound as the source: its values are checked as a read
        // would check them, and only then bound as they are stored.
        const bool numeric =
            m_schema[t].type == ColumnType::Integer || m_schema[t].type == ColumnType::Boolean;
        if (numeric || (t < textsWanted.size() && textsWanted[t]))
            row[static_cast<qsizetype>(t)] = source.columnValue(from, col, f);
        else if (sqlite3_column_type(from, col) != SQLITE_NULL)
            source.checkStoredValue(from, col, f);
        sqlite3_bind_value(into, to + 1, sqlite3_column_value(from, col));
    }
    row[0] = stepInsert(true);
    return row;
}

qint64 TableFile::stepInsert(bool newKey)
{
    m_retries = 0;
    const int rc = sqlite3_step(m_insert);
    // Reset at once, so that the statement holds no lock between inserts.
    sqlite3_reset(m_insert);
    if (rc == SQLITE_FULL && newKey)
        refuseUsedUpKeys(0);
    if (rc != SQLITE_DONE)
        fail(rc);
    const qint64 key = sqlite3_last_insert_rowid(m_db);
    if (key > std::numeric_limits<qint32>::max())
        refuseUsedUpKeys(key);
    return key;
}

void TableFile::refuseUsedUpKeys(qint64 inserted)
{
    qint64 last = inserted;
    if (inserted > 0) {
        // Keys are whole numbers of 32 bits; a record beyond them could never
        // be read back, so it goes again at once.
        Statement undo(m_db, QStringLiteral("DELETE FROM %1 WHERE %2 = ?")
                                 .arg(QLatin1String(kTableName), m_schema.front().name));
        sqlite3_bind_int64(undo.get(), 1, inserted);
        sqlite3_step(undo.get());
    } else {
        Statement seq(m_db, QStringLiteral("SELECT seq FROM sqlite_sequence WHERE name = ?"));
        sqlite3_bind_text(seq.get(), 1, kTableName, -1, SQLITE_STATIC);
        if (sqlite3_step(seq.get()) != SQLITE_ROW)
            fail(SQLITE_FULL);
        last = sqlite3_column_int64(seq.get(), 0);
        if (last < std::numeric_limits<qint32>::max())
            fail(SQLITE_FULL); // the disk really is full
    }
    throw TableError(TableError::Full,
                     QStringLiteral("The table file \"%1\" has used up its record numbers "
                                    "(the counter stands at %2), so no record can be added. "
                                    "The file was left as it is.")
                         .arg(QFileInfo(m_path).fileName())
                         .arg(last),
                     m_retries);
}

void TableFile::update(qint64 key, const RowValues& values)
{
    noteWrite();
    QStringList sets;
    for (size_t i = 1; i < m_schema.size(); ++i)
        sets << QStringLiteral("%1 = ?").arg(m_schema[i].name);
    Statement st(m_db, QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ?")
                           .arg(QLatin1String(kTableName), sets.join(QStringLiteral(", ")),
                                m_schema.front().name));
    if (st.prepareResult() != SQLITE_OK)
        fail(st.prepareResult());
    for (int i = 1; i < static_cast<int>(m_schema.size()); ++i)
        st.bind(i, i < values.size() ? values[i] : QVariant(),
                m_schema[static_cast<size_t>(i)].type);
    sqlite3_bind_int64(st.get(), static_cast<int>(m_schema.size()), key);
    m_retries = 0;
    const int rc = sqlite3_step(st.get());
    if (rc != SQLITE_DONE)
        fail(rc);
    // An edit of a record the file no longer holds would be saved nowhere.
    if (sqlite3_changes(m_db) == 0)
        throw TableError(TableError::Usage,
                         QStringLiteral("The record with %1 %2 is no longer in the table file "
                                        "\"%3\", so the change was not saved.")
                             .arg(m_schema.front().name)
                             .arg(key)
                             .arg(QFileInfo(m_path).fileName()));
}

void TableFile::updateColumn(int column,
                             const std::vector<std::pair<qint64, QVariant>>& values,
                             const std::function<void(size_t)>& done)
{
    if (column <= 0 || size_t(column) >= m_schema.size())
        throw TableError(TableError::Usage,
                         QStringLiteral("No field %1 to update in \"%2\".")
                             .arg(column)
                             .arg(QFileInfo(m_path).fileName()));
    noteWrite();
    const ColumnDef& field = m_schema[size_t(column)];
    Statement st(m_db, QStringLiteral("UPDATE %1 SET %2 = ? WHERE %3 = ?")
                           .arg(QLatin1String(kTableName), field.name, m_schema.front().name));
    if (st.prepareResult() != SQLITE_OK)
        fail(st.prepareResult());
    m_retries = 0;
    for (size_t i = 0; i < values.size(); ++i) {
        st.bind(1, values[i].second, field.type);
        sqlite3_bind_int64(st.get(), 2, values[i].first);
        const int rc = sqlite3_step(st.get());
        sqlite3_reset(st.get());
        if (rc != SQLITE_DONE)
            fail(rc);
        if (done)
            done(i + 1);
    }
}

void TableFile::remove(qint64 key)
{
    noteWrite();
    Statement st(m_db, QStringLiteral("DELETE FROM %1 WHERE %2 = ?")
                           .arg(QLatin1String(kTableName), m_schema.front().name));
    if (st.prepareResult() != SQLITE_OK)
        fail(st.prepareResult());
    sqlite3_bind_int64(st.get(), 1, key);
    m_retries = 0;
    const int rc = sqlite3_step(st.get());
    if (rc != SQLITE_DONE)
        fail(rc);
}

void TableFile::removeAll()
{
    noteWrite();
    m_retries = 0;
    exec("DELETE FROM items");
}

void TableFile::writeSideTable(const QStringList& columns,
                               const std::vector<std::pair<qint64, QStringList>>& rows)
{
    m_retries = 0;
    const bool own = !m_inTransaction;
    if (own)
        beginTransaction();
    try {
        exec("DROP TABLE IF EXISTS item_tags");
        QStringList defs{QStringLiteral("Q_ID INTEGER PRIMARY KEY")};
        QStringList marks{QStringLiteral("?")};
        for (const QString& c : columns) {
            defs << c + QStringLiteral(" TEXT");
            marks << QStringLiteral("?");
        }
        exec(QStringLiteral("CREATE TABLE %1 (%2)")
                 .arg(QLatin1String(SideTableName), defs.join(QStringLiteral(", ")))
                 .toUtf8()
                 .constData());
        Statement st(m_db, QStringLiteral("INSERT INTO %1 VALUES (%2)")
                               .arg(QLatin1String(SideTableName), marks.join(QLatin1Char(','))));
        if (st.prepareResult() != SQLITE_OK)
            fail(st.prepareResult());
        for (const auto& [key, texts] : rows) {
            if (texts.size() != columns.size())
                throw TableError(TableError::Usage,
                                 QStringLiteral("A side record of %1 has %2 texts for %3 fields.")
                                     .arg(QFileInfo(m_path).fileName())
                                     .arg(texts.size())
                                     .arg(columns.size()));
            sqlite3_reset(st.get());
            st.bind(1, key, ColumnType::Integer);
            for (int i = 0; i < texts.size(); ++i)
                st.bind(i + 2, texts.at(i), ColumnType::String);
            const int rc = sqlite3_step(st.get());
            if (rc != SQLITE_DONE)
                fail(rc);
        }
    } catch (...) {
        if (own)
            rollback();
        throw;
    }
    if (own)
        commit();
}

std::vector<std::pair<qint64, QStringList>> TableFile::readSideTable(const QStringList& columns)
{
    m_retries = 0;
    std::vector<std::pair<qint64, QStringList>> rows;
    {
        Statement probe(m_db, QStringLiteral("SELECT count(*) FROM sqlite_master WHERE "
                                             "type = 'table' AND name = '%1'")
                                  .arg(QLatin1String(SideTableName)));
        if (probe.prepareResult() != SQLITE_OK)
            fail(probe.prepareResult());
        const int rc = sqlite3_step(probe.get());
        if (rc != SQLITE_ROW)
            fail(rc);
        if (sqlite3_column_int(probe.get(), 0) == 0)
            return rows;
    }
    QStringList wanted{QStringLiteral("Q_ID")};
    wanted << columns;
    Statement st(m_db, QStringLiteral("SELECT %1 FROM %2 ORDER BY Q_ID")
                           .arg(wanted.join(QStringLiteral(", ")), QLatin1String(SideTableName)));
    if (st.prepareResult() != SQLITE_OK)
        refuseStructure(QStringLiteral("the table \"%1\" lacks one of the fields %2")
                            .arg(QLatin1String(SideTableName), columns.join(QLatin1Char(','))));
    int rc;
    while ((rc = sqlite3_step(st.get())) == SQLITE_ROW) {
        if (sqlite3_column_type(st.get(), 0) != SQLITE_INTEGER)
            refuseStructure(QStringLiteral("the table \"%1\" has a key that is not a number")
                                .arg(QLatin1String(SideTableName)));
        QStringList texts;
        for (int i = 0; i < columns.size(); ++i) {
            const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(st.get(), i + 1));
            texts << (t ? QString::fromUtf8(t) : QString());
        }
        rows.emplace_back(sqlite3_column_int64(st.get(), 0), std::move(texts));
    }
    if (rc != SQLITE_DONE)
        fail(rc);
    return rows;
}

void TableFile::beginTransaction()
{
    m_retries = 0;
    exec("BEGIN IMMEDIATE");
    m_inTransaction = true;
}

void TableFile::beginReading()
{
    if (m_inTransaction || m_reading)
        return;
    m_retries = 0;
    exec("BEGIN DEFERRED");
    // A long read, such as a build drawing items in a random order, finds
    // most pages already decrypted in a larger cache. It is bounded, so a
    // huge bank does not take its size in memory, and given back after.
    exec(QByteArray("PRAGMA cache_size = " + QByteArray::number(-kReadingCacheKb)).constData());
    m_reading = true;
}

void TableFile::endReading()
{
    if (!m_reading)
        return;
    m_reading = false;
    exec("COMMIT");
    exec(QByteArray("PRAGMA cache_size = " + QByteArray::number(-kDefaultCacheKb)).constData());
}

void TableFile::commit()
{
    noteWrite();
    exec("COMMIT");
    m_inTransaction = false;
}

void TableFile::rollback()
{
    noteWrite();
    if (m_inTransaction) {
        m_inTransaction = false;
        // A full disk or an I/O error makes the engine roll the whole
        // transaction back itself; a second rollback would fail with "no
        // transaction is active" and hide the error that counts.
        if (!sqlite3_get_autocommit(m_db))
            exec("ROLLBACK");
    }
}

void TableFile::deriveKeysAhead(const QString& path, const QStringList& passwords)
{
    QByteArray salt;
    try {
        salt = readSalt(path);
    } catch (const TableError&) {
        // Not a plain file: the open that needs it says so.
        return;
    }
    if (salt.isEmpty())
        return;
    for (const QString& p : passwords)
        knownKey(p.toUtf8(), salt);
}

QHash<qint64, QString> TableFile::salvageTexts(const QString& path, const QStringList& passwords,
                                               const QString& keyColumn,
                                               const QString& textColumn, qint64 lastKey)
{
    QHash<qint64, QString> found;
    QByteArray salt;
    try {
        salt = readSalt(path);
    } catch (const TableError&) {
        return found;
    }
    if (salt.isEmpty())
        return found;
    const QByteArray file = QFile::encodeName(path);
    const QByteArray table = QByteArray(kTableName);
    for (const QString& password : passwords) {
        const QByteArray key = rawKeySpec(knownKey(password.toUtf8(), salt).key, salt);
        for (const int pageSize : {PageSize, LegacyPageSize}) {
            sqlite3* db = nullptr;
            const auto closeDb = qScopeGuard([&] { sqlite3_close_v2(db); });
            if (sqlite3_open_v2(file.constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK ||
                sqlite3_key(db, key.constData(), int(key.size())) != SQLITE_OK)
                continue;
            const QByteArray pages = "PRAGMA cipher_page_size = " + QByteArray::number(pageSize);
            if (sqlite3_exec(db, pages.constData(), nullptr, nullptr, nullptr) != SQLITE_OK ||
                sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr,
                             nullptr) != SQLITE_OK)
                continue;
            auto take = [&](sqlite3_stmt* st, qint64 id, int column) {
                if (sqlite3_column_type(st, column) != SQLITE_TEXT)
                    return;
                const QString text = QString::fromUtf8(
                    reinterpret_cast<const char*>(sqlite3_column_text(st, column)),
                    sqlite3_column_bytes(st, column));
                if (!text.isEmpty())
                    found.insert(id, text);
            };
            {
                Statement all(db, QStringLiteral("SELECT %1, %2 FROM %3")
                                      .arg(keyColumn, textColumn, QLatin1String(table)));
                if (all.prepareResult() != SQLITE_OK)
                    return found; // the table's description is what is damaged
                int rc;
                while ((rc = sqlite3_step(all.get())) == SQLITE_ROW)
                    take(all.get(), sqlite3_column_int64(all.get(), 0), 1);
                if (rc == SQLITE_DONE)
                    return found;
            }
            Statement one(db, QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?")
                                  .arg(textColumn, QLatin1String(table), keyColumn));
            if (one.prepareResult() != SQLITE_OK)
                return found;
            for (qint64 id = 1; id <= lastKey; ++id) {
                sqlite3_bind_int64(one.get(), 1, id);
                if (sqlite3_step(one.get()) == SQLITE_ROW)
                    take(one.get(), id, 0);
                sqlite3_reset(one.get());
            }
            return found;
        }
    }
    return found;
}

int TableFile::keyDerivations()
{
    return keyStore().derivations.load();
}

void TableFile::forgetKeys()
{
    KeyStore& ks = keyStore();
    const std::lock_guard<std::mutex> lock(ks.mutex);
    ks.keys.clear();
}

void TableFile::emptyFile(const QString& path, const QStringList& passwords,
                          const std::vector<ColumnDef>& schema)
{
    TableFile file(path, passwords, true, Missing::Fail, schema);
    file.removeAll();
}

// Makes a rename in the folder of path last through a power cut.
void syncFolderOf(const QString& path)
{
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(QFileInfo(path).absolutePath()).constData(),
                          O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#else
    Q_UNUSED(path);
#endif
}

} // namespace platform
