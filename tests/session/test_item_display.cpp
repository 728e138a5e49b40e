// Showing and answering items: the layout rules, response capture, the
// countdown and Learn Now.
#include "BankCompiler.h"
#include "ExamWindowFixture.h"
#include "ExamWindowView.h"
#include "Exhibit1Window.h"
#include "Exhibit2Window.h"
#include "ShadowLabel.h"
#include "TimeCounter.h"

#include <QApplication>
#include <QCheckBox>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>

using session::ExamWindow;

namespace {

const QString kLong = QStringLiteral(
    "A long choice text that has to wrap over more than one line at any usual window width, "
    "because it goes on and on about routers, subnet masks, default gateways and name "
    "resolution until the label is several lines high.");

bank::SourceItem item(int id, bool multiple, QStringList choices, const QString& key)
{
    bank::SourceItem it;
    it.id = id;
    it.exam = 1;
    it.section = 2;
    it.multiple = multiple;
    it.text = QStringLiteral("Question %1: which is right?").arg(id);
    it.explanation = QStringLiteral("Explanation of item %1.").arg(id);
    for (int i = 0; i < choices.size(); ++i)
        it.choices[size_t(i)] = choices[i];
    for (QChar c : key)
        it.key[size_t(c.unicode() - u'a')] = true;
    return it;
}

// The shapes of item the layout has rules for, as bank items 1..7.
QVector<bank::SourceItem> shapes()
{
    QVector<bank::SourceItem> v;
    v << item(1, false, {"one", "two", "", "four"}, "d"); // Q3 empty, Q4 set
    v << item(2, false, {"only"}, "a");                   // only Q1
    auto none = item(3, false, {}, "f");                  // no choices
    none.sim = QStringLiteral("SIM1");
    none.pict1 = QStringLiteral("fixture1.svg"); // PICT1 with Q_SIM
    v << none;
    v << item(4, true, {"a", "b", "c", "d", "e"}, "ac");                  // multiple, key a and c
    v << item(5, false, {kLong, kLong, kLong, kLong, kLong, kLong}, "b"); // six long choices
    auto two = item(6, false, {"x", "y", "z", "w"}, "b");
    two.pict2 = QStringLiteral("fixture2.svg"); // PICT2 only
    v << two;
    v << item(7, true, {"p", "q", "r", "s", "t", "u"}, "acef");
    return v;
}

} // namespace

class TestItemDisplay : public QObject {
    Q_OBJECT
    ExamWindowFixture f;

    void start(bool timerOn = true, int minutes = 90)
    {
        f.setOptions([&](options::OptionValues& v) { v.timerOn = timerOn; });
        f.answerNameDialog(true, minutes);
        testing::view(*f.form).m_practiceExamActions[0]->trigger();
        QCOMPARE(f.form->mode(), ExamWindow::ModeExam);
    }
    const store::ItemResponse& response()
    {
        return f.form->examSession().responses()[size_t(f.form->currentSet().recNo() - 1)];
    }
    void enterReview()
    {
        f.form->examSession().grade();
        f.form->viewAnswers();
    }
    // Checks every stacking rule against the current item.
    void checkLayout()
    {
        ExamWindow& w = *f.form;
        QCOMPARE(testing::view(w).m_questionText->y(), 8);
        QCOMPARE(testing::view(w).m_questionPanel->height(),
                 testing::view(w).m_questionText->height() + 16);
        QCOMPARE(testing::view(w).m_questionText->height(),
                 qMax(testing::view(w).m_questionText->heightForWidth(
                          testing::view(w).m_questionText->width()),
                      testing::view(w).m_questionText->fontMetrics().height()));
        const int rowTop = testing::view(w).m_questionPanel->height() + 2;
        QCOMPARE(testing::view(w).m_exhibit1Button->y(), rowTop);
        QCOMPARE(testing::view(w).m_exhibit2Button->y(), rowTop);
        QCOMPARE(testing::view(w).m_simulationButton->y(), rowTop);
        QCOMPARE(testing::view(w).m_calculatorButton->y(), rowTop);
        QCOMPARE(testing::view(w).m_exhibit1Button->x(), 1);
        QCOMPARE(testing::view(w).m_exhibit2Button->x(), 96);
        QCOMPARE(testing::view(w).m_simulationButton->x(), 1);
        QCOMPARE(testing::view(w).m_choiceLabels[0]->y(), rowTop + 25 + 15);
        for (int i = 0; i < 6; ++i) {
            QCOMPARE(testing::view(w).m_choiceLabels[i]->x(), 80);
            QCOMPARE(testing::view(w).m_choiceLabels[i]->width(),
                     testing::view(w).m_itemArea->width() - 110);
            if (i > 0)
                QCOMPARE(testing::view(w).m_choiceLabels[i]->y(),
                         testing::view(w).m_choiceLabels[i - 1]->y() +
                             testing::view(w).m_choiceLabels[i - 1]->height() + 15);
        }
        const bool multiple = w.currentSet().asBoolean(QStringLiteral("Q_TYPE"));
        for (int i = 0; i < 6; ++i) {
            QAbstractButton* b =
                multiple ? static_cast<QAbstractButton*>(testing::view(w).m_choiceBoxes[i])
                         : static_cast<QAbstractButton*>(testing::view(w).m_choiceRadios[i]);
            QCOMPARE(b->y(), testing::view(w).m_choiceLabels[i]->y());
            QCOMPARE(b->x(), 40);
        }
        int anchor = 5;
        for (int i = 2; i < 6; ++i)
            if (!testing::view(w).m_choiceLabels[i]->isVisibleTo(testing::view(w).m_itemContent)) {
                anchor = i - 1;
                break;
            }
        QCOMPARE(testing::view(w).m_explanationText->x(), 8);
        QCOMPARE(testing::view(w).m_explanationText->width(),
                 testing::view(w).m_itemArea->width() - 38);
        QCOMPARE(testing::view(w).m_explanationText->y(),
                 testing::view(w).m_choiceLabels[anchor]->y() +
                     testing::view(w).m_choiceLabels[anchor]->height() + 40);
        QCOMPARE(testing::view(w).m_itemArea->verticalScrollBar()->value(), 0);
    }

private slots:
    void init()
    {
        f.dir = std::make_unique<testing::ProgramDir>();
        bank::writeBank(shapes(), QStringLiteral("tcpip.DAT"));
        f.create();
    }
    void cleanup()
    {
        QVERIFY2(f.services.done(), qPrintable(f.services.problems().join(QLatin1Char('\n'))));
        f.tearDown();
    }

    void layoutFollowsTheItemShape_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QList<bool>>("rows");
        QTest::addColumn<QList<bool>>(
            "buttons");                  // m_exhibit1Button, m_exhibit2Button, m_simulationButton
        QTest::addColumn<int>("anchor"); // 1-based label the explanation hangs from
        QTest::newRow("Q3 empty, Q4 set")
            << 1 << QList<bool>{1, 1, 0, 1, 0, 0} << QList<bool>{0, 0, 0} << 2;
        QTest::newRow("only Q1") << 2 << QList<bool>{1, 0, 0, 0, 0, 0} << QList<bool>{0, 0, 0} << 2;
        QTest::newRow("no choices, PICT1 with Q_SIM")
            << 3 << QList<bool>{0, 0, 0, 0, 0, 0} << QList<bool>{1, 0, 1} << 2;
        QTest::newRow("five choices")
            << 4 << QList<bool>{1, 1, 1, 1, 1, 0} << QList<bool>{0, 0, 0} << 5;
        QTest::newRow("six long choices")
            << 5 << QList<bool>{1, 1, 1, 1, 1, 1} << QList<bool>{0, 0, 0} << 6;
        QTest::newRow("PICT2 only")
            << 6 << QList<bool>{1, 1, 1, 1, 0, 0} << QList<bool>{0, 1, 0} << 4;
    }
    void layoutFollowsTheItemShape()
    {
        QFETCH(int, id);
        QFETCH(QList<bool>, rows);
        QFETCH(QList<bool>, buttons);
        QFETCH(int, anchor);
        start();
        f.goToBankItem(id);
        ExamWindow& w = *f.form;
        const bool multiple = w.currentSet().asBoolean(QStringLiteral("Q_TYPE"));
        for (int i = 0; i < 6; ++i) {
            QCOMPARE(
                testing::view(w).m_choiceLabels[i]->isVisibleTo(testing::view(w).m_itemContent),
                rows[i]);
            QCOMPARE(
                testing::view(w).m_choiceRadios[i]->isVisibleTo(testing::view(w).m_itemContent),
                rows[i] && !multiple);
            QCOMPARE(testing::view(w).m_choiceBoxes[i]->isVisibleTo(testing::view(w).m_itemContent),
                     rows[i] && multiple);
        }
        QCOMPARE(testing::view(w).m_exhibit1Button->isVisibleTo(testing::view(w).m_itemContent),
                 buttons[0]);
        QCOMPARE(testing::view(w).m_exhibit2Button->isVisibleTo(testing::view(w).m_itemContent),
                 buttons[1]);
        QCOMPARE(testing::view(w).m_simulationButton->isVisibleTo(testing::view(w).m_itemContent),
                 buttons[2]);
        checkLayout();
        QCOMPARE(testing::view(w).m_explanationText->y(),
                 testing::view(w).m_choiceLabels[anchor - 1]->y() +
                     testing::view(w).m_choiceLabels[anchor - 1]->height() + 40);
        QCOMPARE(testing::view(w).m_itemIdLabel->text(), QStringLiteral("Item ID: %1").arg(id));
        QVERIFY(!testing::view(w).m_explanationText->isVisibleTo(testing::view(w).m_itemContent));
    }

    void hiddenRowsKeepTheirLastTextAndOtherButtonsStayPut()
    {
        start();
        f.goToBankItem(7); // multiple response, six short choices
        ExamWindow& w = *f.form;
        testing::view(w).m_choiceBoxes[4]->setChecked(true);
        const QPoint checkPos = testing::view(w).m_choiceBoxes[4]->pos();
        f.goToBankItem(5); // single response, six long choices
        const int longHeight = testing::view(w).m_choiceLabels[2]->height();
        QVERIFY(longHeight > w.fontMetrics().height());
        f.goToBankItem(2); // only Q1: rows b..f hidden but keep the long text's height
        QCOMPARE(testing::view(w).m_choiceLabels[2]->text(), kLong);
        QCOMPARE(testing::view(w).m_choiceLabels[2]->height(), longHeight);
        checkLayout();
        // The check boxes of the earlier item kept their state and place.
        QVERIFY(testing::view(w).m_choiceBoxes[4]->isChecked());
        QCOMPARE(testing::view(w).m_choiceBoxes[4]->pos(), checkPos);
    }

    void resizeRewrapsAndKeepsTheTop_data()
    {
        QTest::addColumn<int>("width");
        QTest::newRow("wide") << 1280;
        QTest::newRow("minimum") << 732;
    }
    void resizeRewrapsAndKeepsTheTop()
    {
        QFETCH(int, width);
        start();
        f.goToBankItem(5);
        f.form->setWindowState(Qt::WindowNoState);
        f.form->resize(width, 600);
        checkLayout();
        QCOMPARE(testing::view(*f.form).m_choiceLabels[0]->width(),
                 testing::view(*f.form).m_itemArea->width() - 110);
    }

    void singleResponseStoresAllSixFlags()
    {
        start();
        f.goToBankItem(6); // key b
        ExamWindow& w = *f.form;
        testing::view(w).m_choiceRadios[0]->setChecked(true);
        QCOMPARE(response().Choice, (std::array<bool, 6>{true, false, false, false, false, false}));
        QVERIFY(!response().Correct);
        testing::view(w).m_choiceRadios[1]->setChecked(true);
        QCOMPARE(response().Choice, (std::array<bool, 6>{false, true, false, false, false, false}));
        QVERIFY(response().Correct);
        // Clicking the text of choice c selects it; clicking again keeps it.
        QTest::mouseClick(testing::view(w).m_choiceLabels[2], Qt::LeftButton);
        QVERIFY(testing::view(w).m_choiceRadios[2]->isChecked());
        QTest::mouseClick(testing::view(w).m_choiceLabels[2], Qt::LeftButton);
        QVERIFY(testing::view(w).m_choiceRadios[2]->isChecked());
        QCOMPARE(response().Choice, (std::array<bool, 6>{false, false, true, false, false, false}));
        QVERIFY(!response().Correct);
    }

    void multipleResponseFollowsEveryTick()
    {
        start();
        f.goToBankItem(4); // key a and c
        ExamWindow& w = *f.form;
        testing::view(w).m_choiceBoxes[0]->setChecked(true);
        QVERIFY(!response().Correct);
        QTest::mouseClick(testing::view(w).m_choiceLabels[2], Qt::LeftButton); // text of c ticks c
        QVERIFY(testing::view(w).m_choiceBoxes[2]->isChecked());
        QVERIFY(response().Correct);
        testing::view(w).m_choiceBoxes[3]->setChecked(true);
        QVERIFY(!response().Correct);
        QTest::mouseClick(testing::view(w).m_choiceLabels[3], Qt::LeftButton); // and unticks d
        QVERIFY(!testing::view(w).m_choiceBoxes[3]->isChecked());
        QVERIFY(response().Correct);
        // Marking changes nothing of correctness.
        testing::view(w).m_markBox->setChecked(true);
        QVERIFY(response().Marked);
        QVERIFY(response().Correct);
        testing::view(w).m_markBox->setChecked(false);
        QVERIFY(!response().Marked);
        QVERIFY(response().Correct);
    }

    void movingAwayAndBackRestoresTheResponse()
    {
        start();
        f.goToBankItem(4);
        testing::view(*f.form).m_choiceBoxes[1]->setChecked(true);
        testing::view(*f.form).m_markBox->setChecked(true);
        f.goToBankItem(6);
        QVERIFY(!testing::view(*f.form).m_markBox->isChecked());
        QVERIFY(!testing::view(*f.form).m_choiceRadios[1]->isChecked());
        testing::view(*f.form).m_choiceRadios[3]->setChecked(true);
        f.goToBankItem(4);
        QVERIFY(testing::view(*f.form).m_choiceBoxes[1]->isChecked());
        QVERIFY(!testing::view(*f.form).m_choiceBoxes[0]->isChecked());
        QVERIFY(testing::view(*f.form).m_markBox->isChecked());
        QCOMPARE(response().Choice, (std::array<bool, 6>{false, true, false, false, false, false}));
        f.goToBankItem(6);
        QVERIFY(testing::view(*f.form).m_choiceRadios[3]->isChecked());
        // An unanswered single-response item shows no selection.
        f.goToBankItem(1);
        for (QRadioButton* b : testing::view(*f.form).m_choiceRadios)
            QVERIFY(!b->isChecked());
        QCOMPARE(response().Choice, (std::array<bool, 6>{}));
        QVERIFY(!response().Correct);
    }

    void reviewModeRevertsEveryClick()
    {
        start();
        f.goToBankItem(4);
        testing::view(*f.form).m_choiceBoxes[0]->setChecked(true);
        f.goToBankItem(6);
        testing::view(*f.form).m_choiceRadios[1]->setChecked(true);
        f.goToBankItem(1); // left unanswered
        enterReview();
        ExamWindow& w = *f.form;
        f.goToBankItem(4);
        const store::ItemResponse before4 = response();
        testing::view(w).m_choiceBoxes[0]->setChecked(false);
        testing::view(w).m_choiceBoxes[2]->setChecked(true);
        QTest::mouseClick(testing::view(w).m_choiceLabels[3], Qt::LeftButton);
        QVERIFY(testing::view(w).m_choiceBoxes[0]->isChecked());
        QVERIFY(!testing::view(w).m_choiceBoxes[2]->isChecked() &&
                !testing::view(w).m_choiceBoxes[3]->isChecked());
        QCOMPARE(response().Choice, before4.Choice);
        QCOMPARE(response().Correct, before4.Correct);
        f.goToBankItem(6);
        testing::view(w).m_choiceRadios[3]->setChecked(true);
        QVERIFY(testing::view(w).m_choiceRadios[1]->isChecked());
        QVERIFY(!testing::view(w).m_choiceRadios[3]->isChecked());
        QVERIFY(response().Correct);
        f.goToBankItem(1);
        QTest::mouseClick(testing::view(w).m_choiceLabels[0], Qt::LeftButton);
        for (QRadioButton* b : testing::view(w).m_choiceRadios)
            QVERIFY(!b->isChecked());
        QCOMPARE(response().Choice, (std::array<bool, 6>{}));
        // The verdict and the key are shown in review.
        QCOMPARE(testing::view(w).m_verdictLabel->text(), QStringLiteral("Incorrect"));
        QCOMPARE(testing::view(w).m_verdictLabel->textColour(), QColor(255, 0, 0));
        QVERIFY(testing::view(w).m_explanationText->isVisibleTo(testing::view(w).m_itemContent));
        QCOMPARE(testing::view(w).m_explanationText->text(),
                 QStringLiteral("Explanation of item 1."));
        QCOMPARE(testing::view(w).m_choiceLabels[3]->palette().color(QPalette::Window),
                 QColor(0, 255, 255));
        QCOMPARE(testing::view(w).m_choiceLabels[0]->palette().color(QPalette::Window),
                 QColor(Qt::white));
        f.goToBankItem(6);
        QCOMPARE(testing::view(w).m_verdictLabel->text(), QStringLiteral("Correct"));
        QCOMPARE(testing::view(w).m_verdictLabel->textColour(), QColor(0, 0, 255));
    }

    void learnNowRevealsUntilTheNextItem()
    {
        f.setOptions([&](options::OptionValues& v) { v.showLearnButton = true; });
        start();
        f.goToBankItem(4); // key a and c
        ExamWindow& w = *f.form;
        auto revealed = [&] {
            return testing::view(w).m_explanationText->isVisibleTo(
                       testing::view(w).m_itemContent) &&
                   testing::view(w).m_choiceLabels[0]->palette().color(QPalette::Window) ==
                       QColor(0, 255, 255) &&
                   testing::view(w).m_choiceLabels[2]->palette().color(QPalette::Window) ==
                       QColor(0, 255, 255) &&
                   testing::view(w).m_choiceLabels[1]->palette().color(QPalette::Window) ==
                       QColor(Qt::white);
        };
        QVERIFY(!revealed());
        // Hidden, it would still be read out by a screen reader.
        QVERIFY(testing::view(w).m_explanationText->text().isEmpty());
        testing::view(w).m_learnButton->click();
        QVERIFY(revealed());
        QCOMPARE(testing::view(w).m_explanationText->text(),
                 QStringLiteral("Explanation of item 4."));
        testing::view(w).m_learnButton->click(); // twice is the same as once
        QVERIFY(revealed());
        QVERIFY(!response().Correct && !response().Choice[0]);
        w.setWindowState(Qt::WindowNoState);
        w.resize(900, 640); // a resize keeps the reveal, text and all
        QVERIFY(revealed());
        QCOMPARE(testing::view(w).m_explanationText->text(),
                 QStringLiteral("Explanation of item 4."));
        QVERIFY(testing::view(w).m_explanationText->height() >
                testing::view(w).m_explanationText->fontMetrics().height() / 2);
        checkLayout();
        f.goToBankItem(6);
        f.goToBankItem(4);
        QVERIFY(!revealed());
        QVERIFY(!testing::view(w).m_explanationText->isVisibleTo(testing::view(w).m_itemContent));
        QVERIFY(testing::view(w).m_explanationText->text().isEmpty());
    }

    void oneMinuteExamCountsDownAndExpiresOnce()
    {
        start(true, 1);
        ExamWindow& w = *f.form;
        QVERIFY(testing::view(w).m_timeLabel->isVisibleTo(&w));
        QCOMPARE(testing::view(w).m_timeLabel->text(), QStringLiteral("0:01:00"));
        auto* ticker = f.services.lastTicker;
        QVERIFY(ticker->isActive());
        for (int s = 1; s < 60; ++s) {
            f.services.clock += 1.0 / 86400;
            ticker->fire();
            QCOMPARE(testing::view(w).m_timeLabel->text(),
                     exam::formatDuration((60 - s) / 86400.0));
        }
        QCOMPARE(testing::view(w).m_timeLabel->text(), QStringLiteral("0:00:01"));
        f.services.expectMessage(
            QStringLiteral("Your time has expired.\rDo you want continue the exam anyway?"),
            platform::Ok);
        f.services.clock += 1.0 / 86400;
        ticker->fire();
        QVERIFY(!ticker->isActive());
        // OK hides the time and the exam goes on untimed.
        QVERIFY(!testing::view(w).m_timeLabel->isVisibleTo(&w));
        QCOMPARE(w.mode(), ExamWindow::ModeExam);
        f.services.clock += 10.0 / 86400;
        ticker->fire(); // inactive: nothing happens
        QCOMPARE(f.services.shownMessages.size(), 1);
    }

    void noThenCancelKeepsTheExamAtZero()
    {
        start(true, 1);
        auto* ticker = f.services.lastTicker;
        f.services.expectMessage(
            QStringLiteral("Your time has expired.\rDo you want continue the exam anyway?"),
            platform::No);
        f.services.expectMessage(
            QStringLiteral("This will end your practice exam.\rAre you sure to end this exam?"),
            platform::Cancel);
        f.services.clock += 61.0 / 86400; // a late tick
        ticker->fire();
        QCOMPARE(testing::view(*f.form).m_timeLabel->text(), QStringLiteral("0:00:00"));
        QVERIFY(testing::view(*f.form).m_timeLabel->isVisibleTo(f.form.get()));
        QVERIFY(!ticker->isActive());
        QCOMPARE(f.form->mode(), ExamWindow::ModeExam);
        QCOMPARE(testing::view(*f.form).m_gradeButton->text(), QStringLiteral("Grade Now"));
    }

    void timerOffShowsNothing()
    {
        start(false, 1);
        QVERIFY(!testing::view(*f.form).m_timeLabel->isVisibleTo(f.form.get()));
        QVERIFY(!f.services.lastTicker->isActive());
        f.services.clock += 1.0;
        f.services.lastTicker->fire();
        QCOMPARE(f.services.shownMessages.size(), 0);
    }

    void settingTheSystemClockLeavesTheCountdownAlone_data()
    {
        QTest::addColumn<double>("shiftMinutes");
        QTest::newRow("back an hour (end of daylight saving)") << -60.0;
        QTest::newRow("forward an hour") << 60.0;
        QTest::newRow("forward a day") << 1440.0;
    }
    void settingTheSystemClockLeavesTheCountdownAlone()
    {
        QFETCH(double, shiftMinutes);
        start(true, 90);
        auto* ticker = f.services.lastTicker;
        f.services.clock += 10.0 / 1440;
        ticker->fire();
        QCOMPARE(testing::view(*f.form).m_timeLabel->text(), QStringLiteral("1:20:00"));
        f.services.wallClockShift += shiftMinutes / 1440;
        f.services.clock += 1.0 / 86400;
        ticker->fire();
        QCOMPARE(testing::view(*f.form).m_timeLabel->text(), QStringLiteral("1:19:59"));
        QVERIFY(ticker->isActive());
        // The exam still ends when its own 90 minutes have passed, not earlier
        // and not an hour later.
        f.services.clock += (80.0 * 60 - 2) / 86400;
        ticker->fire();
        QCOMPARE(testing::view(*f.form).m_timeLabel->text(), QStringLiteral("0:00:01"));
        f.services.expectMessage(
            QStringLiteral("Your time has expired.\rDo you want continue the exam anyway?"),
            platform::Ok);
        f.services.clock += 1.0 / 86400;
        ticker->fire();
        QVERIFY(f.services.done());
        QVERIFY(!ticker->isActive());
    }

    void gradingStopsTheTimer()
    {
        start(true, 90);
        f.services.expectMessage(
            QStringLiteral("This will end your practice exam.\rAre you sure to end this exam?"),
            platform::Ok);
        testing::view(*f.form).m_gradeButton->click();
        QVERIFY(!f.services.lastTicker->isActive());
        QVERIFY(!testing::view(*f.form).m_timeLabel->isVisibleTo(f.form.get()));
        QVERIFY(!testing::view(*f.form).m_itemArea->isVisibleTo(f.form.get()));
        QCOMPARE(testing::view(*f.form).m_gradeButton->text(), QStringLiteral("Score Report"));
        QCOMPARE(f.form->mode(), ExamWindow::ModeExam);
    }

    void durationText_data()
    {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<QString>("text");
        QTest::newRow("90 minutes") << 5400.0 << "1:30:00";
        QTest::newRow("truncated") << 59.999 << "0:00:59";
        QTest::newRow("one minute") << 60.0 << "0:01:00";
        QTest::newRow("ten hours") << 36000.0 << "10:00:00";
        QTest::newRow("negative") << -5.0 << "0:00:00";
        QTest::newRow("1:16:35") << 4595.4 << "1:16:35";
    }
    void durationText()
    {
        QFETCH(double, seconds);
        QFETCH(QString, text);
        QCOMPARE(exam::formatDuration(seconds / 86400.0), text);
        if (seconds >= 0)
            QCOMPARE(exam::formatDuration(exam::parseDuration(text)), text);
    }

    void exhibitsOpenAtTheirNaturalSize()
    {
        session::Exhibit1Window one;
        session::Exhibit2Window two;
        f.form->setExhibitWindows(&one, &two);
        start();
        f.goToBankItem(3); // PICT1, 100 x 80
        QSize shown;
        f.services.expectModal(QStringLiteral("exhibit1Window"), [&](QWidget* w) {
            shown = static_cast<session::Exhibit1Window*>(w)->m_picture->size();
            return 0;
        });
        testing::view(*f.form).m_exhibit1Button->click();
        QCOMPARE(shown, QSize(100, 80));
        QCOMPARE(one.size(), QSize(100, 80));
        QCOMPARE(one.windowTitle(), QStringLiteral("Exhibit 1"));
        f.goToBankItem(6); // PICT2 only, 200 x 80, at its own place
        QVERIFY(!testing::view(*f.form).m_exhibit1Button->isVisibleTo(
            testing::view(*f.form).m_itemContent));
        QVERIFY(testing::view(*f.form).m_exhibit2Button->isVisibleTo(
            testing::view(*f.form).m_itemContent));
        f.services.expectModal(QStringLiteral("exhibit2Window"), [&](QWidget* w) {
            shown = static_cast<session::Exhibit2Window*>(w)->m_picture->pixmap().size();
            return 0;
        });
        testing::view(*f.form).m_exhibit2Button->click();
        QCOMPARE(shown, QSize(200, 80));
        // A missing file is reported and no window opens; the exam goes on.
        QFile::remove(QStringLiteral("pictures/fixture2.svg"));
        testing::view(*f.form).m_exhibit2Button->click();
        QCOMPARE(f.services.shownMessages.size(), 1);
        QVERIFY(f.services.shownMessages.first().contains(QStringLiteral("fixture2.svg")));
        QCOMPARE(f.services.shownKinds.first(), platform::MsgKind::Error);
        f.services.reset();
        QCOMPARE(f.form->mode(), ExamWindow::ModeExam);
    }

    void headerLabels()
    {
        start();
        ExamWindow& w = *f.form;
        QCOMPARE(testing::view(w).m_itemCounterLabel->pos(), QPoint(4, 4));
        QCOMPARE(testing::view(w).m_itemIdLabel->pos(), QPoint(124, 4));
        QCOMPARE(testing::view(w).m_verdictLabel->pos(), QPoint(4, 24));
        QCOMPARE(testing::view(w).m_itemCounterLabel->font().pixelSize(), 13);
        QVERIFY(testing::view(w).m_itemCounterLabel->font().bold());
        QCOMPARE(testing::view(w).m_itemCounterLabel->textColour(), QColor(Qt::white));
        QCOMPARE(QFontInfo(testing::view(w).m_itemIdLabel->font()).family(),
                 QStringLiteral("DejaVu Sans"));
    }

    // Alt+F is the File menu's and choice f's: the menu wins, on every press.
    void altFOpensTheFileMenuAndNeverTicksChoiceF_data()
    {
        QTest::addColumn<int>("id");
        QTest::newRow("single response, six choices") << 5;
        QTest::newRow("multiple response, six choices") << 7;
    }
    void altFOpensTheFileMenuAndNeverTicksChoiceF()
    {
        QFETCH(int, id);
        start();
        f.goToBankItem(id);
        ExamWindow& w = *f.form;
        const bool multiple = w.currentSet().asBoolean(QStringLiteral("Q_TYPE"));
        QAbstractButton* choiceF =
            multiple ? static_cast<QAbstractButton*>(testing::view(w).m_choiceBoxes[5])
                     : static_cast<QAbstractButton*>(testing::view(w).m_choiceRadios[5]);
        QVERIFY(choiceF->isVisible());
        for (int press = 1; press <= 3; ++press) {
            w.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&w));
            QTest::keyClick(w.windowHandle(), Qt::Key_F, Qt::AltModifier);
            QVERIFY2(w.menuBar()->activeAction(),
                     qPrintable(QStringLiteral("press %1").arg(press)));
            QCOMPARE(w.menuBar()->activeAction()->text(), QStringLiteral("&File"));
            QVERIFY(!choiceF->isChecked());
            QVERIFY(!response().Choice[5]);
            // Closed again before the next press.
            if (QWidget* popup = QApplication::activePopupWidget())
                popup->close();
            w.menuBar()->setActiveAction(nullptr);
        }
    }
};

QTEST_MAIN(TestItemDisplay)
#include "test_item_display.moc"
