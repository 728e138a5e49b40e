#include "ReviewPool.h"

#include "Session.h"
#include "Table.h"
#include "TableError.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <filesystem>

namespace learning {

using platform::ColumnType;

namespace {

const store::TableSchema& poolSchema()
{
    static const store::TableSchema schema = {
        {QStringLiteral("Q_ID"), ColumnType::Integer},
        {QStringLiteral("R_ITEM"), ColumnType::Integer},
        {QStringLiteral("R_USER"), ColumnType::Boolean},
        {QStringLiteral("R_BOX"), ColumnType::Integer},
        {QStringLiteral("R_DUE"), ColumnType::Integer},
    };
    return schema;
}

bool holdsRecords(const QString& path)
{
    return store::Table::holdsRecords(path);
}

void createComplete(store::Session& session, const QString& path)
{
    store::Table::createComplete(session, path, poolSchema(), QStringLiteral("review file"));
}

} // namespace

qint64 dayOf(double when)
{
    return static_cast<qint64>(std::floor(when));
}

void ReviewPool::record(const store::Attempt& attempt, qint64 today, bool review)
{
    for (const store::AttemptItem& item : attempt.items) {
        if (item.id <= 0)
            continue;
        auto found = std::find_if(m_entries.begin(), m_entries.end(), [&](const ReviewEntry& e) {
            return e.id == item.id && e.userItem == item.userItem;
        });
        if (!item.correct) {
            if (found == m_entries.end())
                m_entries.push_back({item.id, item.userItem, 1, today + kReviewIntervals[0]});
            else
                *found = {item.id, item.userItem, 1, today + kReviewIntervals[0]};
            continue;
        }
        // A right answer outside a review may be a lucky guess among many
        // items; only the review's own answers move an item on.
        if (!review || found == m_entries.end())
            continue;
        if (found->box >= kReviewBoxes) {
            m_entries.erase(found);
            continue;
        }
        ++found->box;
        found->dueDay = today + kReviewIntervals[static_cast<size_t>(found->box - 1)];
    }
}

std::vector<ReviewEntry> ReviewPool::due(qint64 today) const
{
    std::vector<ReviewEntry> list;
    for (const ReviewEntry& e : m_entries)
        if (e.dueDay <= today)
            list.push_back(e);
    std::stable_sort(list.begin(), list.end(), [](const ReviewEntry& a, const ReviewEntry& b) {
        return a.dueDay < b.dueDay;
    });
    return list;
}

QString reviewDrillTitle()
{
    return QStringLiteral("Drill: review of missed items");
}

ReviewPoolFile::ReviewPoolFile(store::Session& session, const QString& path)
    : m_session(session), m_path(path)
{
}

ReviewPool ReviewPoolFile::read() const
{
    ReviewPool pool;
    if (!holdsRecords(m_path))
        return pool;
    store::Table t(m_session, m_path, poolSchema());
    t.open();
    std::vector<ReviewEntry> entries;
    for (t.first(); !t.eof(); t.next()) {
        ReviewEntry e;
        e.id = static_cast<int>(t.asInteger(QStringLiteral("R_ITEM")));
        e.userItem = t.asBoolean(QStringLiteral("R_USER"));
        e.box = static_cast<int>(t.asInteger(QStringLiteral("R_BOX")));
        e.dueDay = t.asInteger(QStringLiteral("R_DUE"));
        if (e.id <= 0 || e.box < 1 || e.box > kReviewBoxes)
            throw platform::TableError(
                platform::TableError::Corrupt,
                QStringLiteral("The review file \"%1\" is damaged: the record with Q_ID %2 "
                               "holds item %3 in box %4.")
                    .arg(QFileInfo(m_path).fileName())
                    .arg(t.asInteger(QStringLiteral("Q_ID")))
                    .arg(e.id)
                    .arg(e.box));
        entries.push_back(e);
    }
    t.close();
    pool.setEntries(std::move(entries));
    return pool;
}

void ReviewPoolFile::write(const ReviewPool& pool)
{
    if (!holdsRecords(m_path))
        createComplete(m_session, m_path);
    store::Table t(m_session, m_path, poolSchema());
    t.setExclusive(true);
    t.open();
    t.beginBatch();
    try {
        t.emptyTable();
        for (const ReviewEntry& e : pool.entries()) {
            t.append();
            t.setValue(QStringLiteral("R_ITEM"), e.id);
            t.setValue(QStringLiteral("R_USER"), e.userItem);
            t.setValue(QStringLiteral("R_BOX"), e.box);
            t.setValue(QStringLiteral("R_DUE"), e.dueDay);
            t.post();
        }
        t.commitBatch();
    } catch (...) {
        t.rollbackBatch();
        throw;
    }
    t.close();
}

void recordInReviewPool(store::Session& session, const store::Attempt& attempt, double when,
                        const QString& path)
{
    ReviewPoolFile file(session, path);
    ReviewPool pool = file.read();
    pool.record(attempt, dayOf(when), attempt.title == reviewDrillTitle());
    file.write(pool);
}

} // namespace learning
