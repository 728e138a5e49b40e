// The exam window's print requests: the item and the score report go to the
// printer through the print dialog, all items go to a print preview, and the
// exam window is left on the item it showed.
#include "DataSource.h"
#include "ExamWindowFixture.h"
#include "PdfPages.h"
#include "Printing.h"
#include "ShadowLabel.h"
#include "TScoreForm.h"

#include <QAction>
#include <QPageLayout>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>

using session::TTestForm;

namespace {

using testing::pdfPageCount;

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
        f.form->AllQAct->trigger();
        QCOMPARE(f.form->Mode, int(TTestForm::ModeExam));
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
        f.form->dtCurrentSet().setRecNo(2);
        const QString file = m_tmp.filePath(QStringLiteral("item%1.pdf").arg(ok));
        answerPrintDialog(file, ok);
        f.form->Print1->trigger();
        QCOMPARE(m_jobs, QStringList{QStringLiteral("Report")});
        QCOMPARE(QFile::exists(file), ok);
        if (ok)
            QCOMPARE(pdfPageCount(file), 1);
        QCOMPARE(f.form->dtCurrentSet().recNo(), 2);
        QVERIFY(f.services.shownMessages.isEmpty());
    }

    void printAllItemsPreviewsEveryItemAndReturns()
    {
        startExam();
        f.form->dtCurrentSet().setRecNo(3);
        const QString shownText = f.form->QText->text();
        const QString shownLabel = f.form->Label1->text();
        int previewPages = 0;
        int recNoDuringPreview = 0;
        f.services.expectModal(QStringLiteral("PrintPreview"), [&](QWidget* w) {
            auto* preview = w->findChild<QPrintPreviewWidget*>();
            if (preview) {
                preview->updatePreview();
                previewPages = preview->pageCount();
            }
            recNoDuringPreview = f.form->dtCurrentSet().recNo();
            return 0;
        });
        f.form->Print2->trigger();
        QVERIFY(previewPages >= 1);
        QCOMPARE(recNoDuringPreview, 3);
        QCOMPARE(f.form->dtCurrentSet().recNo(), 3);
        QCOMPARE(f.form->QText->text(), shownText);
        QCOMPARE(f.form->Label1->text(), shownLabel);
        QVERIFY(!f.form->dtCurrentSet().controlsDisabled());
        QVERIFY(f.services.shownMessages.isEmpty());
    }

    void printAllItemsLeavesTheDisplayAlone()
    {
        startExam();
        f.form->dtCurrentSet().setRecNo(2);
        const QString shownText = f.form->QText->text();
        QStringList seen;
        connect(f.form->dsCurrentSet(), &store::DataSource::dataChanged, this,
                [&] { seen << f.form->QText->text(); });
        f.services.expectModal(QStringLiteral("PrintPreview"), nullptr);
        f.form->Print2->trigger();
        QCOMPARE(f.form->dtCurrentSet().recNo(), 2);
        QCOMPARE(f.form->QText->text(), shownText);
        for (const QString& text : seen)
            QCOMPARE(text, shownText);
    }

    void scoreReportPrintsTheGradingFigures()
    {
        results::TScoreForm score(f.services);
        f.form->setScoreForm(&score);
        startExam();
        f.services.expectMessage(
            QStringLiteral("This will end your practice exam.\rAre you sure to "
                           "end this exam?"),
            platform::Ok);
        const QString file = m_tmp.filePath(QStringLiteral("score.pdf"));
        answerPrintDialog(file);
        bool stayedOpen = false;
        f.services.expectModal(QStringLiteral("ScoreForm"), [&](QWidget* w) {
            auto* form = static_cast<results::TScoreForm*>(w);
            form->BitBtn2->click();
            stayedOpen = form->isVisible();
            return 0;
        });
        f.form->GradeButton->click();
        QCOMPARE(m_jobs, QStringList{QStringLiteral("Score Report")});
        QVERIFY(stayedOpen);
        QCOMPARE(pdfPageCount(file), 1);
        const results::ScorePrintout data = results::gatherScore(score, QStringLiteral("x"));
        QCOMPARE(data.scoreLine, score.TotalLabel->text());
        QCOMPARE(data.heading,
                 QStringLiteral("Pat Candidate,  Quizlark TCP/IP 4.0,  ") + f.form->ExamTitle);
    }
};

QTEST_MAIN(TestPrintLink)
#include "test_print_link.moc"
