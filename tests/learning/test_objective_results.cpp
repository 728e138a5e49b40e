// Results by objective of a graded exam match a count by hand, and the drill
// on the weakest objectives draws from the right items.
#include "ExamSession.h"
#include "ExamSetBuilder.h"
#include "History.h"
#include "ObjectiveResults.h"
#include "Objectives.h"
#include "ProgramDir.h"
#include "ScriptedServices.h"
#include "Session.h"
#include "Table.h"

#include <QtTest>

using learning::ObjectiveResult;

namespace {

store::Attempt attemptOf(std::initializer_list<std::pair<int, bool>> items)
{
    store::Attempt a;
    for (const auto& [id, right] : items)
        a.items.push_back({id, right, false, false});
    a.itemCount = static_cast<int>(a.items.size());
    return a;
}

store::ItemObjectives lookup()
{
    store::ItemObjectives o;
    o.setBankTags({{1, {QStringLiteral("dns-server"), {}}},
                   {2, {QStringLiteral("dns-server/roles"), {}}},
                   {3, {QStringLiteral("snmp"), {}}},
                   {4, {QStringLiteral("ras"), {}}},
                   {5, {QStringLiteral("browsing"), {}}}});
    return o;
}

} // namespace

class TestObjectiveResults : public QObject {
    Q_OBJECT
private slots:
    // Practice items of the fixture bank, all taken; the odd source ids are
    // answered right, the rest left wrong. The figures are counted by hand
    // from tests/support/bank.
    void gradedExamMatchesAHandCount()
    {
        testing::ProgramDir dir;
        testing::ScriptedServices services;
        exam::ExamSession s(services);
        store::Table& bank = s.bank();
        bank.setFilter(QStringLiteral("Q_EXAM_N<>0"));
        bank.setFiltered(true);
        bank.open();
        exam::ExamStart start;
        start.title = QStringLiteral("All Questions");
        start.candidate = QStringLiteral("Ada");
        start.timeLimit = exam::Seconds(3600);
        QVERIFY(s.start(start, [&] { return s.builder().buildExamSet(bank, s.currentSet()); }));
        s.currentSet().first();
        for (int k = 1; k <= s.itemCount(); ++k) {
            s.goToItem(k);
            const int source =
                static_cast<int>(s.currentSet().asInteger(QStringLiteral("Q_OR_NUMBER")));
            if (source % 2 == 0)
                continue;
            if (s.currentItem().isSimulation())
                s.setSimulationOutcome(true, true, {});
            else
                s.setChoices(s.currentItem().key);
        }
        QCOMPARE(s.grade(), QString());
        const std::vector<store::Attempt> attempts = s.history().readAll();
        QCOMPARE(attempts.size(), size_t(1));

        const auto breakdown =
            learning::breakdownByObjective(attempts, store::ItemObjectives::read(s.tableSession()));
        const std::vector<ObjectiveResult> expected = {
            {QStringLiteral("unix-connectivity"), 2, 0},
            {QStringLiteral("wins-server"), 1, 0},
            {QStringLiteral("hosts-lmhosts"), 1, 0},
            {QStringLiteral("name-resolution-problems"), 1, 0},
            {QStringLiteral("subnet-masks"), 2, 1},
            {QStringLiteral("diagnostic-utilities"), 2, 1},
            {QStringLiteral("plan-network-configuration"), 2, 2},
            {QStringLiteral("dhcp-scopes"), 1, 1},
            {QStringLiteral("tcpip-printing"), 1, 1},
            {QStringLiteral("monitor-traffic"), 1, 1},
        };
        QCOMPARE(breakdown.results, expected);
        QCOMPARE(breakdown.unattributed, 0);
        QCOMPARE(learning::weakestObjectives(breakdown),
                 (QStringList{QStringLiteral("unix-connectivity"), QStringLiteral("wins-server"),
                              QStringLiteral("hosts-lmhosts")}));
    }

    // Over several attempts the answers pool; a sub-objective counts for its
    // objective; an item of unknown objective is counted apart.
    void attemptsPoolAndUnknownItemsStandApart()
    {
        store::Attempt first = attemptOf({{1, true}, {2, false}, {3, true}});
        store::Attempt second = attemptOf({{1, false}, {3, true}, {9, false}});
        second.items.push_back({7, false, false, true}); // a user item since deleted
        const auto breakdown = learning::breakdownByObjective({first, second}, lookup());
        const std::vector<ObjectiveResult> expected = {
            {QStringLiteral("dns-server"), 3, 1},
            {QStringLiteral("snmp"), 2, 2},
        };
        QCOMPARE(breakdown.results, expected);
        QCOMPARE(breakdown.unattributed, 2);
    }

    // Equal shares: more wrong answers first, then the exam's own order.
    void tiesGoToMoreWrongThenListOrder()
    {
        const store::Attempt a =
            attemptOf({{5, false}, {4, false}, {3, false}, {3, false}, {1, true}, {1, true}});
        const auto breakdown = learning::breakdownByObjective({a}, lookup());
        QStringList order;
        for (const ObjectiveResult& r : breakdown.results)
            order << r.objective;
        QCOMPARE(order, (QStringList{QStringLiteral("snmp"), QStringLiteral("ras"),
                                     QStringLiteral("browsing"), QStringLiteral("dns-server")}));
        QCOMPARE(learning::weakestObjectivesTitle(learning::weakestObjectives(breakdown)),
                 QStringLiteral("Drill: weakest objectives (SNMP, RAS, browsing)"));
    }
};

QTEST_GUILESS_MAIN(TestObjectiveResults)
#include "test_objective_results.moc"
