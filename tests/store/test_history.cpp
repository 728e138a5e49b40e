// The history file of graded exams: what a record keeps, that it outlives the
// run, how a damaged file is refused, and the choice of items for drills.
#include "Drills.h"
#include "ExamSetBuilder.h"
#include "History.h"
#include "ProgramDir.h"
#include "Schemas.h"
#include "Session.h"
#include "Table.h"
#include "TableError.h"
#include "TableFile.h"

#include <QFile>
#include <QtTest>

#include <sys/stat.h>

using store::Attempt;
using store::AttemptItem;
using store::SectionTally;

Q_DECLARE_METATYPE(std::vector<int>)

namespace {

store::Session& session()
{
    static store::Session s = [] {
        store::Session made(QString::fromLatin1(store::kSessionName));
        made.registerPassword(QString::fromLatin1(store::kTablePassword));
        return made;
    }();
    return s;
}

Attempt sampleAttempt()
{
    Attempt a;
    a.when = 46000.5 + 61.0 / 86400; // a date at 12:01:01
    a.title = QStringLiteral("Practice Exam C");
    a.candidate = QStringLiteral("Ada Ångström");
    a.itemCount = 4;
    a.score = 500;
    a.pass = false;
    a.sections = {SectionTally{1, 2}, SectionTally{0, 0}, SectionTally{1, 1}, SectionTally{0, 1},
                  SectionTally{0, 0}};
    a.secondsUsed = 3725;
    a.items = {{12, true, false, false},
               {7, false, true, false},
               {3, true, true, false},
               {40, false, false, false}};
    return a;
}

// The sample with what the answers file keeps: responses, sections, times.
Attempt detailedAttempt()
{
    Attempt a = sampleAttempt();
    const int sections[] = {1, 3, 1, 4};
    const int seconds[] = {12, 0, 95, 7};
    for (size_t k = 0; k < a.items.size(); ++k) {
        a.items[k].section = sections[k];
        a.items[k].seconds = seconds[k];
        a.items[k].choice[k % 6] = true;
    }
    a.items[1].choice = {}; // no response
    return a;
}

// An attempt with the given correct/total per section, other fields plain.
Attempt tallied(std::array<SectionTally, store::kSectionCount> sections)
{
    Attempt a;
    a.title = QStringLiteral("Random Exam");
    a.sections = sections;
    return a;
}

mode_t modeOf(const QString& path)
{
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st.st_mode & 0777;
}

} // namespace

class TestHistory : public QObject {
    Q_OBJECT

    std::unique_ptr<testing::ProgramDir> m_dir;

private slots:
    void init() { m_dir = std::make_unique<testing::ProgramDir>(); }
    void cleanup() { m_dir.reset(); }

    void aRecordKeepsEveryFieldAcrossARestart()
    {
        const Attempt written = sampleAttempt();
        Attempt user = sampleAttempt();
        user.title = QStringLiteral("User Exam");
        for (AttemptItem& i : user.items)
            i.userItem = true;
        {
            store::HistoryFile file(session());
            QVERIFY(file.readAll().empty()); // no file yet: no history, no error
            QCOMPARE(file.add(written), qint64(1));
            QCOMPARE(file.add(user), qint64(2));
        }
        QCOMPARE(modeOf(store::kHistoryFile), mode_t(0600));

        // A new run: a new session, and no key kept from the last one.
        platform::TableFile::forgetKeys();
        store::Session fresh(QString::fromLatin1(store::kSessionName));
        fresh.registerPassword(QString::fromLatin1(store::kTablePassword));
        const std::vector<Attempt> read = store::HistoryFile(fresh).readAll();
        QCOMPARE(read.size(), size_t(2));
        Attempt expected = written;
        expected.key = 1;
        QCOMPARE(store::formatWhen(read[0].when), QStringLiteral("2025-12-09 12:01:01"));
        QVERIFY(std::abs(read[0].when - written.when) < 0.5 / 86400);
        expected.when = read[0].when;
        QVERIFY(read[0] == expected);
        QVERIFY(!read[0].userItems());
        QCOMPARE(read[1].key, qint64(2));
        QVERIFY(read[1].userItems());
        QCOMPARE(read[1].items, user.items);
    }

    void deletingOneAttemptOrAll()
    {
        store::HistoryFile file(session());
        for (int i = 0; i < 3; ++i)
            file.add(sampleAttempt());
        file.remove(2);
        std::vector<Attempt> left = file.readAll();
        QCOMPARE(left.size(), size_t(2));
        QCOMPARE(left[0].key, qint64(1));
        QCOMPARE(left[1].key, qint64(3));
        file.removeAll();
        QVERIFY(file.readAll().empty());
        // Keys are never handed out twice, so an old key names no new record.
        QCOMPARE(file.add(sampleAttempt()), qint64(4));
    }

    void aDamagedFileIsRefusedAndNeverReplaced_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("not a table file") << QByteArray(4096, 'x');
        QTest::newRow("a table file's header alone") << QByteArray("SQLite format 3").append('\0');
    }
    void aDamagedFileIsRefusedAndNeverReplaced()
    {
        QFETCH(QByteArray, content);
        {
            QFile f(QString::fromLatin1(store::kHistoryFile));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(content);
        }
        store::HistoryFile file(session());
        QVERIFY_THROWS_EXCEPTION(platform::TableError, file.readAll());
        QVERIFY_THROWS_EXCEPTION(platform::TableError, file.add(sampleAttempt()));
        QFile f(QString::fromLatin1(store::kHistoryFile));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), content);
    }

    void aRecordNoGradingCouldLeaveIsRefused_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("complaint");
        QTest::newRow("item list")
            << "H_RESULTS" << QVariant(QStringLiteral("12+ x7-")) << "unreadable item list";
        QTest::newRow("item zero")
            << "H_RESULTS" << QVariant(QStringLiteral("0+ 7- 3+ 40-")) << "unreadable item list";
        QTest::newRow("count") << "H_ITEMS" << QVariant(5) << "counts 5 items but lists 4";
        QTest::newRow("score") << "H_SCORE" << QVariant(1001) << "score 1001";
        QTest::newRow("date") << "H_DATE" << QVariant(QStringLiteral("yesterday"))
                              << "no readable date";
        QTest::newRow("section") << "H_RIGHT3" << QVariant(2) << "2 of 1 for section 3";
    }
    void aRecordNoGradingCouldLeaveIsRefused()
    {
        QFETCH(QString, field);
        QFETCH(QVariant, value);
        QFETCH(QString, complaint);
        store::HistoryFile file(session());
        file.add(sampleAttempt());
        {
            store::Table t(session(), QString::fromLatin1(store::kHistoryFile),
                           store::historySchema());
            t.open();
            t.edit();
            t.setValue(field, value);
            t.post();
        }
        file.add(sampleAttempt());
        // The bad record is named and passed over; the good one after it
        // still shows.
        QStringList bad;
        const std::vector<store::Attempt> read = file.readAll(&bad);
        QCOMPARE(read.size(), size_t(1));
        QCOMPARE(read.front().key, qint64(2));
        QCOMPARE(bad.size(), 1);
        QVERIFY2(bad.front().contains(complaint), qPrintable(bad.front()));
        QVERIFY(bad.front().contains(QLatin1String(store::kHistoryFile)));
    }

    void itemListsReadBack_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("count");
        QTest::newRow("none") << "" << 0;
        QTest::newRow("bank items") << "12+ 7-m 3+m" << 3;
        QTest::newRow("user items") << "U1- U2+m" << 2;
    }
    void itemListsReadBack()
    {
        QFETCH(QString, text);
        QFETCH(int, count);
        const std::vector<AttemptItem> items = store::decodeItems(text);
        QCOMPARE(int(items.size()), count);
        QCOMPARE(store::encodeItems(items), text);
    }

    void drillsTakeExactlyTheMissedOrMarkedItems()
    {
        const Attempt a = sampleAttempt(); // 12 right, 7 wrong+marked, 3 right+marked, 40 wrong
        QCOMPARE(store::drillItems(a, store::DrillKind::Missed), (std::vector<int>{7, 40}));
        QCOMPARE(store::drillItems(a, store::DrillKind::Marked), (std::vector<int>{7, 3}));
        Attempt perfect = a;
        for (AttemptItem& i : perfect.items)
            i = {i.id, true, false, false};
        QVERIFY(store::drillItems(perfect, store::DrillKind::Missed).empty());
        QVERIFY(store::drillItems(perfect, store::DrillKind::Marked).empty());
    }

    void drillTitlesNameTheExam_data()
    {
        QTest::addColumn<QString>("examTitle");
        QTest::addColumn<bool>("missed");
        QTest::addColumn<QString>("title");
        QTest::newRow("missed") << "Practice Exam C" << true
                                << "Drill: missed items of Practice Exam C";
        QTest::newRow("marked") << "User Exam" << false << "Drill: marked items of User Exam";
        QTest::newRow("drill of a drill") << "Drill: missed items of Practice Exam C" << false
                                          << "Drill: marked items of Practice Exam C";
        QTest::newRow("drill of the weakest section")
            << "Drill: Connectivity (weakest section)" << true
            << "Drill: missed items of Connectivity (weakest section)";
    }
    void drillTitlesNameTheExam()
    {
        QFETCH(QString, examTitle);
        QFETCH(bool, missed);
        QFETCH(QString, title);
        QCOMPARE(store::drillTitle(examTitle,
                                   missed ? store::DrillKind::Missed : store::DrillKind::Marked),
                 title);
    }

    // Each attempt as five "correct/total" tallies, oldest first.
    void theWeakestSectionOfTheLastFiveAttempts_data()
    {
        QTest::addColumn<QStringList>("attempts");
        QTest::addColumn<int>("section");
        QTest::newRow("no attempt") << QStringList() << 0;
        QTest::newRow("no section items") << QStringList{"0/0 0/0 0/0 0/0 0/0"} << 0;
        QTest::newRow("one attempt") << QStringList{"2/2 1/2 0/1 3/3 2/2"} << 3;
        // Averaged, section 1 (100 % and 0 %) would beat section 2 (0 % and
        // 67 %); pooled, section 1 has 1 of 4 right and section 2 has 2 of 4.
        QTest::newRow("shares are pooled, not averaged")
            << QStringList{"1/1 0/1 1/1 1/1 1/1", "0/3 2/3 1/1 1/1 1/1"} << 1;
        QTest::newRow("a section missing from every attempt is no candidate")
            << QStringList{"1/2 0/0 1/1 1/1 1/1"} << 1;
        QTest::newRow("only the last five attempts count")
            << QStringList{"0/9 1/1 1/1 1/1 1/1", "1/1 0/1 1/1 1/1 1/1", "1/1 1/1 1/1 1/1 1/1",
                           "1/1 1/1 1/1 1/1 1/1", "1/1 1/1 1/1 1/1 1/1", "1/1 1/1 1/1 1/1 1/1"}
            << 2;
        QTest::newRow("tie: more wrong answers is weaker")
            << QStringList{"1/2 0/0 0/0 2/4 0/0"} << 4;
        QTest::newRow("tie: more wrong answers, pooled")
            << QStringList{"1/2 3/6 0/0 0/0 0/0", "1/2 0/0 0/0 0/0 0/0"} << 2;
        QTest::newRow("full tie: the first section in the report's order")
            << QStringList{"1/1 1/2 1/1 0/0 1/2"} << 2;
        QTest::newRow("everything right: still a weakest, the first")
            << QStringList{"0/0 0/0 2/2 1/1 0/0"} << 3;
        QTest::newRow("everything wrong: the most items wrong")
            << QStringList{"0/1 0/3 0/2 0/0 0/0"} << 2;
    }
    void theWeakestSectionOfTheLastFiveAttempts()
    {
        QFETCH(QStringList, attempts);
        QFETCH(int, section);
        std::vector<Attempt> history;
        for (const QString& text : attempts) {
            std::array<SectionTally, store::kSectionCount> tally{};
            const QStringList parts = text.split(QLatin1Char(' '));
            QCOMPARE(parts.size(), store::kSectionCount);
            for (int s = 0; s < store::kSectionCount; ++s)
                tally[size_t(s)] = {parts[s].section(QLatin1Char('/'), 0, 0).toInt(),
                                    parts[s].section(QLatin1Char('/'), 1, 1).toInt()};
            history.push_back(tallied(tally));
        }
        QCOMPARE(store::weakestSection(history).section, section);
    }

    // The fixture bank: sections 1 to 5 hold the practice-exam items
    // {3, 11}, {1, 6, 7, 9, 12, 14}, {4, 10}, {5}, {2, 8, 13}; 15 and 16 are in
    // no exam.
    void aSectionDrawsFromItsPracticeExamItems_data()
    {
        QTest::addColumn<int>("section");
        QTest::addColumn<std::vector<int>>("items");
        QTest::newRow("1") << 1 << std::vector<int>{3, 11};
        QTest::newRow("2, without the retired 15") << 2 << std::vector<int>{1, 6, 7, 9, 12, 14};
        QTest::newRow("4") << 4 << std::vector<int>{5};
    }
    void aSectionDrawsFromItsPracticeExamItems()
    {
        QFETCH(int, section);
        QFETCH(std::vector<int>, items);
        store::Table bank(session(), QString::fromLatin1(store::kBankFile), store::bankSchema());
        bank.setFilter(QStringLiteral("Q_EXAM_N=3"));
        bank.setFiltered(true);
        bank.open();
        QCOMPARE(store::sectionItems(bank, section), items);
        QVERIFY(bank.filtered()); // left as it was
    }

    void aChosenSetHoldsExactlyTheItemsStillThere()
    {
        store::Table bank(session(), QString::fromLatin1(store::kBankFile), store::bankSchema());
        store::Table current(session(), QString::fromLatin1(store::kCurrentSetFile),
                             store::currentSetSchema(), true);
        bank.open();
        std::uint64_t seed = 7;
        store::ExamSetBuilder builder(nullptr, [&] { return seed++; });
        // 99 is no bank item (a bank made smaller since the attempt); 5 twice.
        const std::vector<int> asked{13, 5, 99, 2, 5};
        const store::BuildResult r = builder.buildChosenSet(bank, current, true, asked);
        QCOMPARE(r.itemCount, 3);
        QList<int> got;
        for (current.first(); !current.eof(); current.next())
            got << int(current.asInteger(QStringLiteral("Q_OR_NUMBER")));
        QList<int> sorted = got;
        std::sort(sorted.begin(), sorted.end());
        QCOMPARE(sorted, (QList<int>{2, 5, 13}));

        // A new order each time, and `take` keeps that many.
        QList<int> orders[2] = {got, {}};
        bool changed = false;
        for (int i = 0; i < 6 && !changed; ++i) {
            builder.buildChosenSet(bank, current, true, asked);
            orders[1].clear();
            for (current.first(); !current.eof(); current.next())
                orders[1] << int(current.asInteger(QStringLiteral("Q_OR_NUMBER")));
            changed = orders[1] != orders[0];
        }
        QVERIFY(changed);
        QCOMPARE(builder.buildChosenSet(bank, current, true, {1, 6, 7, 9, 12, 14}, 4).itemCount, 4);
        QCOMPARE(builder.buildChosenSet(bank, current, true, {99}).itemCount, 0);
    }

    // The responses and times live beside the history, so that an older
    // release still reads (and adds to) the history file itself.
    void answersAndTimesStayWithTheirAttemptOnly()
    {
        store::HistoryFile file(session());
        const Attempt first = detailedAttempt();
        QCOMPARE(file.add(first), qint64(1));
        std::vector<Attempt> read = file.readAll();
        QCOMPARE(read.size(), size_t(1));
        QCOMPARE(read[0].items, first.items);
        QVERIFY(read[0].detailed());
        {
            // The history record is what an older release wrote and reads.
            store::Table t(session(), QString::fromLatin1(store::kHistoryFile),
                           store::historySchema());
            t.open();
            QCOMPARE(t.asString(QStringLiteral("H_RESULTS")), QStringLiteral("12+ 7-m 3+m 40-"));
        }

        // The history deleted and started again, by a release that keeps no
        // answers: its first key is 1 again, and must not take the old answers.
        QVERIFY(QFile::remove(QString::fromLatin1(store::kHistoryFile)));
        store::ensureHistoryFile(QString::fromLatin1(store::kHistoryFile));
        {
            store::Table t(session(), QString::fromLatin1(store::kHistoryFile),
                           store::historySchema());
            t.open();
            t.append();
            t.setValue(QStringLiteral("H_DATE"), store::formatWhen(46001));
            t.setValue(QStringLiteral("H_ITEMS"), 4);
            t.setValue(QStringLiteral("H_RESULTS"), QStringLiteral("12+ 7-m 3+m 40-"));
            t.post();
        }
        read = file.readAll();
        QCOMPARE(read.size(), size_t(1));
        QCOMPARE(read[0].key, qint64(1));
        QVERIFY(!read[0].detailed());
        QCOMPARE(read[0].items[0].seconds, -1);

        // This release adds the next one with its answers, and deleting an
        // attempt takes its answers along.
        Attempt second = detailedAttempt();
        second.items[2].seconds = 300;
        QCOMPARE(file.add(second), qint64(2));
        read = file.readAll();
        QCOMPARE(read[1].items, second.items);
        file.remove(2);
        platform::TableFile answers(file.answersPath(),
                                    {QString::fromLatin1(store::kTablePassword)}, false,
                                    platform::TableFile::Missing::Fail,
                                    {{QStringLiteral("Q_ID"), platform::ColumnType::Integer},
                                     {QStringLiteral("H_ANSWERS"), platform::ColumnType::Memo},
                                     {QStringLiteral("H_SET"), platform::ColumnType::String}});
        QVERIFY(answers.selectAll().empty());
    }

    void aDamagedAnswersFileHidesNoAttempt()
    {
        store::HistoryFile file(session());
        file.add(detailedAttempt());
        {
            QFile f(file.answersPath());
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QByteArray(4096, 'x'));
        }
        std::vector<Attempt> read = file.readAll();
        QCOMPARE(read.size(), size_t(1));
        QVERIFY(!read[0].detailed());
        QCOMPARE(read[0].items.size(), size_t(4));
        // The next attempt starts a sound answers file.
        file.add(detailedAttempt());
        read = file.readAll();
        QCOMPARE(read.size(), size_t(2));
        QVERIFY(!read[0].detailed());
        QCOMPARE(read[1].items, detailedAttempt().items);
        // Delete All takes the answers along.
        file.removeAll();
        file.add(sampleAttempt());
        QVERIFY(!file.readAll()[0].detailed());
    }

    void answerListsReadBackOrAreRefusedWhole_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("readable");
        QTest::newRow("responses and times") << "ac/1/12 -/3/0 f/5/95" << true;
        QTest::newRow("fewer items") << "b/2/? -/0/?" << false;
        QTest::newRow("letters out of order") << "ca/1/12 -/3/0 f/5/95" << false;
        QTest::newRow("a letter beyond f") << "g/1/12 -/3/0 f/5/95" << false;
        QTest::newRow("negative time") << "a/1/-4 -/3/0 f/5/95" << false;
        QTest::newRow("too many items") << "a/1/4 -/3/0 f/5/95 b/1/1" << false;
        QTest::newRow("empty response") << "/1/4 -/3/0 f/5/95" << false;
    }
    void answerListsReadBackOrAreRefusedWhole()
    {
        QFETCH(QString, text);
        QFETCH(bool, readable);
        std::vector<AttemptItem> items(3, AttemptItem{5, true, false, false});
        const std::vector<AttemptItem> before = items;
        QCOMPARE(store::decodeAnswers(text, items), readable);
        if (!readable) {
            QCOMPARE(items, before);
            return;
        }
        QCOMPARE(store::encodeAnswers(items), text);
        QCOMPARE(items[0].choice, (std::array<bool, 6>{true, false, true, false, false, false}));
        QCOMPARE(items[2].seconds, 95);
        QCOMPARE(items[1].section, 3);
    }

    void aDrillsTimeIsInProportionToItsItems_data()
    {
        QTest::addColumn<int>("items");
        QTest::addColumn<int>("fullExam");
        QTest::addColumn<int>("minutes");
        QTest::newRow("a full exam") << 50 << 90 << 90;
        QTest::newRow("ten items") << 10 << 90 << 18;
        QTest::newRow("one item rounds up") << 1 << 90 << 2;
        QTest::newRow("no item still has a minute") << 0 << 90 << 1;
        QTest::newRow("the options' time scales it") << 25 << 60 << 30;
        QTest::newRow("more items than an exam") << 100 << 90 << 180;
    }
    void aDrillsTimeIsInProportionToItsItems()
    {
        QFETCH(int, items);
        QFETCH(int, fullExam);
        QFETCH(int, minutes);
        QCOMPARE(store::drillMinutes(items, fullExam), minutes);
    }
};

QTEST_MAIN(TestHistory)
#include "test_history.moc"
