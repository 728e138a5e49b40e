// The whole road of an exam through the real windows and encrypted files:
// start, answer, mark, review, grade, view answers, the report again, exit;
// and a note that outlives the exam and the program.
#include "AppOwner.h"
#include "BoundControls.h"
#include "DataSource.h"
#include "ExamWindow.h"
#include "ExamWindowView.h"
#include "ItemsReview.h"
#include "NameDialog.h"
#include "NoteWindow.h"
#include "PrintingSimulation.h"
#include "ProgramDir.h"
#include "Schemas.h"
#include "ScoreReport.h"
#include "ScriptedServices.h"
#include "Session.h"
#include "ShadowLabel.h"
#include "ShapeButton.h"
#include "StartWindow.h"
#include "Table.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QtTest>

using session::ExamWindow;

class TestExamRoad : public QObject {
    Q_OBJECT
    std::unique_ptr<testing::ProgramDir> m_dir;
    testing::ScriptedServices m_services;

    std::unique_ptr<app::AppOwner> makeOwner()
    {
        auto owner = std::make_unique<app::AppOwner>(m_services, m_dir->path());
        owner->examWindow()->setSeedSource([] { return 5; });
        return owner;
    }
    void acceptName(int minutes = 0)
    {
        m_services.expectModal(QStringLiteral("nameDialog"), [minutes](QWidget* w) {
            auto* d = static_cast<session::NameDialog*>(w);
            d->m_nameEdit->setText(QStringLiteral("Sam Lee"));
            if (minutes > 0)
                d->m_timeBox->setValue(minutes);
            return int(QDialog::Accepted);
        });
    }
    // The next tick finds a one-minute exam's time used up.
    void runOutOfTime()
    {
        m_services.clock += 61.0 / 86400;
        m_services.lastTicker->fire();
    }
    static QString expiryText()
    {
        return QStringLiteral("Your time has expired.\rDo you want continue the exam anyway?");
    }
    static QString gradingText()
    {
        return QStringLiteral("This will end your practice exam.\rAre you sure to end this exam?");
    }
    static QString bankNote(int id)
    {
        store::Session s(QStringLiteral("Quizlark"));
        s.registerPassword(QString::fromLatin1(store::kTablePassword));
        store::Table t(s, QStringLiteral("tcpip.DAT"), store::bankSchema());
        t.open();
        t.setRecNo(id);
        return t.asString(QStringLiteral("U_MEMO"));
    }
    // Answers the current item with its key.
    static void answerCorrectly(ExamWindow& t)
    {
        store::Table& c = t.currentSet();
        const bool multiple = c.asBoolean(QStringLiteral("Q_TYPE"));
        for (int i = 0; i < 6; ++i) {
            const bool key = c.asBoolean(QStringLiteral("A%1").arg(i + 1));
            if (multiple)
                testing::view(t).m_choiceBoxes[i]->setChecked(key);
            else if (key)
                testing::view(t).m_choiceRadios[i]->setChecked(true);
        }
    }
    static void goToBankItem(ExamWindow& t, int id)
    {
        store::Table& c = t.currentSet();
        for (int k = 1; k <= t.examSession().itemCount(); ++k) {
            c.setRecNo(k);
            if (c.asInteger(QStringLiteral("Q_OR_NUMBER")) == id)
                return;
        }
        QFAIL("item not in the exam");
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<testing::ProgramDir>();
        m_services.reset();
    }
    void cleanup()
    {
        QVERIFY2(m_services.done(), qPrintable(m_services.problems().join(QLatin1Char('\n'))));
        m_dir.reset();
    }

    void wholeRoadOfOneExam()
    {
        auto owner = makeOwner();
        owner->startWindow()->show();
        ExamWindow& t = *owner->examWindow();
        QStringList reviewTexts, resultTexts;
        QString scoreLine, scoreLineAgain;
        int modeAfterView = -1, modeAfterExit = -1;
        QString verdictOfItem1;
        m_services.expectModal(QStringLiteral("examWindow"), [&](QWidget*) {
            acceptName();
            testing::view(t).m_practiceExamActions[0]->trigger(); // Practice Exam A: items 1 and 2
            answerCorrectly(t);                                   // item 1 of the exam
            testing::view(t).m_nextButton->click();
            testing::view(t).m_markBox->setChecked(true); // item 2 marked, unanswered

            m_services.expectModal(QStringLiteral("itemsReview"), [&](QWidget* w) {
                auto* r = static_cast<results::ItemsReview*>(w);
                for (int i = 0; i < r->m_itemList->count(); ++i)
                    reviewTexts << r->m_itemList->item(i)->text();
                r->m_itemList->setCurrentRow(0);
                r->m_goToButton->click();
                return 1;
            });
            testing::view(t).m_itemsReviewButton->click();

            m_services.expectMessage(
                QStringLiteral("This will end your practice exam.\rAre you sure to end this exam?"),
                platform::Ok);
            m_services.expectModal(QStringLiteral("scoreReport"), [&](QWidget* w) {
                auto* s = static_cast<results::ScoreReport*>(w);
                scoreLine = s->m_totalLabel->text();
                s->m_viewAnswersButton->click(); // View Answers
                return 1;
            });
            testing::view(t).m_gradeButton->click();
            modeAfterView = int(t.mode());
            verdictOfItem1 = testing::view(t).m_verdictLabel->text();

            m_services.expectModal(QStringLiteral("itemsReview"), [&](QWidget* w) {
                auto* r = static_cast<results::ItemsReview*>(w);
                for (int i = 0; i < r->m_itemList->count(); ++i)
                    resultTexts << r->m_itemList->item(i)->text();
                return 0;
            });
            testing::view(t).m_itemsReviewButton->click();

            // In review the report comes back without a question, then Exit.
            m_services.expectModal(QStringLiteral("scoreReport"), [&](QWidget* w) {
                auto* s = static_cast<results::ScoreReport*>(w);
                scoreLineAgain = s->m_totalLabel->text();
                m_services.expectMessage(QStringLiteral("Are you sure you wish to end this exam?"),
                                         platform::Yes);
                s->m_exitExamButton->click();
                return 0;
            });
            testing::view(t).m_gradeButton->click();
            modeAfterExit = int(t.mode());
            t.close();
            return 0;
        });
        owner->startWindow()->m_startTestingButton->click();

        QCOMPARE(reviewTexts.size(), 2);
        QCOMPARE(scoreLine, QStringLiteral("Passing Score: 850   Your Score: 500   Grade: Fail"));
        QCOMPARE(modeAfterView, int(ExamWindow::ModeReview));
        QCOMPARE(verdictOfItem1, QStringLiteral("Correct"));
        QCOMPARE(resultTexts.size(), 2);
        QCOMPARE(scoreLineAgain, scoreLine);
        QCOMPARE(modeAfterExit, int(ExamWindow::ModeIdle));
        QVERIFY(owner->startWindow()->isVisible());
        QVERIFY(!t.isVisible());
    }

    void noteOutlivesTheExamAndTheProgram()
    {
        int bankItem = 0;
        {
            auto owner = makeOwner();
            ExamWindow& t = *owner->examWindow();
            t.show();
            acceptName();
            testing::view(t).m_practiceExamActions[1]->trigger(); // Practice Exam B: items 3 and 4
            bankItem = int(t.currentSet().asInteger(QStringLiteral("Q_OR_NUMBER")));
            QString itemLine;
            m_services.expectModal(QStringLiteral("noteWindow"), [&](QWidget* w) {
                auto* n = static_cast<results::NoteWindow*>(w);
                itemLine = n->m_itemLine->text();
                n->m_noteEdit->moveCursor(QTextCursor::End);
                QTest::keyClicks(n->m_noteEdit, QStringLiteral("check the mask"));
                n->m_saveButton->click(); // Save Note
                n->m_exitButton->click(); // Exit
                return 0;
            });
            testing::view(t).m_noteButton->click();
            QCOMPARE(itemLine, QStringLiteral("Practice Exam B,  Item ID: %1").arg(bankItem));
            m_services.expectMessage(QStringLiteral("Are you sure you wish to end this exam?"),
                                     platform::Yes);
            testing::view(t).m_exitExamButton->click();
            // A later All Questions exam copies the note again.
            acceptName();
            testing::view(t).m_allQuestionsAction->trigger();
            goToBankItem(t, bankItem);
            QCOMPARE(t.currentSet().asString(QStringLiteral("U_MEMO")),
                     QStringLiteral("check the mask"));
            t.closeCurrentExam();
        }
        // A new run of the program finds it in the bank file.
        auto owner = makeOwner();
        ExamWindow& t = *owner->examWindow();
        t.show();
        acceptName();
        testing::view(t).m_practiceExamActions[1]->trigger();
        goToBankItem(t, bankItem);
        QCOMPARE(t.currentSet().asString(QStringLiteral("U_MEMO")),
                 QStringLiteral("check the mask"));
    }
    // Whatever window is open when time runs out stays open and finishes as
    // it would; the end the candidate asks for comes when they are back on
    // the exam window, which then shows the right item.
    void timeRunningOutWaitsForTheOpenWindow_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<int>("exam"); // 0..6: Practice Exam A..G
        QTest::addColumn<int>("item"); // the bank item to open the window on
        QTest::newRow("simulation, OK") << "simulation" << 3 << 7;
        QTest::newRow("note, saved after the message") << "note saved" << 1 << 4;
        QTest::newRow("note, left unsaved") << "note unsaved" << 1 << 4;
        QTest::newRow("exhibit") << "exhibit" << 0 << 1;
        QTest::newRow("items review") << "items review" << 0 << 2;
        QTest::newRow("options") << "options" << 0 << 2;
        QTest::newRow("about box") << "about box" << 0 << 2;
    }
    void timeRunningOutWaitsForTheOpenWindow()
    {
        QFETCH(QString, window);
        QFETCH(int, exam);
        QFETCH(int, item);
        auto owner = makeOwner();
        ExamWindow& t = *owner->examWindow();
        t.show();
        acceptName(1);
        testing::view(t).m_practiceExamActions[exam]->trigger();
        QCOMPARE(t.mode(), ExamWindow::ModeExam);
        goToBankItem(t, item);
        const int openedOn = item;

        bool openAfterMessage = false;
        int modeAfterMessage = -1;
        bool itemAreaAfterMessage = false;
        // Runs the expiry over the window w and answers No.
        auto expireOver = [&](QWidget* w) {
            m_services.expectMessage(expiryText(), platform::No);
            runOutOfTime();
            openAfterMessage = w->isVisible();
            modeAfterMessage = int(t.mode());
            itemAreaAfterMessage = testing::view(t).m_itemArea->isVisibleTo(&t);
        };
        QString objectName;
        std::function<int(QWidget*)> act;
        QPushButton* opener = nullptr;
        QAction* menuOpener = nullptr;
        if (window == QLatin1String("simulation")) {
            objectName = QStringLiteral("printingSimulation");
            opener = testing::view(t).m_simulationButton;
            act = [&](QWidget* w) {
                expireOver(w);
                m_services.expectMessage(QStringLiteral("Your response has been saved."),
                                         platform::Ok);
                auto* d = static_cast<QDialog*>(w);
                d->findChild<QPushButton*>(QStringLiteral("okButton"))->click();
                return d->result();
            };
        } else if (window.startsWith(QLatin1String("note"))) {
            objectName = QStringLiteral("noteWindow");
            opener = testing::view(t).m_noteButton;
            const bool save = window == QLatin1String("note saved");
            act = [&, save](QWidget* w) {
                auto* n = static_cast<results::NoteWindow*>(w);
                QTest::keyClicks(n->m_noteEdit, QStringLiteral("typed in time"));
                expireOver(w);
                if (save)
                    n->m_saveButton->click();
                n->m_exitButton->click();
                return 0;
            };
        } else {
            objectName = window == QLatin1String("exhibit") ? QStringLiteral("exhibit1Window")
                         : window == QLatin1String("items review") ? QStringLiteral("itemsReview")
                         : window == QLatin1String("options")      ? QStringLiteral("optionsDialog")
                                                                   : QStringLiteral("aboutBox");
            if (window == QLatin1String("exhibit"))
                opener = testing::view(t).m_exhibit1Button;
            else if (window == QLatin1String("items review"))
                opener = testing::view(t).m_itemsReviewButton;
            else if (window == QLatin1String("options"))
                menuOpener = testing::view(t).m_optionsAction;
            else
                menuOpener = testing::view(t).m_aboutAction;
            act = [&](QWidget* w) {
                expireOver(w);
                w->close();
                return 0;
            };
        }
        m_services.expectModal(objectName, act);
        if (opener) {
            QVERIFY(opener->isVisibleTo(&t));
            opener->click();
        } else {
            menuOpener->trigger();
        }
        QVERIFY(openAfterMessage);
        QCOMPARE(modeAfterMessage, int(ExamWindow::ModeExam));
        QVERIFY(itemAreaAfterMessage);
        QVERIFY2(m_services.done(), qPrintable(m_services.problems().join(QLatin1Char('\n'))));

        // Back on the exam window, the end asked for comes.
        m_services.expectMessage(gradingText(), platform::Ok);
        m_services.expectModal(QStringLiteral("scoreReport"), [&](QWidget* w) {
            static_cast<results::ScoreReport*>(w)->m_viewAnswersButton->click();
            return 1;
        });
        QCoreApplication::sendPostedEvents(&t, QEvent::MetaCall);
        QCOMPARE(t.mode(), ExamWindow::ModeReview);
        QCOMPARE(testing::view(t).m_itemCounterLabel->text(), QStringLiteral("Item 1 of 2"));
        QCOMPARE(testing::view(t).m_questionText->text(),
                 t.currentSet().asString(QStringLiteral("Q_TEXT")));
        QVERIFY(testing::view(t).m_itemArea->isVisibleTo(&t));

        if (window == QLatin1String("simulation")) {
            // Empty targets confirmed: answered, wrong, on its own item only.
            for (int k = 0; k < 2; ++k) {
                t.currentSet().setRecNo(k + 1);
                const bool sim =
                    t.currentSet().asInteger(QStringLiteral("Q_OR_NUMBER")) == openedOn;
                const store::ItemResponse& r = t.examSession().responses()[size_t(k)];
                QCOMPARE(r.Choice[4], sim);
                for (int c : {0, 1, 2, 3, 5})
                    QVERIFY(!r.Choice[size_t(c)]);
            }
        }
        if (window.startsWith(QLatin1String("note"))) {
            const QString expected =
                window == QLatin1String("note saved") ? QStringLiteral("typed in time") : QString();
            goToBankItem(t, openedOn);
            QCOMPARE(t.currentSet().asString(QStringLiteral("U_MEMO")), expected);
            t.closeCurrentExam();
            QCOMPARE(bankNote(openedOn), expected);
        }
    }

    // Escape or the close box on the expiry message continue the exam
    // untimed, over the exam window and over another window alike.
    void closingTheExpiryMessageContinues_data()
    {
        QTest::addColumn<bool>("overNote");
        QTest::newRow("over the exam window") << false;
        QTest::newRow("over the note window") << true;
    }
    void closingTheExpiryMessageContinues()
    {
        QFETCH(bool, overNote);
        auto owner = makeOwner();
        ExamWindow& t = *owner->examWindow();
        t.show();
        acceptName(1);
        testing::view(t).m_practiceExamActions[0]->trigger();
        m_services.expectMessage(expiryText(), platform::NoButton);
        if (overNote) {
            m_services.expectModal(QStringLiteral("noteWindow"), [&](QWidget*) {
                runOutOfTime();
                return 0;
            });
            testing::view(t).m_noteButton->click();
        } else {
            runOutOfTime();
        }
        QCoreApplication::sendPostedEvents(&t, QEvent::MetaCall);
        QCOMPARE(t.mode(), ExamWindow::ModeExam);
        QVERIFY(!testing::view(t).m_timeLabel->isVisibleTo(&t));
        QVERIFY(testing::view(t).m_itemArea->isVisibleTo(&t));
        QCOMPARE(testing::view(t).m_gradeButton->text(), QStringLiteral("Grade Now"));
        m_services.clock += 600.0 / 86400;
        m_services.lastTicker->fire(); // untimed now: nothing more is asked
    }
};

QTEST_MAIN(TestExamRoad)
#include "test_exam_road.moc"
