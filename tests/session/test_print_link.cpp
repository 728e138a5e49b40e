// The exam window's print requests: the item and the score report go to the
// printer through the print dialog, all items go to a print preview, and the
// exam window is left on the item it showed.
#include "DataSource.h"
#include "ExamWindowFixture.h"
#include "ExamWindowView.h"
#include "PdfPages.h"
#include "Printing.h"
#include "ScoreReport.h"
#include "ShadowLabel.h"

#include <QAction>
#include <QPageLayout>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>

using session::ExamWindow;

namespace {

using testing::pdfPageCount;

// Watches for the printing notice: records that it showed, and presses its
// Cancel when told to.
class NoticeWatch final : public QObject {
public:
    explicit NoticeWatch(bool cancel) : m_cancel(cancel) { qApp->installEventFilter(this); }
    ~NoticeWatch() override { qApp->removeEventFilter(this); }
    int shown = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show &&
            watched->objectName() == QStringLiteral("printProgress")) {
            if (auto* notice = qobject_cast<QProgressDialog*>(watched)) {
                ++shown;
                if (m_cancel)
                    notice->cancel();
            }
        }
        return false;
    }

private:
    bool m_cancel;
};

} // namespace

class TestPrintLink : public QObject {
    Q_OBJECT
    ExamWindowFixture f;
    QTemporaryDir m_tmp;
    QStringList m_jobs; // docName of every print dialog, in order

    // All items of the bank, so that there are several to move between.
    void startExam()
    {
        f.answerNameDialog(true, 0, 0, QStringLiteral("Pat Candidate"));
        testing::view(*f.form).m_allQuestionsAction->trigger();
        QCOMPARE(f.form->mode(), ExamWindow::ModeExam);
    }
    // The print dialog: checks the page setup, then prints to `file` or
    // cancels.
    void answerPrintDialog(const QString& file, bool ok = true)
    {
        f.services.printHandler = [this, file, ok](QPrinter* printer) {
            m_jobs << printer->docName();
            const QPageLayout layout = printer->pageLayout();
            if (layout.pageSize().id() != QPageSize::Letter ||
                layout.margins(QPageLayout::Millimeter) != QMarginsF(6.35, 6.35, 6.35, 6.35))
                m_jobs << QStringLiteral("wrong page setup");
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(file);
            return ok;
        };
    }
    void checkDone()
    {
        QVERIFY2(f.services.done(), qPrintable(f.services.problems().join(QLatin1Char('\n'))));
    }

private slots:
    void init()
    {
        f.setUp();
        m_jobs.clear();
    }
    void cleanup()
    {
        checkDone();
        f.tearDown();
    }

    void printThisItemGoesToThePrinterAfterTheDialog_data()
    {
        QTest::addColumn<bool>("ok");
        QTest::newRow("print") << true;
        QTest::newRow("cancel") << false;
    }
    void printThisItemGoesToThePrinterAfterTheDialog()
    {
        QFETCH(bool, ok);
        startExam();
        f.form->currentSet().setRecNo(2);
        const QString file = m_tmp.filePath(QStringLiteral("item%1.pdf").arg(ok));
        answerPrintDialog(file, ok);
        testing::view(*f.form).m_printItemAction->trigger();
        QCOMPARE(m_jobs, QStringList{QStringLiteral("Report")});
        QCOMPARE(QFile::exists(file), ok);
        if (ok)
            QCOMPARE(pdfPageCount(file), 1);
        QCOMPARE(f.form->currentSet().recNo(), 2);
        QVERIFY(f.services.shownMessages.isEmpty());
    }

    void printAllItemsPreviewsEveryItemAndReturns()
    {
        startExam();
        f.form->currentSet().setRecNo(3);
        const QString shownText = testing::view(*f.form).m_questionText->text();
        const QString shownLabel = testing::view(*f.form).m_itemCounterLabel->text();
        int previewPages = 0;
        int recNoDuringPreview = 0;
        f.services.expectModal(QStringLiteral("printPreview"), [&](QWidget* w) {
            auto* preview = w->findChild<QPrintPreviewWidget*>();
            if (preview) {
                preview->updatePreview();
                previewPages = preview->pageCount();
            }
            recNoDuringPreview = f.form->currentSet().recNo();
            return 0;
        });
        testing::view(*f.form).m_printExamAction->trigger();
        QVERIFY(previewPages >= 1);
        QCOMPARE(recNoDuringPreview, 3);
        QCOMPARE(f.form->currentSet().recNo(), 3);
        QCOMPARE(testing::view(*f.form).m_questionText->text(), shownText);
        QCOMPARE(testing::view(*f.form).m_itemCounterLabel->text(), shownLabel);
        QVERIFY(!f.form->currentSet().controlsDisabled());
        QVERIFY(f.services.shownMessages.isEmpty());
    }

    void printAllItemsLeavesTheDisplayAlone()
    {
        startExam();
        f.form->currentSet().setRecNo(2);
        const QString shownText = testing::view(*f.form).m_questionText->text();
        QStringList seen;
        connect(f.form->currentSetSource(), &store::DataSource::dataChanged, this,
                [&] { seen << testing::view(*f.form).m_questionText->text(); });
        f.services.expectModal(QStringLiteral("printPreview"), nullptr);
        testing::view(*f.form).m_printExamAction->trigger();
        QCOMPARE(f.form->currentSet().recNo(), 2);
        QCOMPARE(testing::view(*f.form).m_questionText->text(), shownText);
        for (const QString& text : seen)
            QCOMPARE(text, shownText);
    }

    void scoreReportPrintsTheGradingFigures()
    {
        results::ScoreReport score(f.services);
        f.form->setScoreReport(&score);
        startExam();
        f.services.expectMessage(
            QStringLiteral("This will end your practice exam.\rAre you sure to "
                           "end this exam?"),
            platform::Ok);
        const QString file = m_tmp.filePath(QStringLiteral("score.pdf"));
        answerPrintDialog(file);
        bool stayedOpen = false;
        f.services.expectModal(QStringLiteral("scoreReport"), [&](QWidget* w) {
            auto* form = static_cast<results::ScoreReport*>(w);
            form->m_printReportButton->click();
            stayedOpen = form->isVisible();
            return 0;
        });
        testing::view(*f.form).m_gradeButton->click();
        QCOMPARE(m_jobs, QStringList{QStringLiteral("Score Report")});
        QVERIFY(stayedOpen);
        QCOMPARE(pdfPageCount(file), 1);
        const results::ScorePrintout data = results::gatherScore(score, QStringLiteral("x"));
        QCOMPARE(data.scoreLine, score.m_totalLabel->text());
        QCOMPARE(data.heading, QStringLiteral("Pat Candidate,  Quizlark TCP/IP 4.0,  ") +
                                   f.form->examSession().title());
    }

    // While the item printout and the score report print, a notice with a
    // Cancel button shows; Cancel prints nothing and is no error.
    void printingShowsACancellableNotice_data()
    {
        QTest::addColumn<bool>("score");
        QTest::addColumn<bool>("cancel");
        QTest::newRow("item") << false << false;
        QTest::newRow("item, cancelled") << false << true;
        QTest::newRow("score report") << true << false;
        QTest::newRow("score report, cancelled") << true << true;
    }
    void printingShowsACancellableNotice()
    {
        QFETCH(bool, score);
        QFETCH(bool, cancel);
        results::ScoreReport report(f.services);
        f.form->setScoreReport(&report);
        startExam();
        const QString file =
            m_tmp.filePath(QStringLiteral("notice%1%2.pdf").arg(score).arg(cancel));
        answerPrintDialog(file);
        NoticeWatch watch(cancel);
        if (!score) {
            testing::view(*f.form).m_printItemAction->trigger();
        } else {
            f.services.expectMessage(
                QStringLiteral("This will end your practice exam.\rAre you sure to "
                               "end this exam?"),
                platform::Ok);
            f.services.expectModal(QStringLiteral("scoreReport"), [&](QWidget* w) {
                static_cast<results::ScoreReport*>(w)->m_printReportButton->click();
                return 0;
            });
            testing::view(*f.form).m_gradeButton->click();
        }
        QCOMPARE(watch.shown, 1);
        QCOMPARE(QFile::exists(file), !cancel);
        if (!cancel)
            QCOMPARE(pdfPageCount(file), 1);
        QVERIFY(f.services.shownMessages.size() == (score ? 1 : 0));
        QVERIFY(!f.form->findChild<QProgressDialog*>());
    }
};

QTEST_MAIN(TestPrintLink)
#include "test_print_link.moc"
