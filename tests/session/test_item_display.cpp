// Showing and answering items: the layout rules, response capture, the
// countdown and Learn Now.
#include "BankCompiler.h"
#include "ExamWindowFixture.h"
#include "ShadowLabel.h"
#include "TimeCounter.h"
#include "TPict1Form.h"
#include "TPict2Form.h"

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>

using session::TTestForm;

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
    v << item(1, false, {"one", "two", "", "four"}, "d");                 // Q3 empty, Q4 set
    v << item(2, false, {"only"}, "a");                                   // only Q1
    auto none = item(3, false, {}, "f");                                  // no choices
    none.sim = QStringLiteral("SIM1");
    none.pict1 = QStringLiteral("fixture1.svg");                 // PICT1 with Q_SIM
    v << none;
    v << item(4, true, {"a", "b", "c", "d", "e"}, "ac");                  // multiple, key a and c
    v << item(5, false, {kLong, kLong, kLong, kLong, kLong, kLong}, "b"); // six long choices
    auto two = item(6, false, {"x", "y", "z", "w"}, "b");
    two.pict2 = QStringLiteral("fixture2.svg");                  // PICT2 only
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
        f.form->TimerOn = timerOn;
        f.answerNameDialog(true, minutes);
        f.form->ExamAction[0]->trigger();
        QCOMPARE(f.form->Mode, int(TTestForm::ModeExam));
    }
    store::ItemResponse& response()
    {
        return f.form->Responses[size_t(f.form->dtCurrentSet().recNo() - 1)];
    }
    void enterReview()
    {
        f.form->Mode = TTestForm::ModeReview;
        f.form->ReviewControls();
    }
    // Checks every stacking rule against the current item.
    void checkLayout()
    {
        TTestForm& w = *f.form;
        QCOMPARE(w.QText->y(), 8);
        QCOMPARE(w.QPanel->height(), w.QText->height() + 16);
        QCOMPARE(w.QText->height(), qMax(w.QText->heightForWidth(w.QText->width()),
                                         w.QText->fontMetrics().height()));
        const int rowTop = w.QPanel->height() + 2;
        QCOMPARE(w.ExhBtnA->y(), rowTop);
        QCOMPARE(w.ExhBtnB->y(), rowTop);
        QCOMPARE(w.SimButton->y(), rowTop);
        QCOMPARE(w.CalcButton->y(), rowTop);
        QCOMPARE(w.ExhBtnA->x(), 1);
        QCOMPARE(w.ExhBtnB->x(), 96);
        QCOMPARE(w.SimButton->x(), 1);
        QCOMPARE(w.ALabel[0]->y(), rowTop + 25 + 15);
        for (int i = 0; i < 6; ++i) {
            QCOMPARE(w.ALabel[i]->x(), 80);
            QCOMPARE(w.ALabel[i]->width(), w.ScrollBox1->width() - 110);
            if (i > 0)
                QCOMPARE(w.ALabel[i]->y(), w.ALabel[i - 1]->y() + w.ALabel[i - 1]->height() + 15);
        }
        const bool multiple = w.dtCurrentSet().asBoolean(QStringLiteral("Q_TYPE"));
        for (int i = 0; i < 6; ++i) {
            QAbstractButton* b = multiple ? static_cast<QAbstractButton*>(w.CheckBox[i])
                                          : static_cast<QAbstractButton*>(w.RadioButton[i]);
            QCOMPARE(b->y(), w.ALabel[i]->y());
            QCOMPARE(b->x(), 40);
        }
        int anchor = 5;
        for (int i = 2; i < 6; ++i)
            if (!w.ALabel[i]->isVisibleTo(w.ItemContent)) {
                anchor = i - 1;
                break;
            }
        QCOMPARE(w.ExpText->x(), 8);
        QCOMPARE(w.ExpText->width(), w.ScrollBox1->width() - 38);
        QCOMPARE(w.ExpText->y(), w.ALabel[anchor]->y() + w.ALabel[anchor]->height() + 40);
        QCOMPARE(w.ScrollBox1->verticalScrollBar()->value(), 0);
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
        QTest::addColumn<QList<bool>>("buttons"); // ExhBtnA, ExhBtnB, SimButton
        QTest::addColumn<int>("anchor");          // 1-based label the explanation hangs from
        QTest::newRow("Q3 empty, Q4 set")
            << 1 << QList<bool>{1, 1, 0, 1, 0, 0} << QList<bool>{0, 0, 0} << 2;
        QTest::newRow("only Q1") << 2 << QList<bool>{1, 0, 0, 0, 0, 0} << QList<bool>{0, 0, 0} << 2;
        QTest::newRow("no choices, PICT1 with Q_SIM")
            << 3 << QList<bool>{0, 0, 0, 0, 0, 0} << QList<bool>{1, 0, 1} << 2;
        QTest::newRow("five choices") << 4 << QList<bool>{1, 1, 1, 1, 1, 0} << QList<bool>{0, 0, 0}
                                      << 5;
        QTest::newRow("six long choices")
            << 5 << QList<bool>{1, 1, 1, 1, 1, 1} << QList<bool>{0, 0, 0} << 6;
        QTest::newRow("PICT2 only") << 6 << QList<bool>{1, 1, 1, 1, 0, 0} << QList<bool>{0, 1, 0}
                                    << 4;
    }
    void layoutFollowsTheItemShape()
    {
        QFETCH(int, id);
        QFETCH(QList<bool>, rows);
        QFETCH(QList<bool>, buttons);
        QFETCH(int, anchor);
        start();
        f.goToBankItem(id);
        TTestForm& w = *f.form;
        const bool multiple = w.dtCurrentSet().asBoolean(QStringLiteral("Q_TYPE"));
        for (int i = 0; i < 6; ++i) {
            QCOMPARE(w.ALabel[i]->isVisibleTo(w.ItemContent), rows[i]);
            QCOMPARE(w.RadioButton[i]->isVisibleTo(w.ItemContent), rows[i] && !multiple);
            QCOMPARE(w.CheckBox[i]->isVisibleTo(w.ItemContent), rows[i] && multiple);
        }
        QCOMPARE(w.ExhBtnA->isVisibleTo(w.ItemContent), buttons[0]);
        QCOMPARE(w.ExhBtnB->isVisibleTo(w.ItemContent), buttons[1]);
        QCOMPARE(w.SimButton->isVisibleTo(w.ItemContent), buttons[2]);
        checkLayout();
        QCOMPARE(w.ExpText->y(), w.ALabel[anchor - 1]->y() + w.ALabel[anchor - 1]->height() + 40);
        QCOMPARE(w.Label2->text(), QStringLiteral("Item ID: %1").arg(id));
        QVERIFY(!w.ExpText->isVisibleTo(w.ItemContent));
    }

    void hiddenRowsKeepTheirLastTextAndOtherButtonsStayPut()
    {
        start();
        f.goToBankItem(7); // multiple response, six short choices
        TTestForm& w = *f.form;
        w.CheckBox[4]->setChecked(true);
        const QPoint checkPos = w.CheckBox[4]->pos();
        f.goToBankItem(5); // single response, six long choices
        const int longHeight = w.ALabel[2]->height();
        QVERIFY(longHeight > w.fontMetrics().height());
        f.goToBankItem(2); // only Q1: rows b..f hidden but keep the long text's height
        QCOMPARE(w.ALabel[2]->text(), kLong);
        QCOMPARE(w.ALabel[2]->height(), longHeight);
        checkLayout();
        // The check boxes of the earlier item kept their state and place.
        QVERIFY(w.CheckBox[4]->isChecked());
        QCOMPARE(w.CheckBox[4]->pos(), checkPos);
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
        QCOMPARE(f.form->ALabel[0]->width(), f.form->ScrollBox1->width() - 110);
    }

    void singleResponseStoresAllSixFlags()
    {
        start();
        f.goToBankItem(6); // key b
        TTestForm& w = *f.form;
        w.RadioButton[0]->setChecked(true);
        QCOMPARE(response().Choice, (std::array<bool, 6>{true, false, false, false, false, false}));
        QVERIFY(!response().Correct);
        w.RadioButton[1]->setChecked(true);
        QCOMPARE(response().Choice, (std::array<bool, 6>{false, true, false, false, false, false}));
        QVERIFY(response().Correct);
        // Clicking the text of choice c selects it; clicking again keeps it.
        QTest::mouseClick(w.ALabel[2], Qt::LeftButton);
        QVERIFY(w.RadioButton[2]->isChecked());
        QTest::mouseClick(w.ALabel[2], Qt::LeftButton);
        QVERIFY(w.RadioButton[2]->isChecked());
        QCOMPARE(response().Choice, (std::array<bool, 6>{false, false, true, false, false, false}));
        QVERIFY(!response().Correct);
    }

    void multipleResponseFollowsEveryTick()
    {
        start();
        f.goToBankItem(4); // key a and c
        TTestForm& w = *f.form;
        w.CheckBox[0]->setChecked(true);
        QVERIFY(!response().Correct);
        QTest::mouseClick(w.ALabel[2], Qt::LeftButton); // text of c ticks c
        QVERIFY(w.CheckBox[2]->isChecked());
        QVERIFY(response().Correct);
        w.CheckBox[3]->setChecked(true);
        QVERIFY(!response().Correct);
        QTest::mouseClick(w.ALabel[3], Qt::LeftButton); // and unticks d
        QVERIFY(!w.CheckBox[3]->isChecked());
        QVERIFY(response().Correct);
        // Marking changes nothing of correctness.
        w.MarkBox->setChecked(true);
        QVERIFY(response().Marked);
        QVERIFY(response().Correct);
        w.MarkBox->setChecked(false);
        QVERIFY(!response().Marked);
        QVERIFY(response().Correct);
    }

    void movingAwayAndBackRestoresTheResponse()
    {
        start();
        f.goToBankItem(4);
        f.form->CheckBox[1]->setChecked(true);
        f.form->MarkBox->setChecked(true);
        f.goToBankItem(6);
        QVERIFY(!f.form->MarkBox->isChecked());
        QVERIFY(!f.form->RadioButton[1]->isChecked());
        f.form->RadioButton[3]->setChecked(true);
        f.goToBankItem(4);
        QVERIFY(f.form->CheckBox[1]->isChecked());
        QVERIFY(!f.form->CheckBox[0]->isChecked());
        QVERIFY(f.form->MarkBox->isChecked());
        QCOMPARE(response().Choice, (std::array<bool, 6>{false, true, false, false, false, false}));
        f.goToBankItem(6);
        QVERIFY(f.form->RadioButton[3]->isChecked());
        // An unanswered single-response item shows no selection.
        f.goToBankItem(1);
        for (QRadioButton* b : f.form->RadioButton)
            QVERIFY(!b->isChecked());
        QCOMPARE(response().Choice, (std::array<bool, 6>{}));
        QVERIFY(!response().Correct);
    }

    void reviewModeRevertsEveryClick()
    {
        start();
        f.goToBankItem(4);
        f.form->CheckBox[0]->setChecked(true);
        f.goToBankItem(6);
        f.form->RadioButton[1]->setChecked(true);
        f.goToBankItem(1); // left unanswered
        enterReview();
        TTestForm& w = *f.form;
        f.goToBankItem(4);
        const store::ItemResponse before4 = response();
        w.CheckBox[0]->setChecked(false);
        w.CheckBox[2]->setChecked(true);
        QTest::mouseClick(w.ALabel[3], Qt::LeftButton);
        QVERIFY(w.CheckBox[0]->isChecked());
        QVERIFY(!w.CheckBox[2]->isChecked() && !w.CheckBox[3]->isChecked());
        QCOMPARE(response().Choice, before4.Choice);
        QCOMPARE(response().Correct, before4.Correct);
        f.goToBankItem(6);
        w.RadioButton[3]->setChecked(true);
        QVERIFY(w.RadioButton[1]->isChecked());
        QVERIFY(!w.RadioButton[3]->isChecked());
        QVERIFY(response().Correct);
        f.goToBankItem(1);
        QTest::mouseClick(w.ALabel[0], Qt::LeftButton);
        for (QRadioButton* b : w.RadioButton)
            QVERIFY(!b->isChecked());
        QCOMPARE(response().Choice, (std::array<bool, 6>{}));
        // The verdict and the key are shown in review.
        QCOMPARE(w.CorrectLabel->text(), QStringLiteral("Incorrect"));
        QCOMPARE(w.CorrectLabel->textColour(), QColor(255, 0, 0));
        QVERIFY(w.ExpText->isVisibleTo(w.ItemContent));
        QCOMPARE(w.ALabel[3]->palette().color(QPalette::Window), QColor(0, 255, 255));
        QCOMPARE(w.ALabel[0]->palette().color(QPalette::Window), QColor(Qt::white));
        f.goToBankItem(6);
        QCOMPARE(w.CorrectLabel->text(), QStringLiteral("Correct"));
        QCOMPARE(w.CorrectLabel->textColour(), QColor(0, 0, 255));
    }

    void learnNowRevealsUntilTheNextItem()
    {
        f.form->ShowLearnBtn = true;
        start();
        f.goToBankItem(4); // key a and c
        TTestForm& w = *f.form;
        auto revealed = [&] {
            return w.ExpText->isVisibleTo(w.ItemContent) &&
                   w.ALabel[0]->palette().color(QPalette::Window) == QColor(0, 255, 255) &&
                   w.ALabel[2]->palette().color(QPalette::Window) == QColor(0, 255, 255) &&
                   w.ALabel[1]->palette().color(QPalette::Window) == QColor(Qt::white);
        };
        QVERIFY(!revealed());
        w.LearnButton->click();
        QVERIFY(revealed());
        w.LearnButton->click(); // twice is the same as once
        QVERIFY(revealed());
        QVERIFY(!response().Correct && !response().Choice[0]);
        w.setWindowState(Qt::WindowNoState);
        w.resize(900, 640); // a resize keeps the reveal
        QVERIFY(revealed());
        checkLayout();
        f.goToBankItem(6);
        f.goToBankItem(4);
        QVERIFY(!revealed());
        QVERIFY(!w.ExpText->isVisibleTo(w.ItemContent));
    }

    void oneMinuteExamCountsDownAndExpiresOnce()
    {
        start(true, 1);
        TTestForm& w = *f.form;
        QVERIFY(w.TimeLabel->isVisibleTo(&w));
        QCOMPARE(w.TimeLabel->text(), QStringLiteral("0:01:00"));
        auto* ticker = f.services.lastTicker;
        QVERIFY(ticker->isActive());
        for (int s = 1; s < 60; ++s) {
            f.services.clock += 1.0 / 86400;
            ticker->fire();
            QCOMPARE(w.TimeLabel->text(), session::formatDuration((60 - s) / 86400.0));
        }
        QCOMPARE(w.TimeLabel->text(), QStringLiteral("0:00:01"));
        f.services.expectMessage(
            QStringLiteral("Your time has expired.\rDo you want continue the exam anyway?"),
            platform::Ok);
        f.services.clock += 1.0 / 86400;
        ticker->fire();
        QVERIFY(!ticker->isActive());
        // OK hides the time and the exam goes on untimed.
        QVERIFY(!w.TimeLabel->isVisibleTo(&w));
        QCOMPARE(w.Mode, int(TTestForm::ModeExam));
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
        QCOMPARE(f.form->TimeLabel->text(), QStringLiteral("0:00:00"));
        QVERIFY(f.form->TimeLabel->isVisibleTo(f.form.get()));
        QVERIFY(!ticker->isActive());
        QCOMPARE(f.form->Mode, int(TTestForm::ModeExam));
        QCOMPARE(f.form->GradeButton->text(), QStringLiteral("Grade Now"));
    }

    void timerOffShowsNothing()
    {
        start(false, 1);
        QVERIFY(!f.form->TimeLabel->isVisibleTo(f.form.get()));
        QVERIFY(!f.services.lastTicker->isActive());
        f.services.clock += 1.0;
        f.services.lastTicker->fire();
        QCOMPARE(f.services.shownMessages.size(), 0);
    }

    void clockJumpMovesTheCountdown()
    {
        start(true, 90);
        f.services.clock += 30.0 / 1440; // the clock is set 30 minutes ahead
        f.services.lastTicker->fire();
        QCOMPARE(f.form->TimeLabel->text(), QStringLiteral("1:00:00"));
        f.services.clock -= 45.0 / 1440 + 7.9 / 86400; // and back past the start
        f.services.lastTicker->fire();
        QCOMPARE(f.form->TimeLabel->text(), QStringLiteral("1:30:00"));
    }

    void gradingStopsTheTimer()
    {
        start(true, 90);
        f.services.expectMessage(
            QStringLiteral("This will end your practice exam.\rAre you sure to end this exam?"),
            platform::Ok);
        f.form->GradeButton->click();
        QVERIFY(!f.services.lastTicker->isActive());
        QVERIFY(!f.form->TimeLabel->isVisibleTo(f.form.get()));
        QVERIFY(!f.form->ScrollBox1->isVisibleTo(f.form.get()));
        QCOMPARE(f.form->GradeButton->text(), QStringLiteral("Score Report"));
        QCOMPARE(f.form->Mode, int(TTestForm::ModeExam));
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
        QCOMPARE(session::formatDuration(seconds / 86400.0), text);
        if (seconds >= 0)
            QCOMPARE(session::formatDuration(session::parseDuration(text)), text);
    }

    void exhibitsOpenAtTheirNaturalSize()
    {
        session::TPict1Form one;
        session::TPict2Form two;
        f.form->setExhibitWindows(&one, &two);
        start();
        f.goToBankItem(3); // PICT1, 100 x 80
        QSize shown;
        f.services.expectModal(QStringLiteral("Pict1Form"), [&](QWidget* w) {
            shown = static_cast<session::TPict1Form*>(w)->Image1->size();
            return 0;
        });
        f.form->ExhBtnA->click();
        QCOMPARE(shown, QSize(100, 80));
        QCOMPARE(one.size(), QSize(100, 80));
        QCOMPARE(one.windowTitle(), QStringLiteral("Exhibit 1"));
        f.goToBankItem(6); // PICT2 only, 200 x 80, at its own place
        QVERIFY(!f.form->ExhBtnA->isVisibleTo(f.form->ItemContent));
        QVERIFY(f.form->ExhBtnB->isVisibleTo(f.form->ItemContent));
        f.services.expectModal(QStringLiteral("Pict2Form"), [&](QWidget* w) {
            shown = static_cast<session::TPict2Form*>(w)->Image1->pixmap().size();
            return 0;
        });
        f.form->ExhBtnB->click();
        QCOMPARE(shown, QSize(200, 80));
        // A missing file is reported and no window opens; the exam goes on.
        QFile::remove(QStringLiteral("pictures/fixture2.svg"));
        f.form->ExhBtnB->click();
        QCOMPARE(f.services.shownMessages.size(), 1);
        QVERIFY(f.services.shownMessages.first().contains(QStringLiteral("fixture2.svg")));
        QCOMPARE(f.services.shownKinds.first(), platform::MsgKind::Error);
        f.services.reset();
        QCOMPARE(f.form->Mode, int(TTestForm::ModeExam));
    }

    void headerLabels()
    {
        start();
        TTestForm& w = *f.form;
        QCOMPARE(w.Label1->pos(), QPoint(4, 4));
        QCOMPARE(w.Label2->pos(), QPoint(124, 4));
        QCOMPARE(w.CorrectLabel->pos(), QPoint(4, 24));
        QCOMPARE(w.Label1->font().pixelSize(), 13);
        QVERIFY(w.Label1->font().bold());
        QCOMPARE(w.Label1->textColour(), QColor(Qt::white));
        QCOMPARE(QFontInfo(w.Label2->font()).family(), QStringLiteral("DejaVu Sans"));
    }
};

QTEST_MAIN(TestItemDisplay)
#include "test_item_display.moc"
