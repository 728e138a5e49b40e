// Results by objective, the review of missed items and the weakest
// objectives drill, as the exam window offers them: from the score report's
// menu, the History window's button and the Exams menu.
#include "ExamWindowFixture.h"
#include "History.h"
#include "HistoryWindow.h"
#include "ObjectiveReport.h"
#include "ReviewPool.h"
#include "ScoreReport.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

namespace {

constexpr const char* kGradeQuestion =
    "This will end your practice exam.\rAre you sure to end this exam?";

// Objective, answered, correct of each row, in the order shown.
QStringList rowsOf(const results::ObjectiveReport* r)
{
    QStringList rows;
    for (int i = 0; i < r->m_objectiveList->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = r->m_objectiveList->topLevelItem(i);
        rows << QStringLiteral("%1|%2|%3|%4")
                    .arg(item->text(results::ObjectiveReport::ObjectiveColumn),
                         item->text(results::ObjectiveReport::AnsweredColumn),
                         item->text(results::ObjectiveReport::CorrectColumn),
                         item->text(results::ObjectiveReport::BarColumn));
    }
    return rows;
}

const QString kPlanning =
    QStringLiteral("Given a scenario, identify valid network configurations.");
const QString kUnix = QStringLiteral(
    "Given a scenario, identify which utility to use to connect to a TCP/IP-based UNIX host.");

} // namespace

class TestLearningFlow : public QObject {
    Q_OBJECT

    ExamWindowFixture f;
    std::unique_ptr<results::ScoreReport> m_report;
    std::unique_ptr<results::HistoryWindow> m_historyWindow;

    // Practice Exam B (items 3, Planning, and 4, Connectivity) with item 3
    // answered right; `inReport` acts in the score report.
    void takeExamB(const std::function<void(results::ScoreReport*)>& inReport = {})
    {
        f.answerNameDialog(true, 30, 0, QStringLiteral("Grace"));
        f.form->startPracticeExam(2);
        exam::ExamSession& s = f.form->examSession();
        const QList<int> items = f.examItems();
        for (int k = 0; k < items.size(); ++k) {
            s.goToItem(k + 1);
            if (items[k] == 3)
                s.setChoices(s.currentItem().key);
        }
        f.services.expectMessage(QString::fromLatin1(kGradeQuestion), platform::Ok);
        f.services.expectModal(QStringLiteral("scoreReport"), [=](QWidget* w) {
            if (inReport)
                inReport(static_cast<results::ScoreReport*>(w));
            return 0;
        });
        f.control<QPushButton>("gradeButton")->click();
        f.form->closeCurrentExam();
    }

private slots:
    void init()
    {
        f.setUp();
        m_report = std::make_unique<results::ScoreReport>(f.services);
        m_historyWindow = std::make_unique<results::HistoryWindow>(f.form->services());
        f.form->setScoreReport(m_report.get());
        f.form->setHistoryWindow(m_historyWindow.get());
    }
    void cleanup()
    {
        QVERIFY2(f.services.done(), qPrintable(f.services.problems().join(QLatin1Char('\n'))));
        f.form->closeCurrentExam();
        m_historyWindow.reset();
        m_report.reset();
        f.tearDown();
    }

    // The report of the attempt just graded, from the score report's menu:
    // weakest first, each objective worded as the exam's list words it.
    void scoreReportShowsTheAttemptByObjective()
    {
        QStringList rows;
        QString heading;
        bool readinessShown = true;
        takeExamB([&](results::ScoreReport* r) {
            f.services.expectModal(QStringLiteral("objectiveReport"), [&](QWidget* w) {
                auto* o = static_cast<results::ObjectiveReport*>(w);
                rows = rowsOf(o);
                heading = o->m_headingLabel->text();
                readinessShown = !o->m_readinessLabel->isHidden();
                return 0;
            });
            r->m_objectiveResultsAction->trigger();
        });
        QCOMPARE(heading, QStringLiteral("Practice Exam B: 2 items"));
        QCOMPARE(rows, (QStringList{kUnix + QStringLiteral("|1|0 %|0 of 1 correct"),
                                    kPlanning + QStringLiteral("|1|100 %|1 of 1 correct")}));
        QVERIFY(!readinessShown);
    }

    // Over the whole history, from the History window, with the readiness
    // line; too few answers for an estimate say so.
    void historyWindowShowsEveryAttemptWithReadiness()
    {
        takeExamB();
        takeExamB();
        QStringList rows;
        QString readiness;
        f.services.expectModal(QStringLiteral("historyWindow"), [&](QWidget* w) {
            auto* h = static_cast<results::HistoryWindow*>(w);
            f.services.expectModal(QStringLiteral("objectiveReport"), [&](QWidget* w) {
                auto* o = static_cast<results::ObjectiveReport*>(w);
                rows = rowsOf(o);
                readiness = o->m_readinessLabel->text();
                return 0;
            });
            h->m_objectivesButton->click();
            return 0;
        });
        f.trigger("historyAction");
        QCOMPARE(rows, (QStringList{kUnix + QStringLiteral("|2|0 %|0 of 2 correct"),
                                    kPlanning + QStringLiteral("|2|100 %|2 of 2 correct")}));
        QCOMPARE(readiness,
                 QStringLiteral("Readiness: not enough answers yet (4 of the 50 needed)."));
    }

    // Nothing is due on the day of the miss; the next day the review says
    // how many, and its drill holds the missed item. Answered right there,
    // the item moves up a box.
    void reviewOfMissedItemsOverTheDays()
    {
        takeExamB();
        f.services.expectMessage(
            QStringLiteral("No missed item is due for review today.\r1 item(s) wait for a "
                           "later day; the next is due on %1.")
                .arg(QLocale::system().toString(
                    QDate(1899, 12, 30).addDays(learning::dayOf(f.services.now()) + 1),
                    QLocale::ShortFormat)),
            platform::Ok);
        f.trigger("reviewAction");
        QCOMPARE(f.form->mode(), session::ExamWindow::ModeIdle);

        f.services.clock += 1.0;
        f.services.expectMessage(
            QStringLiteral("1 missed item(s) are due for review today.\rStart the review?"),
            platform::Ok);
        f.answerNameDialog(true);
        f.trigger("reviewAction");
        QCOMPARE(f.form->mode(), session::ExamWindow::ModeExam);
        QCOMPARE(f.form->examSession().title(), learning::reviewDrillTitle());
        QCOMPARE(f.examItems(), QList<int>{4});
        exam::ExamSession& s = f.form->examSession();
        s.goToItem(1);
        s.setChoices(s.currentItem().key);
        f.services.expectMessage(QString::fromLatin1(kGradeQuestion), platform::Ok);
        f.services.expectModal(QStringLiteral("scoreReport"), [](QWidget*) { return 0; });
        f.control<QPushButton>("gradeButton")->click();
        store::Session session(QString::fromLatin1(store::kSessionName));
        session.registerPassword(QString::fromLatin1(store::kTablePassword));
        const auto entries = learning::ReviewPoolFile(session).read().entries();
        QCOMPARE(entries.size(), size_t(1));
        QCOMPARE(entries.front().box, 2);
    }

    // The weakest objectives drill draws from the practice items of the
    // weakest objectives, the count asked as for a random exam.
    void weakestObjectivesDrill()
    {
        f.services.expectMessage(QStringLiteral("No graded exam in the history has items of a "
                                                "known objective yet, so there are no weakest "
                                                "objectives."),
                                 platform::Ok);
        f.trigger("weakestObjectivesAction");
        takeExamB();
        QString title;
        int most = 0;
        f.services.expectModal(QStringLiteral("nameDialog"), [&](QWidget* w) {
            auto* d = static_cast<session::NameDialog*>(w);
            title = d->windowTitle();
            most = d->m_questionCountBox->maximum();
            d->m_questionCountBox->setValue(most);
            return int(QDialog::Accepted);
        });
        f.trigger("weakestObjectivesAction");
        // Unix connectivity (items 4 and 10), then network configurations
        // (items 3 and 11).
        QCOMPARE(title, QStringLiteral("Drill: weakest objectives (UNIX connectivity, network "
                                       "configurations)"));
        QCOMPARE(most, 4);
        QList<int> items = f.examItems();
        std::sort(items.begin(), items.end());
        QCOMPARE(items, (QList<int>{3, 4, 10, 11}));
    }
};

QTEST_MAIN(TestLearningFlow)
#include "test_learning_flow.moc"
