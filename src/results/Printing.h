#pragma once

#include "BarChart.h"

#include <QColor>
#include <QFont>
#include <QLineF>
#include <QRectF>
#include <QString>
#include <array>
#include <functional>
#include <vector>

class QPagedPaintDevice;
class QPaintDevice;
class QPrinter;

namespace store {
class Table;
}

namespace results {

class ScoreReport;

// Print job names of the three documents.
inline constexpr const char* kItemJobName = "Report";
inline constexpr const char* kExamJobName = "Report1";
inline constexpr const char* kScoreJobName = "Score Report";

// Every document is printed on US Letter with 6.35 mm margins all round.
inline constexpr double kPageMarginMm = 6.35;
void applyPageSetup(QPagedPaintDevice& device);
void applyPageSetup(QPrinter& printer, const char* jobName);

// ---- What the documents show, read before anything is painted ----

struct ItemPrintout {
    QString examLine;       // "Quizlark TCP/IP 4.0, " + ExamTitle
    QString itemNumberLine; // "Item Number: " + record number
    QString question;
    QString choiceText; // the choice lines and the explanation, '\n' between lines
    QString footer;
};

struct ExamItem {
    qint64 id = 0;
    QString question;
    std::array<QString, 6> choices;
    std::array<bool, 6> keys{};
    QString explanation;
};

struct ExamPrintout {
    QString examLine;
    QString heading; // "All Items in " + ExamTitle
    std::vector<ExamItem> items;
};

struct ScorePrintout {
    QString heading;
    QString date;
    std::vector<widgets::ChartBar> totalBars;
    QString scoreLine;
    std::vector<widgets::ChartBar> sectionBars;
    QString footer;
};

QString examLine(const QString& examTitle);
// The choice lines a..f and the explanation of the item printout: a and b
// always, c..f only with text, each followed by an empty line in any case.
QString itemChoiceText(const std::array<QString, 6>& choices, const QString& explanation);
// The item printout of the current record of the current set.
ItemPrintout gatherItem(const store::Table& currentSet, const QString& questionText,
                        const QString& examTitle);
// One entry per record of the current set, in item order. The walk runs with
// the bound controls suspended and ends on the record that was current.
ExamPrintout gatherExam(store::Table& currentSet, const QString& examTitle);
// The figures of the last grading as the score report shows them; `date` is
// the day of printing in the system's short format.
ScorePrintout gatherScore(const ScoreReport& form, const QString& date);

// ---- Where things go, in millimetres from the top left of the printable area ----

struct PlacedText {
    QRectF rect;
    QString text;
    QFont font;
    int flags = 0;
    QColor colour = Qt::black;
    QRectF clip; // empty: none
};

struct PlacedBox {
    QRectF rect;
    bool ticked = false;
};

struct PlacedChart {
    QRectF rect;
    std::vector<widgets::ChartBar> bars;
    widgets::ChartAxis axis{0, 100, 10};
    widgets::ChartStyle style;
};

struct PageLayout {
    std::vector<PlacedText> texts;
    std::vector<QLineF> rules;
    std::vector<QRectF> frames;
    std::vector<PlacedBox> boxes;
    std::vector<PlacedChart> charts;

    // The first text that reads exactly `text`, or null.
    const PlacedText* findText(const QString& text) const;
};

// The printable area of a Letter page within its margins.
QSizeF printableSizeMm();
// The printable area of the page the device is set up for.
QSizeF printableSizeMm(const QPaintDevice* device);

// Texts are measured with the fonts resolved at the device's resolution.
// One page while the item fits; a longer one goes on, line by line, on
// further pages, each with the page-top rule and the page-bottom block.
std::vector<PageLayout> layoutItemPrintout(const QPaintDevice* device, const ItemPrintout& data);
// Item blocks that do not fit below the previous one start a new page; a
// block taller than a whole page is split between its texts and rows, and a
// text taller than a page between its lines: no text is ever cut off.
std::vector<PageLayout> layoutExamPrintout(const QPaintDevice* device, const ExamPrintout& data);
PageLayout layoutScorePrintout(const QPaintDevice* device, const ScorePrintout& data);

// Paints pages on a device whose painter starts at the printable area (a
// printer or PDF writer with the page setup above). Returns false when the
// device could not be painted on.
bool paintPages(QPagedPaintDevice& device, const std::vector<PageLayout>& pages);
// The pages in the order they are painted: each page once, or, on a printer
// that makes no copies of its own (a PDF file), as many times as the copies
// asked, collated or not.
std::vector<size_t> pageOrder(const QPagedPaintDevice& device, size_t pageCount);
enum class PrintOutcome { Printed, Failed, Cancelled };
// The same, asking proceed(n) before page n (n from 0) whether to go on, and
// once more with the page count when all are done.
PrintOutcome paintPages(QPagedPaintDevice& device, const std::vector<PageLayout>& pages,
                        const std::function<bool(int)>& proceed);
bool printItem(QPagedPaintDevice& device, const ItemPrintout& data);
bool printExam(QPagedPaintDevice& device, const ExamPrintout& data);
bool printScore(QPagedPaintDevice& device, const ScorePrintout& data);

} // namespace results
