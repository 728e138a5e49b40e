#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace platform {

enum class ColumnType { Integer, Boolean, String, Memo };

struct ColumnDef {
    QString name;
    ColumnType type;
};

// One record as the engine stores it: one value per column, in schema order.
// Column 0 is always the integer key Q_ID. A null QVariant is a null value.
using RowValues = QVector<QVariant>;

// One encrypted table file holding one table. Every write is committed before
// the call returns, so nothing posted is lost if the process dies afterwards.
class TableFile final {
public:
    enum class Missing { Fail, Create };

    static constexpr int LockRetryCount = 15;
    static constexpr int LockWaitMs = 100;
    // The engine's own default key derivation, kept at full strength.
    static constexpr int KdfIterations = 64000;
    // New files get 4 KB pages; files written before that have 1 KB pages.
    static constexpr int PageSize = 4096;
    static constexpr int LegacyPageSize = 1024;

    // Tries each password in turn; a wrong one only shows at the first
    // statement, so the file is probed before it counts as open.
    TableFile(const QString& path, const QStringList& passwords, bool exclusive, Missing missing,
              const std::vector<ColumnDef>& schema);
    ~TableFile();
    TableFile(const TableFile&) = delete;
    TableFile& operator=(const TableFile&) = delete;

    // A whole new content for the file at path, written to a file beside it
    // (path + ".new") in one transaction, so that the file itself stays as
    // it was until commitReplacement() puts the new one in its place in one
    // step. Neither reads nor deletes the old content, which for a large
    // table is most of the cost of emptying it. The new file takes the old
    // one's key when this process already holds it.
    static std::unique_ptr<TableFile> replacement(const QString& path, const QStringList& passwords,
                                                  bool exclusive, Missing missing,
                                                  const std::vector<ColumnDef>& schema);
    // Commits the new content, moves it over the file and goes on with the
    // file as an ordinary open one.
    void commitReplacement();
    // Drops the new content; the file stays as it was. The handle is closed.
    void abandonReplacement();
    bool replacing() const { return !m_target.isEmpty(); }

    std::vector<RowValues> selectAll();
    // The records in key order, one at a time, so that a large table can be
    // looked at without holding all of it.
    void forEachRow(const std::function<void(RowValues&&)>& visit);
    // One record by its key; empty when no record has that key (any more).
    std::optional<RowValues> selectRow(qint64 key);
    // One column of every record, in key order, with each record's key.
    std::vector<std::pair<qint64, QVariant>> selectColumn(int column);
    // Inserts a record; a null key lets the table assign the next one.
    qint64 insert(const RowValues& values);
    // Inserts a copy of the record with sourceKey in source: each pair of
    // fields (this file's column, the source's column) is copied as the
    // engine holds it, so no text is converted on the way; the other columns
    // take values (null where it has none) and the key is new. Returns the
    // record as inserted, with its key, its numbers and the texts of the
    // columns marked in textsWanted; none when source has no such record.
    std::optional<RowValues> insertCopy(TableFile& source, qint64 sourceKey,
                                        const std::vector<std::pair<int, int>>& fields,
                                        const RowValues& values,
                                        const std::vector<bool>& textsWanted);
    void update(qint64 key, const RowValues& values);
    // Sets one field (by schema position, not the key) of the records with
    // the given keys, with one prepared statement; a key that no record has
    // changes nothing. done hears how many are written after each.
    void updateColumn(int column, const std::vector<std::pair<qint64, QVariant>>& values,
                      const std::function<void(size_t)>& done = {});
    void remove(qint64 key);
    void removeAll();

    void beginTransaction();
    // Holds one read of the file open across many selects: the file is
    // locked and looked at once, not at every select. Nothing is written.
    void beginReading();
    void endReading();
    void commit();
    void rollback();

    // For a file of small, frequent changes: a commit appends to a
    // write-ahead log beside the file, which a process that dies leaves whole.
    // A commit waits for the disk only while syncEachCommit is on; one that
    // does not still survives the process, and is made safe by the next one
    // that does.
    void useWriteAheadLog();
    void setSyncEachCommit(bool on);

    // The side table: texts kept per record beside the table (tags a reader
    // of the table may ignore), keyed by the record's key, so that the table's
    // own fields stay as they are. Its name is fixed; its columns are texts.
    static constexpr const char* SideTableName = "item_tags";
    // Replaces the side table's content with rows (key, one text per column)
    // in one transaction. Throws when a row has the wrong number of texts.
    void writeSideTable(const QStringList& columns,
                        const std::vector<std::pair<qint64, QStringList>>& rows);
    // The side table's rows in key order, the texts in the order of columns;
    // empty when the file has no side table. A side table without one of the
    // columns refuses the file as altered.
    std::vector<std::pair<qint64, QStringList>> readSideTable(const QStringList& columns);

    // How many times the last operation waited for a lock held elsewhere.
    int lastLockRetries() const { return m_retries; }
    const QString& path() const { return m_path; }

    // Empties a closed file: taken exclusively for the duration, then released.
    static void emptyFile(const QString& path, const QStringList& passwords,
                          const std::vector<ColumnDef>& schema);

    // What can still be read of one text column of a file that does not
    // open (damaged), by the key column's value: the whole column when it
    // reads to the end, else each record of key 1..lastKey looked up on its
    // own, so that a bad page costs the records on it and no others. Empty
    // texts are left out. Nothing is checked and nothing is written.
    static QHash<qint64, QString> salvageTexts(const QString& path, const QStringList& passwords,
                                               const QString& keyColumn,
                                               const QString& textColumn, qint64 lastKey);

    // What a file is on the disk now (its size, times and identity) and how
    // often this process has written it: while that stays the same, what was
    // read and checked of the file still holds.
    static QByteArray stateOf(const QString& path);

    // True when this handle made the file (it was missing or of no bytes),
    // so that it holds no records yet for a reason other than damage.
    bool created() const { return m_created; }

    // The page size the open file was read with.
    int pageSize() const { return m_pageSize; }

    // Each file's key is derived once per run from the password and the
    // file's salt, then kept in memory for later opens of the same file.
    // Derives the keys of an existing file ahead of its first open; safe to
    // call from a worker thread.
    static void deriveKeysAhead(const QString& path, const QStringList& passwords);
    // How many key derivations this process has run; forgetKeys() drops the
    // kept keys, so that the next open derives again.
    static int keyDerivations();
    static void forgetKeys();
    // Drops the record of which files' pages have passed their check, so that
    // the next open of each checks again.
    static void forgetCheckedPages();

private:
    struct ReplacementTag {};
    TableFile(ReplacementTag, const QString& path, const QStringList& passwords, bool exclusive,
              const std::vector<ColumnDef>& schema);
    static void refuseMissingFile(const QString& path);
    void refuseLockedTarget();
    void openWith(const QByteArray& password, bool exclusive, bool mayCreate);
    void exec(const char* sql);
    void ensureSchema(bool mayCreate);
    void checkColumnTypes(const QStringList& declared) const;
    void checkObjects();
    void checkPages();
    [[noreturn]] void refuseEmptyFile() const;
    [[noreturn]] void refuseStructure(const QString& what) const;
    void checkStoredValue(sqlite3_stmt* row, int column, size_t schemaColumn) const;
    QVariant columnValue(sqlite3_stmt* row, int statementColumn, size_t schemaColumn) const;
    [[noreturn]] void refuseUsedUpKeys(qint64 inserted);
    sqlite3_stmt* insertStatement();
    sqlite3_stmt* selectRowStatement();
    qint64 stepInsert(bool newKey);
    [[noreturn]] void fail(int rc, const QString& during = {});
    void closeHandle();
    void noteWrite();
    static int busyHandler(void* self, int count);

    QString m_path;
    std::vector<ColumnDef> m_schema;
    sqlite3* m_db = nullptr;
    // Prepared once per handle: a build inserts many records in a row.
    sqlite3_stmt* m_insert = nullptr;
    // Prepared once per handle: an exam reads one record at every move.
    sqlite3_stmt* m_selectRow = nullptr;
    // While a replacement is written: the file it is to replace, and the
    // password and locking it is opened with once in place.
    QString m_target;
    QByteArray m_password;
    bool m_exclusive = false;
    // The salt a new file is created with; empty: a fresh one.
    QByteArray m_newSalt;
    int m_pageSize = 0;
    int m_retries = 0;
    bool m_inTransaction = false;
    bool m_reading = false;
    bool m_created = false;
};

// Makes a rename in the folder of path last through a power cut.
void syncFolderOf(const QString& path);

} // namespace platform
