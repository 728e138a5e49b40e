#include "Printing.h"

#include "ScoreReport.h"
#include "Table.h"
#include "WrapAnywhere.h"

#include <QFontMetricsF>
#include <QLabel>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QPrinter>
#include <QTextLayout>
#include <algorithm>

namespace results {

namespace {

constexpr double kMmPerInch = 25.4;
const QColor kNavy(0, 0, 128);
const QString kLogo = QStringLiteral(" Quizlark ");

QFont arial(double points, bool bold = false, bool italic = false)
{
    QFont f(QStringLiteral("Arial"));
    f.setPointSizeF(points);
    f.setBold(bold);
    f.setItalic(italic);
    return f;
}

// Text measuring at the resolution of the device that will be painted on, so
// that what is laid out is what the printer draws.
class Measure {
public:
    explicit Measure(const QPaintDevice* device)
        : m_device(const_cast<QPaintDevice*>(device)), m_dpiX(device->logicalDpiX()),
          m_dpiY(device->logicalDpiY())
    {
    }
    double lineHeight(const QFont& font) const
    {
        return QFontMetricsF(font, m_device).height() * kMmPerInch / m_dpiY;
    }
    double width(const QFont& font, const QString& text) const
    {
        return QFontMetricsF(font, m_device).horizontalAdvance(text) * kMmPerInch / m_dpiX;
    }
    // Height of a text wrapped at word boundaries to widthMm; never less than
    // one line, which is a growing text's designed height.
    double wrappedHeight(const QFont& font, const QString& text, double widthMm) const
    {
        if (overlong(font, text, widthMm))
            return std::max(1.0, double(lines(font, text, widthMm).size())) * lineHeight(font);
        const QFontMetricsF fm(font, m_device);
        const QRectF r = fm.boundingRect(QRectF(0, 0, widthMm * m_dpiX / kMmPerInch, 1e7),
                                         Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text);
        return std::max(r.height() * kMmPerInch / m_dpiY, lineHeight(font));
    }
    // The text shortened in its middle to widthMm when it is wider.
    QString elided(const QFont& font, const QString& text, double widthMm) const
    {
        return QFontMetricsF(font, m_device)
            .elidedText(text, Qt::ElideMiddle, widthMm * m_dpiX / kMmPerInch);
    }
    // The lines a text wraps into at widthMm, as the printer breaks them.
    QStringList lines(const QFont& font, const QString& text, double widthMm) const
    {
        return widgets::wrapLines(text, font, widthMm * m_dpiX / kMmPerInch, m_device);
    }
    // A word wider than widthMm, which wrapping between words would leave
    // running off the page.
    bool overlong(const QFont& font, const QString& text, double widthMm) const
    {
        return widgets::hasOverlongWord(text, font, widthMm * m_dpiX / kMmPerInch, m_device);
    }

private:
    QPaintDevice* m_device;
    double m_dpiX, m_dpiY;
};

void addRule(PageLayout& page, double left, double top, double width)
{
    page.rules.emplace_back(left, top, left + width, top);
}

void addLeft(PageLayout& page, const Measure& m, double left, double top, const QString& text,
             const QFont& font, const QColor& colour = Qt::black)
{
    page.texts.push_back({QRectF(left, top, m.width(font, text) + 0.5, m.lineHeight(font)),
                          text,
                          font,
                          Qt::AlignLeft | Qt::AlignTop,
                          colour,
                          {}});
}

void addRight(PageLayout& page, const Measure& m, double rightEdge, double top, const QString& text,
              const QFont& font)
{
    const double w = m.width(font, text) + 0.5;
    page.texts.push_back({QRectF(rightEdge - w, top, w, m.lineHeight(font)),
                          text,
                          font,
                          Qt::AlignRight | Qt::AlignTop,
                          Qt::black,
                          {}});
}

void addCentred(PageLayout& page, const Measure& m, double centre, double top, const QString& text,
                const QFont& font)
{
    const double w = m.width(font, text) + 0.5;
    page.texts.push_back({QRectF(centre - w / 2, top, w, m.lineHeight(font)),
                          text,
                          font,
                          Qt::AlignHCenter | Qt::AlignTop,
                          Qt::black,
                          {}});
}

// Adds a growing text and returns its height.
double addWrapped(PageLayout& page, const Measure& m, double left, double top, double width,
                  const QString& text, const QFont& font)
{
    // The painter would wrap between words only: a text with an overlong
    // word is placed in the lines it breaks into, each within the width.
    if (m.overlong(font, text, width)) {
        const double line = m.lineHeight(font);
        const QStringList lines = m.lines(font, text, width);
        for (int i = 0; i < lines.size(); ++i)
            page.texts.push_back({QRectF(left, top + i * line, width, line),
                                  lines[i],
                                  font,
                                  Qt::AlignLeft | Qt::AlignTop,
                                  Qt::black,
                                  {}});
        return std::max(1.0, double(lines.size())) * line;
    }
    const double h = m.wrappedHeight(font, text, width);
    page.texts.push_back({QRectF(left, top, width, h),
                          text,
                          font,
                          Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                          Qt::black,
                          {}});
    return h;
}

void addLogo(PageLayout& page, const Measure& m, QRectF frame, double left, double top)
{
    page.frames.push_back(frame);
    addLeft(page, m, left, top, kLogo, arial(16, true, true), kNavy);
}

// Copies `piece` onto `page` moved down by dy; whatever reaches below
// `bottom` is clipped there, so nothing runs into the page-bottom block.
void place(PageLayout& page, const PageLayout& piece, double dy, double bottom)
{
    for (PlacedText t : piece.texts) {
        t.rect.translate(0, dy);
        if (t.rect.top() >= bottom)
            continue;
        if (t.rect.bottom() > bottom)
            t.clip = QRectF(t.rect.left(), t.rect.top(), t.rect.width(), bottom - t.rect.top());
        page.texts.push_back(t);
    }
    for (QLineF l : piece.rules) {
        l.translate(0, dy);
        if (l.y1() < bottom)
            page.rules.push_back(l);
    }
    for (QRectF f : piece.frames) {
        f.translate(0, dy);
        if (f.bottom() <= bottom)
            page.frames.push_back(f);
    }
    for (PlacedChart c : piece.charts) {
        c.rect.translate(0, dy);
        if (c.rect.bottom() <= bottom)
            page.charts.push_back(c);
    }
    for (PlacedBox b : piece.boxes) {
        b.rect.translate(0, dy);
        if (b.rect.bottom() <= bottom)
            page.boxes.push_back(b);
    }
}

struct Piece {
    double height = 0;
    PageLayout content;
};

// Adds a growing text to `piece` at `top`, with `after` of space below it. A
// text too tall for a page goes on line by line in pieces of its own, so
// that a page break can fall between any two of its lines and nothing of it
// is ever cut off.
void addGrowing(std::vector<Piece>& pieces, Piece piece, const Measure& m, double left, double top,
                double width, const QString& text, const QFont& font, double after, double pageRoom,
                double minimumHeight = 0)
{
    const double h = m.wrappedHeight(font, text, width);
    if (top + h + after <= pageRoom) {
        addWrapped(piece.content, m, left, top, width, text, font);
        piece.height = std::max(minimumHeight, top + h + after);
        pieces.push_back(std::move(piece));
        return;
    }
    const double line = m.lineHeight(font);
    const QStringList lines = m.lines(font, text, width);
    for (int i = 0; i < lines.size(); ++i) {
        const double lineTop = i == 0 ? top : 0;
        piece.content.texts.push_back({QRectF(left, lineTop, width, line),
                                       lines[i],
                                       font,
                                       Qt::AlignLeft | Qt::AlignTop,
                                       Qt::black,
                                       {}});
        piece.height = lineTop + line + (i + 1 == lines.size() ? after : 0);
        pieces.push_back(std::move(piece));
        piece = Piece();
    }
}

// The pieces of one item block of the exam printout, each placed from its own
// top; a page break may fall between two pieces.
std::vector<Piece> itemBlock(const Measure& m, const ExamItem& item, double pageRoom)
{
    const QFont plain = arial(10);
    std::vector<Piece> pieces;

    Piece head;
    addLeft(head.content, m, 8.47, 0.79, QStringLiteral("Item ID: %1 ").arg(item.id),
            arial(10, true, true));
    addRule(head.content, 8.47, 3.70, 182.03);
    addGrowing(pieces, std::move(head), m, 10.58, 6.88, 182.56, item.question, plain, 3.81,
               pageRoom);

    const double line = m.lineHeight(plain);
    for (int r = 0; r < 6; ++r) {
        if (r >= 2 && item.choices[r].isEmpty())
            continue;
        Piece row;
        const double boxSide = 4.76;
        row.content.boxes.push_back(
            {QRectF(14.82, (line - boxSide) / 2, boxSide, boxSide), item.keys[r]});
        addLeft(row.content, m, 20.11, 0, QString(QChar(u'a' + r)) + QLatin1Char('.'), plain);
        addGrowing(pieces, std::move(row), m, 25.40, 0, 164.57, item.choices[r], plain, 2.54,
                   pageRoom, 6.0);
    }

    addGrowing(pieces, Piece(), m, 12.70, 0, 182.03, item.explanation, arial(10, false, true), 5.08,
               pageRoom);
    return pieces;
}

void paintPage(QPainter& p, const PageLayout& page, double dpiX, double dpiY)
{
    const auto x = [&](double mm) { return mm * dpiX / kMmPerInch; };
    const auto y = [&](double mm) { return mm * dpiY / kMmPerInch; };
    const auto rect = [&](const QRectF& r) {
        return QRectF(x(r.left()), y(r.top()), x(r.width()), y(r.height()));
    };
    const double ruleWidth = 0.75 / 72.0 * dpiY; // 0.75 point
    QPen pen(Qt::black, ruleWidth);
    pen.setCapStyle(Qt::FlatCap);

    p.setPen(pen);
    for (const QLineF& l : page.rules)
        p.drawLine(QLineF(x(l.x1()), y(l.y1()), x(l.x2()), y(l.y2())));
    // Rules drawn first run into the logo frames, which cover them.
    for (const QRectF& f : page.frames) {
        p.fillRect(rect(f), Qt::white);
        p.drawRect(rect(f));
    }
    for (const PlacedChart& c : page.charts)
        widgets::paintBarChart(p, rect(c.rect), QString(), Qt::black, c.bars, c.axis, c.style);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    for (const PlacedBox& b : page.boxes) {
        const QRectF r = rect(b.rect);
        p.drawRect(r);
        if (b.ticked) {
            QPen tick(Qt::black, ruleWidth * 2);
            p.setPen(tick);
            QPainterPath path;
            path.moveTo(r.left() + r.width() * 0.2, r.top() + r.height() * 0.55);
            path.lineTo(r.left() + r.width() * 0.42, r.top() + r.height() * 0.78);
            path.lineTo(r.left() + r.width() * 0.82, r.top() + r.height() * 0.22);
            p.drawPath(path);
            p.setPen(pen);
        }
    }
    for (const PlacedText& t : page.texts) {
        if (!t.clip.isEmpty()) {
            p.setClipRect(rect(t.clip));
        }
        // Labels are opaque: a rule that runs under a caption stops at it.
        p.fillRect(rect(t.rect), Qt::white);
        p.setFont(t.font);
        p.setPen(t.colour);
        p.drawText(rect(t.rect), t.flags | Qt::TextDontClip, t.text);
        if (!t.clip.isEmpty())
            p.setClipping(false);
    }
}

} // namespace

const PlacedText* PageLayout::findText(const QString& text) const
{
    for (const PlacedText& t : texts)
        if (t.text == text)
            return &t;
    return nullptr;
}

void applyPageSetup(QPagedPaintDevice& device)
{
    device.setPageLayout(
        QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait,
                    QMarginsF(kPageMarginMm, kPageMarginMm, kPageMarginMm, kPageMarginMm),
                    QPageLayout::Millimeter));
}

void applyPageSetup(QPrinter& printer, const char* jobName)
{
    printer.setDocName(QString::fromLatin1(jobName));
    printer.setFullPage(false);
    applyPageSetup(static_cast<QPagedPaintDevice&>(printer));
}

QSizeF printableSizeMm()
{
    const QSizeF paper = QPageSize(QPageSize::Letter).size(QPageSize::Millimeter);
    return {paper.width() - 2 * kPageMarginMm, paper.height() - 2 * kPageMarginMm};
}

QSizeF printableSizeMm(const QPaintDevice* device)
{
    // The preview's page setup may have changed the page: lay out on the page
    // the pages will be painted on.
    if (const auto* paged = dynamic_cast<const QPagedPaintDevice*>(device))
        return paged->pageLayout().paintRect(QPageLayout::Millimeter).size();
    return printableSizeMm();
}

QString examLine(const QString& examTitle)
{
    return QLatin1String(kProductName) + QStringLiteral(", ") + examTitle;
}

QString itemChoiceText(const std::array<QString, 6>& choices, const QString& explanation)
{
    QStringList lines;
    for (int r = 0; r < 6; ++r) {
        if (r < 2 || !choices[r].isEmpty())
            lines << QString(QChar(u'a' + r)) + QStringLiteral(".  ") + choices[r];
        lines << QString();
    }
    lines << QString() << explanation;
    return lines.join(QLatin1Char('\n'));
}

ItemPrintout gatherItem(const store::Table& currentSet, const QString& questionText,
                        const QString& examTitle)
{
    ItemPrintout out;
    out.question = questionText;
    out.examLine = examLine(examTitle);
    out.itemNumberLine = QStringLiteral("Item Number: ") + QString::number(currentSet.recNo());
    std::array<QString, 6> choices;
    for (int r = 0; r < 6; ++r)
        choices[r] = currentSet.asString(QStringLiteral("Q%1").arg(r + 1));
    out.choiceText = itemChoiceText(choices, currentSet.asString(QStringLiteral("Q_EXPL")));
    out.footer = QLatin1String(kProductName);
    return out;
}

ExamPrintout gatherExam(store::Table& currentSet, const QString& examTitle)
{
    // Puts the cursor back and lets the window follow again however the walk
    // ends, a failing read included.
    struct Restore {
        store::Table& table;
        store::Bookmark mark;
        ~Restore()
        {
            try {
                table.gotoBookmark(mark);
            } catch (...) {
            }
            table.freeBookmark(mark);
            table.enableControls();
        }
    };

    ExamPrintout out;
    out.examLine = examLine(examTitle);
    out.heading = QStringLiteral("All Items in ") + examTitle;
    currentSet.disableControls();
    Restore restore{currentSet, currentSet.bookmark()};
    for (currentSet.first(); !currentSet.eof(); currentSet.next()) {
        ExamItem item;
        item.id = currentSet.asInteger(QStringLiteral("Q_OR_NUMBER"));
        item.question = currentSet.asString(QStringLiteral("Q_TEXT"));
        for (int r = 0; r < 6; ++r) {
            item.choices[r] = currentSet.asString(QStringLiteral("Q%1").arg(r + 1));
            item.keys[r] = currentSet.asBoolean(QStringLiteral("A%1").arg(r + 1));
        }
        item.explanation = currentSet.asString(QStringLiteral("Q_EXPL"));
        out.items.push_back(std::move(item));
    }
    return out;
}

ScorePrintout gatherScore(const ScoreReport& form, const QString& date)
{
    ScorePrintout out;
    out.heading = form.m_totalChart->title();
    out.date = date;
    out.totalBars = form.m_totalChart->bars();
    out.scoreLine = form.m_totalLabel->text();
    out.sectionBars = form.m_sectionChart->bars();
    out.footer = QLatin1String(kProductName);
    return out;
}

std::vector<PageLayout> layoutItemPrintout(const QPaintDevice* device, const ItemPrintout& data)
{
    const Measure m(device);
    const QFont plain = arial(10);
    const double line = m.lineHeight(plain);
    const double pageHeight = printableSizeMm(device).height();
    const double footerTop = pageHeight - 32.0;
    const double textLeft = 12.70;
    const double textWidth = 168.28;
    PageLayout opening;
    addRule(opening, 28.05, 19.32, 152.93);
    addLogo(opening, m, QRectF(10.05, 12.97, 30.69, 8.73), 11.91, 14.02);
    addRight(opening, m, 180.98, 14.02, data.examLine, arial(12, true));
    addRight(opening, m, 180.98, 19.84, data.itemNumberLine, arial(10, true));

    const double qh = m.wrappedHeight(plain, data.question, textWidth);
    const double openingHeight = 35.7 + std::max(0.0, qh - line);
    const double choicesHeight = m.wrappedHeight(plain, data.choiceText, textWidth);
    std::vector<PageLayout> pages(1);
    if (openingHeight + 4.23 + choicesHeight <= footerTop) {
        addWrapped(opening, m, textLeft, 29.10, textWidth, data.question, plain);
        PageLayout top;
        addRule(top, textLeft, 1.32, textWidth);
        addWrapped(top, m, textLeft, 4.23, textWidth, data.choiceText, plain);
        place(pages[0], opening, 0, footerTop);
        place(pages[0], top, openingHeight, footerTop);
    } else {
        // Too long for one page: the texts go on line by line, and each
        // further page starts with the page-top block's rule, as the
        // question and the choices would never be lost without a word.
        place(pages[0], opening, 0, footerTop);
        double y = 29.10;
        const auto newPage = [&] {
            pages.emplace_back();
            addRule(pages.back(), textLeft, 1.32, textWidth);
            y = 4.23;
        };
        const auto flow = [&](const QString& text) {
            for (const QString& l : m.lines(plain, text, textWidth)) {
                if (y + line > footerTop)
                    newPage();
                pages.back().texts.push_back({QRectF(textLeft, y, textWidth, line),
                                              l,
                                              plain,
                                              Qt::AlignLeft | Qt::AlignTop,
                                              Qt::black,
                                              {}});
                y += line;
            }
        };
        flow(data.question);
        // Where the page-top block starts below a question of this length.
        y += 35.7 - 29.10 - line;
        if (y + 4.23 + line > footerTop) {
            newPage();
        } else {
            addRule(pages.back(), textLeft, y + 1.32, textWidth);
            y += 4.23;
        }
        flow(data.choiceText);
    }

    for (PageLayout& page : pages) {
        PageLayout bottom;
        addRule(bottom, 10.05, 1.32, 169.86);
        addLeft(bottom, m, 10.05, 1.85, data.footer, plain);
        place(page, bottom, footerTop, pageHeight);
    }
    return pages;
}

std::vector<PageLayout> layoutExamPrintout(const QPaintDevice* device, const ExamPrintout& data)
{
    const Measure m(device);
    const double pageHeight = printableSizeMm(device).height();
    const double footerTop = pageHeight - 19.6;
    std::vector<PageLayout> pages(1);

    PageLayout opening;
    addRule(opening, 26.72, 11.91, 164.57);
    addLogo(opening, m, QRectF(8.73, 5.29, 30.69, 8.73), 10.58, 6.35);
    addRight(opening, m, 191.29, 6.35, data.examLine, arial(12, true));
    addRight(opening, m, 191.03, 12.70, data.heading, arial(10, true));
    place(pages.back(), opening, 0, footerTop);

    double y = 20.4;
    bool itemsOnPage = false;
    const auto newPage = [&] {
        pages.emplace_back();
        y = 0;
        itemsOnPage = false;
    };
    for (const ExamItem& item : data.items) {
        const std::vector<Piece> pieces = itemBlock(m, item, footerTop);
        double blockHeight = 0;
        for (const Piece& p : pieces)
            blockHeight += p.height;
        if (y + blockHeight > footerTop && itemsOnPage)
            newPage();
        if (y + blockHeight <= footerTop) {
            for (const Piece& p : pieces) {
                place(pages.back(), p.content, y, footerTop);
                y += p.height;
            }
        } else {
            // Taller than a page: continue on the next page between pieces.
            bool piecesOnPage = false;
            for (const Piece& p : pieces) {
                if (y + p.height > footerTop && piecesOnPage) {
                    newPage();
                    piecesOnPage = false;
                }
                place(pages.back(), p.content, y, footerTop);
                y = std::min(y + p.height, footerTop);
                piecesOnPage = true;
            }
        }
        itemsOnPage = true;
    }

    for (size_t i = 0; i < pages.size(); ++i) {
        PageLayout bottom;
        addRule(bottom, 7.94, 0.79, 182.56);
        addRight(bottom, m, 189.44, 1.59, QStringLiteral("Page: %1").arg(i + 1), arial(8));
        place(pages[i], bottom, footerTop, pageHeight);
    }
    return pages;
}

PageLayout layoutScorePrintout(const QPaintDevice* device, const ScorePrintout& data)
{
    const Measure m(device);
    const double footerTop = printableSizeMm(device).height() - 25.7;
    PageLayout top;
    addRule(top, 27.25, 13.23, 155.05);
    addRule(top, 15.08, 90.22, 167.48);
    // A long name would run over the logo and off the page: the heading
    // keeps its two ends (the name's start, the exam) and loses its middle.
    const QRectF logoFrame(14.55, 7.14, 29.10, 9.79);
    addRight(top, m, 182.30, 7.67,
             m.elided(arial(11, true), data.heading, 182.30 - logoFrame.right() - 2.0 - 0.5),
             arial(11, true));
    addLogo(top, m, logoFrame, 15.35, 9.00);
    addRight(top, m, 182.67, 13.97, data.date, arial(10));
    addCentred(top, m, 100.9, 22.23, QStringLiteral("Examination Score Report"), arial(11, true));
    top.frames.emplace_back(15.08, 33.34, 167.48, 34.13);
    widgets::ChartStyle totalStyle;
    totalStyle.border = false;
    totalStyle.barFraction = 0.9;
    QFont axisBold = arial(8, true);
    totalStyle.axisFont = axisBold;
    top.charts.push_back({QRectF(16.40, 34.92, 165.37, 31.22),
                          data.totalBars,
                          {0, exam::kScaleMaximum, 100},
                          totalStyle});
    addCentred(top, m, 99.5, 68.53, data.scoreLine, arial(11, true));
    const QString caption = QStringLiteral(" Sections ");
    // The caption's white ground reaches back to the rule's left end, so no
    // stub of the rule shows before it; the text stays where it stood.
    top.texts.push_back({QRectF(15.08, 88.11, 16.93 + 16.40 - 15.08, m.lineHeight(arial(10, true))),
                         caption,
                         arial(10, true),
                         Qt::AlignRight | Qt::AlignTop,
                         Qt::black,
                         {}});
    widgets::ChartStyle sectionStyle;
    sectionStyle.border = false;
    sectionStyle.barFraction = 0.8;
    sectionStyle.axisFont = arial(8);
    top.charts.push_back(
        {QRectF(10.05, 92.60, 177.80, 34.92), data.sectionBars, {0, 100, 10}, sectionStyle});

    PageLayout bottom;
    addRule(bottom, 10.05, 1.85, 172.51);
    addLeft(bottom, m, 10.05, 2.38, data.footer, arial(9));

    PageLayout page;
    place(page, top, 0, footerTop);
    place(page, bottom, footerTop, printableSizeMm(device).height());
    return page;
}

std::vector<size_t> pageOrder(const QPagedPaintDevice& device, size_t pageCount)
{
    std::vector<size_t> order;
    const auto* printer = dynamic_cast<const QPrinter*>(&device);
    // A printer that makes its copies itself gets each page once; PDF and
    // the like make none, and would print one copy whatever was asked.
    const int copies =
        printer && !printer->supportsMultipleCopies() ? std::max(1, printer->copyCount()) : 1;
    const bool collate = printer && printer->collateCopies();
    for (int c = 0; c < (collate ? copies : 1); ++c)
        for (size_t p = 0; p < pageCount; ++p)
            for (int k = 0; k < (collate ? 1 : copies); ++k)
                order.push_back(p);
    return order;
}

PrintOutcome paintPages(QPagedPaintDevice& device, const std::vector<PageLayout>& pages,
                        const std::function<bool(int)>& proceed)
{
    // Asked before anything is painted, so that a cancel at once prints
    // nothing at all.
    if (proceed && !proceed(0))
        return PrintOutcome::Cancelled;
    QPainter painter;
    if (!painter.begin(&device))
        return PrintOutcome::Failed;
    const double dpiX = device.logicalDpiX();
    const double dpiY = device.logicalDpiY();
    const std::vector<size_t> order = pageOrder(device, pages.size());
    for (size_t i = 0; i < order.size(); ++i) {
        if (i > 0 && proceed && !proceed(static_cast<int>(i))) {
            if (auto* printer = dynamic_cast<QPrinter*>(&device))
                printer->abort();
            painter.end();
            return PrintOutcome::Cancelled;
        }
        if (i > 0 && !device.newPage())
            return PrintOutcome::Failed;
        paintPage(painter, pages[order[i]], dpiX, dpiY);
    }
    if (!painter.end())
        return PrintOutcome::Failed;
    if (proceed)
        proceed(static_cast<int>(order.size()));
    return PrintOutcome::Printed;
}

bool paintPages(QPagedPaintDevice& device, const std::vector<PageLayout>& pages)
{
    return paintPages(device, pages, {}) == PrintOutcome::Printed;
}

bool printItem(QPagedPaintDevice& device, const ItemPrintout& data)
{
    return paintPages(device, layoutItemPrintout(&device, data));
}

bool printExam(QPagedPaintDevice& device, const ExamPrintout& data)
{
    return paintPages(device, layoutExamPrintout(&device, data));
}

bool printScore(QPagedPaintDevice& device, const ScorePrintout& data)
{
    return paintPages(device, {layoutScorePrintout(&device, data)});
}

} // namespace results
