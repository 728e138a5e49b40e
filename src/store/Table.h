#pragma once

#include "Schemas.h"

#include <QString>
#include <QVariant>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace platform {
class TableFile;
}

namespace store {

class DataSource;
class Session;

enum class TableState { Inactive, Browse, Edit, Insert, SetKey };

struct Bookmark {
    qint64 key = 0;
    bool valid = false;
};

// A cursor on one table file. Each record's key and numeric fields are kept in
// memory in key order, so that moving, filtering and counting read nothing;
// the texts are read from the file for the current record only, which keeps a
// large bank small in memory. Every post, delete and empty is in the file
// before the call returns.
class Table final {
public:
    Table(Session& session, const QString& fileName, const TableSchema& schema,
          bool createWhenMissing = false);
    ~Table();
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;

    const QString& fileName() const { return m_fileName; }
    const TableSchema& schema() const { return m_schema; }

    void setExclusive(bool on);
    bool exclusive() const { return m_exclusive; }
    // Filter texts are "FIELD=n" or "FIELD<>n"; an ill-formed text throws.
    void setFilter(const QString& text);
    const QString& filter() const { return m_filterText; }
    void setFiltered(bool on);
    bool filtered() const { return m_filtered; }

    void open();
    // Drops what earlier opens in this run read of every file, so that the
    // next open of each reads and checks it again.
    static void forgetReads();
    // Opens the file at path once, as a first open would, so that a later
    // open of the unchanged file finds it checked and read. Any fault is left
    // for that open to report. Safe on any thread.
    static void readAhead(const QString& path, const QStringList& passwords,
                          const TableSchema& schema);
    // A file of no bytes is what a kill in the middle of creating one left:
    // it holds nothing to keep.
    static bool holdsRecords(const QString& path);
    // Writes an empty table beside path and moves it into place in one step,
    // so that a kill never leaves a half-made file. what names the file in
    // the error ("history file").
    static void createComplete(Session& session, const QString& path, const TableSchema& schema,
                               const QString& what);
    // Opens the table, in a batch, and empties it, without reading what it
    // held: the start of a rewrite of the whole table. The file keeps its old
    // content until commitBatch() puts the new one in its place in one step;
    // rollbackBatch() leaves the old content and closes the table.
    void openEmptied();
    void close();
    bool isOpen() const;
    TableState state() const { return m_state; }

    void first();
    void last();
    void next();
    void prior();
    bool eof() const { return m_eof; }
    bool bof() const { return m_bof; }

    // 1-based position of the current record in key order over the whole
    // table; 0 when there is none.
    int recNo() const;
    void setRecNo(int number);
    int recordCount() const;
    bool isEmpty() const { return recordCount() == 0; }

    void edit();
    void insert();
    void append();
    // Appends and posts at once a copy of source's current record: each pair
    // of fields (this table's, the source's) is copied as the file holds it,
    // without a conversion on the way, and the other fields take values
    // (null where it has none). Returns the record as posted, with its key,
    // its numbers and the texts of the fields marked in textsWanted; its
    // other texts are not read.
    RowValues appendCopy(const Table& source, const std::vector<std::pair<int, int>>& fields,
                         const RowValues& values, const std::vector<bool>& textsWanted);
    void post();
    void cancel();
    void remove();
    // Removes every record; works on an open and on a closed handle.
    void emptyTable();

    void setKey();
    bool gotoKey();

    Bookmark bookmark() const;
    void gotoBookmark(const Bookmark& mark);
    void freeBookmark(Bookmark& mark) { mark = Bookmark(); }

    void disableControls();
    void enableControls();
    bool controlsDisabled() const { return m_disabled > 0; }

    // Field access by name, without regard to case. A null reads as empty
    // text, 0 or false.
    int fieldIndex(const QString& name) const;
    QVariant value(const QString& name) const;
    QString asString(const QString& name) const;
    qint64 asInteger(const QString& name) const;
    bool asBoolean(const QString& name) const;
    bool isNull(const QString& name) const;
    void setValue(const QString& name, const QVariant& value);
    bool modified() const { return m_modified; }
    // The same by field position (fieldIndex), for loops that resolve the
    // names once.
    QVariant valueAt(int field) const;
    void setValueAt(int field, const QVariant& value);

    // Record number and field value of every record that passes the filter,
    // in key order; what a record list shows.
    std::vector<std::pair<int, QVariant>> visibleValues(const QString& name) const;

    // Groups many reads into one look at the file; no write may come between.
    // Every record the filter lets through, in key order, read from the file
    // in one pass: the cheapest way to look at most records' texts. The
    // current record does not move and no display is told.
    void forEachVisibleRow(const std::function<void(const RowValues&)>& visit) const;
    void beginReading();
    void endReading();

    // For a table of small, frequent changes (see TableFile): set before
    // open; a post waits for the disk only while syncEachCommit is on.
    void setWriteAheadLog(bool on) { m_writeAheadLog = on; }
    void setSyncEachCommit(bool on);

    // Groups many posts into one write to the file.
    void beginBatch();
    void commitBatch();
    void rollbackBatch();

    // How many times the last file operation waited for a lock.
    int lastLockRetries() const;

private:
    friend class DataSource;
    void attach(DataSource* ds);
    void detach(DataSource* ds);

    void requireOpen(const char* op) const;
    void leaveEditing();
    // Back to browsing on the record just written.
    void finishPost();
    bool visible(size_t index) const;
    std::optional<size_t> firstVisibleFrom(size_t start) const;
    std::optional<size_t> lastVisibleUpTo(size_t end) const;
    void moveTo(std::optional<size_t> index);
    void setState(TableState s);
    void notifyData(int field);
    void notifyState();
    const RowValues* currentRow() const;

    size_t rowCount() const { return m_count; }
    qint64 keyAt(size_t index) const { return m_numbers[index * m_stride]; }
    // A numeric field of a record as the file gives it: null, a number or a
    // yes/no value.
    QVariant numberAt(size_t index, int field) const;
    // The whole record, read from the file unless it is the one last read.
    const RowValues& rowAt(size_t index) const;
    void forgetLoadedRow() const { m_hasLoaded = false; }
    void keepLoadedRow(const RowValues& row) const;
    size_t lowerBoundOfKey(qint64 key) const;
    void clearNumbers();
    void writeNumbers(size_t index, const RowValues& row);
    void insertNumbers(size_t index, const RowValues& row);
    void eraseNumbers(size_t index);
    void readNumbers(bool checkRows);
    void openFile();

    Session& m_session;
    QString m_fileName;
    TableSchema m_schema;
    bool m_createWhenMissing;
    std::unique_ptr<platform::TableFile> m_file;
    // Per record, m_stride numbers: the numeric fields in schema order, the
    // key first; m_nulls marks the nulls among them.
    std::vector<int> m_numericSlot; // per field: its place among the numbers, or -1
    size_t m_stride = 0;
    size_t m_count = 0;
    std::vector<qint64> m_numbers;
    std::vector<bool> m_nulls;
    mutable RowValues m_loaded;
    mutable qint64 m_loadedKey = 0;
    mutable bool m_hasLoaded = false;
    std::optional<size_t> m_cur;
    TableState m_state = TableState::Inactive;
    RowValues m_buffer;
    bool m_modified = false;
    bool m_eof = true;
    bool m_bof = true;
    bool m_exclusive = false;
    QString m_filterText;
    int m_filterField = -1;
    bool m_filterNotEqual = false;
    qint64 m_filterValue = 0;
    bool m_filtered = false;
    int m_disabled = 0;
    bool m_batch = false;
    bool m_writeAheadLog = false;
    bool m_syncEachCommit = true;
    std::vector<DataSource*> m_sources;
};

} // namespace store
