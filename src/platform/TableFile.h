#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
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

    std::vector<RowValues> selectAll();
    // Inserts a record; a null key lets the table assign the next one.
    qint64 insert(const RowValues& values);
    void update(qint64 key, const RowValues& values);
    void remove(qint64 key);
    void removeAll();

    void beginTransaction();
    void commit();
    void rollback();

    // For a file of small, frequent changes: a commit appends to a
    // write-ahead log beside the file, which a process that dies leaves whole.
    // A commit waits for the disk only while syncEachCommit is on; one that
    // does not still survives the process, and is made safe by the next one
    // that does.
    void useWriteAheadLog();
    void setSyncEachCommit(bool on);

    // How many times the last operation waited for a lock held elsewhere.
    int lastLockRetries() const { return m_retries; }
    const QString& path() const { return m_path; }

    // Empties a closed file: taken exclusively for the duration, then released.
    static void emptyFile(const QString& path, const QStringList& passwords,
                          const std::vector<ColumnDef>& schema);

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

private:
    void openWith(const QByteArray& password, bool exclusive, bool mayCreate);
    void exec(const char* sql);
    void ensureSchema(bool mayCreate);
    void checkColumnTypes(const QStringList& declared) const;
    void checkObjects();
    void checkPages();
    [[noreturn]] void refuseEmptyFile() const;
    [[noreturn]] void refuseStructure(const QString& what) const;
    void checkStoredValue(sqlite3_stmt* row, int column) const;
    [[noreturn]] void refuseUsedUpKeys(qint64 inserted);
    [[noreturn]] void fail(int rc, const QString& during = {});
    void closeHandle();
    static int busyHandler(void* self, int count);

    QString m_path;
    std::vector<ColumnDef> m_schema;
    sqlite3* m_db = nullptr;
    // Prepared once per handle: a build inserts many records in a row.
    sqlite3_stmt* m_insert = nullptr;
    int m_pageSize = 0;
    int m_retries = 0;
    bool m_inTransaction = false;
};

} // namespace platform
