// The time-expiry question over a window open over the exam window: it is
// shown over that window, so that the window stays above the exam window
// while the question waits, and over the exam window when none is open.
#include "ExamWindowFixture.h"
#include "OptionsDialog.h"

#include <QSpinBox>

namespace {

const QString kExpired =
    QStringLiteral("Your time has expired.\rDo you want continue the exam anyway?");

} // namespace

class TestExpiryOverWindow : public QObject {
    Q_OBJECT
    ExamWindowFixture h;

    void startOneMinuteExam()
    {
        h.services.expectModal(QStringLiteral("nameDialog"), [](QWidget* w) {
            w->findChild<QSpinBox*>(QStringLiteral("timeBox"))->setValue(1);
            return int(QDialog::Accepted);
        });
        h.trigger("practiceExamA");
        QCOMPARE(h.form->mode(), session::ExamWindow::ModeExam);
    }
    void runOut()
    {
        h.services.clock += 2.0 / 1440;
        h.services.lastTicker->fire();
    }

private slots:
    void init()
    {
        h.windowSize = QSize(1024, 700);
        h.setUp();
    }
    void cleanup()
    {
        QVERIFY2(h.done(), qPrintable(h.problems()));
        h.tearDown();
    }

    void expiryQuestionIsOverTheInterruptedWindow()
    {
        options::OptionsDialog dialog(h.services);
        h.form->setOptionsDialog(&dialog);
        startOneMinuteExam();
        h.services.expectMessage(kExpired, platform::Ok);
        h.services.expectModal(QStringLiteral("optionsDialog"), [&](QWidget* w) {
            runOut();
            return int(QDialog::Rejected);
        });
        h.trigger("optionsAction");
        QVERIFY2(h.done(), qPrintable(h.problems()));
        QCOMPARE(h.services.shownMessages.last(), kExpired);
        QCOMPARE(h.services.shownParents.last(), static_cast<QWidget*>(&dialog));
    }

    void expiryQuestionIsOverTheExamWindowAlone()
    {
        startOneMinuteExam();
        h.services.expectMessage(kExpired, platform::Ok);
        runOut();
        QVERIFY2(h.done(), qPrintable(h.problems()));
        QCOMPARE(h.services.shownParents.last(), static_cast<QWidget*>(h.form.get()));
    }
};

QTEST_MAIN(TestExpiryOverWindow)
#include "test_expiry_over_window.moc"
