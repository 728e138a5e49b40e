// The exam window's three print requests: what each reads from the exam,
// where its pages go, and the printer choices each keeps for the run.
#include "ExamWindow.h"

#include "Printing.h"
#include "ScoreReport.h"
#include "Services.h"
#include "Table.h"

#include <QCoreApplication>
#include <QDate>
#include <QLocale>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <cmath>
#include <stdexcept>

namespace session {

namespace {

// One printer per document, so that the printer and copies chosen in a print
// dialog hold for that document's next printing in the same run.
class PrintJobs final : public QObject {
public:
    explicit PrintJobs(QObject* parent) : QObject(parent)
    {
        setObjectName(QStringLiteral("printJobs"));
        results::applyPageSetup(item, results::kItemJobName);
        results::applyPageSetup(exam, results::kExamJobName);
        results::applyPageSetup(score, results::kScoreJobName);
    }
    QPrinter item;
    QPrinter exam;
    QPrinter score;

    static PrintJobs& of(QObject* owner)
    {
        auto* jobs =
            owner->findChild<PrintJobs*>(QStringLiteral("printJobs"), Qt::FindDirectChildrenOnly);
        return jobs ? *jobs : *new PrintJobs(owner);
    }
};

void require(bool printed)
{
    if (!printed)
        throw std::runtime_error("The printer could not print the document.");
}

// Prints pages while a notice with a Cancel button says so; a cancel stops
// before the next page and is no error.
void printWithNotice(QPrinter& printer, const std::vector<results::PageLayout>& pages,
                     QWidget* parent)
{
    QProgressDialog notice(QStringLiteral("Printing..."), QStringLiteral("Cancel"), 0,
                           static_cast<int>(results::pageOrder(printer, pages.size()).size()),
                           parent);
    notice.setObjectName(QStringLiteral("printProgress"));
    notice.setWindowTitle(QStringLiteral("Printing"));
    notice.setWindowModality(Qt::WindowModal);
    notice.setMinimumDuration(0);
    notice.setAutoClose(true);
    notice.show();
    const results::PrintOutcome outcome = results::paintPages(printer, pages, [&notice](int done) {
        notice.setValue(done);
        QCoreApplication::processEvents();
        return !notice.wasCanceled();
    });
    require(outcome != results::PrintOutcome::Failed);
}

} // namespace

void ExamWindow::printItem()
{
    run([&] {
        const results::ItemPrintout data =
            results::gatherItem(currentSet(), m_questionText->text(), m_exam->title());
        QPrinter& printer = PrintJobs::of(this).item;
        // The dialog may change paper and margins; the page is designed for
        // the document's own setup.
        if (!m_services.printDialog(this, &printer))
            return;
        results::applyPageSetup(printer, results::kItemJobName);
        printWithNotice(printer, results::layoutItemPrintout(&printer, data), this);
    });
}

void ExamWindow::printExam()
{
    run([&] {
        // Reading the whole set first leaves the cursor on the item shown
        // before the preview opens, so nothing that happens while it is open
        // (the timer running out included) meets a moved cursor.
        const results::ExamPrintout data = results::gatherExam(currentSet(), m_exam->title());
        QPrinter& printer = PrintJobs::of(this).exam;
        results::applyPageSetup(printer, results::kExamJobName);
        QPrintPreviewDialog preview(&printer, this);
        preview.setObjectName(QStringLiteral("printPreview"));
        preview.setWindowTitle(QStringLiteral("Print Preview"));
        connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                [&data](QPrinter* p) { results::printExam(*p, data); });
        m_services.runModal(&preview);
    });
}

void ExamWindow::printScoreReport()
{
    if (m_scoreReport)
        printReport(m_scoreReport, m_services.now());
}

void ExamWindow::printReport(results::ScoreReport* report, double when)
{
    run([&] {
        const QDate day = QDate(1899, 12, 30).addDays(static_cast<qint64>(std::floor(when)));
        const results::ScorePrintout data =
            results::gatherScore(*report, QLocale::system().toString(day, QLocale::ShortFormat));
        QPrinter& printer = PrintJobs::of(this).score;
        QWidget* parent = report->isVisible() ? static_cast<QWidget*>(report) : this;
        if (!m_services.printDialog(parent, &printer))
            return;
        results::applyPageSetup(printer, results::kScoreJobName);
        printWithNotice(printer, {results::layoutScorePrintout(&printer, data)}, parent);
    });
}

} // namespace session
