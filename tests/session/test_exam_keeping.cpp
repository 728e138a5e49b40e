// Keeping the running exam: its state survives the program through the real
// encrypted file and is offered once at the next start of the window; a
// state that no longer fits its items is refused; graded and exited exams
// are never offered.
#include "ExamWindowFixture.h"
#include "ExamWindowView.h"
#include "SavedExam.h"
#include "ShadowLabel.h"
#include "TableError.h"
#include "TimeCounter.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QRadioButton>

using session::ExamWindow;

namespace {

const QString kResumeQuestion =
    QStringLiteral("Do you want to resume the interrupted exam \"%1\"?\rItem %2 of %3, %4 left, "
                   "answered %5.\rNo discards it for good; Cancel keeps it for later.");
const QString kRefusal = QStringLiteral("The interrupted exam \"%1\" cannot be resumed: its items "
                                        "are no longer those of the question set.\rIt has been "
                                        "discarded.");

// The state as a separate run of the program would read it from the file.
std::optional<store::SavedExamState> readFromFile()
{
    store::Session s(QStringLiteral("Quizlark"));
    s.registerPassword(QString::fromLatin1(store::kTablePassword));
    store::SavedExamFile file(s);
    return file.read();
}

void editTable(const QString& file, const store::TableSchema& schema,
               const std::function<void(store::Table&)>& edit)
{
    store::Session s(QStringLiteral("Quizlark"));
    s.registerPassword(QString::fromLatin1(store::kTablePassword));
    store::Table t(s, file, schema);
    t.open();
    edit(t);
}

bool goToId(store::Table& t, qint64 id)
{
    for (t.first(); !t.eof(); t.next())
        if (t.asInteger(QStringLiteral("Q_ID")) == id)
            return true;
    return false;
}

} // namespace

class TestExamKeeping : public QObject {
    Q_OBJECT
    ExamWindowFixture f;

    void checkDone()
    {
        QVERIFY2(f.services.done(), qPrintable(f.services.problems().join(QLatin1Char('\n'))));
    }
    QAction* action(const QString& name) { return f.form->findChild<QAction*>(name); }
    void startExam(const QString& actionName, int count = 0)
    {
        if (actionName == QLatin1String("userExamAction"))
            ExamWindowFixture::addUserItems(4);
        f.answerNameDialog(true, 30, count, QStringLiteral("Pat Candidate"));
        action(actionName)->trigger();
        QCOMPARE(f.form->mode(), ExamWindow::ModeExam);
    }
    // Answers the current item as a user would, by its button.
    void choose(int row)
    {
        QRadioButton* radio = testing::view(*f.form).m_choiceRadios[row - 1];
        if (radio->isVisibleTo(testing::view(*f.form).m_itemContent))
            radio->click();
        else
            testing::view(*f.form).m_choiceBoxes[row - 1]->click();
    }
    void passSeconds(int seconds)
    {
        f.services.clock += seconds / 86400.0;
        auto* ticker = static_cast<testing::ScriptedTicker*>(f.form->keepTicker());
        for (int i = 0; i < seconds; ++i)
            ticker->fire();
    }
    // Two items answered, the second marked and current, 70 s used.
    void takeSomeOfTheExam()
    {
        choose(2);
        testing::view(*f.form).m_nextButton->click();
        choose(1);
        testing::view(*f.form).m_markBox->click();
        passSeconds(70);
    }
    // The program ends without a word, and starts again an hour later.
    void restart()
    {
        f.form.reset();
        f.services.clock += 1.0 / 24;
        f.create();
    }

private slots:
    void init() { f.setUp(); }
    void cleanup()
    {
        checkDone();
        f.tearDown();
    }

    void roundTripsEveryKindOfExam_data()
    {
        QTest::addColumn<QString>("actionName");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("title");
        QTest::newRow("practice exam") << "practiceExamC" << 0 << "Practice Exam C";
        QTest::newRow("All Questions") << "allQuestionsAction" << 0 << "All Questions";
        QTest::newRow("random exam") << "randomExamAction" << 5 << "Random Exam";
        QTest::newRow("user exam") << "userExamAction" << 0 << "User Exam";
    }
    void roundTripsEveryKindOfExam()
    {
        QFETCH(QString, actionName);
        QFETCH(int, count);
        QFETCH(QString, title);
        startExam(actionName, count);
        takeSomeOfTheExam();
        const store::Responses given = f.form->examSession().responses();
        const QList<int> items = f.examItems();
        const int n = items.size();

        // Already in the file, before anything else happens.
        const std::optional<store::SavedExamState> kept = readFromFile();
        QVERIFY(kept);
        QCOMPARE(kept->title, title);
        QCOMPARE(kept->currentItem, 2);
        QCOMPARE(qRound(kept->timeUsed * 86400), 70);
        QCOMPARE(int(kept->items.size()), n);
        for (int k = 0; k < n; ++k) {
            QCOMPARE(kept->items[size_t(k)].sourceId, qint64(items[k]));
            QCOMPARE(kept->items[size_t(k)].choice, given[size_t(k)].Choice);
            QCOMPARE(kept->items[size_t(k)].marked, given[size_t(k)].Marked);
        }

        restart();
        f.services.expectMessage(
            kResumeQuestion.arg(title).arg(2).arg(n).arg(QStringLiteral("0:28:50")).arg(2),
            platform::Yes);
        f.form->offerInterruptedExam();
        QCOMPARE(f.form->mode(), ExamWindow::ModeExam);
        QCOMPARE(f.form->examSession().title(), title);
        QCOMPARE(testing::view(*f.form).m_examTitleLabel->text(), title);
        QCOMPARE(f.form->examSession().candidate(), QStringLiteral("Pat Candidate"));
        QCOMPARE(f.form->examSession().itemCount(), n);
        QCOMPARE(f.examItems(), items);
        QCOMPARE(f.form->currentSet().recNo(), 2);
        QCOMPARE(testing::view(*f.form).m_itemCounterLabel->text(),
                 QStringLiteral("Item 2 of %1").arg(n));
        QCOMPARE(f.form->examSession().responses().size(), given.size());
        for (size_t k = 0; k < given.size(); ++k) {
            QCOMPARE(f.form->examSession().responses()[k].Choice, given[k].Choice);
            QCOMPARE(f.form->examSession().responses()[k].Marked, given[k].Marked);
            QCOMPARE(f.form->examSession().responses()[k].Correct, given[k].Correct);
            QCOMPARE(f.form->examSession().responses()[k].Section, given[k].Section);
        }
        // What the window shows of item 2: the choice and the mark.
        QVERIFY(testing::view(*f.form).m_markBox->isChecked());
        QVERIFY(testing::view(*f.form).m_choiceRadios[0]->isChecked() ||
                testing::view(*f.form).m_choiceBoxes[0]->isChecked());
        // The hour the program was not running does not count.
        QCOMPARE(testing::view(*f.form).m_timeLabel->text(), QStringLiteral("0:28:50"));
        QCOMPARE(testing::view(*f.form).m_noteButton->isHidden(),
                 actionName == QLatin1String("userExamAction"));

        // The resumed exam is kept as before.
        testing::view(*f.form).m_previousButton->click();
        testing::view(*f.form).m_markBox->click();
        QCOMPARE(readFromFile()->currentItem, 1);
        QVERIFY(readFromFile()->items[0].marked);
    }

    void stateThatNoLongerFitsIsRefused_data()
    {
        QTest::addColumn<QString>("actionName");
        QTest::addColumn<QString>("title");
        QTest::addColumn<std::function<void()>>("change");
        const auto bank = [](std::function<void(store::Table&)> edit) {
            return std::function<void()>(
                [edit] { editTable(QStringLiteral("tcpip.DAT"), store::bankSchema(), edit); });
        };
        // The bank's ids run without gaps: an item taken out moves every later
        // item down by one.
        QTest::newRow("bank rebuilt without an item")
            << "practiceExamC"
            << "Practice Exam C" << bank([](store::Table& t) {
                   const int fields = int(t.schema().size());
                   for (qint64 id = 6; id < 16; ++id) {
                       QVERIFY(goToId(t, id + 1));
                       QVariantList next;
                       for (int field = 1; field < fields; ++field)
                           next << t.valueAt(field);
                       QVERIFY(goToId(t, id));
                       t.edit();
                       for (int field = 1; field < fields; ++field)
                           t.setValueAt(field, next[field - 1]);
                       t.post();
                   }
                   QVERIFY(goToId(t, 16));
                   t.remove();
               });
        QTest::newRow("bank rebuilt with another item under the same id")
            << "practiceExamC"
            << "Practice Exam C" << bank([](store::Table& t) {
                   QVERIFY(goToId(t, 5));
                   t.edit();
                   t.setValue(QStringLiteral("Q_TEXT"), QStringLiteral("Another question"));
                   t.post();
               });
        QTest::newRow("bank item moved to another exam")
            << "practiceExamC"
            << "Practice Exam C" << bank([](store::Table& t) {
                   QVERIFY(goToId(t, 5));
                   t.edit();
                   t.setValue(QStringLiteral("Q_EXAM_N"), 4);
                   t.post();
               });
        QTest::newRow("answer key changed") << "allQuestionsAction"
                                            << "All Questions" << bank([](store::Table& t) {
                                                   QVERIFY(goToId(t, 5));
                                                   t.edit();
                                                   t.setValue(QStringLiteral("A1"), false);
                                                   t.setValue(QStringLiteral("A2"), true);
                                                   t.post();
                                               });
        QTest::newRow("current set replaced")
            << "practiceExamC"
            << "Practice Exam C" << std::function<void()>([] {
                   editTable(QStringLiteral("ces.DAT"), store::currentSetSchema(),
                             [](store::Table& t) {
                                 t.first();
                                 t.edit();
                                 t.setValue(QStringLiteral("Q1"), QStringLiteral("Other"));
                                 t.post();
                             });
               });
        QTest::newRow("user item deleted")
            << "userExamAction"
            << "User Exam" << std::function<void()>([] {
                   editTable(QStringLiteral("tcpipusr.DAT"), store::userSetSchema(),
                             [](store::Table& t) {
                                 QVERIFY(goToId(t, 2));
                                 t.remove();
                             });
               });
    }
    void stateThatNoLongerFitsIsRefused()
    {
        QFETCH(QString, actionName);
        QFETCH(QString, title);
        QFETCH(std::function<void()>, change);
        startExam(actionName);
        takeSomeOfTheExam();
        f.form.reset();
        change();
        f.create();
        f.services.expectMessage(kRefusal.arg(title), platform::Ok);
        f.form->offerInterruptedExam();
        QCOMPARE(f.form->mode(), ExamWindow::ModeIdle);
        QVERIFY(testing::view(*f.form).m_startPanel->isVisible());
        QVERIFY(!f.form->currentSet().isOpen());
        // Discarded for good.
        QVERIFY(!readFromFile());
        f.form->offerInterruptedExam();
        QCOMPARE(f.services.shownMessages.size(), 1);
    }

    void onlyAnExamThatWasNeitherGradedNorExitedIsOffered_data()
    {
        QTest::addColumn<std::function<void(ExamWindowFixture&)>>("end");
        QTest::addColumn<bool>("offered");
        using End = std::function<void(ExamWindowFixture&)>;
        QTest::newRow("graded") << End([](ExamWindowFixture& f) {
            f.services.expectMessage(
                QStringLiteral("This will end your practice exam.\rAre you sure to end this "
                               "exam?"),
                platform::Ok);
            testing::view(*f.form).m_gradeButton->click();
            // Review mode and the window's close after grading keep nothing.
            f.form->viewAnswers();
            testing::view(*f.form).m_nextButton->click();
            f.form->close();
        }) << false;
        QTest::newRow("Exit Exam") << End([](ExamWindowFixture& f) {
            f.services.expectMessage(QStringLiteral("Are you sure you wish to end this exam?"),
                                     platform::Yes);
            testing::view(*f.form).m_exitExamButton->click();
        }) << false;
        QTest::newRow("Exit Exam answered No") << End([](ExamWindowFixture& f) {
            f.services.expectMessage(QStringLiteral("Are you sure you wish to end this exam?"),
                                     platform::No);
            testing::view(*f.form).m_exitExamButton->click();
        }) << true;
        QTest::newRow("time expired, graded") << End([](ExamWindowFixture& f) {
            f.services.expectMessage(
                QStringLiteral("Your time has expired.\rDo you want continue the exam anyway?"),
                platform::No);
            f.services.expectMessage(
                QStringLiteral("This will end your practice exam.\rAre you sure to end this "
                               "exam?"),
                platform::Ok);
            f.services.clock += 1.0 / 24;
            static_cast<testing::ScriptedTicker*>(f.services.lastTicker)->fire();
        }) << false;
        // Closing the window, once its warning is confirmed, ends the exam as
        // Exit Exam does: nothing of it is offered again.
        QTest::newRow("window closed over the exam") << End([](ExamWindowFixture& f) {
            f.services.expectMessage(QStringLiteral("This exam is not completed.\rAre you shure ?"),
                                     platform::Ok);
            f.form->close();
        }) << false;
    }
    void onlyAnExamThatWasNeitherGradedNorExitedIsOffered()
    {
        QFETCH(std::function<void(ExamWindowFixture&)>, end);
        QFETCH(bool, offered);
        startExam(QStringLiteral("practiceExamA"));
        takeSomeOfTheExam();
        end(f);
        checkDone();
        restart();
        if (offered)
            f.services.expectMessage(kResumeQuestion.arg(QStringLiteral("Practice Exam A"))
                                         .arg(2)
                                         .arg(2)
                                         .arg(QStringLiteral("0:28:50"))
                                         .arg(2),
                                     platform::Yes);
        f.form->offerInterruptedExam();
        QCOMPARE(f.form->mode(), offered ? ExamWindow::ModeExam : ExamWindow::ModeIdle);
        QCOMPARE(bool(readFromFile()), offered);
    }

    void anOfferPutAsideIsMadeAgain()
    {
        startExam(QStringLiteral("practiceExamA"));
        takeSomeOfTheExam();
        restart();
        const QString question = kResumeQuestion.arg(QStringLiteral("Practice Exam A"))
                                     .arg(2)
                                     .arg(2)
                                     .arg(QStringLiteral("0:28:50"))
                                     .arg(2);
        // Escape and the close box answer Cancel.
        f.services.expectMessage(question, platform::Cancel);
        f.form->offerInterruptedExam();
        QCOMPARE(f.form->mode(), ExamWindow::ModeIdle);
        QVERIFY(readFromFile());
        restart();
        f.services.expectMessage(question, platform::Yes);
        f.form->offerInterruptedExam();
        QCOMPARE(f.form->mode(), ExamWindow::ModeExam);
        QCOMPARE(f.form->currentSet().recNo(), 2);
    }

    void declinedOfferIsDiscardedForGood()
    {
        startExam(QStringLiteral("randomExamAction"), 3);
        takeSomeOfTheExam();
        restart();
        f.services.expectMessage(kResumeQuestion.arg(QStringLiteral("Random Exam"))
                                     .arg(2)
                                     .arg(3)
                                     .arg(QStringLiteral("0:28:50"))
                                     .arg(2),
                                 platform::No);
        f.form->offerInterruptedExam();
        QCOMPARE(f.form->mode(), ExamWindow::ModeIdle);
        QVERIFY(!f.form->currentSet().isOpen());
        restart();
        f.form->offerInterruptedExam();
        QCOMPARE(f.services.shownMessages.size(), 0);
    }

    void unreadableStateIsDiscardedWithAWarning()
    {
        startExam(QStringLiteral("practiceExamB"));
        takeSomeOfTheExam();
        f.form.reset();
        QFile file(QString::fromLatin1(store::kSavedExamFile));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QByteArray(4096, 'x'));
        file.close();
        f.create();
        f.form->offerInterruptedExam();
        QCOMPARE(f.services.shownKinds, QList<platform::MsgKind>{platform::MsgKind::Warning});
        QVERIFY(f.services.shownMessages.value(0).startsWith(
            QStringLiteral("The interrupted exam could not be read and has been discarded.\r")));
        QCOMPARE(f.form->mode(), ExamWindow::ModeIdle);
        QVERIFY(!readFromFile());
        // The unscripted warning is not a fault here.
        f.services.reset();
    }

    void filesArePrivateToTheUser()
    {
        startExam(QStringLiteral("practiceExamD"));
        testing::view(*f.form).m_nextButton->click();
        // The file and the log the engine keeps beside it.
        const QString file = QString::fromLatin1(store::kSavedExamFile);
        QVERIFY(QFile::exists(file + QStringLiteral("-wal")));
        for (const QString& name :
             {file, file + QStringLiteral("-wal"), file + QStringLiteral("-shm")}) {
            if (!QFile::exists(name))
                continue;
            const QFile::Permissions p = QFile::permissions(name);
            QVERIFY2(p.testFlags(QFile::ReadOwner | QFile::WriteOwner), qPrintable(name));
            QVERIFY2(!(p & (QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                            QFile::ReadOther | QFile::WriteOther | QFile::ExeOther)),
                     qPrintable(name));
        }
    }

    // Cancel keeps the exam for later: a new exam asks before it replaces
    // it, and No leaves it to be offered again.
    void anExamKeptForLaterIsNotReplacedWithoutAsking()
    {
        startExam(QStringLiteral("practiceExamA"));
        takeSomeOfTheExam();
        restart();
        f.services.expectMessage(kResumeQuestion.arg(QStringLiteral("Practice Exam A"))
                                     .arg(2)
                                     .arg(2)
                                     .arg(QStringLiteral("0:28:50"))
                                     .arg(2),
                                 platform::Cancel);
        f.form->offerInterruptedExam();
        const QString replaceQuestion =
            QStringLiteral("The interrupted exam \"Practice Exam A\" is kept for later.\rA new "
                           "exam replaces it for good. Start the new exam?");
        f.services.expectMessage(replaceQuestion, platform::No);
        action(QStringLiteral("practiceExamB"))->trigger();
        QCOMPARE(f.form->mode(), ExamWindow::ModeIdle);
        const std::optional<store::SavedExamState> kept = readFromFile();
        QVERIFY(kept);
        QCOMPARE(kept->title, QStringLiteral("Practice Exam A"));

        f.services.expectMessage(replaceQuestion, platform::Yes);
        startExam(QStringLiteral("practiceExamB"));
        QCOMPARE(readFromFile()->title, QStringLiteral("Practice Exam B"));
    }

    // The time ran out and the candidate went on: a resumed exam goes on
    // untimed, with no countdown and no second expiry question.
    void anExamThatRanOutStaysUntimedWhenResumed()
    {
        f.answerNameDialog(true, 1, 0, QStringLiteral("Pat Candidate"));
        action(QStringLiteral("practiceExamA"))->trigger();
        auto* countdown = f.services.lastTicker;
        f.services.expectMessage(
            QStringLiteral("Your time has expired.\rDo you want continue the exam anyway?"),
            platform::Ok);
        for (int i = 0; i < 61; ++i) {
            f.services.clock += 1 / 86400.0;
            countdown->fire();
        }
        QVERIFY(!testing::view(*f.form).m_timeLabel->isVisibleTo(f.form.get()));
        choose(1);
        restart();
        f.services.expectMessage(kResumeQuestion.arg(QStringLiteral("Practice Exam A"))
                                     .arg(1)
                                     .arg(2)
                                     .arg(QStringLiteral("0:00:00"))
                                     .arg(1),
                                 platform::Yes);
        f.form->offerInterruptedExam();
        QCOMPARE(f.form->mode(), ExamWindow::ModeExam);
        QVERIFY(!testing::view(*f.form).m_timeLabel->isVisibleTo(f.form.get()));
        QVERIFY(f.form->examSession().untimed());
        for (int i = 0; i < 120; ++i) {
            f.services.clock += 1 / 86400.0;
            f.services.lastTicker->fire();
        }
        // No question came: checkDone fails on any unscripted message.
    }

    // Only damage throws a kept exam away: one that cannot be read for
    // another reason (here: no file can be opened at its place) stays, and
    // a new exam asks before it replaces it.
    void aKeptExamThatCannotBeReadNowIsKept()
    {
        QVERIFY(QDir().mkdir(QString::fromLatin1(store::kSavedExamFile)));
        QString why;
        try {
            readFromFile();
        } catch (const platform::TableError& e) {
            QVERIFY(e.code() != platform::TableError::Corrupt);
            why = e.text();
        }
        QVERIFY(!why.isEmpty());
        f.services.expectMessage(QStringLiteral("The interrupted exam could not be read now; it is "
                                                "kept and offered again at the next Start "
                                                "Testing.\r") +
                                     why,
                                 platform::Ok);
        f.form->offerInterruptedExam();
        QVERIFY(QFileInfo(QString::fromLatin1(store::kSavedExamFile)).isDir());
        f.services.expectMessage(QStringLiteral("An interrupted exam is kept for later.\rA new "
                                                "exam replaces it for good. Start the new exam?"),
                                 platform::No);
        testing::view(*f.form).m_practiceExamActions[0]->trigger();
        QCOMPARE(f.form->mode(), ExamWindow::ModeIdle);
        QVERIFY(QFileInfo(QString::fromLatin1(store::kSavedExamFile)).isDir());
    }
};

QTEST_MAIN(TestExamKeeping)
#include "test_exam_keeping.moc"
