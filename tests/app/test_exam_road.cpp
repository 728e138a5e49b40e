// The whole road of an exam through the real windows and encrypted files:
// start, answer, mark, review, grade, view answers, the report again, exit;
// and a note that outlives the exam and the program.
#include "AppOwner.h"
#include "ProgramDir.h"
#include "ScriptedServices.h"
#include "BoundControls.h"
#include "DataSource.h"
#include "ShadowLabel.h"
#include "ShapeButton.h"
#include "TMainForm.h"
#include "TNameForm.h"
#include "TNoteForm.h"
#include "TReviewForm.h"
#include "TScoreForm.h"
#include "TTestForm.h"
#include "Table.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

using session::TTestForm;

class TestExamRoad : public QObject {
    Q_OBJECT
    std::unique_ptr<testing::ProgramDir> m_dir;
    testing::ScriptedServices m_services;

    std::unique_ptr<app::AppOwner> makeOwner()
    {
        auto owner = std::make_unique<app::AppOwner>(m_services, m_dir->path());
        owner->TestForm()->setSeedSource([] { return 5; });
        return owner;
    }
    void acceptName()
    {
        m_services.expectModal(QStringLiteral("NameForm"), [](QWidget* w) {
            static_cast<session::TNameForm*>(w)->NameEdit->setText(QStringLiteral("Sam Lee"));
            return int(QDialog::Accepted);
        });
    }
    // Answers the current item with its key.
    static void answerCorrectly(TTestForm& t)
    {
        store::Table& c = t.dtCurrentSet();
        const bool multiple = c.asBoolean(QStringLiteral("Q_TYPE"));
        for (int i = 0; i < 6; ++i) {
            const bool key = c.asBoolean(QStringLiteral("A%1").arg(i + 1));
            if (multiple)
                t.CheckBox[i]->setChecked(key);
            else if (key)
                t.RadioButton[i]->setChecked(true);
        }
    }
    static void goToBankItem(TTestForm& t, int id)
    {
        store::Table& c = t.dtCurrentSet();
        for (int k = 1; k <= t.ItemCount; ++k) {
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
        owner->MainForm()->show();
        TTestForm& t = *owner->TestForm();
        QStringList reviewTexts, resultTexts;
        QString scoreLine, scoreLineAgain;
        int modeAfterView = -1, modeAfterExit = -1;
        QString verdictOfItem1;
        m_services.expectModal(QStringLiteral("TestForm"), [&](QWidget*) {
            acceptName();
            t.ExamAction[0]->trigger(); // Practice Exam A: items 1 and 2
            answerCorrectly(t);         // item 1 of the exam
            t.NextButton->click();
            t.MarkBox->setChecked(true); // item 2 marked, unanswered

            m_services.expectModal(QStringLiteral("ReviewForm"), [&](QWidget* w) {
                auto* r = static_cast<results::TReviewForm*>(w);
                for (int i = 0; i < r->ListView1->count(); ++i)
                    reviewTexts << r->ListView1->item(i)->text();
                r->ListView1->setCurrentRow(0);
                r->BitBtn2->click();
                return 1;
            });
            t.Button1->click();

            m_services.expectMessage(
                QStringLiteral("This will end your practice exam.\rAre you sure to end this exam?"),
                platform::Ok);
            m_services.expectModal(QStringLiteral("ScoreForm"), [&](QWidget* w) {
                auto* s = static_cast<results::TScoreForm*>(w);
                scoreLine = s->TotalLabel->text();
                s->BitBtn1->click(); // View Answers
                return 1;
            });
            t.GradeButton->click();
            modeAfterView = t.Mode;
            verdictOfItem1 = t.CorrectLabel->text();

            m_services.expectModal(QStringLiteral("ReviewForm"), [&](QWidget* w) {
                auto* r = static_cast<results::TReviewForm*>(w);
                for (int i = 0; i < r->ListView1->count(); ++i)
                    resultTexts << r->ListView1->item(i)->text();
                return 0;
            });
            t.Button1->click();

            // In review the report comes back without a question, then Exit.
            m_services.expectModal(QStringLiteral("ScoreForm"), [&](QWidget* w) {
                auto* s = static_cast<results::TScoreForm*>(w);
                scoreLineAgain = s->TotalLabel->text();
                m_services.expectMessage(
                    QStringLiteral("Are you sure you wish to end this exam?"), platform::Yes);
                s->BitBtn3->click();
                return 0;
            });
            t.GradeButton->click();
            modeAfterExit = t.Mode;
            t.close();
            return 0;
        });
        owner->MainForm()->StartTestBtn->click();

        QCOMPARE(reviewTexts.size(), 2);
        QCOMPARE(scoreLine, QStringLiteral("Passing Score: 850   Your Score: 500   Grade: Fail"));
        QCOMPARE(modeAfterView, int(TTestForm::ModeReview));
        QCOMPARE(verdictOfItem1, QStringLiteral("Correct"));
        QCOMPARE(resultTexts.size(), 2);
        QCOMPARE(scoreLineAgain, scoreLine);
        QCOMPARE(modeAfterExit, int(TTestForm::ModeIdle));
        QVERIFY(owner->MainForm()->isVisible());
        QVERIFY(!t.isVisible());
    }

    void noteOutlivesTheExamAndTheProgram()
    {
        int bankItem = 0;
        {
            auto owner = makeOwner();
            TTestForm& t = *owner->TestForm();
            t.show();
            acceptName();
            t.ExamAction[1]->trigger(); // Practice Exam B: items 3 and 4
            bankItem = int(t.dtCurrentSet().asInteger(QStringLiteral("Q_OR_NUMBER")));
            QString itemLine;
            m_services.expectModal(QStringLiteral("NoteForm"), [&](QWidget* w) {
                auto* n = static_cast<results::TNoteForm*>(w);
                itemLine = n->Label2->text();
                n->DBMemo1->moveCursor(QTextCursor::End);
                QTest::keyClicks(n->DBMemo1, QStringLiteral("check the mask"));
                n->Button1->click(); // Save Note
                n->Button3->click(); // Exit
                return 0;
            });
            t.NoteButton->click();
            QCOMPARE(itemLine,
                     QStringLiteral("Practice Exam B,  Item ID: %1").arg(bankItem));
            m_services.expectMessage(QStringLiteral("Are you sure you wish to end this exam?"),
                                     platform::Yes);
            t.Button3->click();
            // A later All Questions exam copies the note again.
            acceptName();
            t.AllQAct->trigger();
            goToBankItem(t, bankItem);
            QCOMPARE(t.dtCurrentSet().asString(QStringLiteral("U_MEMO")),
                     QStringLiteral("check the mask"));
            t.CloseCurrentExam();
        }
        // A new run of the program finds it in the bank file.
        auto owner = makeOwner();
        TTestForm& t = *owner->TestForm();
        t.show();
        acceptName();
        t.ExamAction[1]->trigger();
        goToBankItem(t, bankItem);
        QCOMPARE(t.dtCurrentSet().asString(QStringLiteral("U_MEMO")),
                 QStringLiteral("check the mask"));
    }
};

QTEST_MAIN(TestExamRoad)
#include "test_exam_road.moc"
