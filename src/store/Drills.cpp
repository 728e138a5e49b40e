#include "Drills.h"

#include "Table.h"

#include <algorithm>

namespace store {

namespace {

const char* const kDrillPrefix = "Drill: ";

QString kindPrefix(DrillKind kind)
{
    return kind == DrillKind::Missed ? QStringLiteral("missed items of ")
                                     : QStringLiteral("marked items of ");
}

} // namespace

std::vector<int> drillItems(const Attempt& attempt, DrillKind kind)
{
    std::vector<int> ids;
    for (const AttemptItem& i : attempt.items)
        if (kind == DrillKind::Missed ? !i.correct : i.marked)
            ids.push_back(i.id);
    return ids;
}

QString drillTitle(const QString& examTitle, DrillKind kind)
{
    QString base = examTitle;
    const QString drill = QLatin1String(kDrillPrefix);
    if (base.startsWith(drill)) {
        base = base.mid(drill.size());
        for (DrillKind k : {DrillKind::Missed, DrillKind::Marked})
            if (base.startsWith(kindPrefix(k)))
                base = base.mid(kindPrefix(k).size());
    }
    return drill + kindPrefix(kind) + base;
}

QString weakestSectionTitle(int section)
{
    return QLatin1String(kDrillPrefix) + sectionName(section) +
           QStringLiteral(" (weakest section)");
}

WeakestSection weakestSection(const std::vector<Attempt>& attempts, int window)
{
    std::array<SectionTally, kSectionCount> pooled{};
    const size_t from = attempts.size() > static_cast<size_t>(window)
                            ? attempts.size() - static_cast<size_t>(window)
                            : 0;
    for (size_t a = from; a < attempts.size(); ++a)
        for (size_t s = 0; s < pooled.size(); ++s) {
            pooled[s].correct += attempts[a].sections[s].correct;
            pooled[s].total += attempts[a].sections[s].total;
        }
    WeakestSection weakest;
    for (int s = 1; s <= kSectionCount; ++s) {
        const SectionTally& t = pooled[static_cast<size_t>(s - 1)];
        if (t.total == 0)
            continue;
        if (weakest.section != 0) {
            // Shares compared as exact fractions: c/t < wc/wt.
            const long long lhs = static_cast<long long>(t.correct) * weakest.total;
            const long long rhs = static_cast<long long>(weakest.correct) * t.total;
            if (lhs > rhs)
                continue;
            if (lhs == rhs && t.total - t.correct <= weakest.total - weakest.correct)
                continue;
        }
        weakest = {s, t.correct, t.total};
    }
    return weakest;
}

std::vector<int> sectionItems(Table& bank, int section)
{
    std::vector<int> ids;
    const bool filtered = bank.filtered();
    bank.setFiltered(false);
    const int sect = bank.fieldIndex(QStringLiteral("Q_SECT"));
    const int exam = bank.fieldIndex(QStringLiteral("Q_EXAM_N"));
    const int key = bank.fieldIndex(QStringLiteral("Q_ID"));
    for (bank.first(); !bank.eof(); bank.next())
        if (bank.valueAt(sect).toInt() == section && bank.valueAt(exam).toInt() != 0)
            ids.push_back(bank.valueAt(key).toInt());
    bank.setFiltered(filtered);
    return ids;
}

int drillMinutes(int items, int fullExamMinutes)
{
    const long long product =
        static_cast<long long>(std::max(0, items)) * std::max(0, fullExamMinutes);
    return static_cast<int>(
        std::max<long long>(1, (product + kFullExamItems - 1) / kFullExamItems));
}

} // namespace store
