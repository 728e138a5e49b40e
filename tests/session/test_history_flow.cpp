// The exam window's part in the history: every graded exam is recorded, the
// History window shows and deletes attempts, drills start from the score
// report, the History window and the Exams menu, and a damaged history file
// never stops an exam.
#include "Drills.h"
#include "ExamWindowFixture.h"
#include "ExamWindowView.h"
#include "History.h"
#include "HistoryWindow.h"
#include "PdfPages.h"
#include "ScoreReport.h"
#include "TableError.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QTreeWidget>

using store::Attempt;
using store::AttemptItem;

Q_DECLARE_METATYPE(store::DrillKind)

namespace {

constexpr const char* kGradeQuestion =
    "This will end your practice exam.\rAre you sure to end this exam?";

store::Session& tableSession()
{
    static store::Session s = [] {
        store::Session made(QString::fromLatin1(store::kSessionName));
        made.registerPassword(QString::fromLatin1(store::kTablePassword));
        return made;
    }();
    return s;
}

std::vector<Attempt> history()
{
    return store::HistoryFile(tableSession()).readAll();
}

// An attempt on bank items: (id, correct, marked).
Attempt bankAttempt(const QString& title, std::vector<AttemptItem> items,
                    std::array<store::SectionTally, store::kSectionCount> sections = {})
{
    Attempt a;
    a.when = 46000.25;
    a.title = title;
    a.candidate = QStringLiteral("Grace");
    a.sections = sections;
    // Without items given, the sections' tallies make up the item list.
    if (items.empty())
        for (const store::SectionTally& t : sections)
            for (int i = 0; i < t.total; ++i)
                items.push_back({int(items.size()) + 1, i < t.correct, false, false});
    a.itemCount = static_cast<int>(items.size());
    a.items = std::move(items);
    return a;
}

QList<int> sorted(QList<int> ids)
{
    std::sort(ids.begin(), ids.end());
    return ids;
}

} // namespace

class TestHistoryFlow : public QObject {
    Q_OBJECT

    ExamWindowFixture f;
    std::unique_ptr<results::ScoreReport> m_report;
    std::unique_ptr<results::HistoryWindow> m_historyWindow;

    void wire()
    {
        m_report = std::make_unique<results::ScoreReport>(f.services);
        m_historyWindow = std::make_unique<results::HistoryWindow>(f.form->services());
        f.form->setScoreReport(m_report.get());
        f.form->setHistoryWindow(m_historyWindow.get());
    }

    // Grades the running exam; `inReport` acts in the score report.
    void grade(const std::function<void(results::ScoreReport*)>& inReport = {})
    {
        f.services.expectMessage(QString::fromLatin1(kGradeQuestion), platform::Ok);
        f.services.expectModal(QStringLiteral("scoreReport"), [=](QWidget* w) {
            if (inReport)
                inReport(static_cast<results::ScoreReport*>(w));
            return 0;
        });
        testing::view(*f.form).m_gradeButton->click();
    }

    // Sets the responses of the running exam by bank (or user) item id.
    void answer(const QList<int>& correct, const QList<int>& marked = {})
    {
        const QList<int> items = f.examItems();
        exam::ExamSession& s = f.form->examSession();
        const int shown = s.currentItemNumber();
        for (int k = 0; k < items.size(); ++k) {
            s.goToItem(k + 1);
            s.setChoices(correct.contains(items[k]) ? s.currentItem().key : std::array<bool, 6>{});
            s.setMarked(marked.contains(items[k]));
        }
        s.goToItem(shown);
    }

    void startAllQuestions()
    {
        f.answerNameDialog(true, 0, 0, QStringLiteral("Grace"));
        f.form->startAllQuestions();
        QCOMPARE(f.form->mode(), session::ExamWindow::ModeExam);
    }

private slots:
    void init()
    {
        f.setUp();
        wire();
    }
    void cleanup()
    {
        QVERIFY2(f.services.done(), qPrintable(f.services.problems().join(QLatin1Char('\n'))));
        f.form->closeCurrentExam();
        m_historyWindow.reset();
        m_report.reset();
        f.tearDown();
    }

    void aGradedExamIsRecordedWithEveryField()
    {
        f.answerNameDialog(true, 30, 0, QStringLiteral("Grace"));
        f.form->startPracticeExam(2); // items 3 (Planning) and 4 (Connectivity)
        answer({3}, {3});
        const QList<int> order = f.examItems();
        f.services.clock += 125.0 / 86400; // 2:05 of work
        grade();
        // Asking for the report again changes no answer and records nothing.
        grade();

        const std::vector<Attempt> h = history();
        QCOMPARE(h.size(), size_t(1));
        const Attempt& a = h[0];
        QCOMPARE(store::formatWhen(a.when), store::formatWhen(f.services.now()));
        QCOMPARE(a.title, QStringLiteral("Practice Exam B"));
        QCOMPARE(a.candidate, QStringLiteral("Grace"));
        QCOMPARE(a.itemCount, 2);
        QCOMPARE(a.score, 500);
        QVERIFY(!a.pass);
        QCOMPARE(a.sections[0], (store::SectionTally{1, 1}));
        QCOMPARE(a.sections[1], (store::SectionTally{0, 0}));
        QCOMPARE(a.sections[2], (store::SectionTally{0, 1}));
        QCOMPARE(a.secondsUsed, 125);
        QCOMPARE(int(a.items.size()), 2);
        for (int k = 0; k < 2; ++k) {
            QCOMPARE(a.items[size_t(k)].id, order[k]);
            QCOMPARE(a.items[size_t(k)].correct, order[k] == 3);
            QCOMPARE(a.items[size_t(k)].marked, order[k] == 3);
            QVERIFY(!a.items[size_t(k)].userItem);
        }
        QVERIFY(f.form->lastAttempt() && *f.form->lastAttempt() == a);
    }

    void aUserExamIsRecordedWithUserItems()
    {
        ExamWindowFixture::addUserItems(3);
        f.answerNameDialog(true);
        f.form->startUserExam();
        answer({2});
        grade();
        const std::vector<Attempt> h = history();
        QCOMPARE(h.size(), size_t(1));
        QVERIFY(h[0].userItems());
        QCOMPARE(h[0].title, QStringLiteral("User Exam"));
        QList<int> ids;
        for (const AttemptItem& i : h[0].items) {
            QVERIFY(i.userItem);
            QCOMPARE(i.correct, i.id == 2);
            ids << i.id;
        }
        QCOMPARE(sorted(ids), (QList<int>{1, 2, 3}));
        QCOMPARE(h[0].sections[2], (store::SectionTally{1, 3}));
    }

    void aDrillFromTheScoreReportHoldsExactlyThoseItems_data()
    {
        QTest::addColumn<store::DrillKind>("kind");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QList<int>>("items");
        // All Questions holds items 1 to 14; even ones are right, multiples of
        // three marked.
        QTest::newRow("missed") << store::DrillKind::Missed
                                << "Drill: missed items of All Questions"
                                << QList<int>{1, 3, 5, 7, 9, 11, 13};
        QTest::newRow("marked") << store::DrillKind::Marked
                                << "Drill: marked items of All Questions"
                                << QList<int>{3, 6, 9, 12};
    }
    void aDrillFromTheScoreReportHoldsExactlyThoseItems()
    {
        QFETCH(store::DrillKind, kind);
        QFETCH(QString, title);
        QFETCH(QList<int>, items);
        startAllQuestions();
        answer({2, 4, 6, 8, 10, 12, 14}, {3, 6, 9, 12});
        QString caption;
        bool countEnabled = true;
        grade([&](results::ScoreReport* r) {
            QVERIFY(r->m_drillsButton->isVisible());
            f.services.expectModal(QStringLiteral("nameDialog"), [&](QWidget* w) {
                caption = w->windowTitle();
                countEnabled = f.nameForm->m_questionCountBox->isEnabled();
                return int(QDialog::Accepted);
            });
            (kind == store::DrillKind::Missed ? r->m_retakeMissedAction : r->m_retakeMarkedAction)
                ->trigger();
        });
        QCOMPARE(caption, title);
        QVERIFY(!countEnabled);
        QCOMPARE(f.form->mode(), session::ExamWindow::ModeExam);
        QCOMPARE(f.form->examSession().title(), title);
        QCOMPARE(testing::view(*f.form).m_examTitleLabel->text(), title);
        QCOMPARE(f.form->examSession().itemCount(), int(items.size()));
        QCOMPARE(sorted(f.examItems()), items);
        QVERIFY(testing::view(*f.form).m_itemArea->isVisible());

        // The drill is answered through its controls, and its result goes
        // into the history like any other; the simulations (7 and 9) are left.
        store::Table& c = f.form->currentSet();
        for (int k = 1; k <= f.form->examSession().itemCount(); ++k) {
            c.setRecNo(k);
            if (!c.asString(QStringLiteral("Q_SIM")).isEmpty())
                continue;
            const bool multiple = c.asBoolean(QStringLiteral("Q_TYPE"));
            for (int i = 0; i < 6; ++i) {
                const bool key = c.asBoolean(QStringLiteral("A%1").arg(i + 1));
                if (multiple)
                    testing::view(*f.form).m_choiceBoxes[i]->setChecked(key);
                else if (key)
                    testing::view(*f.form).m_choiceRadios[i]->setChecked(true);
            }
        }
        grade();
        const std::vector<Attempt> h = history();
        QCOMPARE(h.size(), size_t(2));
        QCOMPARE(h[1].title, title);
        QCOMPARE(h[1].itemCount, int(items.size()));
        for (const AttemptItem& i : h[1].items)
            QCOMPARE(i.correct, i.id != 7 && i.id != 9);
    }

    void cancellingTheDrillsNameDialogKeepsTheReport()
    {
        startAllQuestions();
        answer({});
        grade([&](results::ScoreReport* r) {
            f.services.expectModal(QStringLiteral("nameDialog"),
                                   [](QWidget*) { return int(QDialog::Rejected); });
            r->m_retakeMissedAction->trigger();
            QVERIFY(r->isVisible());
        });
        QCOMPARE(f.form->examSession().title(), QStringLiteral("All Questions"));
        QCOMPARE(f.form->mode(), session::ExamWindow::ModeExam);
        QCOMPARE(history().size(), size_t(1));
    }

    void aDrillWithoutItemsSaysSoAndDoesNotStart()
    {
        f.answerNameDialog(true);
        f.form->startPracticeExam(1);
        answer({1, 2}); // nothing missed, nothing marked
        grade([&](results::ScoreReport* r) {
            f.services.expectMessage(QStringLiteral("This drill has no items."), platform::Ok);
            r->m_retakeMissedAction->trigger();
            f.services.expectMessage(QStringLiteral("This drill has no items."), platform::Ok);
            r->m_retakeMarkedAction->trigger();
            QVERIFY(r->isVisible());
        });
        QCOMPARE(f.form->examSession().title(), QStringLiteral("Practice Exam A"));
        QCOMPARE(f.form->mode(), session::ExamWindow::ModeExam);
    }

    void aDrillFromTheHistoryWindow()
    {
        store::HistoryFile file(tableSession());
        // The older attempt is the one chosen: row 1, newest first.
        file.add(bankAttempt(QStringLiteral("Practice Exam D"),
                             {{7, false, true, false}, {8, true, true, false}}));
        file.add(bankAttempt(QStringLiteral("Practice Exam E"), {{9, false, false, false}}));
        int listed = 0;
        QString newest;
        QString offeredName;
        int offeredMinutes = 0;
        f.services.expectModal(QStringLiteral("historyWindow"), [&](QWidget* w) {
            auto* h = static_cast<results::HistoryWindow*>(w);
            listed = h->m_attemptList->topLevelItemCount();
            newest = h->m_attemptList->topLevelItem(0)->text(2);
            h->chooseRow(1);
            f.services.expectModal(QStringLiteral("nameDialog"), [&](QWidget* d) {
                offeredName = f.nameForm->m_nameEdit->text();
                offeredMinutes = f.nameForm->m_timeBox->value();
                return int(d ? QDialog::Accepted : QDialog::Rejected);
            });
            h->m_retakeMarkedButton->click();
            return 0;
        });
        testing::view(*f.form).m_historyAction->trigger();
        // The attempt's own name, and two items' share of 90 minutes per 50.
        QCOMPARE(offeredName, QStringLiteral("Grace"));
        QCOMPARE(offeredMinutes, 4);
        QCOMPARE(listed, 2);
        QCOMPARE(newest, QStringLiteral("Practice Exam E"));
        QCOMPARE(f.form->mode(), session::ExamWindow::ModeExam);
        QCOMPARE(f.form->examSession().title(),
                 QStringLiteral("Drill: marked items of Practice Exam D"));
        QCOMPARE(sorted(f.examItems()), (QList<int>{7, 8}));
    }

    void aUserItemDeletedSinceIsLeftOut()
    {
        ExamWindowFixture::addUserItems(2);
        store::HistoryFile file(tableSession());
        Attempt a = bankAttempt(
            QStringLiteral("User Exam"),
            {{1, false, false, true}, {2, false, false, true}, {5, false, false, true}});
        file.add(a);
        f.services.expectModal(QStringLiteral("historyWindow"), [&](QWidget* w) {
            auto* h = static_cast<results::HistoryWindow*>(w);
            h->chooseRow(0);
            f.answerNameDialog(true);
            h->m_retakeMissedButton->click();
            return 0;
        });
        testing::view(*f.form).m_historyAction->trigger();
        QCOMPARE(f.form->examSession().title(), QStringLiteral("Drill: missed items of User Exam"));
        QCOMPARE(sorted(f.examItems()), (QList<int>{1, 2}));
        QVERIFY(!testing::view(*f.form).m_noteButton->isVisible()); // user items take no notes
        answer({});
        grade();
        QVERIFY(history().back().userItems());
    }

    void theWeakestSectionDrawsTheAskedNumberFromThatSection()
    {
        store::HistoryFile file(tableSession());
        // Six attempts: the oldest made Planning the weakest; over the last
        // five it is Connectivity (section 3).
        file.add(bankAttempt(QStringLiteral("Random Exam"), {}, {{{0, 9}, {1, 1}, {1, 1}}}));
        for (int i = 0; i < 5; ++i)
            file.add(bankAttempt(QStringLiteral("Random Exam"), {},
                                 {{{1, 1}, {1, 1}, {i == 2 ? 0 : 1, 1}, {1, 1}, {1, 1}}}));
        f.services.expectModal(QStringLiteral("nameDialog"), [&](QWidget* w) {
            auto* d = static_cast<session::NameDialog*>(w);
            // Connectivity holds items 4 and 10 of the practice exams.
            [&] {
                QVERIFY(d->m_questionCountBox->isEnabled());
                QCOMPARE(d->m_questionCountBox->maximum(), 2);
                QCOMPARE(d->windowTitle(), QStringLiteral("Drill: Connectivity (weakest section)"));
            }();
            // The time follows the count, until the candidate sets one.
            [&] {
                QCOMPARE(d->m_timeBox->value(), 4);
                d->m_questionCountBox->setValue(1);
                QCOMPARE(d->m_timeBox->value(), 2);
                d->m_timeBox->setValue(30);
                d->m_questionCountBox->setValue(2);
                QCOMPARE(d->m_timeBox->value(), 30);
            }();
            d->m_questionCountBox->setValue(1);
            return int(QDialog::Accepted);
        });
        testing::view(*f.form).m_weakestSectionAction->trigger();
        QCOMPARE(f.form->mode(), session::ExamWindow::ModeExam);
        QCOMPARE(f.form->examSession().title(),
                 QStringLiteral("Drill: Connectivity (weakest section)"));
        const QList<int> items = f.examItems();
        QCOMPARE(items.size(), 1);
        QVERIFY(items[0] == 4 || items[0] == 10);
    }

    void theWeakestSectionNeedsAHistory()
    {
        f.services.expectMessage(QStringLiteral("No graded exam in the history has items of a "
                                                "section yet, so there is no weakest section."),
                                 platform::Ok);
        testing::view(*f.form).m_weakestSectionAction->trigger();
        QCOMPARE(f.form->mode(), session::ExamWindow::ModeIdle);
    }

    void aDamagedHistoryIsReportedAndExamsStillRun()
    {
        {
            QFile damaged(QString::fromLatin1(store::kHistoryFile));
            QVERIFY(damaged.open(QIODevice::WriteOnly));
            damaged.write(QByteArray(4096, '\x5a'));
        }
        QString addError, readError;
        try {
            store::HistoryFile(tableSession()).add(Attempt());
        } catch (const platform::TableError& e) {
            addError = e.text();
        }
        try {
            store::HistoryFile(tableSession()).readAll();
        } catch (const platform::TableError& e) {
            readError = e.text();
        }
        QVERIFY(!addError.isEmpty() && !readError.isEmpty());

        f.answerNameDialog(true);
        f.form->startPracticeExam(1);
        answer({1}, {2});
        f.services.expectMessage(QString::fromLatin1(kGradeQuestion), platform::Ok);
        f.services.expectMessage(
            QStringLiteral("This exam could not be added to the history. It is kept, and offered "
                           "again at the next Start Testing.\r") +
                addError,
            platform::Ok);
        QString scoreLine;
        f.services.expectModal(QStringLiteral("scoreReport"), [&](QWidget* w) {
            auto* r = static_cast<results::ScoreReport*>(w);
            scoreLine = r->m_totalLabel->text();
            // A drill on the exam just graded still works.
            f.answerNameDialog(true);
            r->m_retakeMarkedAction->trigger();
            return 0;
        });
        testing::view(*f.form).m_gradeButton->click();
        QCOMPARE(scoreLine, QStringLiteral("Passing Score: 850   Your Score: 500   Grade: Fail"));
        QCOMPARE(f.form->examSession().title(),
                 QStringLiteral("Drill: marked items of Practice Exam A"));
        QCOMPARE(f.examItems(), (QList<int>{2}));
        f.form->closeCurrentExam();

        // The window still opens, empty, with Delete All the way out.
        f.services.expectMessage(
            QStringLiteral("The exam history cannot be read, so it cannot be shown.\r") +
                readError + QStringLiteral("\rDelete All removes it."),
            platform::Ok);
        bool deleteAllOffered = false;
        int rows = -1;
        f.services.expectModal(QStringLiteral("historyWindow"), [&](QWidget* w) {
            auto* h = static_cast<results::HistoryWindow*>(w);
            deleteAllOffered = h->m_deleteAllButton->isEnabled();
            rows = h->m_attemptList->topLevelItemCount();
            return 0;
        });
        testing::view(*f.form).m_historyAction->trigger();
        QVERIFY(deleteAllOffered);
        QCOMPARE(rows, 0);
        f.services.expectMessage(QStringLiteral("The exam history cannot be read, so there is no "
                                                "weakest section to drill.\r") +
                                     readError,
                                 platform::Ok);
        testing::view(*f.form).m_weakestSectionAction->trigger();
        QCOMPARE(f.form->mode(), session::ExamWindow::ModeIdle);

        // The file is left as it was, for the user to mend or remove.
        QFile damaged(QString::fromLatin1(store::kHistoryFile));
        QVERIFY(damaged.open(QIODevice::ReadOnly));
        QCOMPARE(damaged.readAll(), QByteArray(4096, '\x5a'));
    }

    // One unreadable record is named and the others shown; a history that
    // cannot be read at all is deleted by Delete All, and a new one begins.
    void aDamagedRecordOrFileNeverLocksTheHistory()
    {
        store::HistoryFile file(tableSession());
        Attempt a;
        a.when = 45000;
        a.title = QStringLiteral("Practice Exam A");
        a.itemCount = 1;
        a.items = {{1, true, false, false}};
        a.sections[1] = {1, 1};
        file.add(a);
        file.add(a);
        {
            store::Table t(tableSession(), QString::fromLatin1(store::kHistoryFile),
                           store::historySchema());
            t.open();
            t.edit();
            t.setValue(QStringLiteral("H_RESULTS"), QStringLiteral("0-"));
            t.post();
        }
        f.services.expectMessage(
            QStringLiteral("Some graded exams of the history cannot be read and are not shown; "
                           "the others are.\rThe history file \"tcpiphst.DAT\" is damaged: the "
                           "record with Q_ID 1 holds an unreadable item list (item \"0-\")."),
            platform::Ok);
        int rows = -1;
        f.services.expectModal(QStringLiteral("historyWindow"), [&](QWidget* w) {
            rows = static_cast<results::HistoryWindow*>(w)->m_attemptList->topLevelItemCount();
            return 0;
        });
        testing::view(*f.form).m_historyAction->trigger();
        QCOMPARE(rows, 1);

        QFile damaged(QString::fromLatin1(store::kHistoryFile));
        QVERIFY(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
        damaged.write(QByteArray(4096, 'z'));
        damaged.close();
        f.services.expectMessage(
            QStringLiteral("The exam history cannot be read, so it cannot be shown.\rThe table "
                           "file \"tcpiphst.DAT\" cannot be read: the password is wrong or the "
                           "file is damaged.\rThe file is %1.\rDelete All removes it.")
                .arg(QDir::toNativeSeparators(
                    QFileInfo(QString::fromLatin1(store::kHistoryFile)).absoluteFilePath())),
            platform::Ok);
        f.services.expectModal(QStringLiteral("historyWindow"), [&](QWidget* w) {
            auto* h = static_cast<results::HistoryWindow*>(w);
            f.services.expectMessage(QStringLiteral("Delete the whole history?\rIt cannot be "
                                                    "read; deleting it starts a new one."),
                                     platform::Yes);
            h->m_deleteAllButton->click();
            rows = h->m_attemptList->topLevelItemCount();
            return 0;
        });
        testing::view(*f.form).m_historyAction->trigger();
        QCOMPARE(rows, 0);
        QVERIFY(file.readAll().empty());
        file.add(a);
        QCOMPARE(file.readAll().size(), size_t(1));
    }

    void theHistoryWindowListsShowsAndDeletesAfterAsking()
    {
        store::HistoryFile file(tableSession());
        for (int i = 0; i < 3; ++i) {
            Attempt a =
                bankAttempt(QStringLiteral("Practice Exam %1").arg(QChar(u'A' + i)),
                            {{1, i > 0, false, false}, {2, i > 1, false, false}},
                            {{{0, 0}, {i > 0 ? 1 : 0, 1}, {0, 0}, {0, 0}, {i > 1 ? 1 : 0, 1}}});
            a.when += i;
            a.score = 500 * i;
            a.pass = i == 2;
            file.add(a);
        }
        results::HistoryWindow& h = *m_historyWindow;
        QVERIFY(h.reload());
        QCOMPARE(h.m_attemptList->topLevelItemCount(), 3);
        QCOMPARE(h.m_attemptList->topLevelItem(0)->text(2), QStringLiteral("Practice Exam C"));
        QCOMPARE(h.m_attemptList->topLevelItem(0)->text(6), QStringLiteral("Pass"));
        QCOMPARE(int(h.m_scoreChart->columns().size()), 3);
        QCOMPARE(*h.m_scoreChart->columns().back().value, 1000.0);
        QCOMPARE(h.m_scoreChart->line()->value, 850.0);
        // Section 1 had no item in any attempt: gaps, not zeros.
        QVERIFY(!h.m_sectionCharts[0]->columns().front().value);
        QCOMPARE(*h.m_sectionCharts[1]->columns().front().value, 0.0);

        // The report of a chosen attempt, read only.
        h.chooseRow(2); // the oldest
        f.services.expectModal(QStringLiteral("attemptReport"), [&](QWidget* w) {
            auto* r = static_cast<results::ScoreReport*>(w);
            [&] {
                QCOMPARE(r->m_totalLabel->text(),
                         QStringLiteral("Passing Score: 850   Your Score: 0   Grade: Fail"));
                QCOMPARE(r->m_totalChart->title(),
                         QStringLiteral("Grace,  Quizlark TCP/IP 4.0,  Practice Exam A"));
                QVERIFY(!r->m_viewAnswersButton->isVisible());
                QVERIFY(!r->m_drillsButton->isVisible());
                QCOMPARE(r->m_exitExamButton->text(), QStringLiteral("&Close"));
            }();
            r->m_printReportButton->click();
            r->m_exitExamButton->click(); // closes without a question
            return 0;
        });
        QTemporaryDir tmp;
        const QString pdf = tmp.filePath(QStringLiteral("attempt.pdf"));
        QString job;
        f.services.printHandler = [&](QPrinter* printer) {
            job = printer->docName();
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(pdf);
            return true;
        };
        h.m_showReportButton->click();
        QCOMPARE(job, QStringLiteral("Score Report"));
        QCOMPARE(testing::pdfPageCount(pdf), 1);

        const std::vector<Attempt> before = h.attempts();
        const QString question =
            QStringLiteral("Delete this attempt from the history?\r%1, %2, "
                           "score %3")
                .arg(results::attemptDateText(before[0].when), QStringLiteral("Practice Exam A"))
                .arg(0);
        f.services.expectMessage(question, platform::No);
        h.m_deleteButton->click();
        QCOMPARE(history().size(), size_t(3));
        f.services.expectMessage(question, platform::Yes);
        h.m_deleteButton->click();
        QCOMPARE(history().size(), size_t(2));
        QCOMPARE(history()[0].title, QStringLiteral("Practice Exam B"));
        QCOMPARE(h.m_attemptList->topLevelItemCount(), 2);

        const QString all =
            QStringLiteral("Delete the whole history?\rThe 2 graded exams in it will be lost.");
        f.services.expectMessage(all, platform::No);
        h.m_deleteAllButton->click();
        QCOMPARE(history().size(), size_t(2));
        f.services.expectMessage(all, platform::Yes);
        h.m_deleteAllButton->click();
        QVERIFY(history().empty());
        QCOMPARE(h.m_attemptList->topLevelItemCount(), 0);
        QVERIFY(!h.m_deleteAllButton->isEnabled());
        QVERIFY(!h.m_showReportButton->isEnabled());
    }

    void theHistoryIsOnlyReachedWhileNoExamRuns()
    {
        f.answerNameDialog(true);
        f.form->startPracticeExam(1);
        QVERIFY(!testing::view(*f.form).m_examsMenu->menuAction()->isEnabled());
        QVERIFY(testing::view(*f.form).m_examsMenu->actions().contains(
            testing::view(*f.form).m_historyAction));
        QVERIFY(testing::view(*f.form).m_examsMenu->actions().contains(
            testing::view(*f.form).m_weakestSectionAction));
    }
};

QTEST_MAIN(TestHistoryFlow)
#include "test_history_flow.moc"
