// Taking an exam: each kind of exam builds the right set, the name dialog,
// the modes with their controls, and leaving an exam.
#include "ExamSetBuilder.h"
#include "ExamWindowFixture.h"
#include "ExamWindowView.h"
#include "ItemsReview.h"
#include "NoteWindow.h"
#include "RealServices.h"
#include "ShadowLabel.h"
#include "ShapeButton.h"
#include "TableError.h"
#include "Tamper.h"

#include <QRadioButton>
#include <QToolButton>

#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalSpy>
#include <cerrno>

using session::ExamWindow;

class TestExamWindow : public QObject {
    Q_OBJECT
    ExamWindowFixture f;

    void startExam(QAction* action, int count = 0)
    {
        f.answerNameDialog(true, 0, count, QStringLiteral("Pat Candidate"));
        action->trigger();
    }
    void checkDone()
    {
        QVERIFY2(f.services.done(), qPrintable(f.services.problems().join(QLatin1Char('\n'))));
    }

private slots:
    void init() { f.setUp(); }
    void cleanup()
    {
        checkDone();
        f.tearDown();
    }

    void eachKindOfExamHasTheRightItems_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("count");
        QTest::addColumn<QList<int>>("items");
        QTest::addColumn<QString>("title");
        const QList<QList<int>> exams = {{1, 2},  {3, 4},   {5, 6},  {7, 8},
                                         {9, 10}, {11, 12}, {13, 14}};
        for (int i = 0; i < 7; ++i) {
            const QString letter = QString(QChar(u'A' + i));
            QTest::addRow("Practice Exam %s", qPrintable(letter))
                << QStringLiteral("practiceExam") + letter << 0 << exams[i]
                << QStringLiteral("Practice Exam ") + letter;
        }
        QList<int> all;
        for (int id = 1; id <= 14; ++id)
            all << id;
        QTest::newRow("All Questions") << "allQuestionsAction" << 0 << all << "All Questions";
        QTest::newRow("Random, N = max") << "randomExamAction" << 14 << all << "Random Exam";
    }
    void eachKindOfExamHasTheRightItems()
    {
        QFETCH(QString, action);
        QFETCH(int, count);
        QFETCH(QList<int>, items);
        QFETCH(QString, title);
        QSignalSpy progressMoves(f.progress->m_progressBar, &QProgressBar::valueChanged);
        startExam(f.form->findChild<QAction*>(action), count);
        QCOMPARE(f.form->mode(), ExamWindow::ModeExam);
        QCOMPARE(f.form->examSession().title(), title);
        QCOMPARE(testing::view(*f.form).m_examTitleLabel->text(), title);
        QCOMPARE(f.form->examSession().candidate(), QStringLiteral("Pat Candidate"));
        QCOMPARE(f.form->examSession().itemCount(), items.size());
        QCOMPARE(f.form->examSession().firstItemNumber(), 1);
        QList<int> got = f.examItems();
        std::sort(got.begin(), got.end());
        QCOMPARE(got, items);
        QCOMPARE(f.form->examSession().responses().size(), size_t(items.size()));
        QCOMPARE(f.form->currentSet().recNo(), 1);
        QCOMPARE(testing::view(*f.form).m_itemCounterLabel->text(),
                 QStringLiteral("Item 1 of %1").arg(items.size()));
        QCOMPARE(f.progress->m_progressBar->maximum(), items.size());
        QCOMPARE(f.progress->m_progressBar->value(), items.size() - 1);
        QVERIFY(!f.progress->isVisible());
        // Retired items (Q_EXAM_N 0) never appear.
        QVERIFY(!got.contains(15) && !got.contains(16));
    }

    void randomExamOfOneItem()
    {
        startExam(testing::view(*f.form).m_randomExamAction, 1);
        QCOMPARE(f.form->examSession().itemCount(), 1);
        QCOMPARE(f.examItems().size(), 1);
        QVERIFY(f.examItems().first() >= 1 && f.examItems().first() <= 14);
        // One item: both navigation buttons are disabled.
        QVERIFY(!testing::view(*f.form).m_previousButton->isEnabled());
        QVERIFY(!testing::view(*f.form).m_nextButton->isEnabled());
    }

    void userExamCopiesUserItemsWithoutBankFields()
    {
        ExamWindowFixture::addUserItems(3);
        startExam(testing::view(*f.form).m_userExamAction);
        QCOMPARE(f.form->mode(), ExamWindow::ModeExam);
        QCOMPARE(f.form->examSession().itemCount(), 3);
        QList<int> ids = f.examItems();
        std::sort(ids.begin(), ids.end());
        QCOMPARE(ids, QList<int>({1, 2, 3}));
        store::Table& t = f.form->currentSet();
        for (t.first(); !t.eof(); t.next()) {
            QVERIFY(t.isNull(QStringLiteral("Q_EXAM_N")));
            QCOMPARE(t.asString(QStringLiteral("Q_SIM")), QString());
            QCOMPARE(t.asString(QStringLiteral("PICT1")), QString());
            QCOMPARE(t.asInteger(QStringLiteral("Q_SECT")), qint64(3));
        }
        QVERIFY(testing::view(*f.form).m_noteButton->isHidden());
        f.services.expectMessage(QStringLiteral("Are you sure you wish to end this exam?"),
                                 platform::Yes);
        testing::view(*f.form).m_exitExamButton->click();
        QVERIFY(!testing::view(*f.form).m_noteButton->isHidden());
        QVERIFY(!f.form->bank().isOpen());
    }

    void emptyUserSetIsRefused()
    {
        f.services.expectMessage(QStringLiteral("User defined question set is empty!"),
                                 platform::Ok);
        testing::view(*f.form).m_userExamAction->trigger();
        QCOMPARE(f.form->mode(), ExamWindow::ModeIdle);
        QVERIFY(!f.form->userSet().isOpen());
    }
    void samePracticeExamTwiceSameItemsNewOrder()
    {
        store::Session s(QStringLiteral("Quizlark"));
        s.registerPassword(QString::fromLatin1(store::kTablePassword));
        store::Table bank(s, QStringLiteral("tcpip.DAT"), store::bankSchema());
        store::Table current(s, QStringLiteral("ces.DAT"), store::currentSetSchema(), true);
        bank.setFilter(QStringLiteral("Q_EXAM_N<>0"));
        bank.setFiltered(true);
        QList<QList<int>> orders;
        for (std::uint64_t seed : {11u, 12u}) {
            store::ExamSetBuilder builder(nullptr, [seed] { return seed; });
            bank.open();
            builder.buildExamSet(bank, current);
            QList<int> ids;
            for (current.first(); !current.eof(); current.next())
                ids << int(current.asInteger(QStringLiteral("Q_OR_NUMBER")));
            orders << ids;
            bank.close();
            current.close();
        }
        QVERIFY(orders[0] != orders[1]);
        std::sort(orders[0].begin(), orders[0].end());
        std::sort(orders[1].begin(), orders[1].end());
        QCOMPARE(orders[0], orders[1]);
        QCOMPARE(orders[0].size(), 14);
    }

    void failedBuildLeavesThePreviousSetWhole()
    {
        store::Session s(QStringLiteral("Quizlark"));
        s.registerPassword(QString::fromLatin1(store::kTablePassword));
        store::Table bank(s, QStringLiteral("tcpip.DAT"), store::bankSchema());
        store::Table current(s, QStringLiteral("ces.DAT"), store::currentSetSchema(), true);
        const auto currentItems = [&] {
            QList<int> ids;
            for (current.first(); !current.eof(); current.next())
                ids << int(current.asInteger(QStringLiteral("Q_OR_NUMBER")));
            return ids;
        };
        store::ExamSetBuilder builder(nullptr, [] { return std::uint64_t(5); });
        bank.setFilter(QStringLiteral("Q_EXAM_N=2"));
        bank.setFiltered(true);
        bank.open();
        builder.buildExamSet(bank, current);
        const QList<int> before = currentItems();
        QCOMPARE(before.size(), 2);
        current.close();
        // An explanation that is no text, put in behind the open bank's back:
        // the next build fails when it comes to that item, after the new set
        // was begun.
        QCOMPARE(
            testing::tamper(QStringLiteral("tcpip.DAT"),
                            QStringLiteral("UPDATE items SET Q_EXPL = x'07' WHERE Q_ID = (SELECT "
                                           "max(Q_ID) FROM items WHERE Q_EXAM_N = 2)")),
            QString());
        QVERIFY_THROWS_EXCEPTION(platform::TableError, builder.buildExamSet(bank, current));
        QVERIFY(!current.isOpen());
        QVERIFY(!QFile::exists(QStringLiteral("ces.DAT.new")));
        // The file still holds the last exam whole.
        current.open();
        QCOMPARE(currentItems(), before);
    }

    void responsesAreClearedByTheNextStart()
    {
        startExam(testing::view(*f.form).m_practiceExamActions[0]);
        testing::view(*f.form).m_choiceRadios[0]->setChecked(true);
        testing::view(*f.form).m_markBox->setChecked(true);
        QVERIFY(f.form->examSession().responses()[0].Choice[0]);
        f.services.expectMessage(QStringLiteral("Are you sure you wish to end this exam?"),
                                 platform::Yes);
        testing::view(*f.form).m_exitExamButton->click();
        // Kept after the exam ends, until the next start.
        QVERIFY(f.form->examSession().responses()[0].Marked);
        startExam(testing::view(*f.form).m_practiceExamActions[2]);
        QCOMPARE(f.form->examSession().responses().size(), size_t(2));
        for (const store::ItemResponse& r : f.form->examSession().responses()) {
            QVERIFY(!r.Marked && !r.Correct);
            for (bool c : r.Choice)
                QVERIFY(!c);
            QVERIFY(r.Section >= 1 && r.Section <= 5);
        }
    }

    void cancelInTheNameDialogChangesNothing()
    {
        f.answerNameDialog(false, 0, 0, QStringLiteral("Someone Else"));
        testing::view(*f.form).m_practiceExamActions[1]->trigger();
        QCOMPARE(f.form->mode(), ExamWindow::ModeIdle);
        QCOMPARE(f.form->examSession().candidate(), QString());
        QVERIFY(testing::view(*f.form).m_startPanel->isVisible());
        QVERIFY(!testing::view(*f.form).m_itemArea->isVisible());
        QVERIFY(!f.form->bank().isOpen());
        QVERIFY(!f.form->currentSet().isOpen());
        QVERIFY(testing::view(*f.form).m_examsMenu->menuAction()->isEnabled());
    }

    void nameDialogBoxes()
    {
        // What the dialog showed each time it was run.
        struct Seen {
            QString title, date, name;
            int timeMin = 0, timeMax = 0, time = 0, countMin = 0, countMax = 0, count = 0;
            bool countEnabled = false, labelEnabled = false;
        };
        QList<Seen> seen;
        auto look = [&](QWidget* w) {
            auto* n = static_cast<session::NameDialog*>(w);
            seen << Seen{n->windowTitle(),
                         n->m_dateLabel->text(),
                         n->m_nameEdit->text(),
                         n->m_timeBox->minimum(),
                         n->m_timeBox->maximum(),
                         n->m_timeBox->value(),
                         n->m_questionCountBox->minimum(),
                         n->m_questionCountBox->maximum(),
                         n->m_questionCountBox->value(),
                         n->m_questionCountBox->isEnabled(),
                         n->m_questionCountLabel->isEnabled()};
            if (seen.size() == 1) {
                n->m_nameEdit->setText(QStringLiteral("Robin"));
                n->m_timeBox->setValue(45);
            }
            return int(QDialog::Rejected);
        };
        f.services.expectModal(QStringLiteral("nameDialog"), look);
        testing::view(*f.form).m_randomExamAction->trigger();
        f.setOptions([&](options::OptionValues& v) { v.defaultTime = 700; });
        f.services.expectModal(QStringLiteral("nameDialog"), look);
        testing::view(*f.form).m_practiceExamActions[3]->trigger();
        f.services.expectModal(QStringLiteral("nameDialog"), look);
        testing::view(*f.form).m_randomExamAction->trigger();
        QCOMPARE(seen.size(), 3);

        QCOMPARE(seen[0].title, QStringLiteral("Random Exam"));
        QVERIFY(seen[0].date.startsWith(QStringLiteral("Date: ")));
        QCOMPARE(seen[0].name, QStringLiteral("Your Name"));
        QCOMPARE(seen[0].timeMin, 1);
        QCOMPARE(seen[0].timeMax, 600);
        QCOMPARE(seen[0].time, 90);
        QCOMPARE(seen[0].countMin, 1);
        QCOMPARE(seen[0].countMax, 14);
        QCOMPARE(seen[0].count, 14);
        QVERIFY(seen[0].countEnabled && seen[0].labelEnabled);

        QCOMPARE(seen[1].title, QStringLiteral("Begin Practice Exam D"));
        QCOMPARE(seen[1].name, QStringLiteral("Robin")); // keeps the last text
        QCOMPARE(seen[1].time, 600);                     // a default above 600 shows as 600
        QVERIFY(!seen[1].countEnabled && !seen[1].labelEnabled);

        QCOMPARE(seen[2].time, 600); // the random exam shows the time shown last
        QCOMPARE(f.form->mode(), ExamWindow::ModeIdle);
    }

    void controlsByMode()
    {
        auto visible = [this](QWidget* w) { return w->isVisibleTo(f.form.get()); };
        QVERIFY(visible(testing::view(*f.form).m_startPanel));
        QVERIFY(!visible(testing::view(*f.form).m_buttonStrip));
        QVERIFY(visible(testing::view(*f.form).m_productBanner));
        QVERIFY(!testing::view(*f.form).m_printItemAction->isEnabled() &&
                !testing::view(*f.form).m_printExamAction->isEnabled());
        QVERIFY(testing::view(*f.form).m_examsMenu->menuAction()->isEnabled());
        QVERIFY(testing::view(*f.form).m_optionsAction->isEnabled());

        startExam(testing::view(*f.form).m_practiceExamActions[0]);
        QVERIFY(!visible(testing::view(*f.form).m_startPanel));
        QVERIFY(visible(testing::view(*f.form).m_itemArea));
        QVERIFY(visible(testing::view(*f.form).m_buttonStrip));
        QVERIFY(!visible(testing::view(*f.form).m_productBanner));
        for (QWidget* w : QList<QWidget*>{
                 testing::view(*f.form).m_itemCounterLabel, testing::view(*f.form).m_itemIdLabel,
                 testing::view(*f.form).m_markBox, testing::view(*f.form).m_examTitleLabel,
                 testing::view(*f.form).m_timeLabel})
            QVERIFY2(visible(w), qPrintable(w->objectName()));
        QVERIFY(!visible(testing::view(*f.form).m_reviewLabel));
        QVERIFY(!visible(testing::view(*f.form).m_verdictLabel));
        QCOMPARE(testing::view(*f.form).m_gradeButton->text(), QStringLiteral("Grade Now"));
        QVERIFY(!testing::view(*f.form).m_examsMenu->menuAction()->isEnabled());
        QVERIFY(testing::view(*f.form).m_printItemAction->isEnabled() &&
                testing::view(*f.form).m_printExamAction->isEnabled());
        QVERIFY(!testing::view(*f.form).m_previousButton->isEnabled());
        QVERIFY(testing::view(*f.form).m_nextButton->isEnabled());
        testing::view(*f.form).m_nextButton->click();
        QCOMPARE(testing::view(*f.form).m_itemCounterLabel->text(), QStringLiteral("Item 2 of 2"));
        QVERIFY(testing::view(*f.form).m_previousButton->isEnabled());
        QVERIFY(!testing::view(*f.form).m_nextButton->isEnabled());

        // Review mode, as the score report's View Answers enters it.
        f.form->examSession().grade();
        f.form->viewAnswers();
        QVERIFY(!visible(testing::view(*f.form).m_markBox));
        QVERIFY(!visible(testing::view(*f.form).m_timeLabel));
        QVERIFY(visible(testing::view(*f.form).m_verdictLabel));
        QVERIFY(visible(testing::view(*f.form).m_reviewLabel));
        QVERIFY(!testing::view(*f.form).m_learnButton->isEnabled());

        // No is a no; Yes ends the exam and the window stays, idle.
        f.services.expectMessage(QStringLiteral("Are you sure you wish to end this exam?"),
                                 platform::No);
        testing::view(*f.form).m_exitExamButton->click();
        QCOMPARE(f.form->mode(), ExamWindow::ModeReview);
        f.services.expectMessage(QStringLiteral("Are you sure you wish to end this exam?"),
                                 platform::Yes);
        testing::view(*f.form).m_exitExamButton->click();
        QCOMPARE(f.form->mode(), ExamWindow::ModeIdle);
        QVERIFY(f.form->isVisible());
        QVERIFY(visible(testing::view(*f.form).m_startPanel));
        QVERIFY(!visible(testing::view(*f.form).m_buttonStrip));
        QVERIFY(!visible(testing::view(*f.form).m_itemCounterLabel) &&
                !visible(testing::view(*f.form).m_reviewLabel));
        QVERIFY(!testing::view(*f.form).m_printItemAction->isEnabled());
        QVERIFY(testing::view(*f.form).m_examsMenu->menuAction()->isEnabled());
        QVERIFY(!f.form->bank().isOpen() && !f.form->currentSet().isOpen());
        QCOMPARE(f.form->bank().filter(), QString());
    }

    void closingAsksOnlyInExamMode()
    {
        startExam(testing::view(*f.form).m_practiceExamActions[0]);
        f.services.expectMessage(QStringLiteral("This exam is not completed.\rAre you shure ?"),
                                 platform::Cancel);
        f.form->close();
        QVERIFY(f.form->isVisible());
        QCOMPARE(f.form->mode(), ExamWindow::ModeExam);
        f.services.expectMessage(QStringLiteral("This exam is not completed.\rAre you shure ?"),
                                 platform::Ok);
        testing::view(*f.form).m_exitAction->trigger();
        QVERIFY(!f.form->isVisible());
        QCOMPARE(f.form->mode(), ExamWindow::ModeIdle);
        // In review mode it closes without a question.
        f.form->show();
        startExam(testing::view(*f.form).m_practiceExamActions[1]);
        f.form->examSession().grade();
        f.form->viewAnswers();
        f.form->close();
        QVERIFY(!f.form->isVisible());
    }

    void examWithoutItemsStaysIdle_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("retireAll");
        QTest::newRow("practice exam") << "practiceExamA" << false;
        QTest::newRow("random exam") << "randomExamAction" << true;
        QTest::newRow("all questions") << "allQuestionsAction" << true;
    }
    void examWithoutItemsStaysIdle()
    {
        QFETCH(QString, action);
        QFETCH(bool, retireAll);
        ExamWindowFixture::editBank([&](store::Table& t) {
            for (t.first(); !t.eof(); t.next()) {
                if (retireAll || t.asInteger(QStringLiteral("Q_EXAM_N")) == 1) {
                    t.edit();
                    t.setValue(QStringLiteral("Q_EXAM_N"), 0);
                    t.post();
                }
            }
        });
        f.services.expectMessage(QStringLiteral("This exam has no items."), platform::Ok);
        f.form->findChild<QAction*>(action)->trigger();
        QCOMPARE(f.form->mode(), ExamWindow::ModeIdle);
        QVERIFY(testing::view(*f.form).m_startPanel->isVisible());
        QVERIFY(!testing::view(*f.form).m_buttonStrip->isVisibleTo(f.form.get()));
        // The bank, kept loaded from the count to the build, is let go.
        QVERIFY(!f.form->bank().isOpen());
    }

    // The current set is only a working copy of the exam being started: one
    // that cannot be read is written anew rather than standing in the way.
    void unreadableCurrentSetIsReplacedByTheNextExam_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("noise") << QByteArray(5000, '\x5a');
        QTest::newRow("empty") << QByteArray();
    }
    void unreadableCurrentSetIsReplacedByTheNextExam()
    {
        QFETCH(QByteArray, content);
        QFile bad(QStringLiteral("ces.DAT"));
        QVERIFY(bad.open(QIODevice::WriteOnly | QIODevice::Truncate));
        bad.write(content);
        bad.close();
        startExam(testing::view(*f.form).m_practiceExamActions[1]);
        checkDone();
        QVERIFY(f.services.shownMessages.isEmpty());
        QCOMPARE(f.form->mode(), ExamWindow::ModeExam);
        QCOMPARE(f.form->currentSet().recordCount(), f.form->examSession().itemCount());
        QVERIFY(f.form->examSession().itemCount() > 0);
    }

    void tableFailureLeavesTheWindowIdle()
    {
        // Another handle holds the current set's file exclusively.
        store::Session s(QStringLiteral("Quizlark"));
        s.registerPassword(QString::fromLatin1(store::kTablePassword));
        store::Table holder(s, QStringLiteral("ces.DAT"), store::currentSetSchema(), true);
        holder.setExclusive(true);
        holder.open();
        f.answerNameDialog(true);
        testing::view(*f.form).m_practiceExamActions[0]->trigger();
        QCOMPARE(f.services.shownMessages.size(), 1);
        QVERIFY(f.services.shownMessages.first().contains(QStringLiteral("locked")));
        QCOMPARE(f.services.shownKinds.first(), platform::MsgKind::Error);
        QCOMPARE(f.form->mode(), ExamWindow::ModeIdle);
        QVERIFY(!f.progress->isVisible());
        QVERIFY(testing::view(*f.form).m_startPanel->isVisible());
        QVERIFY(!f.form->bank().isOpen());
        // The problem removed, the same exam starts.
        holder.close();
        f.services.reset();
        startExam(testing::view(*f.form).m_practiceExamActions[0]);
        QCOMPARE(f.form->mode(), ExamWindow::ModeExam);
    }

    void missingBankIsReported()
    {
        QFile::remove(QStringLiteral("tcpip.DAT"));
        testing::view(*f.form).m_practiceExamActions[0]->trigger();
        QCOMPARE(f.services.shownMessages.size(), 1);
        QVERIFY(f.services.shownMessages.first().contains(QStringLiteral("not found")));
        f.services.reset();
        QCOMPARE(f.form->mode(), ExamWindow::ModeIdle);
    }

    void calculatorButtonFollowsItsProgramFile_data()
    {
        QTest::addColumn<bool>("exists");
        QTest::addColumn<QString>("showCalc");
        QTest::addColumn<bool>("visible");
        QTest::addColumn<bool>("flag");
        QTest::newRow("installed, shown") << true << "1" << true << true;
        QTest::newRow("installed, not shown") << true << "0" << false << false;
        QTest::newRow("missing") << false << "1" << false << false;
    }
    void calculatorButtonFollowsItsProgramFile()
    {
        QFETCH(bool, exists);
        QFETCH(QString, showCalc);
        QFETCH(bool, visible);
        QFETCH(bool, flag);
        const QString program = f.dir->file(QStringLiteral("calculator"));
        if (exists) {
            QFile file(program);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
        }
        f.services.store.write(QStringLiteral("Options"), QStringLiteral("CalcPath"), program);
        f.services.store.write(QStringLiteral("Options"), QStringLiteral("ShowCalcBtn"), showCalc);
        f.form.reset();
        f.form = std::make_unique<session::ExamWindow>(f.services);
        QCOMPARE(f.form->optionValues().calcPath, program);
        QCOMPARE(!testing::view(*f.form).m_calculatorButton->isHidden(), visible);
        QCOMPARE(f.form->optionValues().showCalcButton, flag);
        // The stored option is only written by the options dialog.
        QCOMPARE(f.services.store.read(QStringLiteral("Options"), QStringLiteral("ShowCalcBtn")),
                 showCalc);
    }

    void calculatorStartsACopyPerClick()
    {
        const QString program = f.dir->file(QStringLiteral("calc"));
        QFile file(program);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
        file.close();
        testing::view(*f.form).m_calculatorButton->setCommandLine(program);
        testing::view(*f.form).m_calculatorButton->click();
        testing::view(*f.form).m_calculatorButton->click();
        QCOMPARE(f.services.startedPrograms, QStringList({program, program}));
        // A program that cannot start is reported and the window goes on.
        f.services.startError = 2;
        f.services.expectMessage(
            QStringLiteral("Error executing program. Error Code:; 2\rNo such file or directory"),
            platform::Ok);
        testing::view(*f.form).m_calculatorButton->click();
    }

    void calculatorProgramIsChecked_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("create");
        QTest::addColumn<bool>("executable");
        QTest::addColumn<QString>("error");
        QTest::newRow("missing") << "nowhere" << false << false << "The file: %1 cannot be found.";
        QTest::newRow("not a program")
            << "notes.txt" << true << false << "%1 is not an executable file.";
    }
    void calculatorProgramIsChecked()
    {
        QFETCH(QString, name);
        QFETCH(bool, create);
        QFETCH(bool, executable);
        QFETCH(QString, error);
        const QString good = f.dir->file(QStringLiteral("calc"));
        QFile goodFile(good);
        QVERIFY(goodFile.open(QIODevice::WriteOnly));
        goodFile.setPermissions(goodFile.permissions() | QFileDevice::ExeOwner);
        testing::view(*f.form).m_calculatorButton->setCommandLine(good);
        const QString path = f.dir->file(name);
        if (create) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            if (executable)
                file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
        }
        try {
            testing::view(*f.form).m_calculatorButton->setCommandLine(path);
            QFAIL("accepted");
        } catch (const std::exception& e) {
            QCOMPARE(QString::fromUtf8(e.what()), error.arg(path));
        }
        // The earlier program stays.
        QCOMPARE(testing::view(*f.form).m_calculatorButton->commandLine(), good);
    }

    void altKeysReachButtonsAndMenus()
    {
        f.form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.form.get()));
        // Alt+E is only the button of Practice Exam E.
        bool asked = false;
        f.services.expectModal(QStringLiteral("nameDialog"), [&](QWidget* w) {
            asked = w->windowTitle() == QStringLiteral("Begin Practice Exam E");
            return int(QDialog::Rejected);
        });
        QTest::keyClick(f.form->windowHandle(), Qt::Key_E, Qt::AltModifier);
        QTRY_VERIFY(asked);
        // Alt+F is shared by the button of exam F and the File menu: the menu wins.
        f.form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.form.get()));
        QTest::keyClick(f.form->windowHandle(), Qt::Key_F, Qt::AltModifier);
        QVERIFY(f.form->menuBar()->activeAction());
        QCOMPARE(f.form->menuBar()->activeAction()->text(), QStringLiteral("&File"));
    }

    void startButtonsAreCentred_data()
    {
        QTest::addColumn<int>("width");
        QTest::newRow("1280") << 1280;
        QTest::newRow("minimum") << 732;
        QTest::newRow("odd") << 1001;
    }
    void startButtonsAreCentred()
    {
        QFETCH(int, width);
        f.form->setWindowState(Qt::WindowNoState);
        f.form->resize(width, 600);
        const double W = f.form->frameGeometry().width();
        QCOMPARE(testing::view(*f.form).m_practiceExamButtons[0]->x(),
                 int(std::nearbyint((W - 7 * 30 - 42) / 2)));
        for (int k = 1; k < 7; ++k)
            QCOMPARE(testing::view(*f.form).m_practiceExamButtons[k]->x(),
                     testing::view(*f.form).m_practiceExamButtons[k - 1]->x() + 36);
        QCOMPARE(testing::view(*f.form).m_allQuestionsButton->x(),
                 int(std::nearbyint((W - 3 * 109 - 12) / 2)));
        QCOMPARE(testing::view(*f.form).m_randomExamButton->x(),
                 testing::view(*f.form).m_allQuestionsButton->x() + 115);
        QCOMPARE(testing::view(*f.form).m_userExamButton->x(),
                 testing::view(*f.form).m_randomExamButton->x() + 115);
        QCOMPARE(testing::view(*f.form).m_practiceExamButtons[0]->size(), QSize(30, 30));
        QCOMPARE(testing::view(*f.form).m_allQuestionsButton->size(), QSize(109, 30));
    }

    // A typed number out of range goes to the nearest bound, whether OK or
    // Enter takes it.
    void typedCountsAndTimesGoToTheNearestBound_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("byEnter");
        QTest::addColumn<int>("expected");
        QTest::newRow("count 0") << "questionCountBox"
                                 << "0" << false << 1;
        QTest::newRow("count 500") << "questionCountBox"
                                   << "500" << false << 350;
        QTest::newRow("count 500, Enter") << "questionCountBox"
                                          << "500" << true << 350;
        QTest::newRow("count 120") << "questionCountBox"
                                   << "120" << false << 120;
        QTest::newRow("time 0") << "timeBox"
                                << "0" << false << 1;
        QTest::newRow("time 5000") << "timeBox"
                                   << "5000" << false << 600;
        QTest::newRow("time 99999999999") << "timeBox"
                                          << "99999999999" << true << 600;
        QTest::newRow("time 45") << "timeBox"
                                 << "45" << false << 45;
    }
    void typedCountsAndTimesGoToTheNearestBound()
    {
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(bool, byEnter);
        QFETCH(int, expected);
        session::NameDialog& d = *f.nameForm;
        d.setQuestionCount(350, true);
        d.show();
        auto* spin = d.findChild<QSpinBox*>(box);
        QVERIFY(spin);
        spin->setFocus();
        spin->selectAll();
        QTest::keyClicks(spin, typed);
        if (byEnter)
            QTest::keyClick(spin, Qt::Key_Return);
        else
            d.m_okButton->click();
        QCOMPARE(d.result(), int(QDialog::Accepted));
        const int value = box == QStringLiteral("timeBox") ? d.timeMinutes() : d.questionCount();
        QCOMPARE(value, expected);
    }

    // The real start reports the system's own error code.
    void startingAProgramGivesTheSystemsReason_data()
    {
        QTest::addColumn<QByteArray>("content"); // empty: no file
        QTest::addColumn<bool>("executable");
        QTest::addColumn<int>("code");
        QTest::newRow("missing") << QByteArray() << false << int(ENOENT);
        QTest::newRow("not executable") << QByteArray("x") << false << int(EACCES);
        QTest::newRow("no program inside")
            << QByteArray("\x01\x02\x03\x04garbage") << true << int(ENOEXEC);
    }
    void startingAProgramGivesTheSystemsReason()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, executable);
        QFETCH(int, code);
        const QString path = f.dir->file(QStringLiteral("calc"));
        if (!content.isEmpty()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
            file.close();
            if (executable)
                file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
        }
        platform::RealServices real(QStringLiteral("Quizlark test"));
        QCOMPARE(real.startProgram(path), code);
    }

    // A key pressed just after another opened a window over the exam (Alt+N
    // then Alt+R) opens nothing more: the second window would act on an item
    // the first may move away from.
    void onlyOneWindowOpensOverTheExam()
    {
        // Children of the exam window, so that they go with it.
        f.form->setNoteWindow(new results::NoteWindow(f.services, f.form.get()));
        f.form->setItemsReview(new results::ItemsReview(f.services, f.form.get()));
        startExam(testing::view(*f.form).m_practiceExamActions[0]);
        bool triedAll = false;
        f.services.expectModal(QStringLiteral("noteWindow"), [&](QWidget*) {
            testing::view(*f.form).m_itemsReviewButton->click();
            testing::view(*f.form).m_noteButton->click();
            testing::view(*f.form).m_gradeButton->click();
            triedAll = true;
            return 0;
        });
        testing::view(*f.form).m_noteButton->click();
        QVERIFY(triedAll);
        // Once it has closed, the review opens as before.
        f.services.expectModal(QStringLiteral("itemsReview"), [](QWidget*) { return 0; });
        testing::view(*f.form).m_itemsReviewButton->click();
    }
};

QTEST_MAIN(TestExamWindow)
#include "test_exam_window.moc"
