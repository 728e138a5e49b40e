#include "SavedExam.h"

#include "Session.h"
#include "Table.h"
#include "TableError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <cstdint>

namespace store {

using platform::ColumnDef;
using platform::ColumnType;
using platform::TableError;

namespace {

// Record 1 holds the exam; record k + 1 holds item k.
constexpr int kHeaderRecord = 1;

qint64 toMs(double days)
{
    return std::clamp<qint64>(std::llround(days * 86400000.0), 0, INT32_MAX);
}

double toDays(qint64 ms)
{
    return static_cast<double>(ms) / 86400000.0;
}

// R_CHOICE of an item holds the six choices in bits 0..5 and, for a
// simulation, its eight tiles in three bits each from bit 6 on; R_CHOICE of
// the exam record holds the untimed flag in bit 0. Files written before the
// tiles were kept read as having none.
constexpr int kTileShift = 6;
constexpr int kTileBits = 3;
constexpr size_t kTileCount = 8;

qint64 choiceBits(const std::array<bool, 6>& choice, const std::vector<int>& tiles)
{
    qint64 bits = 0;
    for (size_t i = 0; i < choice.size(); ++i)
        if (choice[i])
            bits |= qint64(1) << i;
    if (tiles.size() == kTileCount)
        for (size_t i = 0; i < kTileCount; ++i)
            bits |= qint64(std::clamp(tiles[i], 0, 7)) << (kTileShift + kTileBits * int(i));
    return bits;
}

std::vector<int> tilesOf(qint64 bits)
{
    std::vector<int> tiles;
    if ((bits >> kTileShift) == 0)
        return tiles;
    for (size_t i = 0; i < kTileCount; ++i)
        tiles.push_back(static_cast<int>((bits >> (kTileShift + kTileBits * int(i))) & 7));
    return tiles;
}

[[noreturn]] void damaged(const QString& file, const QString& why)
{
    throw TableError(TableError::Corrupt,
                     QStringLiteral("The table file \"%1\" is damaged: %2.").arg(file, why));
}

} // namespace

const TableSchema& savedExamSchema()
{
    static const TableSchema s = {
        {QStringLiteral("Q_ID"), ColumnType::Integer},
        {QStringLiteral("S_KIND"), ColumnType::Integer},
        {QStringLiteral("S_TITLE"), ColumnType::String},
        {QStringLiteral("S_NAME"), ColumnType::String},
        {QStringLiteral("S_FILTER"), ColumnType::String},
        {QStringLiteral("S_COUNT"), ColumnType::Integer},
        {QStringLiteral("S_ITEM"), ColumnType::Integer},
        {QStringLiteral("S_LIMIT_MS"), ColumnType::Integer},
        {QStringLiteral("S_USED_MS"), ColumnType::Integer},
        {QStringLiteral("Q_OR_NUMBER"), ColumnType::Integer},
        // Text: whole numbers in a table file are 32 bits wide.
        {QStringLiteral("Q_PRINT"), ColumnType::String},
        {QStringLiteral("R_CHOICE"), ColumnType::Integer},
        {QStringLiteral("R_MARKED"), ColumnType::Boolean},
    };
    return s;
}

ItemPrinter::ItemPrinter(const Table& items)
{
    QStringList names{QStringLiteral("Q_TEXT"), QStringLiteral("Q_TYPE")};
    for (int i = 1; i <= 6; ++i)
        names << QStringLiteral("Q%1").arg(i);
    for (int i = 1; i <= 6; ++i)
        names << QStringLiteral("A%1").arg(i);
    for (const QString& name : names) {
        const int field = items.fieldIndex(name);
        if (field < 0)
            throw TableError(
                TableError::Usage,
                QStringLiteral("Field \"%1\" not found in \"%2\".").arg(name, items.fileName()));
        m_fields.emplace_back(field, items.schema()[size_t(field)].type == ColumnType::Boolean);
    }
}

qint64 ItemPrinter::print(const Table& items) const
{
    return printOf([&](int field) { return items.valueAt(field); });
}

qint64 ItemPrinter::print(const platform::RowValues& row) const
{
    return printOf([&](int field) { return row.value(field); });
}

std::vector<bool> ItemPrinter::fieldsRead(size_t fieldCount) const
{
    std::vector<bool> read(fieldCount, false);
    for (const auto& [field, yesNo] : m_fields)
        if (static_cast<size_t>(field) < fieldCount)
            read[static_cast<size_t>(field)] = true;
    return read;
}

template <typename ValueAt> qint64 ItemPrinter::printOf(const ValueAt& valueAt) const
{
    quint64 h = 14695981039346656037ULL;
    const auto mix = [&h](quint64 unit) {
        h ^= unit;
        h *= 1099511628211ULL;
    };
    for (const auto& [field, yesNo] : m_fields) {
        const QVariant v = valueAt(field);
        if (yesNo) {
            mix(v.toBool() ? 1 : 0);
            continue;
        }
        const QString text = v.toString();
        // The length first, so that text moved between fields changes it.
        mix(static_cast<quint64>(text.size()) | (quint64(1) << 40));
        for (const QChar c : text)
            mix(c.unicode());
    }
    return static_cast<qint64>(h);
}

int SavedExamState::answered() const
{
    int n = 0;
    for (const SavedItem& item : items)
        n += std::find(item.choice.begin(), item.choice.end(), true) != item.choice.end() ? 1 : 0;
    return n;
}

SavedExamFile::SavedExamFile(Session& session, const QString& fileName)
    : m_session(session), m_fileName(fileName)
{
}

SavedExamFile::~SavedExamFile()
{
    close();
}

void SavedExamFile::close()
{
    if (m_table)
        m_table->close();
}

void SavedExamFile::openTable()
{
    if (!m_table) {
        m_table = std::make_unique<Table>(m_session, m_fileName, savedExamSchema(), true);
        m_table->setWriteAheadLog(true);
    }
    if (!m_table->isOpen())
        m_table->open();
}

void SavedExamFile::start(const SavedExamState& state)
{
    openTable();
    Table& t = *m_table;
    m_holds = false;
    t.setSyncEachCommit(true);
    t.beginBatch();
    try {
        t.emptyTable();
        t.append();
        t.setValue(QStringLiteral("Q_ID"), kHeaderRecord);
        t.setValue(QStringLiteral("S_KIND"), static_cast<int>(state.kind));
        t.setValue(QStringLiteral("S_TITLE"), state.title);
        t.setValue(QStringLiteral("S_NAME"), state.candidate);
        t.setValue(QStringLiteral("S_FILTER"), state.filter);
        t.setValue(QStringLiteral("S_COUNT"), static_cast<qint64>(state.items.size()));
        t.setValue(QStringLiteral("S_ITEM"), state.currentItem);
        t.setValue(QStringLiteral("S_LIMIT_MS"), toMs(state.timeLimit));
        t.setValue(QStringLiteral("S_USED_MS"), toMs(state.timeUsed));
        t.setValue(QStringLiteral("R_CHOICE"), state.untimed ? 1 : 0);
        t.setValue(QStringLiteral("Q_OR_NUMBER"), state.draftItem);
        t.setValue(QStringLiteral("Q_PRINT"), state.draft);
        t.post();
        const int idField = t.fieldIndex(QStringLiteral("Q_ID"));
        const int sourceField = t.fieldIndex(QStringLiteral("Q_OR_NUMBER"));
        const int printField = t.fieldIndex(QStringLiteral("Q_PRINT"));
        const int choiceField = t.fieldIndex(QStringLiteral("R_CHOICE"));
        const int markField = t.fieldIndex(QStringLiteral("R_MARKED"));
        const int usedField = t.fieldIndex(QStringLiteral("S_USED_MS"));
        for (size_t i = 0; i < state.items.size(); ++i) {
            const SavedItem& item = state.items[i];
            t.append();
            t.setValueAt(idField, static_cast<qint64>(kHeaderRecord + 1 + i));
            t.setValueAt(sourceField, item.sourceId);
            t.setValueAt(printField, QString::number(item.print));
            t.setValueAt(choiceField, choiceBits(item.choice, item.tiles));
            t.setValueAt(markField, item.marked);
            t.setValueAt(usedField, std::clamp<qint64>(item.msOnScreen, 0, INT32_MAX));
            t.post();
        }
        t.commitBatch();
    } catch (...) {
        t.rollbackBatch();
        throw;
    }
    m_holds = true;
}

void SavedExamFile::writeRecord(int record, bool sync,
                                const std::vector<std::pair<const char*, QVariant>>& values)
{
    if (!m_holds)
        return;
    Table& t = *m_table;
    t.setSyncEachCommit(sync);
    t.setRecNo(record);
    t.edit();
    for (const auto& [field, value] : values)
        t.setValue(QString::fromLatin1(field), value);
    t.post();
}

void SavedExamFile::writeResponse(int item, const std::array<bool, 6>& choice, bool marked,
                                  const std::vector<int>& tiles)
{
    // A response waits for the disk: it outlives a power cut too.
    writeRecord(kHeaderRecord + item, true,
                {{"R_CHOICE", choiceBits(choice, tiles)}, {"R_MARKED", marked}});
}

void SavedExamFile::writeUntimed(double timeUsed)
{
    writeRecord(kHeaderRecord, true, {{"R_CHOICE", 1}, {"S_USED_MS", toMs(timeUsed)}});
}

void SavedExamFile::writeDraft(int item, const QString& text)
{
    writeRecord(kHeaderRecord, false,
                {{"Q_OR_NUMBER", text.isEmpty() ? 0 : item}, {"Q_PRINT", text}});
}

void SavedExamFile::writeProgress(int currentItem, double timeUsed)
{
    // A move or the time goes to the log without waiting for the disk, so
    // that the next item shows at once; it outlives the program, and the
    // next response takes it to the disk.
    writeRecord(kHeaderRecord, false, {{"S_ITEM", currentItem}, {"S_USED_MS", toMs(timeUsed)}});
}

void SavedExamFile::writeProgress(int currentItem, double timeUsed, int timedItem,
                                  qint64 msOnScreen)
{
    if (!m_holds)
        return;
    if (timedItem < 1 || timedItem > m_table->recordCount() - 1) {
        writeProgress(currentItem, timeUsed);
        return;
    }
    Table& t = *m_table;
    t.setSyncEachCommit(false);
    t.beginBatch();
    try {
        t.setRecNo(kHeaderRecord + timedItem);
        t.edit();
        t.setValue(QStringLiteral("S_USED_MS"), std::clamp<qint64>(msOnScreen, 0, INT32_MAX));
        t.post();
        t.setRecNo(kHeaderRecord);
        t.edit();
        t.setValue(QStringLiteral("S_ITEM"), currentItem);
        t.setValue(QStringLiteral("S_USED_MS"), toMs(timeUsed));
        t.post();
        t.commitBatch();
    } catch (...) {
        t.rollbackBatch();
        throw;
    }
}

std::optional<SavedExamState> SavedExamFile::read()
{
    m_holds = false;
    if (!m_table && !QFileInfo::exists(m_fileName))
        return std::nullopt;
    openTable();
    Table& t = *m_table;
    if (t.isEmpty())
        return std::nullopt;
    t.first();
    if (t.asInteger(QStringLiteral("Q_ID")) != kHeaderRecord)
        damaged(m_fileName, QStringLiteral("the exam record is missing"));
    SavedExamState s;
    const qint64 kind = t.asInteger(QStringLiteral("S_KIND"));
    if (kind < 0 || kind > static_cast<int>(ExamKind::User))
        damaged(m_fileName, QStringLiteral("the exam kind %1 is unknown").arg(kind));
    s.kind = static_cast<ExamKind>(kind);
    s.title = t.asString(QStringLiteral("S_TITLE"));
    s.candidate = t.asString(QStringLiteral("S_NAME"));
    s.filter = t.asString(QStringLiteral("S_FILTER"));
    const qint64 count = t.asInteger(QStringLiteral("S_COUNT"));
    s.currentItem = static_cast<int>(t.asInteger(QStringLiteral("S_ITEM")));
    s.timeLimit = toDays(t.asInteger(QStringLiteral("S_LIMIT_MS")));
    s.timeUsed = toDays(t.asInteger(QStringLiteral("S_USED_MS")));
    s.untimed = (t.asInteger(QStringLiteral("R_CHOICE")) & 1) != 0;
    s.draftItem = static_cast<int>(t.asInteger(QStringLiteral("Q_OR_NUMBER")));
    s.draft = t.asString(QStringLiteral("Q_PRINT"));
    if (s.draftItem < 0 || s.draftItem > count || s.draft.isEmpty()) {
        s.draftItem = 0;
        s.draft.clear();
    }
    if (count < 1 || count != t.recordCount() - 1)
        damaged(m_fileName,
                QStringLiteral("it holds %1 items of %2").arg(t.recordCount() - 1).arg(count));
    if (s.currentItem < 1 || s.currentItem > count)
        damaged(m_fileName,
                QStringLiteral("the current item %1 is not in the exam").arg(s.currentItem));
    s.items.reserve(static_cast<size_t>(count));
    for (t.next(); !t.eof(); t.next()) {
        const qint64 key = t.asInteger(QStringLiteral("Q_ID"));
        if (key != kHeaderRecord + 1 + static_cast<qint64>(s.items.size()))
            damaged(m_fileName, QStringLiteral("item record %1 is out of place").arg(key));
        SavedItem item;
        item.sourceId = t.asInteger(QStringLiteral("Q_OR_NUMBER"));
        item.print = t.asString(QStringLiteral("Q_PRINT")).toLongLong();
        const qint64 bits = t.asInteger(QStringLiteral("R_CHOICE"));
        for (size_t i = 0; i < item.choice.size(); ++i)
            item.choice[i] = (bits >> i) & 1;
        item.tiles = tilesOf(bits);
        item.marked = t.asBoolean(QStringLiteral("R_MARKED"));
        item.msOnScreen = std::max<qint64>(0, t.asInteger(QStringLiteral("S_USED_MS")));
        s.items.push_back(item);
    }
    m_holds = true;
    return s;
}

void SavedExamFile::discard()
{
    m_holds = false;
    try {
        if (!m_table && !QFileInfo::exists(m_fileName))
            return;
        openTable();
        m_table->emptyTable();
    } catch (const TableError& e) {
        // A damaged file cannot hold an exam either; any other failure (a
        // full disk, a lock) leaves the file for a later attempt.
        if (e.code() != TableError::Corrupt && e.code() != TableError::NotADatabase)
            throw;
        if (m_table)
            m_table->close();
        const QString path = QDir::current().absoluteFilePath(m_fileName);
        QFile::remove(path);
        for (const char* extra : {"-journal", "-wal", "-shm"})
            QFile::remove(path + QLatin1String(extra));
    }
}

} // namespace store
