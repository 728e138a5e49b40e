#include "Table.h"

#include "DataSource.h"
#include "ItemRules.h"
#include "Session.h"
#include "TableError.h"
#include "TableFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <algorithm>
#include <filesystem>
#include <mutex>

namespace store {

using platform::TableError;
using platform::TableFile;

namespace {

bool numeric(platform::ColumnType type)
{
    return type == platform::ColumnType::Integer || type == platform::ColumnType::Boolean;
}

// What the last full read of each file found, by path: a later open of the
// same file in the same state needs neither the read nor the item checks,
// so that the bank is read once per run rather than at every exam start.
struct ReadFile {
    QByteArray state;
    QString layout;
    size_t count = 0;
    std::vector<qint64> numbers;
    std::vector<bool> nulls;
};

std::mutex g_readFilesMutex;
QHash<QString, ReadFile>& readFiles()
{
    static QHash<QString, ReadFile> files;
    return files;
}

QString layoutOf(const TableSchema& schema)
{
    QStringList names;
    for (const platform::ColumnDef& c : schema)
        names << c.name + QLatin1Char(':') + QString::number(int(c.type));
    return names.join(QLatin1Char(','));
}

} // namespace

Table::Table(Session& session, const QString& fileName, const TableSchema& schema,
             bool createWhenMissing)
    : m_session(session), m_fileName(fileName), m_schema(schema),
      m_createWhenMissing(createWhenMissing)
{
    for (const platform::ColumnDef& c : m_schema)
        m_numericSlot.push_back(numeric(c.type) ? static_cast<int>(m_stride++) : -1);
}

QVariant Table::numberAt(size_t index, int field) const
{
    const size_t at =
        index * m_stride + static_cast<size_t>(m_numericSlot[static_cast<size_t>(field)]);
    if (m_nulls[at])
        return {};
    if (m_schema[static_cast<size_t>(field)].type == platform::ColumnType::Boolean)
        return m_numbers[at] != 0;
    return static_cast<qlonglong>(m_numbers[at]);
}

const RowValues& Table::rowAt(size_t index) const
{
    const qint64 key = keyAt(index);
    if (m_hasLoaded && m_loadedKey == key)
        return m_loaded;
    if (std::optional<RowValues> row = m_file->selectRow(key)) {
        m_loaded = std::move(*row);
    } else {
        // Deleted through another handle since this one was opened: what is
        // known of it stands, with its texts empty.
        m_loaded = RowValues(static_cast<qsizetype>(m_schema.size()));
        for (size_t f = 0; f < m_schema.size(); ++f)
            if (m_numericSlot[f] >= 0)
                m_loaded[static_cast<qsizetype>(f)] = numberAt(index, static_cast<int>(f));
    }
    m_loadedKey = key;
    m_hasLoaded = true;
    return m_loaded;
}

void Table::keepLoadedRow(const RowValues& row) const
{
    m_loaded = row;
    m_loadedKey = row.value(0).toLongLong();
    m_hasLoaded = true;
}

size_t Table::lowerBoundOfKey(qint64 key) const
{
    size_t lo = 0, hi = m_count;
    while (lo < hi) {
        const size_t mid = lo + (hi - lo) / 2;
        if (keyAt(mid) < key)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

void Table::clearNumbers()
{
    m_numbers.clear();
    m_nulls.clear();
    m_count = 0;
    forgetLoadedRow();
}

void Table::writeNumbers(size_t index, const RowValues& row)
{
    for (size_t f = 0; f < m_schema.size(); ++f) {
        const int slot = m_numericSlot[f];
        if (slot < 0)
            continue;
        const QVariant v = row.value(static_cast<qsizetype>(f));
        const size_t at = index * m_stride + static_cast<size_t>(slot);
        m_nulls[at] = v.isNull();
        m_numbers[at] = v.isNull() ? 0 : v.toLongLong();
    }
}

void Table::insertNumbers(size_t index, const RowValues& row)
{
    const auto at = static_cast<std::ptrdiff_t>(index * m_stride);
    m_numbers.insert(m_numbers.begin() + at, m_stride, 0);
    m_nulls.insert(m_nulls.begin() + at, m_stride, true);
    ++m_count;
    writeNumbers(index, row);
}

void Table::eraseNumbers(size_t index)
{
    const auto at = static_cast<std::ptrdiff_t>(index * m_stride);
    const auto end = at + static_cast<std::ptrdiff_t>(m_stride);
    m_numbers.erase(m_numbers.begin() + at, m_numbers.begin() + end);
    m_nulls.erase(m_nulls.begin() + at, m_nulls.begin() + end);
    --m_count;
}

void Table::readNumbers(bool checkRows)
{
    clearNumbers();
    m_file->forEachRow([&](RowValues&& row) {
        if (checkRows)
            checkLoadedRow(m_fileName, m_schema, row, m_count);
        m_numbers.resize(m_numbers.size() + m_stride);
        m_nulls.resize(m_nulls.size() + m_stride);
        ++m_count;
        writeNumbers(m_count - 1, row);
    });
}

Table::~Table()
{
    for (DataSource* ds : m_sources)
        ds->m_table = nullptr;
}

void Table::attach(DataSource* ds)
{
    m_sources.push_back(ds);
}

void Table::detach(DataSource* ds)
{
    m_sources.erase(std::remove(m_sources.begin(), m_sources.end(), ds), m_sources.end());
}

int Table::lastLockRetries() const
{
    return m_file ? m_file->lastLockRetries() : 0;
}

void Table::setExclusive(bool on)
{
    if (isOpen())
        throw TableError(TableError::Usage,
                         QStringLiteral("Cannot change exclusive access of the open table \"%1\".")
                             .arg(m_fileName));
    m_exclusive = on;
}

void Table::setFilter(const QString& text)
{
    if (text.isEmpty()) {
        m_filterText.clear();
        m_filterField = -1;
    } else {
        static const QRegularExpression re(
            QStringLiteral("^([A-Za-z_][A-Za-z0-9_]*)(=|<>)(-?[0-9]+)$"));
        const QRegularExpressionMatch m = re.match(text);
        if (!m.hasMatch())
            throw TableError(TableError::Usage,
                             QStringLiteral("The filter \"%1\" is not of the form FIELD=number "
                                            "or FIELD<>number.")
                                 .arg(text));
        const int field = fieldIndex(m.captured(1));
        if (field < 0)
            throw TableError(
                TableError::Usage,
                QStringLiteral("The filter \"%1\" names no field of the table.").arg(text));
        bool ok = false;
        const qint64 value = m.captured(3).toLongLong(&ok);
        if (!ok)
            throw TableError(
                TableError::Usage,
                QStringLiteral("The filter \"%1\" has a number out of range.").arg(text));
        m_filterText = text;
        m_filterField = field;
        m_filterNotEqual = m.captured(2) == QLatin1String("<>");
        m_filterValue = value;
    }
    if (isOpen() && m_filtered)
        first();
}

void Table::setFiltered(bool on)
{
    if (m_filtered == on)
        return;
    if (isOpen())
        leaveEditing();
    m_filtered = on;
    if (isOpen())
        first();
}

bool Table::visible(size_t index) const
{
    if (!m_filtered || m_filterField < 0)
        return true;
    // A filter on a text field compares its digits, as the whole record would.
    const qint64 v = m_numericSlot[static_cast<size_t>(m_filterField)] >= 0
                         ? numberAt(index, m_filterField).toLongLong()
                         : m_file->selectRow(keyAt(index))
                               .value_or(RowValues())
                               .value(m_filterField)
                               .toLongLong();
    return m_filterNotEqual ? v != m_filterValue : v == m_filterValue;
}

std::optional<size_t> Table::firstVisibleFrom(size_t start) const
{
    for (size_t i = start; i < m_count; ++i)
        if (visible(i))
            return i;
    return std::nullopt;
}

std::optional<size_t> Table::lastVisibleUpTo(size_t end) const
{
    for (size_t i = std::min(end, m_count); i-- > 0;)
        if (visible(i))
            return i;
    return std::nullopt;
}

void Table::openFile()
{
    const QString path = QDir::current().absoluteFilePath(m_fileName);
    auto file = std::make_unique<TableFile>(
        path, m_session.passwords(), m_exclusive,
        m_createWhenMissing ? TableFile::Missing::Create : TableFile::Missing::Fail, m_schema);
    if (m_writeAheadLog) {
        file->useWriteAheadLog();
        file->setSyncEachCommit(m_syncEachCommit);
    }
    m_file = std::move(file);
}

void Table::open()
{
    if (isOpen())
        return;
    openFile();
    try {
        const QString path = m_file->path();
        const QByteArray state = TableFile::stateOf(path);
        const QString layout = layoutOf(m_schema);
        bool known = false;
        {
            std::lock_guard<std::mutex> lock(g_readFilesMutex);
            const auto it = readFiles().constFind(path);
            if (it != readFiles().constEnd() && !state.isEmpty() && it->state == state &&
                it->layout == layout) {
                clearNumbers();
                m_numbers = it->numbers;
                m_nulls = it->nulls;
                m_count = it->count;
                known = true;
            }
        }
        if (!known) {
            readNumbers(true);
            std::lock_guard<std::mutex> lock(g_readFilesMutex);
            readFiles().insert(path, ReadFile{state, layout, m_count, m_numbers, m_nulls});
        }
        if (!m_file->created())
            checkLoadedCount(m_fileName, m_schema, m_count);
    } catch (...) {
        m_file.reset();
        clearNumbers();
        throw;
    }
    m_modified = false;
    m_buffer.clear();
    m_cur = firstVisibleFrom(0);
    m_eof = m_bof = !m_cur.has_value();
    setState(TableState::Browse);
    notifyData(-1);
}

void Table::readAhead(const QString& path, const QStringList& passwords,
                      const TableSchema& schema)
{
    try {
        Session session(QStringLiteral("readAhead"));
        for (const QString& p : passwords)
            session.registerPassword(p);
        Table t(session, path, schema);
        t.open();
    } catch (...) {
        // The open that needs the file says what is wrong with it.
    }
}

bool Table::holdsRecords(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() && info.size() > 0;
}

void Table::createComplete(Session& session, const QString& path, const TableSchema& schema,
                           const QString& what)
{
    const QString target = QFileInfo(path).absoluteFilePath();
    const QString fresh = target + QStringLiteral(".new");
    QFile::remove(fresh);
    {
        Table t(session, fresh, schema, true);
        t.open();
        t.close();
    }
    std::error_code error;
    std::filesystem::rename(fresh.toStdString(), target.toStdString(), error);
    if (error) {
        QFile::remove(fresh);
        throw TableError(TableError::CantOpen,
                         QStringLiteral("The %1 \"%2\" cannot be created: %3.")
                             .arg(what, QFileInfo(path).fileName(),
                                  QString::fromStdString(error.message())));
    }
    platform::syncFolderOf(target);
}

void Table::forgetReads()
{
    std::lock_guard<std::mutex> lock(g_readFilesMutex);
    readFiles().clear();
}

void Table::openEmptied()
{
    if (isOpen())
        close();
    // Written beside the file and put in its place at the commit: emptying
    // the old set in place would read every one of its pages.
    m_file = TableFile::replacement(
        QDir::current().absoluteFilePath(m_fileName), m_session.passwords(), m_exclusive,
        m_createWhenMissing ? TableFile::Missing::Create : TableFile::Missing::Fail, m_schema);
    clearNumbers();
    m_batch = true;
    m_modified = false;
    m_buffer.clear();
    m_cur.reset();
    m_eof = m_bof = true;
    setState(TableState::Browse);
    notifyData(-1);
}

void Table::close()
{
    if (!isOpen())
        return;
    if (m_batch)
        rollbackBatch();
    m_file.reset();
    clearNumbers();
    m_cur.reset();
    m_buffer.clear();
    m_modified = false;
    m_eof = m_bof = true;
    setState(TableState::Inactive);
}

bool Table::isOpen() const
{
    return m_file != nullptr;
}

void Table::requireOpen(const char* op) const
{
    if (!isOpen())
        throw TableError(TableError::Usage,
                         QStringLiteral("Cannot %1: the table \"%2\" is not open.")
                             .arg(QLatin1String(op), m_fileName));
}

void Table::leaveEditing()
{
    if (m_state == TableState::Edit || m_state == TableState::Insert) {
        if (m_modified)
            post();
        else
            cancel();
    }
}

void Table::moveTo(std::optional<size_t> index)
{
    // A move reads the record afresh, so that a change made through another
    // handle on the same file shows.
    forgetLoadedRow();
    const bool changed = index != m_cur;
    m_cur = index;
    if (changed)
        notifyData(-1);
}

void Table::first()
{
    requireOpen("move");
    leaveEditing();
    const auto i = firstVisibleFrom(0);
    m_eof = !i.has_value();
    m_bof = true;
    // Raised even when the first record was already current: an exam start
    // shows item 1 through this notification.
    const bool notify = i.has_value() || m_cur.has_value();
    forgetLoadedRow();
    m_cur = i;
    if (notify)
        notifyData(-1);
}

void Table::last()
{
    requireOpen("move");
    leaveEditing();
    const auto i = lastVisibleUpTo(m_count);
    m_eof = true;
    m_bof = !i.has_value();
    moveTo(i);
}

void Table::next()
{
    requireOpen("move");
    leaveEditing();
    const auto i = m_cur ? firstVisibleFrom(*m_cur + 1) : std::nullopt;
    m_bof = false;
    if (!i) {
        m_eof = true;
        return;
    }
    m_eof = false;
    moveTo(i);
}

void Table::prior()
{
    requireOpen("move");
    leaveEditing();
    const auto i = m_cur ? lastVisibleUpTo(*m_cur) : std::nullopt;
    m_eof = false;
    if (!i) {
        m_bof = true;
        return;
    }
    m_bof = false;
    moveTo(i);
}

int Table::recNo() const
{
    if (!isOpen() || !m_cur || m_state == TableState::Insert)
        return 0;
    return static_cast<int>(*m_cur) + 1;
}

void Table::setRecNo(int number)
{
    requireOpen("move");
    leaveEditing();
    if (number < 1 || static_cast<size_t>(number) > m_count ||
        !visible(static_cast<size_t>(number - 1)))
        throw TableError(TableError::Usage,
                         QStringLiteral("The table \"%1\" has no visible record number %2.")
                             .arg(m_fileName)
                             .arg(number));
    m_eof = m_bof = false;
    moveTo(static_cast<size_t>(number - 1));
}

int Table::recordCount() const
{
    if (!isOpen())
        return 0;
    if (!m_filtered || m_filterField < 0)
        return static_cast<int>(m_count);
    int n = 0;
    for (size_t i = 0; i < m_count; ++i)
        n += visible(i) ? 1 : 0;
    return n;
}

void Table::edit()
{
    requireOpen("edit");
    if (m_state == TableState::Edit || m_state == TableState::Insert)
        return;
    if (!m_cur) {
        insert();
        return;
    }
    m_buffer = rowAt(*m_cur);
    m_modified = false;
    setState(TableState::Edit);
}

void Table::insert()
{
    requireOpen("insert");
    leaveEditing();
    m_buffer = RowValues(static_cast<qsizetype>(m_schema.size()));
    m_modified = false;
    setState(TableState::Insert);
    notifyData(-1);
}

void Table::append()
{
    insert();
}

RowValues Table::appendCopy(const Table& source, const std::vector<std::pair<int, int>>& fields,
                            const RowValues& values, const std::vector<bool>& textsWanted)
{
    requireOpen("append");
    source.requireOpen("copy");
    leaveEditing();
    if (!source.m_cur || source.m_state != TableState::Browse)
        throw TableError(TableError::Usage,
                         QStringLiteral("The table \"%1\" has no current record to copy.")
                             .arg(source.m_fileName));
    const qint64 sourceKey = source.keyAt(*source.m_cur);
    std::optional<RowValues> row =
        m_file->insertCopy(*source.m_file, sourceKey, fields, values, textsWanted);
    if (!row)
        throw TableError(TableError::Usage,
                         QStringLiteral("The record %1 is missing from the table \"%2\".")
                             .arg(sourceKey)
                             .arg(source.m_fileName));
    const size_t pos = lowerBoundOfKey(row->at(0).toLongLong());
    m_cur = pos;
    insertNumbers(pos, *row);
    // The texts not asked for were never read: the record is read whole
    // when it is looked at.
    forgetLoadedRow();
    finishPost();
    return std::move(*row);
}

void Table::post()
{
    requireOpen("post");
    if (m_state != TableState::Edit && m_state != TableState::Insert)
        return;
    RowValues row = m_buffer;
    if (m_state == TableState::Insert) {
        const qint64 key = m_file->insert(row);
        row[0] = key;
        const size_t pos = lowerBoundOfKey(key);
        m_cur = pos;
        insertNumbers(pos, row);
    } else {
        if (m_modified)
            m_file->update(keyAt(*m_cur), row);
        writeNumbers(*m_cur, row);
    }
    keepLoadedRow(row);
    finishPost();
    if (m_disabled == 0) {
        const auto sources = m_sources;
        for (DataSource* ds : sources)
            emit ds->recordPosted();
    }
}

void Table::finishPost()
{
    m_buffer.clear();
    m_modified = false;
    m_eof = m_bof = false;
    setState(TableState::Browse);
    notifyData(-1);
}

void Table::cancel()
{
    if (m_state == TableState::SetKey) {
        setState(TableState::Browse);
        return;
    }
    if (m_state != TableState::Edit && m_state != TableState::Insert)
        return;
    m_buffer.clear();
    m_modified = false;
    setState(TableState::Browse);
    notifyData(-1);
}

void Table::remove()
{
    requireOpen("delete");
    if (m_state == TableState::Insert) {
        cancel();
        return;
    }
    if (m_state == TableState::Edit)
        cancel();
    if (!m_cur)
        throw TableError(
            TableError::Usage,
            QStringLiteral("Cannot delete: the table \"%1\" is empty.").arg(m_fileName));
    const size_t at = *m_cur;
    m_file->remove(keyAt(at));
    eraseNumbers(at);
    forgetLoadedRow();
    auto next = firstVisibleFrom(at);
    if (!next)
        next = lastVisibleUpTo(at);
    m_cur = next;
    m_eof = m_bof = !next.has_value();
    setState(TableState::Browse);
    notifyData(-1);
}

void Table::emptyTable()
{
    if (!isOpen()) {
        TableFile::emptyFile(QDir::current().absoluteFilePath(m_fileName), m_session.passwords(),
                             m_schema);
        return;
    }
    if (m_state != TableState::Browse)
        cancel();
    m_file->removeAll();
    clearNumbers();
    m_cur.reset();
    m_eof = m_bof = true;
    notifyData(-1);
}

void Table::setKey()
{
    requireOpen("search");
    leaveEditing();
    m_buffer = RowValues(static_cast<qsizetype>(m_schema.size()));
    setState(TableState::SetKey);
}

bool Table::gotoKey()
{
    requireOpen("search");
    if (m_state != TableState::SetKey)
        throw TableError(TableError::Usage,
                         QStringLiteral("Go to key without set key on \"%1\".").arg(m_fileName));
    const qint64 key = m_buffer.value(0).toLongLong();
    m_buffer.clear();
    setState(TableState::Browse);
    const size_t pos = lowerBoundOfKey(key);
    if (pos == m_count || keyAt(pos) != key || !visible(pos))
        return false;
    m_eof = m_bof = false;
    forgetLoadedRow();
    m_cur = pos;
    notifyData(-1);
    return true;
}

Bookmark Table::bookmark() const
{
    if (!m_cur)
        return {};
    return {keyAt(*m_cur), true};
}

void Table::gotoBookmark(const Bookmark& mark)
{
    requireOpen("move");
    leaveEditing();
    if (!mark.valid)
        return;
    for (size_t i = 0; i < m_count; ++i) {
        if (keyAt(i) == mark.key) {
            m_eof = m_bof = false;
            moveTo(i);
            return;
        }
    }
    throw TableError(
        TableError::Usage,
        QStringLiteral("The bookmarked record of \"%1\" no longer exists.").arg(m_fileName));
}

void Table::disableControls()
{
    ++m_disabled;
}

void Table::enableControls()
{
    if (m_disabled > 0 && --m_disabled == 0) {
        notifyState();
        notifyData(-1);
    }
}

int Table::fieldIndex(const QString& name) const
{
    for (size_t i = 0; i < m_schema.size(); ++i)
        if (m_schema[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    return -1;
}

const RowValues* Table::currentRow() const
{
    switch (m_state) {
    case TableState::Edit:
    case TableState::Insert:
    case TableState::SetKey:
        return &m_buffer;
    case TableState::Browse:
        return m_cur ? &rowAt(*m_cur) : nullptr;
    case TableState::Inactive:
        break;
    }
    return nullptr;
}

QVariant Table::value(const QString& name) const
{
    const int i = fieldIndex(name);
    if (i < 0)
        throw TableError(TableError::Usage,
                         QStringLiteral("Field \"%1\" not found in \"%2\".").arg(name, m_fileName));
    return valueAt(i);
}

QVariant Table::valueAt(int field) const
{
    // A number of the current record is at hand without reading it.
    if (m_state == TableState::Browse && m_cur && field >= 0 &&
        static_cast<size_t>(field) < m_schema.size() &&
        m_numericSlot[static_cast<size_t>(field)] >= 0)
        return numberAt(*m_cur, field);
    const RowValues* row = currentRow();
    if (!row || field < 0 || field >= row->size())
        return {};
    return row->at(field);
}

QString Table::asString(const QString& name) const
{
    const QVariant v = value(name);
    if (v.isNull())
        return {};
    if (v.typeId() == QMetaType::Bool)
        return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    return v.toString();
}

qint64 Table::asInteger(const QString& name) const
{
    const QVariant v = value(name);
    return v.isNull() ? 0 : v.toLongLong();
}

bool Table::asBoolean(const QString& name) const
{
    const QVariant v = value(name);
    if (v.isNull())
        return false;
    if (v.typeId() == QMetaType::QString)
        return v.toString().compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
    return v.toBool();
}

bool Table::isNull(const QString& name) const
{
    return value(name).isNull();
}

void Table::setValue(const QString& name, const QVariant& value)
{
    const int i = fieldIndex(name);
    if (i < 0)
        throw TableError(TableError::Usage,
                         QStringLiteral("Field \"%1\" not found in \"%2\".").arg(name, m_fileName));
    setValueAt(i, value);
}

void Table::setValueAt(int i, const QVariant& value)
{
    if (i < 0 || static_cast<size_t>(i) >= m_schema.size())
        throw TableError(
            TableError::Usage,
            QStringLiteral("Field number %1 not found in \"%2\".").arg(i).arg(m_fileName));
    if (m_state != TableState::Edit && m_state != TableState::Insert &&
        m_state != TableState::SetKey)
        throw TableError(
            TableError::Usage,
            QStringLiteral("The table \"%1\" is not in edit or insert mode.").arg(m_fileName));
    QVariant stored = value;
    if (!value.isNull()) {
        switch (m_schema[static_cast<size_t>(i)].type) {
        case platform::ColumnType::Integer:
            stored = value.toLongLong();
            break;
        case platform::ColumnType::Boolean:
            stored = value.typeId() == QMetaType::QString
                         ? value.toString().compare(QLatin1String("true"), Qt::CaseInsensitive) == 0
                         : value.toBool();
            break;
        case platform::ColumnType::String:
        case platform::ColumnType::Memo:
            stored = value.toString();
            break;
        }
    }
    m_buffer[i] = stored;
    if (m_state == TableState::SetKey)
        return;
    m_modified = true;
    notifyData(i);
}

std::vector<std::pair<int, QVariant>> Table::visibleValues(const QString& name) const
{
    const int field = fieldIndex(name);
    std::vector<std::pair<int, QVariant>> out;
    if (field < 0 || !isOpen())
        return out;
    if (m_numericSlot[static_cast<size_t>(field)] >= 0) {
        for (size_t i = 0; i < m_count; ++i)
            if (visible(i))
                out.emplace_back(static_cast<int>(i) + 1, numberAt(i, field));
        return out;
    }
    // Matched by key: the file may hold records this handle does not know of.
    const auto column = m_file->selectColumn(field);
    size_t i = 0;
    for (const auto& [key, value] : column) {
        while (i < m_count && keyAt(i) < key)
            ++i;
        if (i == m_count)
            break;
        if (keyAt(i) == key && visible(i))
            out.emplace_back(static_cast<int>(i) + 1, value);
    }
    return out;
}

void Table::forEachVisibleRow(const std::function<void(const RowValues&)>& visit) const
{
    requireOpen("read");
    m_file->forEachRow([&](RowValues&& row) {
        const size_t pos = lowerBoundOfKey(row.value(0).toLongLong());
        // A record added through another handle since this one was read is
        // not one of this table's records yet.
        if (pos < m_count && keyAt(pos) == row.value(0).toLongLong() && visible(pos))
            visit(row);
    });
}

void Table::beginReading()
{
    requireOpen("read");
    m_file->beginReading();
}

void Table::endReading()
{
    if (m_file)
        m_file->endReading();
}

void Table::setSyncEachCommit(bool on)
{
    if (on == m_syncEachCommit)
        return;
    m_syncEachCommit = on;
    if (m_file && m_writeAheadLog)
        m_file->setSyncEachCommit(on);
}

void Table::beginBatch()
{
    requireOpen("write");
    m_file->beginTransaction();
    m_batch = true;
}

void Table::commitBatch()
{
    if (!m_batch)
        return;
    m_batch = false;
    if (!m_file->replacing()) {
        m_file->commit();
        return;
    }
    try {
        m_file->commitReplacement();
        if (m_writeAheadLog) {
            m_file->useWriteAheadLog();
            m_file->setSyncEachCommit(m_syncEachCommit);
        }
    } catch (...) {
        close();
        throw;
    }
}

void Table::rollbackBatch()
{
    if (!m_batch)
        return;
    m_batch = false;
    if (m_file->replacing()) {
        // The old content was never touched; what was written goes.
        m_file->abandonReplacement();
        close();
        return;
    }
    try {
        m_file->rollback();
        // The records posted in the batch are gone from the file; reread it.
        readNumbers(false);
    } catch (const TableError&) {
        // Called on the way out of a failed write: its error is the one to
        // tell. Closing the handle ends the transaction as a rollback does;
        // a handle that knows records the file does not hold would save an
        // edit of one nowhere.
        close();
        return;
    }
    m_cur = firstVisibleFrom(0);
    m_eof = m_bof = !m_cur.has_value();
    notifyData(-1);
}

void Table::setState(TableState s)
{
    m_state = s;
    notifyState();
}

void Table::notifyState()
{
    // While the controls are suspended, as during an import of many records,
    // each post would redraw them twice (insert, then browse): the state
    // they see is told once, when they are enabled again.
    if (m_disabled > 0)
        return;
    const auto sources = m_sources;
    for (DataSource* ds : sources)
        emit ds->stateChanged();
}

void Table::notifyData(int field)
{
    if (m_disabled > 0)
        return;
    const auto sources = m_sources;
    for (DataSource* ds : sources)
        emit ds->dataChanged(field);
}

} // namespace store
