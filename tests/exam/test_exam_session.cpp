// The running exam without a window: what it keeps, in which order, and what
// a resumed exam brings back.
#include "ExamSession.h"
#include "ExamSetBuilder.h"
#include "History.h"
#include "ProgramDir.h"
#include "SavedExam.h"
#include "ScriptedServices.h"
#include "Session.h"
#include "Table.h"
#include "TableError.h"
#include "TimeCounter.h"

#include <QDir>
#include <QFile>
#include <QtTest>
#include <memory>

using exam::ExamSession;
using exam::Seconds;

namespace {

constexpr double kSecond = 1.0 / 86400.0;

// Starts Practice Exam n of the fixture bank, 60 minutes, on its first item.
void startPractice(ExamSession& s, int n, int minutes = 60)
{
    store::Table& bank = s.bank();
    bank.setFilter(QStringLiteral("Q_EXAM_N=%1").arg(n));
    bank.setFiltered(true);
    bank.open();
    exam::ExamStart start;
    start.title = QStringLiteral("Practice Exam %1").arg(QChar(u'A' + n - 1));
    start.candidate = QStringLiteral("Ada");
    start.timeLimit = Seconds(minutes * 60);
    QVERIFY(s.start(start, [&] { return s.builder().buildExamSet(bank, s.currentSet()); }));
    s.currentSet().first();
}

// The choices that answer the current item rightly.
std::array<bool, 6> keyOfCurrent(ExamSession& s)
{
    return s.currentItem().key;
}

// A restart after a kill: a new session on the same folder that takes the
// kept exam up.
std::unique_ptr<ExamSession> resumeIn(testing::ScriptedServices& services)
{
    auto s = std::make_unique<ExamSession>(services);
    const std::optional<store::SavedExamState> saved = s->readKeptExam();
    if (!saved)
        return nullptr;
    if (!s->keptExamFits(*saved))
        return nullptr;
    s->resume(*saved);
    s->currentSet().first();
    s->goToItem(saved->currentItem);
    return s;
}

} // namespace

class TestExamSession : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_dir = std::make_unique<testing::ProgramDir>();
        m_services.reset();
    }
    void cleanup() { m_dir.reset(); }

    // An exam resumed after a kill and then graded goes into the history
    // with the items it was drawn from and the time it really took; the
    // history stays readable afterwards.
    void resumedExamIsRecordedWithItsItemsAndTime()
    {
        QList<int> ids;
        {
            ExamSession s(m_services);
            startPractice(s, 1);
            s.setChoices(keyOfCurrent(s));
            m_services.clock += 90 * kSecond;
            s.showNext();
            // Killed here: the session goes without grading or ending.
            store::Table& t = s.currentSet();
            for (t.first(); !t.eof(); t.next())
                ids << int(t.asInteger(QStringLiteral("Q_OR_NUMBER")));
        }
        m_services.clock += 3600 * kSecond; // the program was down an hour
        auto s = resumeIn(m_services);
        QVERIFY(s);
        QCOMPARE(s->currentItemNumber(), 2);
        m_services.clock += 30 * kSecond;
        QCOMPARE(s->grade(), QString());

        QStringList bad;
        const std::vector<store::Attempt> attempts = s->history().readAll(&bad);
        QVERIFY2(bad.isEmpty(), qPrintable(bad.join(QLatin1Char('\n'))));
        QCOMPARE(attempts.size(), size_t(1));
        const store::Attempt& a = attempts.front();
        QList<int> recorded;
        for (const store::AttemptItem& item : a.items)
            recorded << item.id;
        QCOMPARE(recorded, ids);
        QVERIFY(a.items.front().correct);
        QCOMPARE(a.secondsUsed, 120);
        // Graded: nothing is offered again.
        QVERIFY(!ExamSession(m_services).readKeptExam());
    }

    // Each item's time on screen is measured on the monotonic clock, kept
    // with the exam at moves and with the time, brought back by a resume
    // (the time the program was down never counts), and recorded at grading.
    void timeOnScreenIsKeptPerItemAcrossAResume()
    {
        {
            ExamSession s(m_services);
            startPractice(s, 1);
            m_services.clock += 10 * kSecond;
            s.showNext();
            m_services.clock += 25 * kSecond;
            s.showPrevious();
            m_services.wallClockShift -= 1.0; // the system clock set back: no effect
            m_services.clock += 5 * kSecond;
            s.showNext();
            m_services.clock += 3 * kSecond;
            // The time is kept every few ticks, the item's with it.
            auto* ticker = static_cast<testing::ScriptedTicker*>(s.keepTicker());
            for (int i = 0; i < ExamSession::kTicksPerTimeWrite; ++i)
                ticker->fire();
            m_services.clock += 4 * kSecond; // not kept: lost with the kill
        }
        m_services.clock += 3600 * kSecond;
        auto s = resumeIn(m_services);
        QVERIFY(s);
        QCOMPARE(s->currentItemNumber(), 2);
        m_services.clock += 7 * kSecond;
        s->showPrevious();
        m_services.clock += 2 * kSecond;
        const std::vector<double> live = s->secondsOnScreen();
        QCOMPARE(live.size(), size_t(s->itemCount()));
        QCOMPARE(qRound(live[0]), 15 + 2); // the item on screen counts as it is
        QCOMPARE(s->grade(), QString());
        // Review is no time on an item.
        s->enterReview();
        m_services.clock += 100 * kSecond;
        s->showNext();

        const std::vector<store::Attempt> attempts = s->history().readAll();
        QCOMPARE(attempts.size(), size_t(1));
        QList<int> seconds;
        for (const store::AttemptItem& item : attempts.front().items)
            seconds << item.seconds;
        QCOMPARE(seconds, (QList<int>{15 + 2, 25 + 3 + 7}));
        // The responses and sections go with them.
        for (size_t k = 0; k < attempts.front().items.size(); ++k)
            QCOMPARE(attempts.front().items[k].section, s->responses()[k].Section);
    }

    // Grading records the attempt before it drops the kept exam; when the
    // history cannot take it, the exam stays kept to be offered again.
    void gradingKeepsTheExamUntilTheAttemptIsRecorded()
    {
        // A folder where the history file should be: no table can be made.
        QVERIFY(QDir(m_dir->path()).mkdir(QString::fromLatin1(store::kHistoryFile)));
        {
            ExamSession s(m_services);
            startPractice(s, 1);
            s.setChoices(keyOfCurrent(s));
            QVERIFY(!s.grade().isEmpty());
            QVERIFY(s.lastAttempt());
            s.close();
        }
        QVERIFY(QDir(m_dir->path()).rmdir(QString::fromLatin1(store::kHistoryFile)));
        auto s = resumeIn(m_services);
        QVERIFY2(s, "the unrecorded exam is offered again");
        QVERIFY(s->responses().front().Correct);
        QCOMPARE(s->grade(), QString());
        QCOMPARE(s->history().readAll().size(), size_t(1));
        QVERIFY(!ExamSession(m_services).readKeptExam());
    }

    // Every answer is in the kept file when the call returns: a session that
    // ends right after it (as a kill would) leaves it for the next start.
    void answersMarksAndSimulationsAreKeptBeforeTheyReturn()
    {
        exam::TileArrangement tiles{2, 0, 0, 4, 3, 1, 0, 0};
        int simItem = 0;
        {
            ExamSession s(m_services);
            startPractice(s, 4); // holds a printing simulation
            store::Table& t = s.currentSet();
            for (t.first(); !t.eof(); t.next())
                if (s.currentItem().isSimulation())
                    simItem = t.recNo();
            QVERIFY(simItem > 0);
            s.goToItem(simItem);
            s.setSimulationOutcome(true, false, tiles);
            s.setMarked(true);
        }
        auto s = resumeIn(m_services);
        QVERIFY(s);
        const store::ItemResponse& r = s->responses()[size_t(simItem - 1)];
        QVERIFY(r.Choice[4]);
        QVERIFY(!r.Choice[5]);
        QVERIFY(r.Marked);
        QVERIFY(!r.Correct);
        QCOMPARE(s->keptArrangement(QStringLiteral("SIM1")), tiles);
        QVERIFY(s->keptArrangement(QStringLiteral("SIM2")).empty());
    }

    // The countdown that ran out, and the note being typed, come back with
    // a resumed exam.
    void untimedStateAndNoteDraftSurviveARestart()
    {
        {
            ExamSession s(m_services);
            startPractice(s, 1, 1);
            QSignalSpy expired(&s, &ExamSession::timeExpired);
            m_services.clock += 61 * kSecond;
            emit s.clock().ticked();
            QCOMPARE(expired.count(), 1);
            s.continueUntimed();
            s.showNext();
            s.keepNoteDraft(QStringLiteral("check the 003 option"));
        }
        auto s = resumeIn(m_services);
        QVERIFY(s);
        QVERIFY(s->untimed());
        QVERIFY(!s->countingDown());
        QCOMPARE(s->noteDraft(), QStringLiteral("check the 003 option"));
        s->goToItem(1);
        QCOMPARE(s->noteDraft(), QString());
    }

    // A kept exam waits until the candidate lets it go; discarding it is
    // for good.
    void keptExamWaitsUntilDiscarded()
    {
        {
            ExamSession s(m_services);
            startPractice(s, 2);
        }
        ExamSession s(m_services);
        const auto saved = s.readKeptExam();
        QVERIFY(saved);
        s.keepForLater(saved->title);
        QVERIFY(s.keptExamWaiting());
        QCOMPARE(s.waitingExamTitle(), QStringLiteral("Practice Exam B"));
        s.discardKeptExam();
        QVERIFY(!s.keptExamWaiting());
        QVERIFY(!s.readKeptExam());
    }

    // Ending an exam (Exit Exam, or closing the window) leaves nothing to
    // resume; only a graded or ended exam goes.
    void endedExamIsNotOfferedAgain()
    {
        {
            ExamSession s(m_services);
            startPractice(s, 1);
            s.endExam();
            QCOMPARE(s.mode(), exam::Mode::Idle);
        }
        QVERIFY(!ExamSession(m_services).readKeptExam());
    }

    // Answers are judged in the session: a wrong choice, the key, a change
    // back; review mode and idle take no answer.
    void answersAreJudgedAgainstTheKey()
    {
        ExamSession s(m_services);
        startPractice(s, 1);
        const std::array<bool, 6> key = keyOfCurrent(s);
        std::array<bool, 6> wrong{};
        wrong[key[0] ? 1 : 0] = true;
        s.setChoices(wrong);
        QVERIFY(!s.currentResponse()->Correct);
        s.setChoices(key);
        QVERIFY(s.currentResponse()->Correct);
        QVERIFY(s.grade().isEmpty());
        s.enterReview();
        s.setChoices(wrong);
        QVERIFY(s.currentResponse()->Correct);
    }

private:
    std::unique_ptr<testing::ProgramDir> m_dir;
    testing::ScriptedServices m_services;
};

// One damaged record hides nothing else, and no file, however damaged,
// keeps the candidate from deleting the history.
class TestHistoryDamage : public QObject {
    Q_OBJECT

private slots:
    void init() { m_dir = std::make_unique<testing::ProgramDir>(); }
    void cleanup() { m_dir.reset(); }

    void oneBadRecordIsNamedAndTheRestShown()
    {
        store::Session session(QString::fromLatin1(store::kSessionName));
        session.registerPassword(QString::fromLatin1(store::kTablePassword));
        store::HistoryFile history(session);
        store::Attempt a;
        a.when = 45000;
        a.title = QStringLiteral("Practice Exam A");
        a.itemCount = 1;
        a.items = {{7, true, false, false}};
        a.sections[0] = {1, 1};
        history.add(a);
        history.add(a);
        history.add(a);
        {
            // The record an earlier release wrote for a resumed exam.
            store::Table t(session, QString::fromLatin1(store::kHistoryFile),
                           store::historySchema());
            t.open();
            t.first();
            t.next();
            t.edit();
            t.setValue(QStringLiteral("H_RESULTS"), QStringLiteral("0-"));
            t.post();
        }
        QStringList bad;
        QCOMPARE(history.readAll(&bad).size(), size_t(2));
        QCOMPARE(bad.size(), 1);
        QVERIFY2(bad.front().contains(QStringLiteral("Q_ID 2")), qPrintable(bad.front()));
    }

    void damagedOrEmptyFilesNeverLockTheUserOut_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("empty, as a kill while creating it left it") << QByteArray();
        QTest::newRow("not a table at all") << QByteArray(4096, 'x');
    }
    void damagedOrEmptyFilesNeverLockTheUserOut()
    {
        QFETCH(QByteArray, content);
        QFile f(QString::fromLatin1(store::kHistoryFile));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
        f.close();
        store::Session session(QString::fromLatin1(store::kSessionName));
        session.registerPassword(QString::fromLatin1(store::kTablePassword));
        store::HistoryFile history(session);
        if (content.isEmpty()) {
            // Nothing was ever in it: it reads as empty and takes attempts.
            QVERIFY(history.readAll().empty());
        } else {
            QVERIFY_THROWS_EXCEPTION(platform::TableError, history.readAll());
        }
        history.removeAll();
        store::Attempt a;
        a.when = 45000;
        a.title = QStringLiteral("Random Exam");
        history.add(a);
        QCOMPARE(history.readAll().size(), size_t(1));
    }

private:
    std::unique_ptr<testing::ProgramDir> m_dir;
};

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    int status = 0;
    {
        TestExamSession t;
        status |= QTest::qExec(&t, argc, argv);
    }
    {
        TestHistoryDamage t;
        status |= QTest::qExec(&t, argc, argv);
    }
    return status;
}

#include "test_exam_session.moc"
