// The review of missed items over scripted days: an item missed joins the
// first box, a right answer in a review moves it up (due again after 1, 3, 7
// and 21 days), a wrong one sends it back, and it leaves after the last box.
#include "ExamSession.h"
#include "ExamSetBuilder.h"
#include "History.h"
#include "ProgramDir.h"
#include "ReviewPool.h"
#include "ScriptedServices.h"
#include "Session.h"
#include "Table.h"
#include "TableError.h"

#include <QFile>
#include <QtTest>

using learning::ReviewEntry;
using learning::ReviewPool;

namespace {

store::Attempt attemptOf(std::initializer_list<std::pair<int, bool>> items, bool user = false)
{
    store::Attempt a;
    for (const auto& [id, right] : items)
        a.items.push_back({id, right, false, user});
    return a;
}

std::vector<int> dueIds(const ReviewPool& pool, qint64 day)
{
    std::vector<int> ids;
    for (const ReviewEntry& e : pool.due(day))
        ids.push_back(e.id);
    return ids;
}

store::Session tableSession()
{
    store::Session s(QString::fromLatin1(store::kSessionName));
    s.registerPassword(QString::fromLatin1(store::kTablePassword));
    return s;
}

} // namespace

class TestReviewPool : public QObject {
    Q_OBJECT
private slots:
    // One item through every box, day by day: due exactly on the day its box
    // says, not before, and gone after a right answer in the last box.
    void itemClimbsTheBoxesAndLeaves()
    {
        ReviewPool pool;
        qint64 day = 100;
        pool.record(attemptOf({{7, false}, {8, true}}), day, false);
        QCOMPARE(pool.entries().size(), size_t(1)); // a right answer joins nothing
        QCOMPARE(dueIds(pool, day), std::vector<int>{});
        for (int box = 1; box <= learning::kReviewBoxes; ++box) {
            const int wait = learning::kReviewIntervals[static_cast<size_t>(box - 1)];
            QCOMPARE(pool.entries().front().box, box);
            QCOMPARE(dueIds(pool, day + wait - 1), std::vector<int>{});
            day += wait;
            QCOMPARE(dueIds(pool, day), std::vector<int>{7});
            pool.record(attemptOf({{7, true}}), day, true);
        }
        QVERIFY(pool.entries().empty());
    }

    // A wrong answer sends an item back to the first box, in a review or in
    // any other exam; a right answer outside a review moves nothing.
    void wrongAnswerSendsBackRightOutsideReviewKeeps()
    {
        ReviewPool pool;
        pool.record(attemptOf({{3, false}}), 10, false);
        pool.record(attemptOf({{3, true}}), 11, true); // box 2, due day 14
        pool.record(attemptOf({{3, true}}), 12, false);
        QCOMPARE(pool.entries().front(), (ReviewEntry{3, false, 2, 14}));
        pool.record(attemptOf({{3, false}}), 14, true);
        QCOMPARE(pool.entries().front(), (ReviewEntry{3, false, 1, 15}));
        pool.record(attemptOf({{3, true}}), 15, true);
        pool.record(attemptOf({{3, false}}), 16, false);
        QCOMPARE(pool.entries().front(), (ReviewEntry{3, false, 1, 17}));
    }

    // A bank item and a user item of the same number are two entries; the due
    // list runs oldest due first.
    void userAndBankItemsAreApartAndDueInOrder()
    {
        ReviewPool pool;
        pool.record(attemptOf({{5, false}}), 20, false);
        pool.record(attemptOf({{5, false}, {6, false}}, true), 18, false);
        QCOMPARE(pool.entries().size(), size_t(3));
        const auto due = pool.due(21);
        QCOMPARE(due.size(), size_t(3));
        QVERIFY(due[0].userItem && due[0].id == 5);
        QVERIFY(due[1].userItem && due[1].id == 6);
        QVERIFY(!due[2].userItem);
    }

    // The file holds what was written, and a missing one is an empty pool.
    void fileKeepsThePool()
    {
        testing::ProgramDir dir(false);
        store::Session session = tableSession();
        learning::ReviewPoolFile file(session);
        QVERIFY(file.read().entries().empty());
        ReviewPool pool;
        pool.record(attemptOf({{4, false}, {9, false}}), 30, false);
        pool.record(attemptOf({{2, false}}, true), 31, false);
        file.write(pool);
        QCOMPARE(file.read(), pool);
        pool.record(attemptOf({{4, true}, {9, true}}), 31, true);
        file.write(pool);
        QCOMPARE(learning::ReviewPoolFile(session).read(), pool);
        QVERIFY(!QFile::exists(QStringLiteral("tcpiprev.DAT.new")));
    }

    // Grading an exam takes its misses into the pool on the day of the
    // clock; a review graded days later moves them on.
    void gradingFeedsThePool()
    {
        testing::ProgramDir dir;
        testing::ScriptedServices services;
        const qint64 firstDay = learning::dayOf(services.now());
        auto take = [&](const QString& title, bool rightOnFirst) {
            exam::ExamSession s(services);
            store::Table& bank = s.bank();
            bank.setFilter(QStringLiteral("Q_EXAM_N=1"));
            bank.setFiltered(true);
            bank.open();
            exam::ExamStart start;
            start.title = title;
            start.timeLimit = exam::Seconds(600);
            QVERIFY(s.start(start, [&] { return s.builder().buildExamSet(bank, s.currentSet()); }));
            s.currentSet().first();
            if (rightOnFirst)
                s.setChoices(s.currentItem().key);
            QCOMPARE(s.grade(), QString());
        };
        take(QStringLiteral("Practice Exam A"), false);
        store::Session session = tableSession();
        ReviewPool pool = learning::ReviewPoolFile(session).read();
        QCOMPARE(pool.entries().size(), size_t(2));
        QCOMPARE(pool.due(firstDay + 1).size(), size_t(2));

        services.clock += 1.0;
        take(learning::reviewDrillTitle(), true);
        pool = learning::ReviewPoolFile(session).read();
        QCOMPARE(pool.entries().size(), size_t(2));
        int promoted = 0;
        for (const ReviewEntry& e : pool.entries())
            promoted += e.box == 2 && e.dueDay == firstDay + 1 + 3 ? 1 : 0;
        QCOMPARE(promoted, 1);
    }

    // A record that no pool could have written refuses the file by name.
    void damagedRecordIsRefused()
    {
        testing::ProgramDir dir(false);
        store::Session session = tableSession();
        ReviewPool pool;
        pool.setEntries({{4, false, 9, 10}});
        learning::ReviewPoolFile(session).write(pool);
        try {
            learning::ReviewPoolFile(session).read();
            QFAIL("a box 9 was read");
        } catch (const platform::TableError& e) {
            QVERIFY(e.text().contains(QStringLiteral("tcpiprev.DAT")));
        }
    }
};

QTEST_GUILESS_MAIN(TestReviewPool)
#include "test_review_pool.moc"
