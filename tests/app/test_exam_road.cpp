// The whole road of an exam through the real windows and encrypted files:
// start, answer, mark, review, grade, view answers, the report again, exit;
// and a note that outlives the exam and the program.
#include "AppOwner.h"
#include "BoundControls.h"
#include "DataSource.h"
#include "ExamWindow.h"
#include "ItemsReview.h"
#include "NameDialog.h"
#include "NoteWindow.h"
#include "ProgramDir.h"
#include "ScoreReport.h"
#include "ScriptedServices.h"
#include "ShadowLabel.h"
#include "ShapeButton.h"
#include "StartWindow.h"
#include "Table.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
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
    void acceptName()
    {
        m_services.expectModal(QStringLiteral("nameDialog"), [](QWidget* w) {
            static_cast<session::NameDialog*>(w)->m_nameEdit->setText(QStringLiteral("Sam Lee"));
            return int(QDialog::Accepted);
        });
    }
    // Answers the current item with its key.
    static void answerCorrectly(ExamWindow& t)
    {
        store::Table& c = t.currentSet();
        const bool multiple = c.asBoolean(QStringLiteral("Q_TYPE"));
        for (int i = 0; i < 6; ++i) {
            const bool key = c.asBoolean(QStringLiteral("A%1").arg(i + 1));
            if (multiple)
                t.m_choiceBoxes[i]->setChecked(key);
            else if (key)
                t.m_choiceRadios[i]->setChecked(true);
        }
    }
    static void goToBankItem(ExamWindow& t, int id)
    {
        store::Table& c = t.currentSet();
        for (int k = 1; k <= t.itemCount; ++k) {
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
            t.m_practiceExamActions[0]->trigger(); // Practice Exam A: items 1 and 2
            answerCorrectly(t);                    // item 1 of the exam
            t.m_nextButton->click();
            t.m_markBox->setChecked(true); // item 2 marked, unanswered

            m_services.expectModal(QStringLiteral("itemsReview"), [&](QWidget* w) {
                auto* r = static_cast<results::ItemsReview*>(w);
                for (int i = 0; i < r->m_itemList->count(); ++i)
                    reviewTexts << r->m_itemList->item(i)->text();
                r->m_itemList->setCurrentRow(0);
                r->m_goToButton->click();
                return 1;
            });
            t.m_itemsReviewButton->click();

            m_services.expectMessage(
                QStringLiteral("This will end your practice exam.\rAre you sure to end this exam?"),
                platform::Ok);
            m_services.expectModal(QStringLiteral("scoreReport"), [&](QWidget* w) {
                auto* s = static_cast<results::ScoreReport*>(w);
                scoreLine = s->m_totalLabel->text();
                s->m_viewAnswersButton->click(); // View Answers
                return 1;
            });
            t.m_gradeButton->click();
            modeAfterView = t.mode;
            verdictOfItem1 = t.m_verdictLabel->text();

            m_services.expectModal(QStringLiteral("itemsReview"), [&](QWidget* w) {
                auto* r = static_cast<results::ItemsReview*>(w);
                for (int i = 0; i < r->m_itemList->count(); ++i)
                    resultTexts << r->m_itemList->item(i)->text();
                return 0;
            });
            t.m_itemsReviewButton->click();

            // In review the report comes back without a question, then Exit.
            m_services.expectModal(QStringLiteral("scoreReport"), [&](QWidget* w) {
                auto* s = static_cast<results::ScoreReport*>(w);
                scoreLineAgain = s->m_totalLabel->text();
                m_services.expectMessage(QStringLiteral("Are you sure you wish to end this exam?"),
                                         platform::Yes);
                s->m_exitExamButton->click();
                return 0;
            });
            t.m_gradeButton->click();
            modeAfterExit = t.mode;
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
            t.m_practiceExamActions[1]->trigger(); // Practice Exam B: items 3 and 4
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
            t.m_noteButton->click();
            QCOMPARE(itemLine, QStringLiteral("Practice Exam B,  Item ID: %1").arg(bankItem));
            m_services.expectMessage(QStringLiteral("Are you sure you wish to end this exam?"),
                                     platform::Yes);
            t.m_exitExamButton->click();
            // A later All Questions exam copies the note again.
            acceptName();
            t.m_allQuestionsAction->trigger();
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
        t.m_practiceExamActions[1]->trigger();
        goToBankItem(t, bankItem);
        QCOMPARE(t.currentSet().asString(QStringLiteral("U_MEMO")),
                 QStringLiteral("check the mask"));
    }
};

QTEST_MAIN(TestExamRoad)
#include "test_exam_road.moc"
