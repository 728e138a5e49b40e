#include "ObjectiveResults.h"

#include <QHash>
#include <algorithm>

namespace learning {

namespace {

int listOrder(const QString& objective)
{
    const auto& all = store::examObjectives();
    for (size_t i = 0; i < all.size(); ++i)
        if (all[i].name == objective)
            return static_cast<int>(i);
    return static_cast<int>(all.size());
}

} // namespace

ObjectiveBreakdown breakdownByObjective(const std::vector<store::Attempt>& attempts,
                                        const store::ItemObjectives& objectives)
{
    ObjectiveBreakdown out;
    QHash<QString, ObjectiveResult> tally;
    for (const store::Attempt& a : attempts)
        for (const store::AttemptItem& item : a.items) {
            const QString objective = objectives.objectiveOf(item.id, item.userItem);
            if (objective.isEmpty()) {
                ++out.unattributed;
                continue;
            }
            ObjectiveResult& r = tally[objective];
            r.objective = objective;
            ++r.answered;
            r.correct += item.correct ? 1 : 0;
        }
    for (const ObjectiveResult& r : tally)
        out.results.push_back(r);
    std::sort(out.results.begin(), out.results.end(),
              [](const ObjectiveResult& a, const ObjectiveResult& b) {
                  // Shares compared as exact fractions.
                  const long long lhs = static_cast<long long>(a.correct) * b.answered;
                  const long long rhs = static_cast<long long>(b.correct) * a.answered;
                  if (lhs != rhs)
                      return lhs < rhs;
                  const int wrongA = a.answered - a.correct, wrongB = b.answered - b.correct;
                  if (wrongA != wrongB)
                      return wrongA > wrongB;
                  return listOrder(a.objective) < listOrder(b.objective);
              });
    return out;
}

QStringList weakestObjectives(const ObjectiveBreakdown& breakdown, int n)
{
    QStringList names;
    for (const ObjectiveResult& r : breakdown.results) {
        if (names.size() >= n)
            break;
        names << r.objective;
    }
    return names;
}

QString weakestObjectivesTitle(const QStringList& objectives)
{
    QStringList names;
    for (const QString& o : objectives) {
        const store::ExamObjective* known = store::findExamObjective(o);
        names << (known ? known->shortName : o);
    }
    return QStringLiteral("Drill: weakest objectives (%1)").arg(names.join(QStringLiteral(", ")));
}

} // namespace learning
